#include "WindowFixture.h"
#include "records/FriendCommands.h"
#include "skin/SkinOutBarCtrlEx.h"
#include "skin/SkinTaskbarNotifier.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/friendlist/FriendMainDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QFileInfo>
#include <QMainWindow>
#include <QtTest>

namespace pellix {

namespace {

class WindowManager : public WindowFixture {
protected:
    CFriendWindowManager& Windows() { return m_windows; }
    CContactManager& Contacts() { return m_contacts; }
    CFriendMainDlg& Main() { return *Windows().GetMainWindow(); }
    CSkinOutBarCtrlEx& List() { return *Main().ListControl(); }
};

} // namespace

TEST_F(WindowManager, ChatWindowsCascadeFromTheScreenCentre) {
    CFriendChatDlg* first = Windows().OpenChatWindow(502);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    // A 490 x 367 window on a 1024 x 768 screen: x = (1024 - 490) / 2 - 125.
    EXPECT_EQ(first->geometry(), QRect(142, 200, 490, 367));
    CFriendChatDlg* second = Windows().OpenChatWindow(503);
    EXPECT_EQ(second->geometry(), QRect(157, 220, 490, 367));
    EXPECT_EQ(Windows().OpenChatWindow(502), first) << "one window per friend";
}

TEST_F(WindowManager, VisibleChatWindowIsBroughtForwardNotMoved) {
    CFriendChatDlg* chat = Windows().OpenChatWindow(502);
    chat->move(10, 10);
    Windows().OpenChatWindow(502);
    EXPECT_EQ(chat->pos(), QPoint(10, 10));
    EXPECT_EQ(Windows().Placement().Slots().size(), 1u);
}

TEST_F(WindowManager, ClosedChatWindowGivesItsSlotBackAndIsPlacedAgain) {
    Windows().OpenChatWindow(502);
    CFriendChatDlg* second = Windows().OpenChatWindow(503);
    second->move(5, 5);
    second->CancelChat();
    EXPECT_FALSE(second->isVisible());
    EXPECT_FALSE(Windows().Placement().Slots()[1].inUse);
    Windows().OpenChatWindow(503);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(second->geometry(), QRect(157, 220, 490, 367));
}

TEST_F(WindowManager, FriendListOpensBesideTheHostAndToggles) {
    QMainWindow host;
    host.setGeometry(100, 100, 800, 600);
    host.show();
    m_windows.ShowMainWindow(false);
    ASSERT_TRUE(Main().isVisible());
    const QRect hostRect = host.frameGeometry();
    EXPECT_EQ(Main().pos(),
              QPoint(hostRect.left() + hostRect.width() * 7 / 10 + 8, hostRect.top() + 112));
    Main().move(3, 3);
    m_windows.ShowMainWindow(false);
    EXPECT_TRUE(Main().isVisible());
    EXPECT_EQ(Main().pos(), QPoint(3, 3)) << "a visible window is left alone without toggle";
    m_windows.ShowMainWindow(true);
    EXPECT_FALSE(Main().isVisible());
    m_windows.ShowMainWindow(true);
    EXPECT_TRUE(Main().isVisible());
    m_windows.HideMainWindow();
    EXPECT_FALSE(Main().isVisible());
}

TEST_F(WindowManager, TinyHostWindowFallsBackToTheWorkArea) {
    QMainWindow host;
    host.setGeometry(0, 0, 90, 400);
    host.show();
    m_windows.ShowMainWindow(false);
    EXPECT_EQ(Main().pos(), QPoint(1024 - Main().width() - 243, 144));
    m_windows.ShowMainWindow(true);
    m_windows.ShowMainWindow(true);
    EXPECT_EQ(Main().pos(), QPoint(1024 * 7 / 10 + 8, 112)) << "toggle places by the work area";
}

TEST_F(WindowManager, FriendListFilesContactsByGroupWithOnlineFriendsOnTop) {
    SignOnWith({Friend(502, "小明", false), Friend(503, "ann88", true), Friend(504, "小红", true)});
    Contacts().AddOrUpdateContact(600, 1, 0, 0, "s600", Gbk("路人"), GROUP_STRANGER);
    Contacts().FindContact(503)->noteName = "Ann";
    m_windows.ShowMainWindow(false);
    EXPECT_EQ(List().GetTabText(0), QStringLiteral("我的好友(2/3)"));
    EXPECT_EQ(List().GetTabText(1), QStringLiteral("陌生人"));
    EXPECT_EQ(List().GetTabText(2), QStringLiteral("黑名单"));
    ASSERT_EQ(List().GetItemCount(0), 3);
    EXPECT_EQ(List().GetItemCount(1), 1);
    EXPECT_EQ(List().GetItemCount(2), 0);
    // Online friends go to the top in the order they are filed; offline ones to the end.
    EXPECT_EQ(List().GetItemText(0, 0), QStringLiteral("小红"));
    EXPECT_EQ(List().GetItemText(0, 1), QStringLiteral("Ann"));
    EXPECT_EQ(List().GetItemSubText(0, 1), QStringLiteral("503"));
    EXPECT_EQ(List().GetItemText(0, 2), QStringLiteral("小明"));
    EXPECT_TRUE(List().IsItemOffline(0, 2));

    // Coming online moves the friend to the top; going offline to the bottom.
    Contacts().SetOnlineState(502, STATE_ONLINE);
    EXPECT_EQ(List().GetItemUserData(0, 0), 502);
    Contacts().SetOnlineState(504, STATE_OFFLINE);
    EXPECT_EQ(List().GetItemUserData(0, 2), 504);
    EXPECT_EQ(List().GetItemCount(0), 3);
    // Presence commands also rebuild the visible list, once per burst, in the model's order.
    Receive(SUB_S_ONLINE_STATE, IdBody(504, {STATE_OFFLINE}));
    Receive(SUB_S_ONLINE_STATE, IdBody(504, {STATE_ONLINE}));
    EXPECT_EQ(List().GetItemUserData(0, 0), 504) << "the contact is re-filed at once";
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return List().GetTabText(0) == QStringLiteral("我的好友(3/3)"); }));
    EXPECT_EQ(List().GetItemUserData(0, 0), 504);
    EXPECT_EQ(List().GetItemUserData(0, 2), 502);
    EXPECT_EQ(List().GetItemCount(0), 3);
}

TEST_F(WindowManager, DoubleClickOpensChatsExceptOnTheBlacklist) {
    SignOnWith({Friend(502, "小明", true)});
    Contacts().AddOrUpdateContact(700, 1, 0, 0, "b700", Gbk("坏人"), GROUP_BLACKLIST);
    m_windows.ShowMainWindow(false);
    List().SetSelTab(2);
    EXPECT_EQ(Main().OnListNotify(3, 0), 0);
    EXPECT_EQ(Windows().Placement().Slots().size(), 0u) << "no chat for a blacklisted contact";

    List().SetSelTab(0);
    QWidget* viewport = List().ItemViewport();
    const QPoint at = viewport->mapFrom(&List(), List().ItemRect(0).center());
    QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_EQ(Windows().Placement().Slots().size(), 1u);
    EXPECT_TRUE(Windows().GetChatWindow(502)->isVisible());
}

TEST_F(WindowManager, RemovalNoticeNamesTheNicknameNotTheNoteName) {
    SignOnWith({Friend(503, "ann88", true)});
    Contacts().FindContact(503)->noteName = "Ann";
    m_windows.ShowMainWindow(false);
    Contacts().RemoveContact(503);
    EXPECT_EQ(List().GetItemCount(0), 0);
    ASSERT_FALSE(m_boxes.boxes.empty());
    EXPECT_EQ(m_boxes.boxes.back().text, QStringLiteral("从列表中删除[ann88]成功！"));
    EXPECT_EQ(m_boxes.boxes.back().caption, QStringLiteral("好友服务"));
    EXPECT_EQ(m_boxes.boxes.back().style, 16u);
    EXPECT_EQ(m_boxes.boxes.back().autoCloseSeconds, 5u);
    EXPECT_EQ(List().GetTabText(0), QStringLiteral("我的好友(0/0)"));
}

TEST_F(WindowManager, TipsReplaceEachOtherAndClicksFollowTheLastOnlineTip) {
    SignOnWith({Friend(502, "小明", false), Friend(503, "小红", true)});
    CSkinTaskbarNotifier& tip = Windows().Notifier();
    Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_ONLINE}));
    EXPECT_EQ(tip.Text(), QStringLiteral("小明 上线了！"));
    EXPECT_EQ(m_environment.tipFriendID, 502);
    Receive(SUB_S_ONLINE_STATE, IdBody(503, {STATE_OFFLINE}));
    EXPECT_EQ(tip.Text(), QStringLiteral("小红 下线了！"));
    EXPECT_EQ(m_environment.tipFriendID, 0);
    EXPECT_EQ(Main().OnTipClicked(), 1);
    EXPECT_EQ(Windows().Placement().Slots().size(), 0u) << "an offline tip opens nothing";

    Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_ONLINE}));
    Q_EMIT tip.clicked();
    ASSERT_EQ(Windows().Placement().Slots().size(), 1u);
    EXPECT_TRUE(Windows().GetChatWindow(502)->isVisible());

    Contacts().RemoveContact(502);
    EXPECT_EQ(Main().OnTipClicked(), -1) << "the friend left the list";
}

TEST_F(WindowManager, PresenceOfAStrangerToTheListShowsAnEmptyName) {
    SignOnWith({});
    Receive(SUB_S_ONLINE_STATE, IdBody(999, {STATE_ONLINE}));
    EXPECT_EQ(Windows().Notifier().Text(), QStringLiteral(" 上线了！"));
}

TEST_F(WindowManager, OfflineMessagesFromTheBlacklistAreNeitherShownNorStored) {
    SignOnWith({Friend(502, "小明", true)});
    Contacts().AddOrUpdateContact(700, 1, 0, 0, "b700", Gbk("坏人"), GROUP_BLACKLIST);
    ReceiveWritten(SUB_S_OFFLINE_MESSAGES, [](CCommandStream& stream) {
        stream.WriteInt32(0);
        WriteList(stream,
                  std::vector<OfflineMessageEntry>{{700, {0, 0, 0}, "spam"},
                                                   {502, {0, 0, 0}, Gbk("你好")}},
                  WriteOfflineMessageEntry);
    });
    EXPECT_EQ(Windows().Placement().Slots().size(), 1u);
    EXPECT_TRUE(Windows().GetChatWindow(502)->isVisible());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(HistoryPath(700))));
    auto& history = m_history;
    EXPECT_EQ(history.GetMessageCount(502), 1);
    const auto& rows = history.GetMessages(502, 20, 0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].strFrom, Gbk("小明"));
    EXPECT_EQ(rows[0].strTo, Gbk("我自己"));
    EXPECT_EQ(rows[0].strMessage, Gbk("你好"));
}

TEST_F(WindowManager, CloseAllWindowsLeavesTheModelWithoutAListener) {
    SignOnWith({Friend(502, "小明", true)});
    m_windows.ShowMainWindow(false);
    Windows().OpenChatWindow(502);
    m_windows.CloseAllWindows();
    EXPECT_EQ(Windows().GetMainWindow(), nullptr);
    // Presence changes and tips after the windows are gone must not reach deleted windows.
    Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_OFFLINE}));
    Contacts().RemoveContact(502);
    m_windows.ShowMainWindow(false);
    EXPECT_TRUE(Main().isVisible());
}

} // namespace pellix
