#include "FriendMainDlg.h"

#include "base/AnsiText.h"
#include "pellix/IFriendHost.h"
#include "protocol/FriendRequests.h"
#include "resources/ResourceIds.h"
#include "skin/SkinMessageBox.h"
#include "skin/SkinOutBarCtrlEx.h"
#include "storage/ContactInfo.h"
#include "storage/ContactManager.h"
#include "ui/friendlist/FriendSystemOptionDlg.h"
#include "ui/manager/FriendWindowManager.h"
#include "ui/manager/ModuleResourceScope.h"
#include "ui/manager/WindowEnvironment.h"
#include "ui/manager/WindowFrame.h"
#include "ui_FriendMainDlg.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace pellix {

namespace {

constexpr COLORREF kMainColor = 0x00FFFFED;
const QString kTabImage = QStringLiteral("data/Friend/main_btn_tab.png");
constexpr int kConnectingLineHeight = 18;

QString TabCaption(int friendCount, int onlineFriendCount) {
    return QStringLiteral("我的好友(%1/%2)").arg(onlineFriendCount).arg(friendCount);
}

} // namespace

CFriendMainDlg::CFriendMainDlg(const WindowContext& context, QWidget* parent)
    : CRgnDialog(parent), m_context(context),
      m_pTemplate(std::make_unique<Ui::FriendMainDlgTemplate>()) {
    m_pTemplate->setupUi(this);
    // A top-level window of its own on the task bar, above other windows.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowMinimizeButtonHint);
    // The title-bar buttons take no keyboard focus, so none is drawn framed when the window opens.
    CloseButton()->setFocusPolicy(Qt::NoFocus);
    OptionButton()->setFocusPolicy(Qt::NoFocus);
    connect(CloseButton(), &CSkinButton::clicked, this, [this] { OnCancel(); });
    connect(OptionButton(), &CSkinButton::clicked, this, &CFriendMainDlg::OpenOptionWindow);
}

CFriendMainDlg::~CFriendMainDlg() = default;

CSkinButton* CFriendMainDlg::CloseButton() const {
    return m_pTemplate->closeButton;
}

CSkinButton* CFriendMainDlg::OptionButton() const {
    return m_pTemplate->optionButton;
}

bool CFriendMainDlg::OnInitDialog() {
    CRgnDialog::OnInitDialog();
    ApplyWindowFrame(*this, {kMainColor, QStringLiteral("游戏好友"), IDI_FRIEND,
                             QStringLiteral("data/Friend/main_bk_")});

    m_pListCtrl = new CSkinOutBarCtrlEx(this);
    m_pListCtrl->setProperty(CONTROL_ID_PROPERTY, IDC_FRIEND_LIST);
    m_pListCtrl->show();
    connect(m_pListCtrl, &CSkinOutBarCtrlEx::itemNotify, this,
            [this](int event, int, int item) { OnListNotify(event, item); });
    m_pListCtrl->InsertTabPannel(TabCaption(0, 0), TabFriends, kTabImage);
    m_pListCtrl->InsertTabPannel(QStringLiteral("陌生人"), TabStrangers, kTabImage);
    m_pListCtrl->InsertTabPannel(QStringLiteral("黑名单"), TabBlacklist, kTabImage);
    m_pListCtrl->SetSelTab(TabFriends);

    CloseButton()->SetButtonImage(QStringLiteral("data/Friend/main_btn_close.png"), false, 5,
                                  SKIN_TRANSPARENT_COLOR);
    CloseButton()->show();
    OptionButton()->SetButtonImage(QStringLiteral("data/Friend/main_btn_option.png"), false, 5,
                                   SKIN_TRANSPARENT_COLOR);
    OptionButton()->show();
    m_pConnectingLine = new QLabel(QStringLiteral("正在连接好友服务器…"), this);
    m_pConnectingLine->setAlignment(Qt::AlignCenter);
    m_pConnectingLine->setStyleSheet(QStringLiteral("color: #808080; font-size: 12px;"));
    m_pConnectingLine->hide();
    setGeometry(0, 0, 150, 620);
    RectifyControl(width(), height());
    return true;
}

bool CFriendMainDlg::IsConnecting() const {
    return m_pConnectingLine != nullptr && !m_pConnectingLine->isHidden();
}

void CFriendMainDlg::SetConnecting(bool connecting) {
    if (m_pConnectingLine == nullptr || connecting == IsConnecting())
        return;
    m_pConnectingLine->setVisible(connecting);
    RectifyControl(width(), height());
}

void CFriendMainDlg::RectifyControl(int cx, int) {
    CloseButton()->setGeometry(cx - 25, 6, 15, 15);
    OptionButton()->setGeometry(cx - 45, 6, 15, 15);
    const int lineHeight = IsConnecting() ? kConnectingLineHeight : 0;
    if (m_pConnectingLine != nullptr)
        m_pConnectingLine->setGeometry(1, 23, 148, kConnectingLineHeight);
    if (m_pListCtrl != nullptr)
        m_pListCtrl->setGeometry(1, 23 + lineHeight, 148, 585 - lineHeight);
}

void CFriendMainDlg::OnContactsReset() {
    if (m_pListCtrl == nullptr)
        return;
    // The model refills the list right after a reset.
    OnManyContactsChanging();
    for (int tab : {TabFriends, TabStrangers, TabBlacklist})
        m_pListCtrl->RemoveAllItem(tab);
}

void CFriendMainDlg::OnManyContactsChanging() {
    // The view sees the turn's changes as one reset once control returns to the event loop, not
    // thousands of row changes.
    if (m_pListCtrl == nullptr || m_bRefilling)
        return;
    m_bRefilling = true;
    m_pListCtrl->BeginBatch();
    QTimer::singleShot(0, this, [this] {
        m_bRefilling = false;
        m_pListCtrl->EndBatch();
    });
}

void CFriendMainDlg::OnContactCounts(int friendCount, int onlineFriendCount) {
    if (m_pListCtrl == nullptr)
        return;
    m_pListCtrl->SetTabText(TabFriends, TabCaption(friendCount, onlineFriendCount));
    m_pListCtrl->update();
    update();
}

void CFriendMainDlg::OnContactChanged(ContactInfo* contact) {
    if (contact != nullptr)
        RefileContact(*contact);
}

void CFriendMainDlg::OnContactAdded(ContactInfo* contact) {
    OnContactChanged(contact);
}

void CFriendMainDlg::OnContactRemoved(ContactInfo* contact) {
    if (contact == nullptr)
        return;
    for (int tab : {TabFriends, TabStrangers, TabBlacklist})
        RemoveUser(tab, contact->userID);
    // A notice, not a box to wait for: the model is in the middle of the removal.
    ShowSkinNotice(this, FormatAnsi("从列表中删除[%s]成功！", contact->nickName.c_str()),
                   AnsiText("好友服务"), MB_STYLE_ERROR, 5);
}

void CFriendMainDlg::RemoveUser(int tab, int userID) {
    if (m_pListCtrl != nullptr)
        m_pListCtrl->RemoveItemByUserData(tab, userID);
}

void CFriendMainDlg::RefileContact(const ContactInfo& contact) {
    const int target = TabOfGroup(contact.groupID);
    for (int tab : {TabFriends, TabStrangers, TabBlacklist}) {
        if (tab != target)
            RemoveUser(tab, contact.userID);
    }
    if (target >= 0)
        FileContact(target, contact);
}

int CFriendMainDlg::TabOfGroup(int32_t groupID) {
    switch (groupID) {
    case GROUP_FRIEND:
        return TabFriends;
    case GROUP_STRANGER:
        return TabStrangers;
    case GROUP_BLACKLIST:
        return TabBlacklist;
    default:
        return -1;
    }
}

void CFriendMainDlg::FileContact(int tab, const ContactInfo& contact) {
    if (m_pListCtrl == nullptr)
        return;
    const std::string& name = contact.noteName.empty() ? contact.nickName : contact.noteName;
    const bool online = (contact.onlineState & STATE_ONLINE) != 0;
    // Online friends come first; everyone else goes to the end (the item itself counts as there).
    const int position = tab == TabFriends && online ? 0 : m_pListCtrl->GetItemCount(tab);
    const QPixmap* image = nullptr;
    if (IFriendHost* host = m_context.environment.GetFriendHost())
        image = host->GetUserFaceImage(contact.userName, contact.userID, contact.showID,
                                       contact.gender);
    m_pListCtrl->RefileItem(tab, position, StringUtility::AnsiToQString(name),
                            QString::number(contact.userID), image, !online, contact.userID);
}

int CFriendMainDlg::OnListNotify(int event, int item) {
    if (m_pListCtrl == nullptr)
        return 0;
    if (event == CSkinOutBarCtrlEx::NotifyRightClick) {
        SelectItem(item);
        // The menu's own loop runs after the list has finished with the mouse press.
        QTimer::singleShot(0, this, &CFriendMainDlg::OpenContextMenu);
    } else if (event == CSkinOutBarCtrlEx::NotifyDoubleClick &&
               m_pListCtrl->GetCurrentTabIndex() != TabBlacklist) {
        if (auto* windows = m_context.windows)
            windows->OpenChatWindow(m_pListCtrl->GetItemUserData(item));
    }
    return 0;
}

int CFriendMainDlg::OnTipClicked() {
    const int32_t friendID = m_context.environment.GetTipFriendID();
    if (friendID == 0)
        return 1;
    auto* contacts = m_context.contacts;
    if (contacts == nullptr || contacts->FindContact(friendID) == nullptr)
        return -1;
    if (auto* windows = m_context.windows)
        windows->OpenChatWindow(friendID);
    return 1;
}

void CFriendMainDlg::OpenOptionWindow() {
    ModuleResourceScope scope;
    // A child of this window on the heap: when CloseFriendWindows deletes this window while the
    // settings wait for the user, they go with it and their loop ends.
    QPointer<CFriendSystemOptionDlg> options = new CFriendSystemOptionDlg(m_context.options, this);
    options->exec();
    delete options.data();
}

} // namespace pellix
