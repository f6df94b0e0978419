#include "EmotionPicker.h"

#include "EmotionTable.h"
#include "kivra/IEmotionSelector.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <algorithm>

namespace {

constexpr int kImageSize = 24;
const QColor kBackground(0xFF, 0xFF, 0xFF);
const QColor kGridLine(0xC8, 0xDC, 0xF0);
const QColor kHoverFill(0xE5, 0xF2, 0xFF);
const QColor kHoverBorder(0x33, 0x66, 0xCC);
const QColor kVipMark(0xE8, 0xA8, 0x00);

int Rows() {
    return (EmotionTable::Count() + CEmotionPicker::kColumns - 1) / CEmotionPicker::kColumns;
}

// The screen the point is on; the parent's, or the primary one, when no screen holds it.
QRect AvailableArea(const QWidget* parent, const QPoint& point) {
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (screen == nullptr && parent != nullptr)
        screen = parent->screen();
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

} // namespace

CEmotionPicker::CEmotionPicker(std::function<void(int)> onPicked)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), m_onPicked(std::move(onPicked)) {
    setMouseTracking(true);
    setFixedSize(kColumns * kCellSize + 1, Rows() * kCellSize + 1);
}

void CEmotionPicker::PopUp(const QWidget* parent, const QPoint& screenPoint) {
    const QRect area = AvailableArea(parent, screenPoint);
    QPoint topLeft = screenPoint;
    if (area.isValid()) {
        topLeft.setX(std::max(area.left(), std::min(topLeft.x(), area.right() + 1 - width())));
        topLeft.setY(std::max(area.top(), std::min(topLeft.y(), area.bottom() + 1 - height())));
    }
    SetHovered(-1);
    move(topLeft);
    show();
    activateWindow();
}

QRect CEmotionPicker::CellRect(int index) const {
    return {(index % kColumns) * kCellSize, (index / kColumns) * kCellSize, kCellSize + 1,
            kCellSize + 1};
}

int CEmotionPicker::IndexAt(const QPoint& point) const {
    if (point.x() < 0 || point.y() < 0 || point.x() >= kColumns * kCellSize)
        return -1;
    const int index = (point.y() / kCellSize) * kColumns + point.x() / kCellSize;
    return index < EmotionTable::Count() ? index : -1;
}

void CEmotionPicker::SetHovered(int index) {
    if (index == m_nHovered)
        return;
    if (m_nHovered >= 0)
        update(CellRect(m_nHovered));
    m_nHovered = index;
    if (m_nHovered >= 0)
        update(CellRect(m_nHovered));
}

bool CEmotionPicker::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const int index = IndexAt(help->pos());
    if (index >= 0)
        QToolTip::showText(help->globalPos(), QString::fromUtf8(EmotionTable::At(index).name), this,
                           CellRect(index));
    else
        QToolTip::hideText();
    return true;
}

void CEmotionPicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    painter.setPen(kGridLine);
    for (int column = 0; column <= kColumns; ++column)
        painter.drawLine(column * kCellSize, 0, column * kCellSize, height() - 1);
    for (int row = 0; row <= Rows(); ++row)
        painter.drawLine(0, row * kCellSize, width() - 1, row * kCellSize);
    for (int index = 0; index < EmotionTable::Count(); ++index)
        DrawCell(painter, index);
}

void CEmotionPicker::DrawCell(QPainter& painter, int index) {
    const QRect cell = CellRect(index).adjusted(1, 1, -1, -1);
    if (index == m_nHovered) {
        painter.fillRect(cell, kHoverFill);
        painter.setPen(kHoverBorder);
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
    }
    const QImage& image = m_images.Get(index);
    const QRect box(cell.center() - QPoint(kImageSize / 2 - 1, kImageSize / 2 - 1),
                    QSize(kImageSize, kImageSize));
    if (!image.isNull()) {
        painter.drawImage(box, image);
    } else {
        // Without its picture an emoticon shows the first character of its name.
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignCenter,
                         QString::fromUtf8(EmotionTable::At(index).name).left(1));
    }
    if (index >= EMOTION_FREE_COUNT) {
        const QPoint corner = cell.topRight();
        const QPoint mark[] = {corner, corner + QPoint(-6, 0), corner + QPoint(0, 6)};
        painter.setPen(Qt::NoPen);
        painter.setBrush(kVipMark);
        painter.drawPolygon(mark, 3);
        painter.setBrush(Qt::NoBrush);
    }
}

void CEmotionPicker::mouseMoveEvent(QMouseEvent* event) {
    SetHovered(IndexAt(event->position().toPoint()));
}

void CEmotionPicker::leaveEvent(QEvent*) {
    SetHovered(-1);
}

void CEmotionPicker::mouseReleaseEvent(QMouseEvent* event) {
    const int index = event->button() == Qt::LeftButton ? IndexAt(event->position().toPoint()) : -1;
    if (index < 0)
        return;
    hide();
    m_onPicked(index);
}

void CEmotionPicker::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        hide();
    else
        QWidget::keyPressEvent(event);
}
