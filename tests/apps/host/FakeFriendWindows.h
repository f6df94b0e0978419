#pragma once
// Stand-ins for the friend windows built from plain Qt controls, shaped the way the scenario
// player finds the real ones: a host window with its friend-list button, a list window titled
// "游戏好友" whose items carry portraits, and chat windows with a view, an input box, a
// send button that moves the text into the view and a history button that shows the view's text
// in a modal window titled "聊天记录".

#include <QAbstractButton>
#include <QListView>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStandardItemModel>
#include <QTextEdit>

#include <map>
#include <memory>

QPixmap Portrait(bool online);

// A picker of 12 by 8 cells: a click on cell N puts "[N]" into the input box and closes it.
class FakeEmoticonPicker : public QWidget {
public:
    explicit FakeEmoticonPicker(QPlainTextEdit* input);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPlainTextEdit* m_pInput;
};

// Sending shows each "[N]" of the text as a picture.
class FakeChatWindow : public QWidget {
public:
    explicit FakeChatWindow(const QString& friendName);
    QTextEdit* view;
    QPlainTextEdit* input;
    QAbstractButton* send;
    QAbstractButton* history;
    // Shows no text, only its tool-tip "选择表情".
    QAbstractButton* emoticons;
    FakeEmoticonPicker picker;
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
