#pragma once
// Stand-ins for the friend windows built from plain Qt controls, shaped the way the scenario
// player finds the real ones: a host window with its friend-list button, a list window titled
// "游戏好友" whose items carry portraits, and chat windows with a view, an input box, a
// send button that moves the text into the view and a history button that shows the view's text
// in a modal window titled "聊天记录".

#include <QAbstractButton>
#include <QListView>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTextEdit>

#include <map>
#include <memory>

QPixmap Portrait(bool online);

class FakeChatWindow : public QWidget {
public:
    explicit FakeChatWindow(const QString& friendName);
    QTextEdit* view;
    QPlainTextEdit* input;
    QAbstractButton* send;
    QAbstractButton* history;
    // How many times the history window was opened and closed again.
    int historyRuns = 0;

private:
    void ShowHistory();
};

class FakeFriendWindows {
public:
    FakeFriendWindows();
    ~FakeFriendWindows();

    void AddFriend(const QString& name, bool online);
    void SetOnline(const QString& name, bool online);
    FakeChatWindow* Chat(const QString& name);

    QMainWindow host;
    QWidget friendList;
    QListView* list;
    QStandardItemModel model;
    std::map<QString, std::unique_ptr<FakeChatWindow>> chats;
};
