#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPen Stroke(const QColor& color, qreal width) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath Triangle(QPointF a, QPointF b, QPointF c) {
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

} // namespace

namespace Glyphs {

void Close(QPainter& painter, const QRectF& box, const QColor& color) {
    const QRectF cross = box.adjusted(box.width() * 0.3, box.height() * 0.3, -box.width() * 0.3,
                                      -box.height() * 0.3);
    painter.setPen(Stroke(color, 1.6));
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.topRight(), cross.bottomLeft());
}

void Minimise(QPainter& painter, const QRectF& box, const QColor& color) {
    const qreal y = box.top() + box.height() * 0.68;
    painter.setPen(Stroke(color, 1.8));
    painter.drawLine(QPointF(box.left() + box.width() * 0.3, y),
                     QPointF(box.right() - box.width() * 0.3, y));
}

void Maximise(QPainter& painter, const QRectF& box, const QColor& color) {
    const QRectF frame = box.adjusted(box.width() * 0.28, box.height() * 0.28, -box.width() * 0.28,
                                      -box.height() * 0.28);
    painter.setPen(Stroke(color, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.setPen(Stroke(color, 2.0));
    painter.drawLine(frame.topLeft() + QPointF(0, 0.5), frame.topRight() + QPointF(0, 0.5));
}

void Options(QPainter& painter, const QRectF& box, const QColor& color) {
    // Three lines over a small down arrow: the settings menu.
    painter.setPen(Stroke(color, 1.3));
    const qreal left = box.left() + box.width() * 0.25;
    const qreal right = box.right() - box.width() * 0.25;
    for (int line = 0; line < 2; ++line) {
        const qreal y = box.top() + box.height() * (0.32 + 0.17 * line);
        painter.drawLine(QPointF(left, y), QPointF(right, y));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const qreal top = box.top() + box.height() * 0.62;
    painter.drawPath(Triangle(QPointF(left, top), QPointF(right, top),
                              QPointF(box.center().x(), box.bottom() - box.height() * 0.2)));
}

void FontAndColour(QPainter& painter, const QRectF& box, const QColor& color) {
    // A capital A over a colour bar.
    const QRectF letter = box.adjusted(box.width() * 0.2, box.height() * 0.1, -box.width() * 0.2,
                                       -box.height() * 0.35);
    painter.setPen(Stroke(color, 1.6));
    painter.drawLine(QPointF(letter.left(), letter.bottom()),
                     QPointF(letter.center().x(), letter.top()));
    painter.drawLine(QPointF(letter.center().x(), letter.top()),
                     QPointF(letter.right(), letter.bottom()));
    painter.drawLine(
        QPointF(letter.left() + letter.width() * 0.27, letter.top() + letter.height() * 0.62),
        QPointF(letter.right() - letter.width() * 0.27, letter.top() + letter.height() * 0.62));
    const QRectF bar(box.left() + box.width() * 0.15, box.bottom() - box.height() * 0.24,
                     box.width() * 0.7, box.height() * 0.14);
    QLinearGradient rainbow(bar.topLeft(), bar.topRight());
    rainbow.setColorAt(0.0, QColor(0xE5, 0x4B, 0x4B));
    rainbow.setColorAt(0.5, QColor(0xF2, 0xB1, 0x2E));
    rainbow.setColorAt(1.0, QColor(0x3C, 0x9A, 0x5F));
    painter.fillRect(bar, color.alpha() < 255 || color.saturation() < 30 ? QBrush(color)
                                                                         : QBrush(rainbow));
}

void Smiley(QPainter& painter, const QRectF& box, const QColor& color) {
    const QRectF face = box.adjusted(1.5, 1.5, -1.5, -1.5);
    const bool coloured = color.saturation() >= 30;
    painter.setPen(Stroke(coloured ? QColor(0xC7, 0x8A, 0x12) : color, 1.1));
    painter.setBrush(coloured ? QColor(0xFF, 0xD5, 0x4F) : QColor(Qt::transparent));
    painter.drawEllipse(face);
    painter.setBrush(coloured ? QColor(0x7A, 0x4A, 0x00) : color);
    painter.setPen(Qt::NoPen);
    const qreal eye = face.width() * 0.11;
    painter.drawEllipse(
        QPointF(face.left() + face.width() * 0.34, face.top() + face.height() * 0.38), eye, eye);
    painter.drawEllipse(
        QPointF(face.right() - face.width() * 0.34, face.top() + face.height() * 0.38), eye, eye);
    painter.setPen(Stroke(coloured ? QColor(0x7A, 0x4A, 0x00) : color, 1.1));
    painter.setBrush(Qt::NoBrush);
    const QRectF mouth = face.adjusted(face.width() * 0.25, face.height() * 0.3,
                                       -face.width() * 0.25, -face.height() * 0.2);
    painter.drawArc(mouth, 200 * 16, 140 * 16);
}

void History(QPainter& painter, const QRectF& box, const QColor& color) {
    const QRectF dial = box.adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(Stroke(color, 1.3));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(dial);
    const QPointF centre = dial.center();
    painter.drawLine(centre, QPointF(centre.x(), dial.top() + dial.height() * 0.22));
    painter.drawLine(centre, QPointF(dial.right() - dial.width() * 0.25, centre.y()));
}

void ArrowDown(QPainter& painter, const QRectF& box, const QColor& color) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const qreal half = std::min(box.width(), box.height()) * 0.3;
    const QPointF c = box.center();
    painter.drawPath(Triangle(QPointF(c.x() - half, c.y() - half * 0.5),
                              QPointF(c.x() + half, c.y() - half * 0.5),
                              QPointF(c.x(), c.y() + half * 0.6)));
}

void PageArrow(QPainter& painter, const QRectF& box, const QColor& color, bool forward,
               bool barred) {
    const qreal size = std::min(box.width(), box.height()) * 0.55;
    const QPointF c = box.center();
    const qreal tip = forward ? size * 0.5 : -size * 0.5;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(Triangle(QPointF(c.x() - tip, c.y() - size * 0.5),
                              QPointF(c.x() - tip, c.y() + size * 0.5),
                              QPointF(c.x() + tip, c.y())));
    if (barred) {
        const qreal x = c.x() + tip + (forward ? 1.0 : -2.5);
        painter.fillRect(QRectF(x, c.y() - size * 0.5, 1.5, size), color);
    }
}

void Export(QPainter& painter, const QRectF& box, const QColor& color) {
    // A sheet with an arrow leaving it.
    const QRectF sheet(box.left() + box.width() * 0.18, box.top() + 1.5, box.width() * 0.48,
                       box.height() - 3);
    painter.setPen(Stroke(color, 1.1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(sheet);
    const qreal y = sheet.center().y();
    painter.drawLine(QPointF(sheet.center().x(), y), QPointF(box.right() - 1.5, y));
    painter.drawLine(QPointF(box.right() - 1.5, y), QPointF(box.right() - 4.5, y - 3));
    painter.drawLine(QPointF(box.right() - 1.5, y), QPointF(box.right() - 4.5, y + 3));
}

void UserCard(QPainter& painter, const QRectF& box, const QColor& color) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const qreal head = box.height() * 0.2;
    painter.drawEllipse(QPointF(box.center().x(), box.top() + box.height() * 0.33), head, head);
    QPainterPath body;
    const QRectF shoulders(box.left() + box.width() * 0.2, box.top() + box.height() * 0.58,
                           box.width() * 0.6, box.height() * 0.6);
    body.moveTo(shoulders.left(), box.bottom() - 1);
    body.arcTo(shoulders, 180, -180);
    body.closeSubpath();
    painter.drawPath(body);
}

void Bell(QPainter& painter, const QRectF& box, const QColor& color) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    QPainterPath bell;
    const qreal w = box.width();
    const qreal h = box.height();
    bell.moveTo(box.left() + w * 0.15, box.top() + h * 0.75);
    bell.cubicTo(box.left() + w * 0.3, box.top() + h * 0.6, box.left() + w * 0.2,
                 box.top() + h * 0.1, box.center().x(), box.top() + h * 0.12);
    bell.cubicTo(box.right() - w * 0.2, box.top() + h * 0.1, box.right() - w * 0.3,
                 box.top() + h * 0.6, box.right() - w * 0.15, box.top() + h * 0.75);
    bell.closeSubpath();
    painter.drawPath(bell);
    painter.drawEllipse(QPointF(box.center().x(), box.top() + h * 0.85), w * 0.1, w * 0.1);
}

} // namespace Glyphs
