#include "FriendChatDlg.h"

#include "ChatMarkup.h"
#include "FriendChatHistoryViewerDlg.h"
#include "base/AnsiText.h"
#include "base/SignedInUser.h"
#include "pellix/IFriendHost.h"
#include "protocol/FriendRequests.h"
#include "resources/ResourceIds.h"
#include "skin/SkinImageManager.h"
#include "skin/SkinMenu.h"
#include "skin/SkinMessageBox.h"
#include "skin/UIModuleUtility.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/manager/FriendWindowManager.h"
#include "ui/manager/WindowFrame.h"
#include "ui_FriendChatDlg.h"

#include <QColorDialog>
#include <QCursor>
#include <QFontDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <ctime>

namespace {

constexpr int kInputLimit = 200;
constexpr COLORREF kSendKeyMenuTextColor = 0x00811E07;
const QString kButtonBack = QStringLiteral("data/Friend/btn_back.png");

bool EnterSends() {
    auto* options = CFriendOptionManager::GetInstance();
    return options != nullptr && options->GetFriendOption().bEnterShortcut;
}

void SetButton(CSkinButton* button, const QString& image, const QString& tip) {
    button->SetButtonImage(image, false, 5, SKIN_TRANSPARENT_COLOR);
    button->setToolTip(tip);
    button->show();
}

} // namespace

CFriendChatDlg::CFriendChatDlg(IFriendRequests& service, QWidget* parent)
    : CRgnDialog(parent), m_service(service),
      m_pTemplate(std::make_unique<Ui::FriendChatDlgTemplate>()) {
    m_pTemplate->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowMinimizeButtonHint);
    // Keys are looked at before the control with the focus gets them.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    const auto& ui = *m_pTemplate;
    // The title-bar buttons take no keyboard focus, so none is drawn framed when the window opens.
    for (CSkinButton* button : {ui.minButton, ui.maxButton, ui.closeButton})
        button->setFocusPolicy(Qt::NoFocus);
    connect(ui.sendButton, &CSkinButton::clicked, this, &CFriendChatDlg::SendChatMessage);
    connect(ui.closeButton, &CSkinButton::clicked, this, [this] { OnCancel(); });
    connect(ui.closeTextButton, &CSkinButton::clicked, this, [this] { OnCancel(); });
    connect(ui.minButton, &CSkinButton::clicked, this, &QWidget::showMinimized);
    connect(ui.maxButton, &CSkinButton::clicked, this, &QWidget::showMaximized);
    connect(ui.fontButton, &CSkinButton::clicked, this, &CFriendChatDlg::ChooseFont);
    connect(ui.sendKeyButton, &CSkinButton::clicked, this, &CFriendChatDlg::ShowSendKeyMenu);
    connect(ui.historyButton, &CSkinButton::clicked, this, &CFriendChatDlg::ShowHistory);
}

CFriendChatDlg::~CFriendChatDlg() = default;

CSkinEdit* CFriendChatDlg::InputBox() const {
    return m_pTemplate->inputBox;
}

CSkinRichEdit* CFriendChatDlg::DisplayView() const {
    return m_pTemplate->displayView;
}

CSkinButton* CFriendChatDlg::SendButton() const {
    return m_pTemplate->sendButton;
}

bool CFriendChatDlg::OnInitDialog() {
    CRgnDialog::OnInitDialog();
    setGeometry(0, 0, 490, 367);
    ApplyWindowFrame(*this, {0x00FFFFED, QStringLiteral("聊天窗口"), IDI_FRIEND_CHAT,
                             QStringLiteral("data/Friend/chat_bk_")});
    DisplayView()->setReadOnly(true);
    DisplayView()->SetEventMask(DisplayView()->GetEventMask() | 0x04030009);
    DisplayView()->SetBackgroundColor(CHAT_VIEW_BACKGROUND);
    DisplayView()->show();
    InputBox()->SetMultiLine(true);
    InputBox()->LimitText(kInputLimit);
    InputBox()->show();
    SetupButtons();
    AppendLine(FormatNoticeLine("交谈中请勿轻信汇款、中奖信息，勿轻易拨打陌生电话。"));
    DisplayView()->AddLine();
    InputBox()->setFocus();
    RectifyControl(width(), height());
    return false;
}

void CFriendChatDlg::SetupButtons() {
    const auto& ui = *m_pTemplate;
    SetButton(ui.minButton, QStringLiteral("data/Friend/chat_btn_sysMin.png"),
              QStringLiteral("最小化"));
    SetButton(ui.maxButton, QStringLiteral("data/Friend/chat_btn_sysMax.png"),
              QStringLiteral("最大化"));
    ui.maxButton->setEnabled(false);
    SetButton(ui.closeButton, QStringLiteral("data/Friend/chat_btn_sysClose.png"),
              QStringLiteral("关闭"));
    SetButton(ui.fontButton, QStringLiteral("data/Friend/chat_btn_font.png"),
              QStringLiteral("设置字体颜色和格式"));
    SetButton(ui.emotionButton, QStringLiteral("data/Friend/chat_btn_expression.png"),
              QStringLiteral("选择表情"));
    SetButton(ui.historyButton, QStringLiteral("data/Friend/chat_btn_history.png"),
              QStringLiteral("显示聊天记录"));
    SetButton(ui.closeTextButton, kButtonBack, QStringLiteral("关闭"));
    ui.closeTextButton->setText(QStringLiteral("关闭(&C)"));
    SetButton(ui.sendButton, kButtonBack, QString());
    ui.sendButton->setText(QStringLiteral("发送(&S)"));
    SetButton(ui.sendKeyButton, QStringLiteral("data/Friend/chat_btn_shortcut.png"), QString());
    UpdateSendTip();
}

void CFriendChatDlg::RectifyControl(int cx, int cy) {
    const auto& ui = *m_pTemplate;
    ui.minButton->setGeometry(cx - 78, 5, 17, 17);
    ui.maxButton->setGeometry(cx - 53, 5, 17, 17);
    ui.closeButton->setGeometry(cx - 25, 5, 17, 17);
    ui.displayView->setGeometry(5, 49, 350, 152);
    ui.inputBox->setGeometry(5, 224, 350, 107);
    ui.fontButton->setGeometry(12, 203, 49, 19);
    ui.emotionButton->setGeometry(64, 203, 49, 19);
    ui.historyButton->setGeometry(116, 204, 73, 19);
    ui.closeTextButton->setGeometry(cx - 260, cy - 27, 49, 21);
    ui.sendButton->setGeometry(cx - 201, cy - 27, 49, 21);
    ui.sendKeyButton->setGeometry(cx - 147, cy - 27, 7, 20);
}

void CFriendChatDlg::SetFriend(int userID) {
    m_nFriendID = userID;
    auto* contacts = CContactManager::GetInstance();
    if (const ContactInfo* contact =
            contacts != nullptr ? contacts->FindContact(userID) : nullptr) {
        m_nFriendShowID = contact->showID;
        m_nFriendGender = contact->gender;
        m_strFriendName = contact->noteName.empty() ? contact->nickName : contact->noteName;
        m_strFriendUserName = contact->userName;
    }
    setWindowTitle(StringUtility::AnsiToQString(FormatAnsi("与%s聊天中", m_strFriendName.c_str())));
    update();
}

void CFriendChatDlg::AppendLine(const std::string& markup) {
    const MarkupLine line = ParseMarkupLine(markup);
    DisplayView()->AppendText(line.text, line.color);
}

void CFriendChatDlg::AppendMessage(const std::string& name, const std::string& text,
                                   COLORREF bodyColor, bool own) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    AppendLine(
        FormatHeaderLine(own ? CHAT_OWN_HEADER_COLOR : CHAT_FRIEND_HEADER_COLOR, name, local));
    DisplayView()->BeginMessageBody();
    AppendLine(FormatBodyLine(bodyColor, text));
    DisplayView()->EndMessageBody();
    InputBox()->setFocus();
}

void CFriendChatDlg::SendChatMessage() {
    const std::string text = StringUtility::QStringToAnsi(InputBox()->toPlainText());
    if (text.empty()) {
        ShowSkinMessageBox(this, AnsiText("不能发送空信息！"), AnsiText("好友服务"), MB_STYLE_PLAIN,
                           10);
        return;
    }
    const SignedInUser& user = GetUserInfo();
    if (auto* history = CChatHistoryManager::GetInstance())
        history->AddMessage(m_nFriendID, FieldText(user.nickName), m_strFriendName,
                            static_cast<int64_t>(std::time(nullptr)), text);
    AppendMessage(AnsiText("我"), text, 0x00000000, true);
    m_service.SendChatMessage(user.userID, m_nFriendID, text);
    InputBox()->clear();
    if (m_bCloseAfterSend)
        hide();
}

void CFriendChatDlg::SendShake() {
    auto* contacts = CContactManager::GetInstance();
    const uint8_t state = contacts != nullptr ? contacts->GetOnlineState(m_nFriendID) : 1;
    if ((state & 2) == 0) {
        AppendLine(FormatNoticeLine("您的好友不在线或隐身，因此您不能发送窗口抖动。"));
        DisplayView()->AddLine();
        return;
    }
    m_service.SendShake(m_nFriendID);
    AppendLine(FormatNoticeLine("您发送了一个窗口抖动。"));
    UIModuleUtility::ShakeWindow(this, 3, 3, 20, 5);
}

void CFriendChatDlg::OnCancel() {
    if (auto* windows = CFriendWindowManager::GetInstance())
        windows->ReleaseChatSlot(m_wPlacementSlot);
    CRgnDialog::OnCancel();
}

void CFriendChatDlg::UpdateSendTip() {
    SendButton()->setToolTip(EnterSends() ? QStringLiteral("按Enter键发送消息,按Ctrl+Enter键换行")
                                          : QStringLiteral("按Ctrl+Enter键发送消息,按Enter键换行"));
}

void CFriendChatDlg::ShowSendKeyMenu() {
    CSkinMenu menu(this);
    menu.SetMenuColors(0x00FF9966, 0x00FCE4C6, 0x00DEC040, 0x00CD8607);
    menu.AddSideBar(CSkinMenuSideBar(12, QStringLiteral("棋牌游戏")));
    menu.AppendODMenu(ID_SEND_BY_ENTER,
                      CSkinMenuText(QStringLiteral("按Enter键发送消息"), kSendKeyMenuTextColor));
    menu.AppendODMenu(ID_SEND_BY_CTRL_ENTER, CSkinMenuText(QStringLiteral("按Ctrl+Enter键发送消息"),
                                                           kSendKeyMenuTextColor));
    menu.CheckMenuItem(EnterSends() ? ID_SEND_BY_ENTER : ID_SEND_BY_CTRL_ENTER, true);
    const int chosen = menu.TrackPopupMenu(QCursor::pos());
    if (chosen != 0)
        OnSendKeyCommand(chosen);
}

void CFriendChatDlg::OnSendKeyCommand(int command) {
    auto* options = CFriendOptionManager::GetInstance();
    if (options == nullptr || (command != ID_SEND_BY_ENTER && command != ID_SEND_BY_CTRL_ENTER))
        return;
    options->GetFriendOption().bEnterShortcut = command == ID_SEND_BY_ENTER;
    options->Save();
    UpdateSendTip();
}

void CFriendChatDlg::ShowHistory() {
    // The viewer's modal loop goes on serving the friend service, which may close this window.
    const QPointer<CFriendChatDlg> self(this);
    CFriendChatHistoryViewerDlg::RunModal(m_nFriendID);
    if (self.isNull())
        return;
    raise();
    activateWindow();
}

void CFriendChatDlg::ChooseFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_chosenFont, this);
    if (ok)
        m_chosenFont = font;
    activateWindow();
}

bool CFriendChatDlg::HandleKey(const QObject* target, const QKeyEvent& key) {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const bool ctrl = key.modifiers().testFlag(Qt::ControlModifier);
    const bool alt = key.modifiers().testFlag(Qt::AltModifier);
    if (enter) {
        // The other Enter combination makes a new line in the input box.
        if (ctrl != EnterSends())
            SendChatMessage();
        else if (target == InputBox())
            InputBox()->insertPlainText(QStringLiteral("\n"));
        return true;
    }
    if (alt && key.key() == Qt::Key_C) {
        OnCancel();
        return true;
    }
    if (alt && key.key() == Qt::Key_S) {
        SendChatMessage();
        return true;
    }
    if (alt && key.key() == Qt::Key_N) {
        SendShake();
        return true;
    }
    return false;
}

bool CFriendChatDlg::IsChatKey(const QKeyEvent& key) {
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    const bool alt = key.modifiers().testFlag(Qt::AltModifier);
    return enter ||
           (alt && (key.key() == Qt::Key_C || key.key() == Qt::Key_S || key.key() == Qt::Key_N));
}

bool CFriendChatDlg::eventFilter(QObject* watched, QEvent* event) {
    // The chat keys must reach the rules below, not the buttons' mnemonics.
    if (event->type() == QEvent::ShortcutOverride &&
        IsChatKey(static_cast<const QKeyEvent&>(*event))) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress &&
        HandleKey(watched, static_cast<const QKeyEvent&>(*event)))
        return true;
    return CRgnDialog::eventFilter(watched, event);
}

void CFriendChatDlg::DrawView(QPainter& painter) {
    if (IFriendHost* host = m_service.GetFriendHost()) {
        host->DrawUserFace(&painter, 380, 63, m_strFriendUserName, m_nFriendID, m_nFriendShowID,
                           m_nFriendGender);
        const SignedInUser& user = GetUserInfo();
        host->DrawUserFace(&painter, 380, 243, FieldText(user.userName), user.userID, user.showID,
                           user.gender);
    }
    const QPixmap bar = CSkinImageManager::Instance().GetImage(
        QStringLiteral("data/Friend/chat_bk_button_bar.png"));
    if (!bar.isNull())
        painter.drawPixmap(QRect(5, 202, 350, 24), bar);
}
