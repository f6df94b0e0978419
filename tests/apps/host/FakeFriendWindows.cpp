#include "FakeFriendWindows.h"

#include <QDialog>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

QPixmap Portrait(bool online) {
    QPixmap pixmap(16, 16);
    pixmap.fill(online ? QColor(0x30, 0x90, 0xE0) : QColor(0x80, 0x80, 0x80));
    return pixmap;
}

FakeChatWindow::FakeChatWindow(const QString& friendName) {
    setWindowTitle(QStringLiteral("与%1聊天中").arg(friendName));
    auto* layout = new QVBoxLayout(this);
    view = new QTextEdit(this);
    view->setReadOnly(true);
    input = new QPlainTextEdit(this);
    send = new QPushButton(QStringLiteral("发送(&S)"), this);
    layout->addWidget(view);
    layout->addWidget(input);
    layout->addWidget(send);
    history = new QPushButton(this);
    history->setToolTip(QStringLiteral("显示聊天记录"));
    layout->addWidget(history);
    QObject::connect(history, &QAbstractButton::clicked, this, [this] { ShowHistory(); });
    QObject::connect(send, &QAbstractButton::clicked, this, [this] {
        view->append(input->toPlainText());
        input->clear();
    });
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
