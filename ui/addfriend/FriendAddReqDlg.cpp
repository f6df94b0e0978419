#include "FriendAddReqDlg.h"

#include "base/AnsiText.h"
#include "client/StringUtility.h"
#include "protocol/FriendRequests.h"
#include "protocol/RequestBodies.h"
#include "resources/ResourceIds.h"
#include "skin/SkinMessageBox.h"
#include "ui/manager/WindowContext.h"
#include "ui/manager/WindowFrame.h"
#include "ui_FriendAddReqDlg.h"

namespace {

const QString kButtonBack = QStringLiteral("data/Friend/btn_back.png");

} // namespace

CFriendAddReqDlg::CFriendAddReqDlg(const WindowContext& context, QWidget* parent)
    : CRgnDialog(parent), m_context(context),
      m_pTemplate(std::make_unique<Ui::FriendAddReqDlgTemplate>()) {
    m_pTemplate->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    connect(m_pTemplate->confirmButton, &CSkinButton::clicked, this, &CFriendAddReqDlg::Send);
    connect(m_pTemplate->cancelButton, &CSkinButton::clicked, this,
            &CFriendAddReqDlg::CancelRequest);
    connect(m_pTemplate->closeButton, &CSkinButton::clicked, this, [this] { OnCancel(); });
}

CFriendAddReqDlg::~CFriendAddReqDlg() = default;

CSkinEdit* CFriendAddReqDlg::MessageBox() const {
    return m_pTemplate->messageBox;
}

bool CFriendAddReqDlg::OnInitDialog() {
    CRgnDialog::OnInitDialog();
    ApplyWindowFrame(*this, {0x00FFF9F9, QStringLiteral("添加好友"), IDI_FRIEND,
                             QStringLiteral("data/Friend/bk_"), true});
    m_nTargetID = 0;
    auto& ui = *m_pTemplate;
    ui.closeButton->SetButtonImage(QStringLiteral("data/Friend/option_btn_sysClose.png"), false, 5,
                                   SKIN_TRANSPARENT_COLOR);
    ui.closeButton->setToolTip(QStringLiteral("关闭"));
    for (CSkinButton* button : {ui.confirmButton, ui.cancelButton})
        button->SetButtonImage(kButtonBack, false, 5, SKIN_TRANSPARENT_COLOR);
    ui.confirmButton->setText(QStringLiteral("确认"));
    ui.confirmButton->setToolTip(QStringLiteral("确认"));
    ui.cancelButton->setText(QStringLiteral("取消"));
    ui.cancelButton->setToolTip(QStringLiteral("取消"));
    ui.promptLabel->SetTransparent(true);
    ui.promptLabel->setText(QStringLiteral("请输入验证信息："));
    MessageBox()->SetMultiLine(false);
    return true;
}

void CFriendAddReqDlg::SetTarget(int userID, const std::string& name) {
    setWindowTitle(QStringLiteral("您将加 ") + StringUtility::AnsiToQString(name) +
                   QStringLiteral(" 为好友..."));
    m_nTargetID = userID;
}

bool CFriendAddReqDlg::Send() {
    const std::string text = StringUtility::QStringToAnsi(MessageBox()->toPlainText());
    if (!m_context.requests.SendAddFriendRequest(m_nTargetID, text)) {
        ReportNotSent(text);
        return false;
    }
    MessageBox()->clear();
    hide();
    return true;
}

void CFriendAddReqDlg::ReportNotSent(const std::string& text) {
    // The text stays in the box, to be shortened or sent again.
    const char* reason = AddFriendRequestFits(text) ? "好友服务尚未连接，请求没有发出，请稍后再试！"
                                                    : "验证信息太长，请删减后再发送！";
    ShowSkinNotice(this, AnsiText(reason), AnsiText("好友服务"), MB_STYLE_WARNING, 0);
}

void CFriendAddReqDlg::CancelRequest() {
    MessageBox()->clear();
    hide();
}
