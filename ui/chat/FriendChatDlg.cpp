#include "FriendChatDlg.h"

#include "ChatComponentNotice.h"
#include "ChatLineMarkup.h"
#include "FriendChatHistoryViewerDlg.h"
#include "base/AnsiText.h"
#include "base/SignedInUser.h"
#include "pellix/IFriendHost.h"
#include "protocol/FriendRequests.h"
#include "records/FriendCommands.h"
#include "resources/ResourceIds.h"
#include "skin/SkinImageManager.h"
#include "skin/SkinMessageBox.h"
#include "skin/SkinRichEdit.h"
#include "skin/UIModuleUtility.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "ui/controls/SkinScrollBar.h"
#include "ui/manager/FriendWindowManager.h"
#include "ui/manager/WindowEnvironment.h"
#include "ui/manager/WindowFrame.h"
#include "ui_FriendChatDlg.h"

#include <QPainter>
#include <QPointer>
#include <ctime>

namespace pellix {

namespace {

constexpr int kInputLimit = 200;
constexpr COLORREF kOwnHeaderColor = 0x00408000;
constexpr COLORREF kFriendHeaderColor = 0x00FF0000;
constexpr COLORREF kNoticeColor = 0x006A1002;
// Link, mouse, key, scroll-event and change notifications of the display view.
constexpr uint32_t kDisplayEventMask = 0x04030009;
const QString kButtonBack = QStringLiteral("data/Friend/btn_back.png");

const WindowFrame& ChatFrame() {
    static const WindowFrame frame{0x00FFFFED, QStringLiteral("聊天窗口"), IDI_FRIEND_CHAT,
                                   QStringLiteral("data/Friend/chat_bk_")};
    return frame;
}

// " name hh:mm:ss   " with the local time of display.
std::string HeaderLine(COLORREF color, const std::string& name) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return ChatMarkupLine(color, FormatAnsi(" %s %02d:%02d:%02d   ", name.c_str(), local.tm_hour,
                                            local.tm_min, local.tm_sec));
}

std::string NoticeLine(const char* utf8Notice) {
    return ChatMarkupLine(kNoticeColor, AnsiText(utf8Notice));
}

const QColor kPendingColor(0x80, 0x80, 0x80);
const QColor kRefusedColor(0xC0, 0x00, 0x00);

QString RefusalText(uint32_t reason) {
    switch (reason) {
    case CHAT_REFUSED_NO_ACCOUNT:
        return QStringLiteral("发送失败：对方帐号不存在。");
    case CHAT_REFUSED_BY_RECIPIENT:
        return QStringLiteral("发送失败：对方不接收您的消息。");
    default:
        return QStringLiteral("发送失败。");
    }
}

void SetButton(CSkinButton* button, const QString& image, const QString& tip) {
    button->SetButtonImage(image, false, 5, SKIN_TRANSPARENT_COLOR);
    button->setToolTip(tip);
    button->show();
}

} // namespace

CFriendChatDlg::CFriendChatDlg(const WindowContext& context, QWidget* parent)
    : CRgnDialog(parent), m_context(context),
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
    connect(ui.emotionButton, &CSkinButton::clicked, this, &CFriendChatDlg::ShowEmotionPicker);
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

CSkinButton* CFriendChatDlg::EmotionButton() const {
    return m_pTemplate->emotionButton;
}

bool CFriendChatDlg::OnInitDialog() {
    CRgnDialog::OnInitDialog();
    setGeometry(0, 0, 490, 367);
    ApplyWindowIdentity(*this, ChatFrame());
    // Without its components the window stays bare: no skin, buttons, scroll bars or notice.
    if (!SetupComponents())
        return false;
    ApplyBorderImages(*this, ChatFrame());
    SetupViews();
    SetupButtons();
    SetupSkinImages();
    AppendLine(NoticeLine("交谈中请勿轻信汇款、中奖信息，勿轻易拨打陌生电话。"), APPEND_TEXT_ONLY);
    DisplayView()->AddLine();
    InputBox()->setFocus();
    RectifyControl(width(), height());
    return false;
}

bool CFriendChatDlg::SetupComponents() {
    if (!m_messageDisplay.Load()) {
        ShowChatComponentFailure(this, m_messageDisplay.GetErrorText());
        return false;
    }
    if (!m_messageDisplay->Attach(DisplayView()))
        return false;
    m_messageDisplay->SetupA(1);
    m_messageDisplay->SetupB(1);
    if (!m_emotionSelector.Load()) {
        ShowChatComponentFailure(this, m_emotionSelector.GetErrorText());
        return false;
    }
    m_emotionSelector->SetSink(this);
    return true;
}

void CFriendChatDlg::SetupViews() {
    DisplayView()->setReadOnly(true);
    DisplayView()->SetEventMask(DisplayView()->GetEventMask() | kDisplayEventMask);
    DisplayView()->SetBackgroundColor(CHAT_VIEW_BACKGROUND);
    DisplayView()->show();
    InputBox()->SetMultiLine(true);
    InputBox()->LimitText(kInputLimit);
    InputBox()->show();
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

// The button bar behind the font, emoticon and history buttons, and the scroll bars of both text
// boxes; a bitmap that is missing leaves the boxes their own bars.
void CFriendChatDlg::SetupSkinImages() {
    m_buttonBar = CSkinImageManager::Instance().GetImage(
        QStringLiteral("data/Friend/chat_bk_button_bar.png"));
    m_scrollBitmap = SkinScrollLoadBitmap();
    if (m_scrollBitmap.isNull())
        return;
    SkinScrollInstall(DisplayView(), m_scrollBitmap);
    SkinScrollInstall(InputBox(), m_scrollBitmap);
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
    const bool firstFriend = m_nFriendID == 0;
    m_nFriendID = userID;
    auto* contacts = m_context.contacts;
    if (const ContactInfo* contact =
            contacts != nullptr ? contacts->FindContact(userID) : nullptr) {
        m_nFriendShowID = contact->showID;
        m_nFriendGender = contact->gender;
        m_strFriendName = contact->noteName.empty() ? contact->nickName : contact->noteName;
        m_strFriendUserName = contact->userName;
    }
    setWindowTitle(StringUtility::AnsiToQString(FormatAnsi("与%s聊天中", m_strFriendName.c_str())));
    if (firstFriend)
        ShowPendingChats();
    update();
}

void CFriendChatDlg::AppendLine(const std::string& markup, int emoticons) {
    // Without the display object nothing can be shown; the history keeps every message.
    if (IMessageProxy* display = MessageDisplay())
        display->AppendText(markup.c_str(), APPEND_NEW_PARAGRAPH, 0, emoticons,
                            APPEND_VIEW_FONT_SIZE);
}

void CFriendChatDlg::AppendMessage(const std::string& name, const std::string& text,
                                   COLORREF bodyColor, bool own) {
    AppendLine(HeaderLine(own ? kOwnHeaderColor : kFriendHeaderColor, name), APPEND_EMOTICONS);
    DisplayView()->BeginMessageBody();
    AppendLine(ChatMarkupLine(bodyColor, text), APPEND_EMOTICONS);
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
    const ChatSendReceipt receipt = m_context.requests.SendChatMessage(m_nFriendID, text);
    if (receipt.state == ChatSendState::TooLong) {
        // Nothing was kept: the text stays in the input box.
        AppendLine(NoticeLine("消息太长，未能发送。"), APPEND_TEXT_ONLY);
        return;
    }
    const SignedInUser& user = GetUserInfo();
    if (auto* history = m_context.history)
        history->AddMessage(m_nFriendID, FieldText(user.nickName), m_strFriendName,
                            static_cast<int64_t>(std::time(nullptr)), text);
    AppendOwnMessage(text, receipt.state == ChatSendState::Pending ? receipt.messageID : 0);
    InputBox()->clear();
    if (m_bCloseAfterSend)
        hide();
}

void CFriendChatDlg::AppendOwnMessage(const std::string& text, uint64_t pendingID) {
    AppendLine(HeaderLine(kOwnHeaderColor, AnsiText("我")), APPEND_EMOTICONS);
    DisplayView()->BeginMessageBody();
    AppendLine(ChatMarkupLine(0x00000000, text), APPEND_EMOTICONS);
    if (pendingID != 0)
        DisplayView()->AppendTaggedText(QStringLiteral("发送中…"), kPendingColor, pendingID);
    DisplayView()->EndMessageBody();
    InputBox()->setFocus();
}

void CFriendChatDlg::ShowPendingChats() {
    for (const OutboxMessage& message : m_context.requests.PendingChats(m_nFriendID))
        AppendOwnMessage(message.text, message.messageID);
}

void CFriendChatDlg::MarkDelivered(uint64_t messageID) {
    DisplayView()->RemoveTaggedText(messageID);
}

void CFriendChatDlg::MarkRefused(uint64_t messageID, uint32_t reason, const std::string& text) {
    if (DisplayView()->ReplaceTaggedText(messageID, RefusalText(reason), kRefusedColor))
        return;
    AppendOwnMessage(text, messageID);
    DisplayView()->ReplaceTaggedText(messageID, RefusalText(reason), kRefusedColor);
}

void CFriendChatDlg::SendShake() {
    auto* contacts = m_context.contacts;
    const uint8_t state = contacts != nullptr ? contacts->GetOnlineState(m_nFriendID) : 1;
    if ((state & 2) == 0) {
        AppendLine(NoticeLine("您的好友不在线或隐身，因此您不能发送窗口抖动。"), APPEND_TEXT_ONLY);
        DisplayView()->AddLine();
        return;
    }
    m_context.requests.SendShake(m_nFriendID);
    AppendLine(NoticeLine("您发送了一个窗口抖动。"), APPEND_TEXT_ONLY);
    UIModuleUtility::ShakeWindow(this, 3, 3, 20, 5);
}

void CFriendChatDlg::OnCancel() {
    if (auto* windows = m_context.windows)
        windows->ReleaseChatSlot(m_wPlacementSlot);
    if (IMessageProxy* display = MessageDisplay())
        display->NotifyClosed();
    CRgnDialog::OnCancel();
}

void CFriendChatDlg::ShowEmotionPicker() {
    IEmotionSelector* picker = EmotionSelector();
    if (picker == nullptr)
        return;
    const CSkinButton* button = EmotionButton();
    // The right and bottom edges of the button's screen rectangle, just outside the button.
    const QPoint corner = button->mapToGlobal(QPoint(button->width(), button->height()));
    picker->Show(this, corner.x(), corner.y());
}

void CFriendChatDlg::ShowHistory() {
    // The viewer's modal loop goes on serving the friend service, which may close this window.
    const QPointer<CFriendChatDlg> self(this);
    CFriendChatHistoryViewerDlg::RunModal(m_context, m_nFriendID, this);
    if (self.isNull())
        return;
    raise();
    activateWindow();
}

void CFriendChatDlg::OnEmotionSelected(int index, const char* text) {
    if (index >= EMOTION_FREE_COUNT) {
        ShowSkinMessageBox(this, AnsiText("不能够使用VIP表情！"), std::string(), MB_STYLE_PLAIN, 5);
        return;
    }
    if (text == nullptr)
        return;
    InputBox()->setFocus();
    InsertIntoInput(StringUtility::AnsiToQString(text));
}

// An emoticon code cut at the limit would go out as a broken code, so an insert goes in whole or
// not at all.
void CFriendChatDlg::InsertIntoInput(const QString& text) {
    CSkinEdit* input = InputBox();
    const QTextCursor cursor = input->textCursor();
    const int length = input->document()->characterCount() - 1;
    const int selected = cursor.selectionEnd() - cursor.selectionStart();
    const int limit = input->GetLimitText();
    if (limit > 0 && length - selected + text.size() > limit)
        return;
    input->ReplaceSel(text, false);
}

void CFriendChatDlg::DrawView(QPainter& painter) {
    if (IFriendHost* host = m_context.environment.GetFriendHost()) {
        host->DrawUserFace(&painter, 380, 63, m_strFriendUserName, m_nFriendID, m_nFriendShowID,
                           m_nFriendGender);
        const SignedInUser& user = GetUserInfo();
        host->DrawUserFace(&painter, 380, 243, FieldText(user.userName), user.userID, user.showID,
                           user.gender);
    }
    if (!m_buttonBar.isNull())
        painter.drawPixmap(QRect(5, 202, 350, 24), m_buttonBar);
}

} // namespace pellix
