// Chat windows whose components cannot be had: the library missing, without the factory, with a
// factory that makes nothing, or without the picker's factory. The user is told once, messages are
// still stored and sent, and nothing breaks while the window is used, closed or destroyed.

#include "ChatTestSupport.h"
#include "WindowFixture.h"
#include "records/FriendCommands.h"
#include "skin/SkinButton.h"
#include "skin/SkinEdit.h"
#include "storage/ChatHistoryManager.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QRegularExpression>
#include <QtTest>

namespace pellix {

namespace {

struct FailedLoad {
    const char* name;
    // The library standing in for libkivra.so; null when there is none.
    const char* library;
    // What the user is told (UTF-8).
    const char* expectedText;
};

const FailedLoad kFailedLoads[] = {
    {"Missing", nullptr, "^libkivra\\.so 加载失败，错误代码：2 ！$"},
    {"NoFactory", "libchat_test_NoFactory.so",
     "^libkivra\\.so 组件创建函数 CreateMessageProxy 不存在，错误代码：\\d+ ！$"},
    {"NoObject", "libchat_test_NullFactory.so",
     "^libkivra\\.so 组件创建函数 CreateMessageProxy 创建组件失败 ！$"},
    {"NoPicker", "libchat_test_Counting.so",
     "^libkivra\\.so 组件创建函数 CreateEmotionSelector 不存在，错误代码：\\d+ ！$"},
};

bool APopupIsShown() {
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowType() == Qt::Popup)
            return true;
    return false;
}

class ChatComponentFailure : public WindowFixture,
                             public ::testing::WithParamInterface<FailedLoad> {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Ready());
        SignOnWith({Friend(502, "小明", true), Friend(503, "小红", true)});
        m_requests.sent.clear();
    }
    void TearDown() override { m_windows.CloseAllWindows(); }

    int Stored(int peer) { return m_history.GetMessageCount(peer); }
    int SentWith(const std::string& request) const {
        return static_cast<int>(
            std::count_if(m_requests.sent.begin(), m_requests.sent.end(),
                          [&](const std::string& sent) { return sent.starts_with(request); }));
    }

    ComponentLibraryFolder folder{GetParam().library};
};

} // namespace

TEST_P(ChatComponentFailure, IsToldOnceAndTheWindowsStillStoreSendAndClose) {
    Receive(SUB_S_CHAT_MESSAGE, IdBody(502, {'h', 'i', 0}));
    CFriendChatDlg* chat = m_windows.GetChatWindow(502);
    EXPECT_TRUE(chat->isVisible());
    EXPECT_EQ(Stored(502), 1);
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    const ShownBox& box = m_boxes.boxes[0];
    EXPECT_TRUE(box.notice);
    EXPECT_EQ(box.owner, chat);
    EXPECT_EQ(box.caption, QStringLiteral("好友服务"));
    EXPECT_TRUE(
        QRegularExpression(QString::fromUtf8(GetParam().expectedText)).match(box.text).hasMatch())
        << box.text.toStdString();

    // Sent and stored, shaken, the emoticon button pressed, closed: all without the components.
    chat->InputBox()->ReplaceSel(QStringLiteral("在吗"), false);
    chat->SendChatMessage();
    EXPECT_EQ(SentWith("chat 502 "), 1);
    EXPECT_EQ(Stored(502), 2);
    chat->SendShake();
    EXPECT_EQ(SentWith("shake 502"), 1);
    QTest::mouseClick(chat->EmotionButton(), Qt::LeftButton);
    EXPECT_FALSE(APopupIsShown());
    chat->CancelChat();
    EXPECT_FALSE(chat->isVisible());

    // Another window, and messages that waited on the server: stored, and no second notice.
    ReceiveWritten(SUB_S_OFFLINE_MESSAGES, [](CCommandStream& stream) {
        stream.WriteInt32(0);
        WriteList(stream, std::vector<OfflineMessageEntry>{{503, {0, 0, 0}, Gbk("早上好")}},
                  WriteOfflineMessageEntry);
    });
    EXPECT_TRUE(m_windows.GetChatWindow(503)->isVisible());
    EXPECT_EQ(Stored(503), 1);
    EXPECT_EQ(m_boxes.boxes.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ChatComponentFailure, ::testing::ValuesIn(kFailedLoads),
                         [](const ::testing::TestParamInfo<FailedLoad>& info) {
                             return std::string(info.param.name);
                         });

} // namespace pellix
