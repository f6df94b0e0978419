#include "WindowFinder.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextFragment>

#include <algorithm>

namespace WindowFinder {

namespace {

constexpr int kTipMaxWidth = 400;
// Grey pixels have equal channels; a portrait in colour has pixels far from that.
constexpr int kColourfulChroma = 24;

bool IsColourful(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const int high = std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            const int low = std::min({qRed(pixel), qGreen(pixel), qBlue(pixel)});
            if (qAlpha(pixel) > 128 && high - low > kColourfulChroma)
                return true;
        }
    }
    return false;
}

} // namespace

QList<QWidget*> VisibleWindows() {
    QList<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowType() != Qt::Desktop)
            windows.append(widget);
    }
    // topLevelWidgets() comes from a hash: order by title for stable file names and messages.
    std::stable_sort(windows.begin(), windows.end(), [](const QWidget* a, const QWidget* b) {
        return a->windowTitle() < b->windowTitle();
    });
    return windows;
}

QWidget* VisibleWindow(const QString& title) {
    for (QWidget* window : VisibleWindows()) {
        if (window->windowTitle() == title)
            return window;
    }
    return nullptr;
}

QString VisibleTitles() {
    QStringList titles;
    for (const QWidget* window : VisibleWindows())
        titles.append(QStringLiteral("\"%1\"").arg(window->windowTitle()));
    return titles.isEmpty() ? QStringLiteral("none") : titles.join(QStringLiteral(", "));
}

QString FriendListTitle() {
    return QStringLiteral("游戏好友");
}

QString ChatTitle(const QString& friendName) {
    return QStringLiteral("与%1聊天中").arg(friendName);
}

QString FriendOfChatTitle(const QString& title) {
    const QString prefix = QStringLiteral("与");
    const QString suffix = QStringLiteral("聊天中");
    if (!title.startsWith(prefix) || !title.endsWith(suffix) ||
        title.size() <= prefix.size() + suffix.size())
        return {};
    return title.mid(prefix.size(), title.size() - prefix.size() - suffix.size());
}

QString HistoryTitle() {
    return QStringLiteral("聊天记录");
}

QAbstractItemView* FriendListView() {
    QWidget* window = VisibleWindow(FriendListTitle());
    if (window == nullptr)
        return nullptr;
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
        if (view->isVisible() && view->model() != nullptr)
            return view;
    }
    return nullptr;
}

QModelIndex FriendItem(QAbstractItemView* view, const QString& name) {
    const QAbstractItemModel* model = view != nullptr ? view->model() : nullptr;
    if (model == nullptr)
        return {};
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
        const QModelIndex index = model->index(row, 0, view->rootIndex());
        if (index.data(Qt::DisplayRole).toString() == name)
            return index;
    }
    return {};
}

bool ShowsOnline(const QModelIndex& item) {
    const QPixmap portrait = item.data(Qt::DecorationRole).value<QPixmap>();
    return !portrait.isNull() &&
           IsColourful(portrait.toImage().convertToFormat(QImage::Format_ARGB32));
}

QPlainTextEdit* TextBox(QWidget* window) {
    for (QPlainTextEdit* edit : window->findChildren<QPlainTextEdit*>()) {
        if (edit->isVisible() && !edit->isReadOnly())
            return edit;
    }
    return nullptr;
}

QPlainTextEdit* ChatInput(QWidget* chat) {
    return TextBox(chat);
}

QTextEdit* ChatView(QWidget* chat) {
    for (QTextEdit* view : chat->findChildren<QTextEdit*>()) {
        if (view->isVisible() && view->isReadOnly())
            return view;
    }
    return nullptr;
}

QAbstractButton* Button(QWidget* window, const QString& text) {
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->text() == text)
            return button;
    }
    return nullptr;
}

QAbstractButton* ButtonWithTip(QWidget* window, const QString& tip) {
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->toolTip() == tip)
            return button;
    }
    return nullptr;
}

int Pictures(const QTextEdit* view) {
    int pictures = 0;
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
        for (auto piece = block.begin(); !piece.atEnd(); ++piece) {
            const QTextFragment fragment = piece.fragment();
            if (fragment.charFormat().isImageFormat())
                pictures += fragment.length();
        }
    }
    return pictures;
}

QWidget* Popup() {
    for (QWidget* window : VisibleWindows()) {
        if (window->windowType() == Qt::Popup)
            return window;
    }
    return nullptr;
}

QWidget* PopupTip() {
    for (QWidget* window : VisibleWindows()) {
        const Qt::WindowFlags flags = window->windowFlags();
        if (window->windowType() == Qt::Tool && flags.testFlag(Qt::FramelessWindowHint) &&
            window->width() <= kTipMaxWidth)
            return window;
    }
    return nullptr;
}

QMenu* PopupMenu() {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu != nullptr && menu->isVisible() ? menu : nullptr;
}

QAction* MenuItem(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator() && action->isEnabled() && action->text() == text)
            return action;
    }
    return nullptr;
}

QString MenuItemTexts(QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator())
            texts.append(QStringLiteral("\"%1\"").arg(action->text()));
    }
    return texts.join(QStringLiteral(", "));
}

} // namespace WindowFinder
