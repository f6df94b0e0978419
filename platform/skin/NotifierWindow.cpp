#include "NotifierWindow.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace {

const QSize kPlainSize(200, 110);
// The skin's title band sits above the text.
constexpr int kTextTop = 30;
constexpr int kTextMargin = 14;

} // namespace

NotifierWindow::NotifierWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::PointingHandCursor);
}

void NotifierWindow::SetSkin(const QPixmap& skin) {
    m_skin = skin;
    update();
}

void NotifierWindow::SetTextFonts(const QFont& normal, const QFont& highlight) {
    m_normalFont = normal;
    m_highlightFont = highlight;
    update();
}

void NotifierWindow::SetTextColors(const QColor& normal, const QColor& highlight) {
    m_normalColor = normal;
    m_highlightColor = highlight;
    update();
}

void NotifierWindow::SetText(const QString& text) {
    m_text = text;
    update();
}

QSize NotifierWindow::FullSize() const {
    return m_skin.isNull() ? kPlainSize : m_skin.size();
}

QRect NotifierWindow::TextRect() const {
    const QSize full = FullSize();
    return QRect(kTextMargin, kTextTop, full.width() - 2 * kTextMargin,
                 full.height() - kTextTop - kTextMargin);
}

void NotifierWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect full(QPoint(0, 0), FullSize());
    if (!m_skin.isNull()) {
        painter.drawPixmap(0, 0, m_skin);
    } else {
        QLinearGradient gradient(0, 0, 0, full.height());
        gradient.setColorAt(0, QColor(0xDD, 0xEE, 0xFD));
        gradient.setColorAt(1, Qt::white);
        painter.setPen(QColor(0x6F, 0xA3, 0xD8));
        painter.setBrush(gradient);
        painter.drawRoundedRect(QRectF(full).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }
    painter.setFont(m_bHover ? m_highlightFont : m_normalFont);
    painter.setPen(m_bHover ? m_highlightColor : m_normalColor);
    painter.drawText(TextRect(), Qt::AlignCenter | Qt::TextWordWrap, m_text);
}

void NotifierWindow::enterEvent(QEnterEvent*) {
    m_bHover = true;
    update();
}

void NotifierWindow::leaveEvent(QEvent*) {
    m_bHover = false;
    update();
}

void NotifierWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}
