#include "ServiceFixture.h"
#include "client/BrowserDialog.h"
#include "client/UrlFactory.h"
#include "records/FriendCommands.h"
#include "skin/SkinCheckBox.h"
#include "skin/SkinEdit.h"
#include "storage/ContactManager.h"
#include "ui/addfriend/FriendAddConfirmDlg.h"
#include "ui/addfriend/FriendAddReqDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QRadioButton>
#include <QtTest>

namespace pellix {

namespace {

class AddFriendWindows : public ServiceFixture {
protected:
    CFriendWindowManager& Windows() { return *CFriendWindowManager::GetInstance(); }
    std::vector<uint8_t> AddRequestBody(int target, const std::string& text) {
        std::vector<uint8_t> body = IdBody(kOwnID, IdBody(target));
        body.insert(body.end(), text.begin(), text.end());
        body.push_back(0);
        return body;
    }
};

} // namespace

TEST_F(AddFriendWindows, AddFriendRefusesFriendsAndOpensOneWindowPerTarget) {
    SignOnWith({Friend(502, "小明", true)});
    EXPECT_FALSE(m_pService->AddFriend(502, Gbk("小明")));
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].text, QStringLiteral("对方已经是您的好友了..."));

    EXPECT_TRUE(m_pService->AddFriend(600, Gbk("新朋友")));
    CFriendAddReqDlg* window = Windows().GetAddRequestWindow(600);
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("您将加 新朋友 为好友..."));
    EXPECT_TRUE(m_pService->AddFriend(600, Gbk("老朋友")));
    EXPECT_EQ(Windows().GetAddRequestWindow(600), window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("您将加 老朋友 为好友..."));
}

TEST_F(AddFriendWindows, EnterSendsTheMessageAsTypedEvenEmpty) {
    m_pService->AddFriend(600, "x");
    CFriendAddReqDlg* window = Windows().GetAddRequestWindow(600);
    QTest::keyClicks(window->MessageBox(), QStringLiteral("hello"));
    QTest::keyClick(window->MessageBox(), Qt::Key_Return);
    ASSERT_EQ(m_socket.sent.size(), 1u);
    EXPECT_EQ(m_socket.sent[0].subCmd, SUB_C_ADD_FRIEND);
    EXPECT_EQ(m_socket.sent[0].body, AddRequestBody(600, "hello"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->MessageBox()->toPlainText().isEmpty());

    m_pService->AddFriend(600, "x");
    window->Send();
    ASSERT_EQ(m_socket.sent.size(), 2u);
    EXPECT_EQ(m_socket.sent[1].body, AddRequestBody(600, ""));
}

TEST_F(AddFriendWindows, ARequestThatCannotGoOutKeepsTheTextAndSaysWhy) {
    m_pService->AddFriend(600, "x");
    CFriendAddReqDlg* window = Windows().GetAddRequestWindow(600);
    // One byte more than the largest body holds with two ids and the terminating zero.
    const QString tooLong(65535 - 8, QLatin1Char('a'));
    window->MessageBox()->setPlainText(tooLong);
    EXPECT_FALSE(window->Send());
    EXPECT_TRUE(m_socket.sent.empty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->MessageBox()->toPlainText(), tooLong);
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(m_boxes.boxes[0].owner, window);
    EXPECT_EQ(m_boxes.boxes[0].text, QStringLiteral("验证信息太长，请删减后再发送！"));
    EXPECT_TRUE(m_boxes.boxes[0].notice);

    // Within the limit but without a connection, the text stays as well.
    window->MessageBox()->setPlainText(tooLong.chopped(1));
    m_socket.sendResult = false;
    EXPECT_FALSE(window->Send());
    ASSERT_EQ(m_socket.sent.size(), 1u);
    EXPECT_EQ(m_socket.sent[0].body.size(), 65535u);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->MessageBox()->toPlainText(), tooLong.chopped(1));
    ASSERT_EQ(m_boxes.boxes.size(), 2u);
    EXPECT_EQ(m_boxes.boxes[1].text,
              QStringLiteral("好友服务尚未连接，请求没有发出，请稍后再试！"));

    m_socket.sendResult = true;
    EXPECT_TRUE(window->Send());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->MessageBox()->toPlainText().isEmpty());
}

TEST_F(AddFriendWindows, CancelEmptiesTheBoxButCloseKeepsIt) {
    m_pService->AddFriend(600, "x");
    CFriendAddReqDlg* window = Windows().GetAddRequestWindow(600);
    QTest::keyClicks(window->MessageBox(), QStringLiteral("keep"));
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->MessageBox()->toPlainText(), QStringLiteral("keep"));
    window->CancelRequest();
    EXPECT_TRUE(window->MessageBox()->toPlainText().isEmpty());
    EXPECT_TRUE(m_socket.sent.empty());
}

TEST_F(AddFriendWindows, RefusingForGoodNeedsTheRefuseChoiceAndBlacklistsTheAsker) {
    Windows().OpenAddConfirmWindow(702, "u702", Gbk("骚扰者"), 1, 9702, Gbk("加我"));
    CFriendAddConfirmDlg* window = Windows().GetAddConfirmWindow(702);
    ASSERT_TRUE(window->isVisible());
    EXPECT_FALSE(window->RefuseForeverBox()->isEnabled());
    QTest::mouseClick(window->RefuseChoice(), Qt::LeftButton);
    EXPECT_TRUE(window->RefuseForeverBox()->isEnabled());
    QTest::mouseClick(window->AgreeChoice(), Qt::LeftButton);
    EXPECT_FALSE(window->RefuseForeverBox()->isEnabled());

    QTest::mouseClick(window->RefuseChoice(), Qt::LeftButton);
    QTest::mouseClick(window->RefuseForeverBox(), Qt::LeftButton);
    window->ApplyChoice();
    ASSERT_EQ(m_socket.sent.size(), 1u);
    EXPECT_EQ(m_socket.sent[0].body, IdBody(kOwnID, IdBody(702, {0})));
    EXPECT_EQ(window->ReplyID(), 0);
    EXPECT_FALSE(window->isVisible());
    auto& contacts = *CContactManager::GetInstance();
    ASSERT_TRUE(contacts.IsInBlacklist(702));
    // The next request from that user is refused without asking.
    ReceiveWritten(SUB_S_FRIEND_REQUEST, [](CCommandStream& stream) {
        stream.WriteInt32(0);
        WriteFriendEntry(stream, Friend(702, "骚扰者", true));
        stream.WriteString("again");
    });
    ASSERT_EQ(m_socket.sent.size(), 2u);
    EXPECT_EQ(m_socket.sent[1].body, IdBody(kOwnID, IdBody(702, {0})));
    EXPECT_FALSE(window->isVisible());

    // The refusal lasts: after a restart and a new sign-on the asker is still refused unasked.
    Restart();
    SignOnWith({Friend(502, "小明", true)});
    EXPECT_TRUE(CContactManager::GetInstance()->IsInBlacklist(702));
    ReceiveWritten(SUB_S_FRIEND_REQUEST, [](CCommandStream& stream) {
        stream.WriteInt32(0);
        WriteFriendEntry(stream, Friend(702, "骚扰者", true));
        stream.WriteString("once more");
    });
    ASSERT_EQ(m_socket.sent.size(), 1u);
    EXPECT_EQ(m_socket.sent[0].subCmd, SUB_C_FRIEND_REPLY);
    EXPECT_EQ(m_socket.sent[0].body, IdBody(kOwnID, IdBody(702, {0})));
    EXPECT_FALSE(Windows().GetAddConfirmWindow(702)->isVisible());
}

TEST_F(AddFriendWindows, RefuseButtonAndCloseSendNoReply) {
    Windows().OpenAddConfirmWindow(703, "u703", Gbk("某人"), 0, 9703, "hi");
    CFriendAddConfirmDlg* window = Windows().GetAddConfirmWindow(703);
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(m_socket.sent.empty());
    EXPECT_EQ(window->ReplyID(), 703);
}

TEST_F(AddFriendWindows, TheViewInfoButtonShowsTheAskersProfileInOneWindow) {
    ASSERT_TRUE(CUrlFactory::getSingletonPtr()->SetBaseUrl("http://127.0.0.1:9"));
    Windows().OpenAddConfirmWindow(704, "u704", Gbk("访客"), 0, 9704, "hi");
    CFriendAddConfirmDlg* window = Windows().GetAddConfirmWindow(704);
    window->ShowUserInfo();
    window->ShowUserInfo();
    const auto browsers = window->findChildren<CBrowserDialog*>();
    ASSERT_EQ(browsers.size(), 1);
    EXPECT_EQ(browsers.front()->Url(), QStringLiteral("http://127.0.0.1:9/user/704"));
    CUrlFactory::getSingletonPtr()->SetBaseUrl("");
}

} // namespace pellix
