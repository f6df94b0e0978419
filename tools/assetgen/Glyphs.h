#pragma once
// The small pictures drawn on buttons, each fitted into a square.

#include <QColor>
#include <QRectF>

class QPainter;

namespace Glyphs {

void Close(QPainter& painter, const QRectF& box, const QColor& color);
void Minimise(QPainter& painter, const QRectF& box, const QColor& color);
void Maximise(QPainter& painter, const QRectF& box, const QColor& color);
void Options(QPainter& painter, const QRectF& box, const QColor& color);
void FontAndColour(QPainter& painter, const QRectF& box, const QColor& color);
void Smiley(QPainter& painter, const QRectF& box, const QColor& color);
void History(QPainter& painter, const QRectF& box, const QColor& color);
void ArrowDown(QPainter& painter, const QRectF& box, const QColor& color);
// Page arrows: towards the start (first page when barred), or the end.
void PageArrow(QPainter& painter, const QRectF& box, const QColor& color, bool forward,
               bool barred);
void Export(QPainter& painter, const QRectF& box, const QColor& color);
void UserCard(QPainter& painter, const QRectF& box, const QColor& color);
void Bell(QPainter& painter, const QRectF& box, const QColor& color);

} // namespace Glyphs
