#include "PanelImages.h"

#include "AssetWriter.h"
#include "Glyphs.h"
#include "SkinPalette.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kTile = 16;
const QColor kTrack(0xEE, 0xF4, 0xFB);
const QColor kTrackLine(0xDC, 0xE8, 0xF5);
const QColor kThumb[3] = {{0xA8, 0xCC, 0xF0}, {0x8A, 0xBB, 0xEB}, {0x69, 0xA4, 0xE0}};
const QColor kThumbEdge[3] = {{0x7C, 0xAE, 0xE0}, {0x5E, 0x9A, 0xD8}, {0x45, 0x84, 0xC8}};
const QColor kArrowFace[4] = {
    {0xE6, 0xF1, 0xFC}, {0xD2, 0xE7, 0xFB}, {0xB3, 0xD3, 0xF3}, {0xEE, 0xF0, 0xF2}};

void PaintTrack(QPainter& painter, const QRect& tile) {
    painter.fillRect(tile, kTrack);
    painter.setPen(kTrackLine);
    painter.drawLine(tile.topLeft(), tile.bottomLeft());
}

void PaintArrow(QPainter& painter, const QRect& tile, int state, bool down) {
    PaintTrack(painter, tile);
    const QRectF face = QRectF(tile).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(state == 3 ? QColor(0xC9, 0xCE, 0xD3) : QColor(0x9B, 0xC2, 0xE9));
    painter.setBrush(kArrowFace[state]);
    painter.drawRoundedRect(face, 3, 3);
    const QColor glyph = state == 3 ? SkinPalette::kDisabledGlyph : SkinPalette::kGlyphDark;
    painter.save();
    if (!down) {
        painter.translate(tile.center().x() + 0.5, tile.center().y() + 0.5);
        painter.rotate(180);
        painter.translate(-tile.center().x() - 0.5, -tile.center().y() - 0.5);
    }
    Glyphs::ArrowDown(painter, QRectF(tile).adjusted(2, 2, -2, -2), glyph);
    painter.restore();
}

// The thumb of a vertical bar runs top to bottom: rounded caps in the first and last four rows.
void PaintThumb(QPainter& painter, const QRect& tile, int state) {
    PaintTrack(painter, tile);
    const QRectF body = QRectF(tile).adjusted(2.5, 0.5, -1.5, -0.5);
    painter.setPen(kThumbEdge[state]);
    QLinearGradient shade(body.topLeft(), body.topRight());
    shade.setColorAt(0, kThumb[state].lighter(112));
    shade.setColorAt(1, kThumb[state]);
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 3.5, 3.5);
}

// The grip lies over the thumb's middle, so it carries the thumb's straight sides.
void PaintGrip(QPainter& painter, const QRect& tile, int state) {
    PaintTrack(painter, tile);
    const QRectF body = QRectF(tile).adjusted(2.5, -4, -1.5, 4);
    painter.save();
    painter.setClipRect(tile);
    painter.setPen(kThumbEdge[state]);
    QLinearGradient shade(body.topLeft(), body.topRight());
    shade.setColorAt(0, kThumb[state].lighter(112));
    shade.setColorAt(1, kThumb[state]);
    painter.setBrush(shade);
    painter.drawRect(body);
    painter.restore();
    painter.setPen(QColor(255, 255, 255, 210));
    for (int line = 0; line < 3; ++line) {
        const qreal y = tile.top() + 5.5 + 2 * line;
        painter.drawLine(QPointF(tile.left() + 5.5, y), QPointF(tile.right() - 4.5, y));
    }
}

QImage VerticalRow() {
    QImage row(15 * kTile, kTile, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&row);
    painter.setRenderHint(QPainter::Antialiasing);
    auto tile = [](int index) { return QRect(index * kTile, 0, kTile, kTile); };
    for (int state = 0; state < 4; ++state) {
        PaintArrow(painter, tile(state), state, false);
        PaintArrow(painter, tile(4 + state), state, true);
    }
    for (int state = 0; state < 3; ++state) {
        PaintThumb(painter, tile(8 + state), state);
        PaintGrip(painter, tile(11 + state), state);
    }
    PaintTrack(painter, tile(14));
    return row;
}

// Each tile of the horizontal bar is its vertical tile mirrored along the diagonal.
QImage HorizontalRow(const QImage& vertical) {
    QImage row(vertical.size(), vertical.format());
    for (int index = 0; index < vertical.width() / kTile; ++index) {
        const QImage tile = vertical.copy(index * kTile, 0, kTile, kTile);
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x)
                row.setPixel(index * kTile + x, y, tile.pixel(y, x));
    }
    return row;
}

QImage SizeBox() {
    QImage box(kTile, kTile, QImage::Format_ARGB32_Premultiplied);
    box.fill(kTrack);
    QPainter painter(&box);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x9B, 0xC2, 0xE9));
    for (int row = 0; row < 3; ++row)
        for (int column = 2 - row; column < 3; ++column)
            painter.drawRect(6 + 3 * column, 6 + 3 * row, 2, 2);
    return box;
}

} // namespace

namespace PanelImages {

QImage PopTip() {
    QImage tip(180, 110, QImage::Format_ARGB32_Premultiplied);
    tip.fill(Qt::transparent);
    QPainter painter(&tip);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(tip.rect()).adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
    painter.fillPath(outline,
                     SkinPalette::VerticalGradient(24, 86, Qt::white, QColor(0xE3, 0xF0, 0xFC)));
    painter.save();
    painter.setClipPath(outline);
    painter.fillRect(QRect(0, 0, tip.width(), 24), SkinPalette::TitleGradient());
    painter.setPen(SkinPalette::kTitleHighlight);
    painter.drawLine(QPointF(7, 1.5), QPointF(tip.width() - 7, 1.5));
    painter.restore();
    Glyphs::Bell(painter, QRectF(8, 5, 14, 14), Qt::white);
    painter.setPen(QPen(SkinPalette::kFrameBorder, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
    return tip;
}

QImage ScrollBar() {
    QImage bitmap(15 * kTile, 3 * kTile, QImage::Format_RGB32);
    bitmap.fill(kTrack);
    QPainter painter(&bitmap);
    const QImage vertical = VerticalRow();
    painter.drawImage(0, 0, vertical);
    painter.drawImage(0, kTile, HorizontalRow(vertical));
    painter.drawImage(0, 2 * kTile, SizeBox());
    painter.drawImage(kTile, 2 * kTile, SizeBox().mirrored(true, false));
    return bitmap;
}

void Write(AssetWriter& writer) {
    writer.WritePng(QStringLiteral("data/Friend/main_bk_poptips.png"), PopTip());
    writer.WriteBmp(QStringLiteral("data/Common/srcollbar/scroll.bmp"), ScrollBar());
}

} // namespace PanelImages
