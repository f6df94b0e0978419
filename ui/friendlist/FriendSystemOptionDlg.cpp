#include "FriendSystemOptionDlg.h"

#include "resources/ResourceIds.h"
#include "skin/SkinButton.h"
#include "skin/SkinCheckBox.h"
#include "storage/FriendOptionManager.h"
#include "ui/manager/WindowFrame.h"
#include "ui_FriendSystemOptionDlg.h"

namespace {

// The options the five boxes show, in box order; the send key is not among them.
std::array<bool*, 5> ShownOptions(FriendOption& option) {
    return {&option.bRefuseAddFriend, &option.bRefuseOnlineTips, &option.bSentCloseWindow,
            &option.bRefuseInviteGame, &option.bOpenFriendSound};
}

} // namespace

CFriendSystemOptionDlg::CFriendSystemOptionDlg(CFriendOptionManager* options, QWidget* parent)
    : CRgnDialog(parent), m_pOptions(options),
      m_pTemplate(std::make_unique<Ui::FriendSystemOptionDlgTemplate>()) {
    m_pTemplate->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    connect(m_pTemplate->okButton, &CSkinButton::clicked, this, [this] { OnOK(); });
    connect(m_pTemplate->cancelButton, &CSkinButton::clicked, this, [this] { OnCancel(); });
    connect(m_pTemplate->closeButton, &CSkinButton::clicked, this, [this] { OnCancel(); });
}

CFriendSystemOptionDlg::~CFriendSystemOptionDlg() = default;

std::array<CSkinCheckBox*, 5> CFriendSystemOptionDlg::CheckBoxes() const {
    const auto& ui = *m_pTemplate;
    return {ui.refuseAddFriendBox, ui.refuseOnlineTipsBox, ui.sentCloseWindowBox,
            ui.refuseInviteGameBox, ui.openFriendSoundBox};
}

bool CFriendSystemOptionDlg::OnInitDialog() {
    CRgnDialog::OnInitDialog();
    ApplyWindowFrame(*this, {0x00FFFFE6, QStringLiteral("好友设置"), IDI_FRIEND_OPTION,
                             QStringLiteral("data/Friend/option_"), true});
    auto& ui = *m_pTemplate;
    for (CSkinButton* button : {ui.okButton, ui.cancelButton})
        button->SetButtonImage(QStringLiteral("data/Friend/btn_back.png"), false, 5,
                               SKIN_TRANSPARENT_COLOR);
    ui.okButton->setText(QStringLiteral("确定"));
    ui.okButton->setToolTip(QStringLiteral("确定"));
    ui.cancelButton->setText(QStringLiteral("取消"));
    ui.cancelButton->setToolTip(QStringLiteral("取消"));
    ui.closeButton->SetButtonImage(QStringLiteral("data/Friend/option_btn_sysClose.png"), false, 5,
                                   SKIN_TRANSPARENT_COLOR);
    ui.closeButton->setToolTip(QStringLiteral("关闭"));
    ui.closeButton->show();
    const auto boxes = CheckBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->SetTransparent(true);
        if (m_pOptions != nullptr)
            boxes[i]->setChecked(*ShownOptions(m_pOptions->GetFriendOption())[i]);
    }
    setGeometry(0, 0, 214, 211);
    CenterWindow();
    return true;
}

void CFriendSystemOptionDlg::RectifyControl(int, int) {
    auto& ui = *m_pTemplate;
    ui.okButton->setGeometry(80, 180, 49, 18);
    ui.cancelButton->setGeometry(134, 180, 49, 18);
    const auto boxes = CheckBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setGeometry(8, 45 + 20 * static_cast<int>(i), 150, 18);
    ui.closeButton->setGeometry(190, 5, 15, 15);
}

void CFriendSystemOptionDlg::OnOK() {
    if (auto* options = m_pOptions) {
        const auto boxes = CheckBoxes();
        const auto flags = ShownOptions(options->GetFriendOption());
        for (std::size_t i = 0; i < boxes.size(); ++i)
            *flags[i] = boxes[i]->isChecked();
        options->Save();
    }
    CRgnDialog::OnOK();
}
