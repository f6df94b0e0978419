#include "ServiceFixture.h"
#include "client/BrowserDialog.h"
#include "client/UrlFactory.h"
#include "protocol/RequestBodies.h"
#include "records/FriendCommands.h"
#include "skin/SkinMenu.h"
#include "skin/SkinOutBarCtrlEx.h"
#include "skin/SkinTaskbarNotifier.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/addfriend/FriendAddReqDlg.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/friendlist/FriendMainDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <QtTest>

namespace pellix {

namespace {

using MenuRows = std::vector<std::pair<int, QString>>;

class FriendMenu : public ServiceFixture {
protected:
    static constexpr int kSeparator = -1;

    CContactManager& Contacts() { return *CContactManager::GetInstance(); }
    CFriendWindowManager& Windows() { return *CFriendWindowManager::GetInstance(); }
    CFriendMainDlg& Main() { return *Windows().GetMainWindow(); }
    CSkinOutBarCtrlEx& List() { return *Main().ListControl(); }

    // Friends 502 (online) and 503 "ann88" (offline), stranger 600, blacklisted 700, all stored.
    void SignOnWithEveryGroup() {
        SignOnWith({Friend(502, "小明", true), Friend(503, "ann88", false)});
        Contacts().SaveContact(
            Contacts().AddOrUpdateContact(600, 1, 0, 0, "s600", Gbk("路人"), GROUP_STRANGER));
        Contacts().SaveContact(
            Contacts().AddOrUpdateContact(700, 2, 0, 0, "b700", Gbk("坏人"), GROUP_BLACKLIST));
        m_pService->ShowFriendWindow(false);
    }
    // Opens the tab and selects the user's item as a right-click would.
    void Select(int tab, int userID) {
        List().SetSelTab(tab);
        const int row = List().FindItemByUserData(tab, userID);
        ASSERT_GE(row, 0) << userID;
        Main().SelectItem(row);
    }
    static MenuRows Rows(const CSkinMenu& menu) {
        MenuRows rows;
        for (const QAction* action : menu.actions())
            rows.emplace_back(action->isSeparator() ? kSeparator : action->data().toInt(),
                              action->text());
        return rows;
    }
    static MenuRows Expected(const QString& header, const MenuRows& ending) {
        MenuRows rows = {{0, header},
                         {1124, QStringLiteral("发送消息")},
                         {kSeparator, QString()},
                         {1125, QStringLiteral("邀请游戏")},
                         {1126, QStringLiteral("查看好友资料")},
                         {1127, QStringLiteral("上下线提示")},
                         {1128, QStringLiteral("修改备注姓名")},
                         {kSeparator, QString()},
                         {1129, QStringLiteral("查看聊天记录")},
                         {1130, QStringLiteral("删除聊天记录")},
                         {kSeparator, QString()}};
        rows.insert(rows.end(), ending.begin(), ending.end());
        return rows;
    }
    const ShownBox& LastBox() {
        EXPECT_FALSE(m_boxes.boxes.empty());
        static const ShownBox none;
        return m_boxes.boxes.empty() ? none : m_boxes.boxes.back();
    }
    std::vector<uint8_t> MoveBody(int target, uint8_t operation) {
        const auto body = MoveContactBody(kOwnID, target, operation);
        return {body.begin(), body.end()};
    }
};

} // namespace

TEST_F(FriendMenu, EachTabEndsTheMenuWithItsOwnTwoItems) {
    SignOnWithEveryGroup();
    Select(0, 502);
    EXPECT_EQ(Rows(*Main().BuildContextMenu()),
              Expected(QStringLiteral("小明"),
                       {{1131, QStringLiteral("删除好友")}, {1132, QStringLiteral("扔进黑名单")}}));
    Select(1, 600);
    EXPECT_EQ(Rows(*Main().BuildContextMenu()),
              Expected(QStringLiteral("路人"),
                       {{1133, QStringLiteral("加为好友")}, {1132, QStringLiteral("扔进黑名单")}}));
    Select(2, 700);
    const auto menu = Main().BuildContextMenu();
    EXPECT_EQ(Rows(*menu),
              Expected(QStringLiteral("坏人"), {{1133, QStringLiteral("加为好友")},
                                                {1134, QStringLiteral("从黑名单中删除")}}));
    const QAction* tips = menu->FindItem(1127);
    ASSERT_NE(tips, nullptr);
    EXPECT_TRUE(tips->isCheckable());
    EXPECT_TRUE(tips->isChecked()) << "every contact has presence tips until turned off";
}

TEST_F(FriendMenu, HeaderNamesTheNicknameWhereTheListShowsTheNoteName) {
    SignOnWithEveryGroup();
    Contacts().FindContact(503)->noteName = "Ann";
    Contacts().SaveContact(Contacts().FindContact(503));
    Select(0, 503);
    EXPECT_EQ(List().GetItemText(0, List().FindItemByUserData(0, 503)), QStringLiteral("Ann"));
    EXPECT_EQ(Rows(*Main().BuildContextMenu()).front(), std::make_pair(0, QStringLiteral("ann88")));
}

TEST_F(FriendMenu, RightClickOpensTheMenuAndRunsTheChosenItem) {
    SignOnWithEveryGroup();
    List().SetSelTab(0);
    const int row = List().FindItemByUserData(0, 503);
    QWidget* viewport = List().ItemViewport();
    QTest::mouseClick(viewport, Qt::RightButton, Qt::NoModifier,
                      viewport->mapFrom(&List(), List().ItemRect(row).center()));
    EXPECT_EQ(Main().SelectedUser(), 503);
    QString header;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<CSkinMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        header = menu->actions().front()->text();
        QAction* remove = menu->FindItem(1130);
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(remove).center());
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_boxes.boxes.empty(); }));
    EXPECT_EQ(header, QStringLiteral("ann88"));
    EXPECT_EQ(LastBox().text, QStringLiteral("已经成功删除聊天记录！"));
}

TEST_F(FriendMenu, ChatOpensForFriendsAndStrangersButNotFromTheBlacklist) {
    SignOnWithEveryGroup();
    Select(2, 700);
    Main().OnCommand(1124);
    EXPECT_EQ(Windows().Placement().Slots().size(), 0u);
    Select(1, 600);
    Main().OnCommand(1124);
    ASSERT_EQ(Windows().Placement().Slots().size(), 1u);
    EXPECT_TRUE(Windows().GetChatWindow(600)->isVisible());
}

TEST_F(FriendMenu, InvitingToAGameIsNotOpenYet) {
    SignOnWithEveryGroup();
    Select(0, 502);
    Main().OnCommand(1125);
    EXPECT_EQ(LastBox().text, QStringLiteral("该功能暂未开放！"));
    EXPECT_EQ(LastBox().caption, QStringLiteral("好友服务"));
    EXPECT_EQ(LastBox().style, 48u);
    EXPECT_EQ(LastBox().autoCloseSeconds, 5u);
    EXPECT_EQ(LastBox().owner, &Main());
    EXPECT_FALSE(LastBox().notice) << "the user's own action may wait for its box";
}

TEST_F(FriendMenu, BlacklistingAStrangerIsImmediateAFriendWaitsForTheServer) {
    SignOnWithEveryGroup();
    Select(1, 600);
    Main().OnCommand(1132);
    EXPECT_TRUE(Contacts().IsInBlacklist(600));
    EXPECT_GE(List().FindItemByUserData(2, 600), 0);
    EXPECT_TRUE(m_socket.sent.empty()) << "the strangers' tab asks the server nothing";

    Select(0, 502);
    Main().OnCommand(1132);
    EXPECT_EQ(Contacts().FindContact(502)->groupID, GROUP_FRIEND);
    EXPECT_GE(List().FindItemByUserData(0, 502), 0);
    ASSERT_EQ(m_socket.sent.size(), 1u);
    EXPECT_EQ(m_socket.sent[0].subCmd, SUB_C_MOVE_CONTACT);
    EXPECT_EQ(m_socket.sent[0].body, MoveBody(502, MOVE_TO_BLACKLIST));
    ASSERT_TRUE(Receive(SUB_S_MOVE_RESULT, IdBody(502, {MOVE_TO_BLACKLIST, 0})));
    EXPECT_TRUE(Contacts().IsInBlacklist(502));
    EXPECT_GE(List().FindItemByUserData(2, 502), 0);
    EXPECT_EQ(List().FindItemByUserData(0, 502), -1);

    Select(2, 700);
    Main().OnCommand(1132);
    EXPECT_EQ(m_socket.sent.size(), 1u) << "nothing to do on the blacklist's tab";
}

TEST_F(FriendMenu, DeletingAFriendAsksTheServerFromTheFriendsTabOnly) {
    SignOnWithEveryGroup();
    Select(1, 600);
    Main().OnCommand(1131);
    EXPECT_TRUE(m_socket.sent.empty());
    Select(0, 503);
    Main().OnCommand(1131);
    ASSERT_EQ(m_socket.sent.size(), 1u);
    EXPECT_EQ(m_socket.sent[0].body, MoveBody(503, MOVE_TO_STRANGERS));
    EXPECT_EQ(Contacts().FindContact(503)->groupID, GROUP_FRIEND) << "until the server answers";
}

TEST_F(FriendMenu, DeletingTheHistorySaysSoWithOrWithoutAFile) {
    SignOnWithEveryGroup();
    Select(0, 502);
    ASSERT_FALSE(QFileInfo::exists(QString::fromStdString(HistoryPath(502))));
    Main().OnCommand(1130);
    ASSERT_EQ(m_boxes.boxes.size(), 1u);
    EXPECT_EQ(LastBox().text, QStringLiteral("已经成功删除聊天记录！"));
    EXPECT_EQ(LastBox().style, 0u);
    EXPECT_EQ(LastBox().autoCloseSeconds, 10u);

    CChatHistoryManager::GetInstance()->AddMessage(502, "a", "b", 1, "hi");
    CChatHistoryManager::GetInstance()->CommitPending();
    ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(HistoryPath(502))));
    Main().OnCommand(1130);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(HistoryPath(502))));
    EXPECT_EQ(m_boxes.boxes.size(), 2u);
}

TEST_F(FriendMenu, AddingAsFriendOpensTheRequestWindowOnlyForAContactInTheList) {
    SignOnWithEveryGroup();
    Select(0, 502);
    Main().OnCommand(1133);
    EXPECT_FALSE(Windows().GetAddRequestWindow(502)->isVisible()) << "not from the friends tab";

    Select(1, 600);
    Main().OnCommand(1133);
    CFriendAddReqDlg* request = Windows().GetAddRequestWindow(600);
    EXPECT_TRUE(request->isVisible());
    EXPECT_EQ(request->windowTitle(), QStringLiteral("您将加 路人 为好友..."));

    // The contact leaves the model while its item is selected.
    Select(2, 700);
    Contacts().RemoveContact(700);
    m_boxes.boxes.clear();
    for (int command : {1133, 1134}) {
        Main().OnCommand(command);
        EXPECT_EQ(LastBox().text, QStringLiteral("列表中没有这个用户...")) << command;
        EXPECT_EQ(LastBox().style, 16u);
        EXPECT_EQ(LastBox().autoCloseSeconds, 0u);
    }
    EXPECT_FALSE(Windows().GetAddRequestWindow(700)->isVisible());
}

TEST_F(FriendMenu, RemovingFromTheBlacklistLastsAcrossARestart) {
    SignOnWithEveryGroup();
    Select(2, 700);
    Main().OnCommand(1134);
    EXPECT_EQ(Contacts().FindContact(700), nullptr);
    EXPECT_EQ(List().GetItemCount(2), 0);
    EXPECT_EQ(LastBox().text, QStringLiteral("从列表中删除[坏人]成功！"));
    EXPECT_TRUE(m_socket.sent.empty());

    Restart();
    SignOnWith({Friend(502, "小明", true), Friend(503, "ann88", false)});
    EXPECT_EQ(Contacts().FindContact(700), nullptr);
    ASSERT_NE(Contacts().FindContact(600), nullptr) << "the other stored contacts stay";
}

TEST_F(FriendMenu, OnlineTipsItemSilencesOneContactForGood) {
    SignOnWithEveryGroup();
    Receive(SUB_S_ONLINE_STATE, IdBody(503, {STATE_OFFLINE}));
    Select(0, 503);
    Main().OnCommand(1127);
    EXPECT_FALSE(Main().BuildContextMenu()->FindItem(1127)->isChecked());
    CSkinTaskbarNotifier& tip = Windows().Notifier();
    Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_OFFLINE}));
    EXPECT_EQ(tip.Text(), QStringLiteral("小明 下线了！"));
    m_pService->m_nTipFriendID = 42;
    Receive(SUB_S_ONLINE_STATE, IdBody(503, {STATE_ONLINE}));
    EXPECT_EQ(tip.Text(), QStringLiteral("小明 下线了！")) << "no tip for the silenced contact";
    EXPECT_EQ(m_pService->m_nTipFriendID, 42);
    EXPECT_EQ(Contacts().GetOnlineState(503), STATE_ONLINE) << "the list still follows";
    Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_ONLINE}));
    EXPECT_EQ(tip.Text(), QStringLiteral("小明 上线了！"));

    Restart();
    SignOnWith({Friend(502, "小明", false), Friend(503, "ann88", false)});
    EXPECT_FALSE(CFriendOptionManager::GetInstance()->GetFriendOnlineTips(503));
    Receive(SUB_S_ONLINE_STATE, IdBody(503, {STATE_ONLINE}));
    EXPECT_EQ(m_pService->m_nTipFriendID, 0);
    Receive(SUB_S_ONLINE_STATE, IdBody(502, {STATE_ONLINE}));
    EXPECT_EQ(m_pService->m_nTipFriendID, 502);

    m_pService->ShowFriendWindow(false);
    Select(0, 503);
    Main().OnCommand(1127);
    EXPECT_TRUE(CFriendOptionManager::GetInstance()->GetFriendOnlineTips(503)) << "on again";
}

TEST_F(FriendMenu, ProfileOpensOneBrowserWindowOfTheListAndHistoryRunsTheViewer) {
    SignOnWithEveryGroup();
    ASSERT_TRUE(CUrlFactory::getSingletonPtr()->SetBaseUrl("http://127.0.0.1:9"));
    Select(0, 503);
    Main().OnCommand(1126);
    Main().OnCommand(1126);
    const auto browsers = Main().findChildren<CBrowserDialog*>();
    ASSERT_EQ(browsers.size(), 1);
    EXPECT_EQ(browsers.front()->windowTitle(), QStringLiteral("查看好友资料"));
    EXPECT_EQ(browsers.front()->Url(), QStringLiteral("http://127.0.0.1:9/user/503"));

    // A user gone from the list has no page to show.
    Contacts().RemoveContact(600);
    List().SetSelTab(1);
    Main().OnCommand(1126);
    EXPECT_EQ(Main().findChildren<CBrowserDialog*>().front()->Url(),
              QStringLiteral("http://127.0.0.1:9/user/503"));

    QString viewerTitle;
    QTimer::singleShot(0, [&] {
        if (QWidget* viewer = QApplication::activeModalWidget()) {
            viewerTitle = viewer->windowTitle();
            viewer->close();
        }
    });
    Main().OnCommand(1129);
    EXPECT_EQ(viewerTitle, QStringLiteral("聊天记录"));
    CUrlFactory::getSingletonPtr()->SetBaseUrl("");
}

} // namespace pellix
