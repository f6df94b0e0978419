#include "FriendAddConfirmDlg.h"

#include "base/AnsiText.h"
#include "protocol/FriendRequests.h"
#include "resources/ResourceIds.h"
#include "storage/ContactManager.h"
#include "ui/manager/ProfilePage.h"
#include "ui/manager/WindowContext.h"
#include "ui/manager/WindowFrame.h"
#include "ui_FriendAddConfirmDlg.h"

namespace {

const QString kButtonBack = QStringLiteral("data/Friend/btn_back.png");
constexpr COLORREF kWindowBrush = 0x00E4DDC0;

} // namespace

CFriendAddConfirmDlg::CFriendAddConfirmDlg(const WindowContext& context, QWidget* parent)
    : CRgnDialog(parent), m_context(context),
      m_pTemplate(std::make_unique<Ui::FriendAddConfirmDlgTemplate>()) {
    m_pTemplate->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    auto& ui = *m_pTemplate;
    connect(ui.agreeButton, &CSkinButton::clicked, this, &CFriendAddConfirmDlg::ApplyChoice);
    connect(ui.refuseButton, &CSkinButton::clicked, this, &QWidget::hide);
    connect(ui.closeButton, &CSkinButton::clicked, this, [this] { OnCancel(); });
    connect(ui.viewInfoButton, &CSkinButton::clicked, this, &CFriendAddConfirmDlg::ShowUserInfo);
    connect(ui.agreeChoice, &QRadioButton::toggled, this,
            &CFriendAddConfirmDlg::UpdateRefuseForeverBox);
    connect(ui.refuseChoice, &QRadioButton::toggled, this,
            &CFriendAddConfirmDlg::UpdateRefuseForeverBox);
}

CFriendAddConfirmDlg::~CFriendAddConfirmDlg() = default;

QRadioButton* CFriendAddConfirmDlg::AgreeChoice() const {
    return m_pTemplate->agreeChoice;
}

QRadioButton* CFriendAddConfirmDlg::RefuseChoice() const {
    return m_pTemplate->refuseChoice;
}

CSkinCheckBox* CFriendAddConfirmDlg::RefuseForeverBox() const {
    return m_pTemplate->refuseForeverBox;
}

bool CFriendAddConfirmDlg::OnInitDialog() {
    CRgnDialog::OnInitDialog();
    ApplyWindowFrame(*this, {0x00FFF9F9, QStringLiteral("验证好友"), IDI_FRIEND,
                             QStringLiteral("data/Friend/bk_"), true});
    auto& ui = *m_pTemplate;
    UseWindowBrush();
    ui.messageBox->setReadOnly(true);
    ui.warningLabel->SetTextColor(0x000F0FBB);
    ui.warningLabel->SetTransparent(true);
    ui.warningLabel->setWordWrap(true);
    ui.viewInfoButton->SetButtonImage(QStringLiteral("data/Friend/addFriend_btn_view_userinfo.png"),
                                      false, 5, SKIN_TRANSPARENT_COLOR);
    ui.viewInfoButton->setToolTip(QStringLiteral("查看用户资料"));
    for (CSkinButton* button : {ui.agreeButton, ui.refuseButton})
        button->SetButtonImage(kButtonBack, false, 5, SKIN_TRANSPARENT_COLOR);
    ui.agreeButton->setText(QStringLiteral("同意"));
    ui.agreeButton->setToolTip(QStringLiteral("同意"));
    ui.refuseButton->setText(QStringLiteral("拒绝"));
    ui.refuseButton->setToolTip(QStringLiteral("拒绝"));
    ui.closeButton->SetButtonImage(QStringLiteral("data/Common/button/btn_sys_close.png"), false, 5,
                                   SKIN_TRANSPARENT_COLOR);
    ui.closeButton->setToolTip(QStringLiteral("关闭"));
    ui.closeButton->show();
    ui.agreeChoice->setChecked(true);
    UpdateRefuseForeverBox();
    CenterWindow();
    return true;
}

void CFriendAddConfirmDlg::RectifyControl(int cx, int) {
    m_pTemplate->viewInfoButton->setGeometry(11, 229, 53, 18);
    m_pTemplate->closeButton->setGeometry(cx - 25, 6, 15, 15);
}

// The window's own brush paints behind the two choices and the box, whose text has no
// background of its own.
void CFriendAddConfirmDlg::UseWindowBrush() {
    QPalette brush = palette();
    brush.setColor(QPalette::Window, ColorFromRef(kWindowBrush));
    setPalette(brush);
    for (QWidget* control :
         std::initializer_list<QWidget*>{AgreeChoice(), RefuseChoice(), RefuseForeverBox()}) {
        control->setPalette(brush);
        control->setAutoFillBackground(true);
    }
}

void CFriendAddConfirmDlg::UpdateRefuseForeverBox() {
    RefuseForeverBox()->setEnabled(RefuseChoice()->isChecked());
}

void CFriendAddConfirmDlg::SetRequest(int askerID, const std::string& userName,
                                      const std::string& nickName, uint8_t gender, int showID,
                                      const std::string& message) {
    setWindowTitle(
        StringUtility::AnsiToQString(FormatAnsi("%s 请求加您为好友！", nickName.c_str())));
    m_pTemplate->messageBox->setPlainText(StringUtility::AnsiToQString(message));
    m_asker = {askerID, userName, nickName, showID, gender, 1};
    m_nReplyID = askerID;
}

void CFriendAddConfirmDlg::ShowUserInfo() {
    ShowUserProfile(this, m_context.environment, m_asker.userID);
}

void CFriendAddConfirmDlg::ApplyChoice() {
    if (AgreeChoice()->isChecked()) {
        m_context.requests.SendFriendReply(m_nReplyID, true);
    } else if (RefuseChoice()->isChecked()) {
        m_context.requests.SendFriendReply(m_nReplyID, false);
        if (RefuseForeverBox()->isChecked())
            RefuseForGood();
    }
    m_pTemplate->messageBox->clear();
    m_nReplyID = 0;
    hide();
}

void CFriendAddConfirmDlg::RefuseForGood() {
    auto* contacts = m_context.contacts;
    if (contacts == nullptr)
        return;
    // Stored with the blacklist, which every sign-on reads back: the next request of the asker is
    // refused without asking, after a restart too.
    ContactInfo* asker =
        contacts->AddOrUpdateContact(m_asker.userID, m_asker.showID, m_asker.online, m_asker.gender,
                                     m_asker.userName, m_asker.nickName, GROUP_BLACKLIST);
    contacts->SaveContact(asker);
}
