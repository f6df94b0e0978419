#pragma once
// Finds the friend windows the way a user does: by their titles and what they show. The host
// knows the module only through IFriendClient, so it looks among the application's visible
// top-level windows and the standard Qt controls inside them.

#include <QList>
#include <QModelIndex>
#include <QString>

class QAbstractButton;
class QAction;
class QMenu;
class QAbstractItemView;
class QPlainTextEdit;
class QTextEdit;
class QWidget;

namespace WindowFinder {

// Visible top-level windows, in a stable order.
QList<QWidget*> VisibleWindows();
// The first visible window titled exactly title, or null.
QWidget* VisibleWindow(const QString& title);
// Titles of the visible windows, for messages.
QString VisibleTitles();

// The friend list window's title and a chat window's title for a friend's display name.
QString FriendListTitle();
QString ChatTitle(const QString& friendName);
// The display name in a chat window's title, empty when title is no chat title.
QString FriendOfChatTitle(const QString& title);

// The chat history window's title.
QString HistoryTitle();

// The list of the visible friend list window, or null.
QAbstractItemView* FriendListView();
// The row of the open list showing name, invalid when none.
QModelIndex FriendItem(QAbstractItemView* view, const QString& name);
// Online contacts show their portrait in colour, offline ones in grey.
bool ShowsOnline(const QModelIndex& item);

// The first visible text box the user can type into of a window, or null.
QPlainTextEdit* TextBox(QWidget* window);
// The input box, conversation view and a button (by its text) of a window, or null.
QPlainTextEdit* ChatInput(QWidget* chat);
QTextEdit* ChatView(QWidget* chat);
QAbstractButton* Button(QWidget* window, const QString& text);
// A button of a window that shows no text, by its tool-tip, or null.
QAbstractButton* ButtonWithTip(QWidget* window, const QString& tip);
// The pictures (emoticons) a conversation view shows.
int Pictures(const QTextEdit* view);

// A visible popup window, such as the emoticon picker, or null.
QWidget* Popup();

// A visible popup tip: a small frameless tool window.
QWidget* PopupTip();
// The pop-up menu shown now, or null.
QMenu* PopupMenu();
// The enabled item of a menu with that text, or null.
QAction* MenuItem(QMenu* menu, const QString& text);
// The texts of a menu's items, for messages.
QString MenuItemTexts(QMenu* menu);

} // namespace WindowFinder
