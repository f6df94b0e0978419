// The scenario steps that work a context menu and the windows it opens: a right-click on a
// friend, a click on a menu item, typing into and pressing a button of a window found by title,
// and waiting for a window's text view to show a text (a page that loads, for one).

#include "ScenarioPlayer.h"

#include "UserInput.h"
#include "WindowFinder.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

ScenarioPlayer::Outcome ScenarioPlayer::RightClick(const QString& name) {
    if (m_bActed && WindowFinder::PopupMenu() != nullptr) {
        Say(QStringLiteral("opened the menu of %1").arg(name));
        return Done();
    }
    if (m_bActed)
        return Pending(QStringLiteral("no menu showed for %1").arg(name));
    QAbstractItemView* view = WindowFinder::FriendListView();
    const QModelIndex item = WindowFinder::FriendItem(view, name);
    if (!item.isValid())
        return Pending(QStringLiteral("the friend list does not show %1").arg(name));
    view->scrollTo(item);
    UserInput::RightClick(view->viewport(), view->visualRect(item).center());
    m_bActed = true;
    return Pending(QStringLiteral("no menu showed for %1").arg(name));
}

ScenarioPlayer::Outcome ScenarioPlayer::Choose(const QString& text) {
    QMenu* menu = WindowFinder::PopupMenu();
    if (menu == nullptr)
        return Pending(QStringLiteral("no menu is shown"));
    QAction* item = WindowFinder::MenuItem(menu, text);
    if (item == nullptr)
        return Failed(QStringLiteral("the menu has no item \"%1\"; it has %2")
                          .arg(text, WindowFinder::MenuItemTexts(menu)));
    Say(QStringLiteral("chose %1").arg(text));
    UserInput::Click(menu, menu->actionGeometry(item).center());
    return Done();
}

ScenarioPlayer::Outcome ScenarioPlayer::TypeIn(const QString& title, const QString& text) {
    QWidget* window = WindowFinder::VisibleWindow(title);
    if (window == nullptr)
        return Pending(QStringLiteral("visible windows: %1").arg(WindowFinder::VisibleTitles()));
    QPlainTextEdit* box = WindowFinder::TextBox(window);
    if (box == nullptr)
        return Failed(QStringLiteral("the window \"%1\" has no text box").arg(title));
    const QString before = box->toPlainText();
    UserInput::Type(box, text);
    if (box->toPlainText() != before + text)
        return Failed(QStringLiteral("the text box shows \"%1\"").arg(box->toPlainText()));
    Say(QStringLiteral("typed into %1: %2").arg(title, text));
    return Done();
}

ScenarioPlayer::Outcome ScenarioPlayer::Press(const QString& title, const QString& button) {
    QWidget* window = WindowFinder::VisibleWindow(title);
    if (window == nullptr)
        return Pending(QStringLiteral("visible windows: %1").arg(WindowFinder::VisibleTitles()));
    QAbstractButton* target = WindowFinder::Button(window, button);
    if (target == nullptr)
        return Failed(QStringLiteral("the window \"%1\" has no button \"%2\"").arg(title, button));
    Say(QStringLiteral("pressed %1 in %2").arg(button, title));
    UserInput::Click(target, target->rect().center());
    return Done();
}

ScenarioPlayer::Outcome ScenarioPlayer::WaitText(const QString& title, const QString& text) {
    QWidget* window = WindowFinder::VisibleWindow(title);
    if (window == nullptr)
        return Pending(QStringLiteral("visible windows: %1").arg(WindowFinder::VisibleTitles()));
    QStringList shown;
    for (const QTextEdit* view : window->findChildren<QTextEdit*>()) {
        if (!view->isVisible())
            continue;
        if (view->toPlainText().contains(text)) {
            Say(QStringLiteral("%1 shows %2").arg(title, text));
            return Done();
        }
        shown.append(view->toPlainText().left(80));
    }
    return Pending(QStringLiteral("the window \"%1\" shows \"%2\"")
                       .arg(title, shown.join(QStringLiteral(" | "))));
}
