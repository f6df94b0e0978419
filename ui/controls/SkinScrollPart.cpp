#include "SkinScrollPart.h"

#include "SkinScrollState.h"

#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace pellix {

SkinScrollPart::SkinScrollPart(QWidget& window, SkinScrollState& state, Kind kind)
    : QWidget(&window), m_state(state), m_kind(kind) {
    static const char* const names[] = {"SkinScrollVertical", "SkinScrollHorizontal",
                                        "SkinScrollSizeBox"};
    setObjectName(QString::fromLatin1(names[kind]));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    // The window's own cursor (a text beam over a text view) does not belong to the bars.
    setCursor(Qt::ArrowCursor);
}

Qt::Orientation SkinScrollPart::Orientation() const {
    return m_kind == kVerticalBar ? Qt::Vertical : Qt::Horizontal;
}

// Right to left, a view scrolls sideways from its right edge, and so does its horizontal bar:
// the bar is drawn and hit mirrored, its first arrow (which points left) then lying on the right,
// pointing right.
bool SkinScrollPart::IsMirrored() const {
    return m_kind == kHorizontalBar && m_state.IsLeftBar();
}

QPoint SkinScrollPart::BarPoint(const QMouseEvent& event) const {
    QPoint point = event.position().toPoint();
    if (IsMirrored())
        point.setX(width() - 1 - point.x());
    return point;
}

void SkinScrollPart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (IsMirrored()) {
        painter.translate(width(), 0);
        painter.scale(-1, 1);
    }
    if (IsBar())
        m_state.PaintBar(painter, Orientation());
    else
        m_state.PaintSizeBox(painter);
}

void SkinScrollPart::mousePressEvent(QMouseEvent* event) {
    // Other buttons, and presses on the size box, belong to the window.
    if (!IsBar() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_state.Tracker().Press(Orientation(), BarPoint(*event));
}

void SkinScrollPart::mouseMoveEvent(QMouseEvent* event) {
    if (IsBar())
        m_state.Tracker().MouseMove(Orientation(), BarPoint(*event), event->buttons());
    else
        m_state.Tracker().ClearHot();
}

void SkinScrollPart::mouseReleaseEvent(QMouseEvent* event) {
    if (!IsBar() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_state.Tracker().Release(Orientation(), BarPoint(*event));
}

// The second click of a double click does nothing (the first one already acted); without this
// QWidget would take it for another press.
void SkinScrollPart::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!IsBar())
        event->ignore();
}

// The wheel over the bars scrolls the view as it does over the text.
void SkinScrollPart::wheelEvent(QWheelEvent* event) {
    QCoreApplication::sendEvent(m_state.Window().viewport(), event);
}

void SkinScrollPart::leaveEvent(QEvent*) {
    m_state.Tracker().Leave();
}

// The view's own context menu does not belong to its scroll bars.
void SkinScrollPart::contextMenuEvent(QContextMenuEvent* event) {
    event->setAccepted(IsBar());
}

} // namespace pellix
