#include "SkinMessageBoxDlg.h"

#include "skin/SkinButton.h"
#include "skin/SkinMessageBox.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kMinWidth = 260;
constexpr int kMaxTextWidth = 320;
constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 64;
constexpr int kButtonHeight = 22;

QFont BoxFont() {
    QFont font;
    font.setPixelSize(12);
    return font;
}

} // namespace

CSkinMessageBoxDlg::CSkinMessageBoxDlg(QWidget* owner, const QString& text, const QString& caption,
                                       unsigned int style, unsigned int autoCloseSeconds)
    : CRgnDialog(owner), m_text(text), m_nStyle(style), m_nAutoCloseSeconds(autoCloseSeconds),
      m_pOkButton(new CSkinButton(this)), m_pCloseButton(new CSkinButton(this)) {
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    m_autoClose.setSingleShot(true);
    connect(&m_autoClose, &QTimer::timeout, this, [this] { OnOK(); });
    connect(m_pOkButton, &QAbstractButton::clicked, this, [this] { OnOK(); });
    connect(m_pCloseButton, &QAbstractButton::clicked, this, [this] { OnCancel(); });
}

bool CSkinMessageBoxDlg::HasIcon() const {
    return m_nStyle == MB_STYLE_ERROR || m_nStyle == MB_STYLE_WARNING;
}

bool CSkinMessageBoxDlg::OnInitDialog() {
    SetColorAttribute(0x00FFF9F5);
    LoadBorderImage(QStringLiteral("data/Friend/bk_top_left.png"),
                    QStringLiteral("data/Friend/bk_top_mid.png"),
                    QStringLiteral("data/Friend/bk_top_right.png"), QString(), QString(), QString(),
                    QString(), QString(), QString(), SKIN_TRANSPARENT_COLOR);
    m_pOkButton->SetButtonImage(QStringLiteral("data/Friend/btn_back.png"), false, 5,
                                SKIN_TRANSPARENT_COLOR);
    m_pOkButton->setText(QStringLiteral("确定"));
    m_pCloseButton->SetButtonImage(QStringLiteral("data/Common/button/btn_sys_close.png"), false, 5,
                                   SKIN_TRANSPARENT_COLOR);
    m_pCloseButton->setToolTip(QStringLiteral("关闭"));

    const QFontMetrics metrics(BoxFont());
    const QRect textSize =
        metrics.boundingRect(QRect(0, 0, kMaxTextWidth, 10000), Qt::TextWordWrap, m_text);
    const int textLeft = kMargin + (HasIcon() ? kIconSize + 12 : 0);
    const int width = std::max(kMinWidth, textLeft + textSize.width() + kMargin);
    const int body = std::max(textSize.height(), HasIcon() ? kIconSize : 0);
    resize(width, CaptionHeight() + kMargin + body + kMargin + kButtonHeight + 12);
    CenterWindow();
    return true;
}

void CSkinMessageBoxDlg::showEvent(QShowEvent* event) {
    CRgnDialog::showEvent(event);
    if (m_nAutoCloseSeconds > 0)
        m_autoClose.start(static_cast<int>(m_nAutoCloseSeconds) * 1000);
    m_pOkButton->setFocus();
}

void CSkinMessageBoxDlg::RectifyControl(int cx, int cy) {
    m_pOkButton->setGeometry((cx - kButtonWidth) / 2, cy - kButtonHeight - 12, kButtonWidth,
                             kButtonHeight);
    m_pCloseButton->setGeometry(cx - 25, 6, 15, 15);
}

QRect CSkinMessageBoxDlg::TextRect() const {
    const int left = kMargin + (HasIcon() ? kIconSize + 12 : 0);
    const int top = CaptionHeight() + kMargin;
    return QRect(left, top, width() - left - kMargin, height() - top - kButtonHeight - 24);
}

void CSkinMessageBoxDlg::DrawView(QPainter& painter) {
    if (HasIcon())
        PaintIcon(painter, QRect(kMargin, CaptionHeight() + kMargin, kIconSize, kIconSize));
    painter.setFont(BoxFont());
    painter.setPen(QColor(0x20, 0x28, 0x30));
    painter.drawText(TextRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, m_text);
}

void CSkinMessageBoxDlg::PaintIcon(QPainter& painter, const QRect& area) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const bool error = m_nStyle == MB_STYLE_ERROR;
    if (error) {
        painter.setBrush(QColor(0xE0, 0x4B, 0x4B));
        painter.drawEllipse(area);
    } else {
        QPainterPath triangle;
        triangle.moveTo(area.center().x(), area.top() + 1);
        triangle.lineTo(area.right(), area.bottom() - 1);
        triangle.lineTo(area.left(), area.bottom() - 1);
        triangle.closeSubpath();
        painter.setBrush(QColor(0xF2, 0xB1, 0x2E));
        painter.drawPath(triangle);
    }
    QFont font = BoxFont();
    font.setPixelSize(error ? 20 : 18);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(error ? area : area.adjusted(0, 6, 0, 0), Qt::AlignCenter,
                     error ? QStringLiteral("×") : QStringLiteral("!"));
    painter.restore();
}
