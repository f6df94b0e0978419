#include "RgnDialog.h"

#include "skin/ScreenMetrics.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kIconSize = 16;
constexpr int kTitleLeft = 8;

} // namespace

CRgnDialog::CRgnDialog(QWidget* parent) : QDialog(parent) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    // A skinned dialog lives in its host's application and never ends it, even when it is the
    // last window that closes (a host may keep its own window hidden).
    setAttribute(Qt::WA_QuitOnClose, false);
    SetColorAttribute(m_colorAttribute);
}

bool CRgnDialog::Create() {
    if (m_bInitialized)
        return true;
    m_bInitialized = true;
    return OnInitDialog();
}

void CRgnDialog::setVisible(bool visible) {
    if (visible)
        Create();
    QDialog::setVisible(visible);
}

void CRgnDialog::LoadBorderImage(const QString& topLeft, const QString& top,
                                 const QString& topRight, const QString& left,
                                 const QString& client, const QString& right,
                                 const QString& bottomLeft, const QString& bottom,
                                 const QString& bottomRight, COLORREF transparent) {
    m_frame.Load({topLeft, top, topRight, left, client, right, bottomLeft, bottom, bottomRight},
                 transparent);
    UpdateMask();
    update();
}

void CRgnDialog::SetColorAttribute(COLORREF color) {
    m_colorAttribute = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorFromRef(color));
    setPalette(pal);
    update();
}

void CRgnDialog::CenterWindow() {
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QRect area =
        owner != nullptr && owner->isVisible() ? owner->frameGeometry() : ScreenMetrics::WorkArea();
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

void CRgnDialog::RectifyControl(int, int) {}

void CRgnDialog::DrawView(QPainter&) {}

void CRgnDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_frame.Paint(painter, rect(), ColorFromRef(m_colorAttribute));
    PaintTitle(painter);
    painter.setRenderHint(QPainter::Antialiasing, false);
    DrawView(painter);
}

void CRgnDialog::PaintTitle(QPainter& painter) {
    const int band = CaptionHeight();
    int x = kTitleLeft;
    const QIcon icon = windowIcon();
    if (!icon.isNull()) {
        icon.paint(&painter, QRect(x, (band - kIconSize) / 2, kIconSize, kIconSize));
        x += kIconSize + 4;
    }
    QFont font = painter.font();
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    const QRect textRect(x, 0, width() - x - kTitleLeft, band);
    painter.setPen(QColor(0, 0, 0, 60));
    painter.drawText(textRect.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
    painter.setPen(Qt::white);
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
}

void CRgnDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    UpdateMask();
    RectifyControl(width(), height());
}

void CRgnDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::WindowIconChange)
        update(0, 0, width(), CaptionHeight());
}

// Keyed-out corners must not catch the mouse or show through as black where no compositor
// blends the translucent window, so the window's shape follows the frame's opaque pixels.
void CRgnDialog::UpdateMask() {
    if (width() <= 0 || height() <= 0)
        return;
    QImage shape(size(), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    QPainter painter(&shape);
    m_frame.Paint(painter, shape.rect(), ColorFromRef(m_colorAttribute));
    painter.end();
    setMask(QBitmap::fromImage(shape.createAlphaMask()));
}

void CRgnDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        OnOK();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CRgnDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->position().y() < CaptionHeight()) {
        m_bDragging = true;
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
        return;
    }
    QDialog::mousePressEvent(event);
}

void CRgnDialog::mouseMoveEvent(QMouseEvent* event) {
    if (m_bDragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CRgnDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_bDragging = false;
    QDialog::mouseReleaseEvent(event);
}
