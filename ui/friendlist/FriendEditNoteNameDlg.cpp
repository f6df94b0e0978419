#include "FriendEditNoteNameDlg.h"

#include "base/AnsiText.h"
#include "resources/ModuleResources.h"
#include "resources/ResourceIds.h"
#include "skin/UIModuleUtility.h"
#include "ui_FriendEditNoteNameDlg.h"

#include <QPainter>
#include <QTextCursor>

namespace pellix {

CFriendEditNoteNameDlg::CFriendEditNoteNameDlg(const QFont& promptFont, QWidget* parent)
    : CRgnDialog(parent), m_pTemplate(std::make_unique<Ui::FriendEditNoteNameDlgTemplate>()),
      m_promptFont(promptFont) {
    m_pTemplate->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    connect(OkButton(), &CSkinButton::clicked, this, [this] { OnOK(); });
    connect(CancelButton(), &CSkinButton::clicked, this, [this] { OnCancel(); });
}

CFriendEditNoteNameDlg::~CFriendEditNoteNameDlg() = default;

CSkinEdit* CFriendEditNoteNameDlg::NoteNameEdit() const {
    return m_pTemplate->noteNameEdit;
}

CSkinButton* CFriendEditNoteNameDlg::OkButton() const {
    return m_pTemplate->okButton;
}

CSkinButton* CFriendEditNoteNameDlg::CancelButton() const {
    return m_pTemplate->cancelButton;
}

void CFriendEditNoteNameDlg::SetNoteName(const std::string& noteName) {
    m_strNoteName = noteName;
    NoteNameEdit()->setPlainText(StringUtility::AnsiToQString(noteName));
}

bool CFriendEditNoteNameDlg::OnInitDialog() {
    CRgnDialog::OnInitDialog();
    setWindowIcon(ModuleIcon(IDI_FRIEND));
    setGeometry(0, 0, 235, 165);
    CenterWindow();
    setWindowTitle(QStringLiteral("修改备注姓名"));
    const QString buttonImage = QStringLiteral("data/Friend/btn_back.png");
    OkButton()->SetButtonImage(buttonImage, false, 5, SKIN_TRANSPARENT_COLOR);
    OkButton()->setText(QStringLiteral("确定"));
    OkButton()->setToolTip(QStringLiteral("确定"));
    CancelButton()->SetButtonImage(buttonImage, false, 5, SKIN_TRANSPARENT_COLOR);
    CancelButton()->setText(QStringLiteral("取消"));
    CancelButton()->setToolTip(QStringLiteral("取消"));
    // No border images: the window is drawn plain.
    return true;
}

void CFriendEditNoteNameDlg::RectifyControl(int, int) {
    NoteNameEdit()->setGeometry(14, 72, 206, 20);
    OkButton()->move(83, 133);
    CancelButton()->move(159, 133);
}

void CFriendEditNoteNameDlg::DrawView(QPainter& painter) {
    const QFont previous = painter.font();
    painter.setFont(m_promptFont);
    painter.setPen(Qt::black);
    UIModuleUtility::DrawTextExA(painter, AnsiText("请输入备注姓名："),
                                 QRect(13, 45, width() - 26, 20), UIModuleUtility::DT_LEFT);
    painter.setFont(previous);
}

void CFriendEditNoteNameDlg::OnOK() {
    // The box's text as it stands: no trimming and no check.
    m_strNoteName = StringUtility::QStringToAnsi(NoteNameEdit()->toPlainText());
    CRgnDialog::OnOK();
}

void CFriendEditNoteNameDlg::showEvent(QShowEvent* event) {
    CRgnDialog::showEvent(event);
    NoteNameEdit()->setFocus();
    NoteNameEdit()->moveCursor(QTextCursor::End);
}

} // namespace pellix
