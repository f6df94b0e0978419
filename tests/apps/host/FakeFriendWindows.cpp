#include "FakeFriendWindows.h"

#include <QDialog>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextCursor>
#include <QVBoxLayout>

QPixmap Portrait(bool online) {
    QPixmap pixmap(16, 16);
    pixmap.fill(online ? QColor(0x30, 0x90, 0xE0) : QColor(0x80, 0x80, 0x80));
    return pixmap;
}

namespace {

constexpr int kCell = 28;

// Appends text as a paragraph, each "[N]" as a small picture.
void ShowWithPictures(QTextEdit* view, const QString& text) {
    QTextCursor cursor(view->document());
    cursor.movePosition(QTextCursor::End);
    if (!view->document()->isEmpty())
        cursor.insertBlock();
    static const QRegularExpression code(QStringLiteral("\\[\\d+\\]"));
    qsizetype done = 0;
    for (const QRegularExpressionMatch& match : code.globalMatch(text)) {
        cursor.insertText(text.mid(done, match.capturedStart() - done));
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(Qt::yellow);
        cursor.insertImage(picture);
        done = match.capturedEnd();
    }
    cursor.insertText(text.mid(done));
}

} // namespace

FakeEmoticonPicker::FakeEmoticonPicker(QPlainTextEdit* input)
    : QWidget(nullptr, Qt::Popup), m_pInput(input) {
    setFixedSize(12 * kCell, 8 * kCell);
}

void FakeEmoticonPicker::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    hide();
    m_pInput->insertPlainText(
        QStringLiteral("[%1]").arg(point.y() / kCell * 12 + point.x() / kCell));
}

FakeChatWindow::FakeChatWindow(const QString& friendName)
    : view(new QTextEdit(this)), input(new QPlainTextEdit(this)),
      send(new QPushButton(QStringLiteral("发送(&S)"), this)), emoticons(new QPushButton(this)),
      picker(input) {
    setWindowTitle(QStringLiteral("与%1聊天中").arg(friendName));
    auto* layout = new QVBoxLayout(this);
    view->setReadOnly(true);
    emoticons->setToolTip(QStringLiteral("选择表情"));
    layout->addWidget(view);
    layout->addWidget(emoticons);
    layout->addWidget(input);
    layout->addWidget(send);
    history = new QPushButton(this);
    history->setToolTip(QStringLiteral("显示聊天记录"));
    layout->addWidget(history);
    QObject::connect(history, &QAbstractButton::clicked, this, [this] { ShowHistory(); });
    QObject::connect(send, &QAbstractButton::clicked, this, [this] {
        ShowWithPictures(view, input->toPlainText());
        input->clear();
    });
    QObject::connect(emoticons, &QAbstractButton::clicked, this, [this] { picker.show(); });
}

void FakeChatWindow::ShowHistory() {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("聊天记录"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* shown = new QTextEdit(&dialog);
    shown->setReadOnly(true);
    shown->setPlainText(view->toPlainText());
    auto* close = new QPushButton(&dialog);
    close->setToolTip(QStringLiteral("关闭"));
    QObject::connect(close, &QAbstractButton::clicked, &dialog, &QDialog::reject);
    layout->addWidget(shown);
    layout->addWidget(close);
    dialog.exec();
    ++historyRuns;
}

FakeFriendWindows::FakeFriendWindows() {
    host.setWindowTitle(QStringLiteral("host"));
    auto* toggle = new QPushButton(QStringLiteral("好友列表"), &host);
    host.setCentralWidget(toggle);
    QObject::connect(toggle, &QAbstractButton::clicked, &friendList, &QWidget::show);
    friendList.setWindowTitle(QStringLiteral("游戏好友"));
    auto* layout = new QVBoxLayout(&friendList);
    list = new QListView(&friendList);
    list->setModel(&model);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(list);
    QObject::connect(list, &QListView::doubleClicked, list,
                     [this](const QModelIndex& index) { Chat(index.data().toString())->show(); });
    host.show();
}

FakeFriendWindows::~FakeFriendWindows() = default;

void FakeFriendWindows::AddFriend(const QString& name, bool online) {
    auto* item = new QStandardItem(name);
    item->setData(Portrait(online), Qt::DecorationRole);
    model.appendRow(item);
}

void FakeFriendWindows::SetOnline(const QString& name, bool online) {
    for (QStandardItem* item : model.findItems(name))
        item->setData(Portrait(online), Qt::DecorationRole);
}

FakeChatWindow* FakeFriendWindows::Chat(const QString& name) {
    auto& chat = chats[name];
    if (!chat)
        chat = std::make_unique<FakeChatWindow>(name);
    return chat.get();
}
