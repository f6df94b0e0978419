#include "WindowFixture.h"
#include "records/FriendCommands.h"
#include "skin/SkinEdit.h"
#include "skin/SkinRichEdit.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QtTest>

namespace pellix {

namespace {

class ChatWindow : public WindowFixture {
protected:
    void SetUp() override {
        SignOnWith({Friend(502, "小明", true), Friend(503, "小红", false)});
        m_contacts.FindContact(502)->noteName = Gbk("老同学");
        chat = m_windows.OpenChatWindow(502);
        ASSERT_NE(chat, nullptr);
        m_requests.sent.clear();
    }

    FriendOption& Options() { return m_options.GetFriendOption(); }
    CSkinEdit& Input() { return *chat->InputBox(); }
    QString Shown() const { return chat->DisplayView()->toPlainText(); }
    int Stored(int peer) { return m_history.GetMessageCount(peer); }
    std::vector<std::string> SentChats() const {
        std::vector<std::string> chats;
        for (const std::string& sent : m_requests.sent)
            if (sent.starts_with("chat "))
                chats.push_back(sent);
        return chats;
    }
    // Keys for plain text; Chinese arrives as an input method would put it in.
    void Type(const QString& text) {
        Input().setFocus();
        bool ascii = true;
        for (const QChar c : text)
            ascii = ascii && c.unicode() < 0x80;
        if (ascii)
            QTest::keyClicks(&Input(), text);
        else
            Input().ReplaceSel(text, false);
    }

    CFriendChatDlg* chat = nullptr;
};

} // namespace

TEST_F(ChatWindow, IsTitledByTheNoteNameAndShowsTheSafetyNotice) {
    EXPECT_EQ(chat->windowTitle(), QStringLiteral("与老同学聊天中"));
    EXPECT_TRUE(Shown().contains(QStringLiteral("交谈中请勿轻信汇款")));
    EXPECT_EQ(chat->FriendID(), 502);
}

TEST_F(ChatWindow, SendingStoresShowsAndSendsTheMessage) {
    Type(QStringLiteral("你好"));
    chat->SendChatMessage();
    const auto chats = SentChats();
    ASSERT_EQ(chats.size(), 1u);
    const std::string text = Gbk("你好");
    EXPECT_EQ(chats[0], "chat 502 " + text);
    EXPECT_TRUE(Input().toPlainText().isEmpty());
    EXPECT_TRUE(Shown().contains(QStringLiteral(" 我 ")));
    const auto& rows = m_history.GetMessages(502, 20, 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].strFrom, Gbk("我自己"));
    EXPECT_EQ(rows[0].strTo, Gbk("老同学"));
    EXPECT_EQ(rows[0].strMessage, text);
}

TEST_F(ChatWindow, EmptyInputIsRefusedButBlanksAreSent) {
    chat->SendChatMessage();
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].text, QStringLiteral("不能发送空信息！"));
    EXPECT_EQ(m_boxes.boxes[0].caption, QStringLiteral("好友服务"));
    EXPECT_EQ(m_boxes.boxes[0].style, 0u);
    EXPECT_EQ(m_boxes.boxes[0].autoCloseSeconds, 10u);
    EXPECT_TRUE(SentChats().empty());
    EXPECT_EQ(Stored(502), 0);
    Type(QStringLiteral("   "));
    chat->SendChatMessage();
    EXPECT_EQ(SentChats().size(), 1u);
}

TEST_F(ChatWindow, TheSendKeyFollowsTheOption) {
    Options().bEnterShortcut = false;
    Type(QStringLiteral("a"));
    QTest::keyClick(&Input(), Qt::Key_Return);
    EXPECT_TRUE(SentChats().empty());
    EXPECT_EQ(Input().toPlainText(), QStringLiteral("a\n"));
    QTest::keyClick(&Input(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(SentChats().size(), 1u);

    Options().bEnterShortcut = true;
    Type(QStringLiteral("b"));
    QTest::keyClick(&Input(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(SentChats().size(), 1u);
    EXPECT_EQ(Input().toPlainText(), QStringLiteral("b\n"));
    QTest::keyClick(&Input(), Qt::Key_Return);
    EXPECT_EQ(SentChats().size(), 2u);
}

TEST_F(ChatWindow, AltSSendsAndAltCAndEscapeCloseTheWindow) {
    Options().bEnterShortcut = false;
    Type(QStringLiteral("x"));
    QTest::keyClick(&Input(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(SentChats().size(), 1u);

    QTest::keyClick(&Input(), Qt::Key_C, Qt::AltModifier);
    EXPECT_FALSE(chat->isVisible());
    EXPECT_FALSE(m_windows.Placement().Slots()[0].inUse);

    m_windows.OpenChatWindow(502);
    ASSERT_TRUE(chat->isVisible());
    QTest::keyClick(chat, Qt::Key_Escape);
    EXPECT_FALSE(chat->isVisible());
}

TEST_F(ChatWindow, InputHoldsAtMostTwoHundredCharacters) {
    Type(QString(201, QLatin1Char('z')));
    EXPECT_EQ(Input().toPlainText().size(), 200);
}

TEST_F(ChatWindow, CloseAfterSendHidesWithoutReleasingTheSlot) {
    Options().bSentCloseWindow = true;
    chat->hide();
    m_windows.OpenChatWindow(502);
    ASSERT_TRUE(chat->m_bCloseAfterSend);
    Type(QStringLiteral("bye"));
    chat->SendChatMessage();
    EXPECT_FALSE(chat->isVisible());
    EXPECT_TRUE(m_windows.Placement().Slots()[0].inUse);
    // The next message shows it again.
    Receive(SUB_S_CHAT_MESSAGE, IdBody(502, {'h', 'i', 0}));
    EXPECT_TRUE(chat->isVisible());
}

TEST_F(ChatWindow, ShakesGoOnlyToOnlineFriends) {
    chat->SendShake();
    EXPECT_EQ(m_requests.sent, std::vector<std::string>{"shake 502"});
    EXPECT_TRUE(Shown().contains(QStringLiteral("您发送了一个窗口抖动。")));

    CFriendChatDlg* offline = m_windows.OpenChatWindow(503);
    offline->SendShake();
    EXPECT_EQ(m_requests.sent.size(), 1u);
    EXPECT_TRUE(offline->DisplayView()->toPlainText().contains(
        QStringLiteral("您的好友不在线或隐身，因此您不能发送窗口抖动。")));
}

TEST_F(ChatWindow, ReceivedMessagesShowTheNicknameAndAreStored) {
    Receive(SUB_S_CHAT_MESSAGE, IdBody(502, {'h', 'i', 0}));
    EXPECT_TRUE(Shown().contains(QStringLiteral(" 小明 ")));
    EXPECT_TRUE(Shown().contains(QStringLiteral("hi")));
    EXPECT_EQ(Stored(502), 1);
    // A sender outside the list gets a window with an empty name and is not added.
    Receive(SUB_S_CHAT_MESSAGE, IdBody(888, {'?', 0}));
    EXPECT_NE(m_windows.GetChatWindow(888), nullptr);
    EXPECT_EQ(m_contacts.FindContact(888), nullptr);
    EXPECT_EQ(Stored(888), 1);
}

} // namespace pellix
