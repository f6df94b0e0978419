#include "WindowFinder.h"
#include "FakeFriendWindows.h"
#include "UserInput.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(WindowFinder, FindsOnlyVisibleWindowsByTitleAndItemsByName) {
    FakeFriendWindows windows;
    windows.AddFriend(QStringLiteral("小红"), false);
    windows.AddFriend(QStringLiteral("Bob"), true);
    EXPECT_EQ(WindowFinder::FriendListView(), nullptr);
    windows.friendList.show();
    EXPECT_EQ(WindowFinder::VisibleWindow(QStringLiteral("游戏好友")), &windows.friendList);
    EXPECT_EQ(WindowFinder::VisibleWindow(QStringLiteral("与Bob聊天中")), nullptr);
    EXPECT_TRUE(WindowFinder::VisibleTitles().contains(QStringLiteral("\"游戏好友\"")));

    QAbstractItemView* view = WindowFinder::FriendListView();
    ASSERT_EQ(view, windows.list);
    const QModelIndex red = WindowFinder::FriendItem(view, QStringLiteral("小红"));
    const QModelIndex bob = WindowFinder::FriendItem(view, QStringLiteral("Bob"));
    EXPECT_EQ(red.row(), 0);
    EXPECT_EQ(bob.row(), 1);
    EXPECT_FALSE(WindowFinder::FriendItem(view, QStringLiteral("Bo")).isValid());
    EXPECT_FALSE(WindowFinder::ShowsOnline(red));
    EXPECT_TRUE(WindowFinder::ShowsOnline(bob));
    windows.model.item(1)->setData(QVariant(), Qt::DecorationRole);
    EXPECT_FALSE(WindowFinder::ShowsOnline(bob)) << "no portrait, nothing to tell online by";

    FakeChatWindow* chat = windows.Chat(QStringLiteral("Bob"));
    chat->show();
    EXPECT_EQ(WindowFinder::ChatInput(chat), chat->input);
    EXPECT_EQ(WindowFinder::ChatView(chat), chat->view);
    EXPECT_EQ(WindowFinder::Button(chat, QStringLiteral("发送(&S)")), chat->send);
    EXPECT_EQ(WindowFinder::Button(chat, QStringLiteral("发送")), nullptr);
}

TEST(WindowFinder, ReadsTheFriendOutOfAChatTitle) {
    EXPECT_EQ(WindowFinder::FriendOfChatTitle(WindowFinder::ChatTitle(QStringLiteral("小明"))),
              QStringLiteral("小明"));
    EXPECT_TRUE(WindowFinder::FriendOfChatTitle(QStringLiteral("与聊天中")).isEmpty());
    EXPECT_TRUE(WindowFinder::FriendOfChatTitle(QStringLiteral("游戏好友")).isEmpty());
}

TEST(WindowFinder, APopupTipIsASmallFramelessToolWindow) {
    QWidget owner;
    owner.show();
    QWidget tip(&owner, Qt::Tool | Qt::FramelessWindowHint);
    tip.resize(180, 110);
    QWidget framedTool(&owner, Qt::Tool);
    framedTool.resize(180, 110);
    framedTool.show();
    EXPECT_EQ(WindowFinder::PopupTip(), nullptr);
    tip.show();
    EXPECT_EQ(WindowFinder::PopupTip(), &tip);
}

TEST(UserInput, TypesLatinAsKeysAndChineseAsInputMethodCommits) {
    QPlainTextEdit edit;
    int keys = 0;
    QObject::connect(&edit, &QPlainTextEdit::textChanged, [&] { ++keys; });
    UserInput::Type(&edit, QStringLiteral("Hi 你好，Bob! 8点"));
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("Hi 你好，Bob! 8点"));
    // Nine key presses, and two commits: "你好，" and "点".
    EXPECT_EQ(keys, 11);

    QLineEdit line;
    UserInput::Type(&line, QStringLiteral("a,b"));
    EXPECT_EQ(line.text(), QStringLiteral("a,b"));
}

TEST(UserInput, ClicksAndDoubleClicksAsTheWindowSystemWould) {
    FakeFriendWindows windows;
    QSignalSpy shown(windows.host.centralWidget(), SIGNAL(clicked()));
    auto* toggle = static_cast<QWidget*>(windows.host.centralWidget());
    UserInput::Click(toggle, toggle->rect().center());
    EXPECT_EQ(shown.size(), 1);
    EXPECT_TRUE(windows.friendList.isVisible());

    windows.AddFriend(QStringLiteral("Bob"), true);
    QSignalSpy doubleClicked(windows.list, &QListView::doubleClicked);
    const QRect item = windows.list->visualRect(windows.model.index(0, 0));
    UserInput::DoubleClick(windows.list->viewport(), item.center());
    ASSERT_EQ(doubleClicked.size(), 1);
    EXPECT_EQ(doubleClicked.first().first().toModelIndex().row(), 0);
    EXPECT_TRUE(windows.Chat(QStringLiteral("Bob"))->isVisible());
}
