#include "HostWindow.h"

#include "HostLayout.h"
#include "WindowFinder.h"
#include "pellix/IFriendClient.h"
#include "pellix/ProxyInfo.h"
#include "text/StringUtility.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace {

void CopyText(char (&field)[32], const QString& text) {
    const std::string ansi = StringUtility::QStringToAnsi(text);
    std::memset(field, 0, sizeof field);
    std::memcpy(field, ansi.data(), std::min(ansi.size(), sizeof field));
}

QPushButton* Button(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setMinimumHeight(30);
    return button;
}

} // namespace

HostWindow::HostWindow(const HostOptions& options, IFriendClient* client, QWidget* parent)
    : QMainWindow(parent), m_options(options), m_pClient(client) {
    setWindowTitle(QStringLiteral("游戏大厅 - %1").arg(options.nickName));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(BuildUserHeader());
    layout->addWidget(BuildFriendActions());
    m_pStatus = new QLabel(central);
    m_pStatus->setObjectName(QStringLiteral("hostStatus"));
    // A long server address wraps instead of widening the window.
    m_pStatus->setWordWrap(true);
    layout->addWidget(m_pStatus);
    layout->addStretch();
    setCentralWidget(central);
    resize(640, 480);
}

QWidget* HostWindow::BuildUserHeader() {
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    auto* face = new QLabel(header);
    face->setPixmap(AvatarHost::MakeAvatar(m_options.userName, m_options.gender, 64));
    auto* name = new QLabel(QStringLiteral("<b>%1</b><br>ID %2 · %3")
                                .arg(m_options.nickName.toHtmlEscaped())
                                .arg(m_options.userID)
                                .arg(m_options.userName.toHtmlEscaped()),
                            header);
    row->addWidget(face);
    row->addWidget(name, 1);
    return header;
}

QWidget* HostWindow::BuildFriendActions() {
    auto* panel = new QWidget(this);
    auto* form = new QFormLayout(panel);

    auto* toggle = Button(QStringLiteral("好友列表"), panel);
    toggle->setObjectName(QStringLiteral("toggleFriends"));
    connect(toggle, &QPushButton::clicked, this, [this] { m_pClient->ShowFriendWindow(true); });
    auto* closeAll = Button(QStringLiteral("关闭好友窗口"), panel);
    connect(closeAll, &QPushButton::clicked, this, [this] { m_pClient->CloseFriendWindows(); });
    auto* windowRow = new QHBoxLayout;
    windowRow->addWidget(toggle);
    windowRow->addWidget(closeAll);
    form->addRow(windowRow);

    m_pAddFriendID = new QLineEdit(panel);
    m_pAddFriendID->setValidator(new QIntValidator(1, 2147483647, m_pAddFriendID));
    m_pAddFriendID->setPlaceholderText(QStringLiteral("用户ID"));
    m_pAddFriendName = new QLineEdit(panel);
    m_pAddFriendName->setPlaceholderText(QStringLiteral("昵称"));
    auto* add = Button(QStringLiteral("加为好友"), panel);
    connect(add, &QPushButton::clicked, this, &HostWindow::AddFriendFromInput);
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(m_pAddFriendID);
    addRow->addWidget(m_pAddFriendName);
    addRow->addWidget(add);
    form->addRow(QStringLiteral("添加好友"), addRow);

    m_pBlacklistID = new QLineEdit(panel);
    m_pBlacklistID->setValidator(new QIntValidator(1, 2147483647, m_pBlacklistID));
    m_pBlacklistID->setPlaceholderText(QStringLiteral("用户ID"));
    auto* block = Button(QStringLiteral("拉入黑名单"), panel);
    connect(block, &QPushButton::clicked, this, &HostWindow::BlacklistFromInput);
    auto* blockRow = new QHBoxLayout;
    blockRow->addWidget(m_pBlacklistID);
    blockRow->addWidget(block);
    form->addRow(QStringLiteral("黑名单"), blockRow);

    auto* quit = Button(QStringLiteral("退出"), panel);
    connect(quit, &QPushButton::clicked, this, &QMainWindow::close);
    form->addRow(quit);
    return panel;
}

bool HostWindow::SignOn() {
    tagUserInfo info{};
    info.userID = m_options.userID;
    info.showID = m_options.showID;
    info.gender = static_cast<uint8_t>(m_options.gender);
    CopyText(info.userName, m_options.userName);
    CopyText(info.nickName, m_options.nickName);
    m_pClient->SetUserInfo(info, m_options.token.toStdString());
    m_pClient->SetFriendHost(&m_avatars);
    tagProxyInfo proxy;
    const bool started = m_pClient->StartFriendService(m_options.server.toStdString(), 0, proxy);
    ShowStatus(started ? QStringLiteral("好友服务已启动，服务器 %1（好友列表里可见好友在线状态）")
                             .arg(m_options.server)
                       : QStringLiteral("无法连接好友服务器 %1").arg(m_options.server));
    return started;
}

void HostWindow::MoveToTile() {
    if (m_options.tile)
        move(FreeArea().topLeft());
}

QWidget* HostWindow::ShowFriendListBeside() {
    m_pClient->ShowFriendWindow(false);
    QWidget* list = WindowFinder::VisibleWindow(WindowFinder::FriendListTitle());
    if (list != nullptr)
        PlaceSideBySide(*this, *list, FreeArea());
    return list;
}

QRect HostWindow::FreeArea() const {
    const QRect available = screen()->availableGeometry();
    if (m_options.tile)
        return TileArea(available, *m_options.tile);
    return {frameGeometry().topLeft(), available.bottomRight()};
}

void HostWindow::AddFriendFromInput() {
    const int id = m_pAddFriendID->text().toInt();
    if (id <= 0) {
        ShowStatus(QStringLiteral("请输入要添加的用户ID"));
        return;
    }
    m_pClient->AddFriend(id, StringUtility::QStringToAnsi(m_pAddFriendName->text()));
}

void HostWindow::BlacklistFromInput() {
    const int id = m_pBlacklistID->text().toInt();
    if (id <= 0) {
        ShowStatus(QStringLiteral("请输入要拉黑的用户ID"));
        return;
    }
    if (!m_pClient->AddToBlacklist(id, 0, 0, 0, std::string(), std::string()))
        ShowStatus(QStringLiteral("用户 %1 不在好友列表中").arg(id));
}

void HostWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    QCoreApplication::quit();
}

void HostWindow::ShowStatus(const QString& text) {
    m_pStatus->setText(text);
}
