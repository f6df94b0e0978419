#include "SkinScrollTiles.h"

#include <QPainter>
#include <algorithm>

namespace pellix {

namespace {

constexpr int kCap = 4;
constexpr int kMiddle = 8;

// A rectangle along a bar, turned the right way for the bar.
QRect AlongBar(Qt::Orientation orientation, int start, int length, int across = 0,
               int width = SkinScroll::kBarWidth) {
    return orientation == Qt::Vertical ? QRect(across, start, width, length)
                                       : QRect(start, across, length, width);
}

} // namespace

bool SkinScrollTiles::Fits(const QPixmap& bitmap) {
    return !bitmap.isNull() && bitmap.width() >= kColumns * kTile &&
           bitmap.height() >= kRows * kTile;
}

SkinScrollTiles::SkinScrollTiles(const QPixmap& bitmap)
    : m_vertical(CutRow(bitmap, 0)),
      m_horizontal(CutRow(bitmap, 1)), m_sizeBox{bitmap.copy(0, 2 * kTile, kTile, kTile),
                                                 bitmap.copy(kTile, 2 * kTile, kTile, kTile)} {}

SkinScrollTiles::Row SkinScrollTiles::CutRow(const QPixmap& bitmap, int row) {
    const auto tile = [&bitmap, row](int column) {
        return bitmap.copy(column * kTile, row * kTile, kTile, kTile);
    };
    Row cut;
    for (int state = 0; state < 4; ++state) {
        cut.firstArrow[state] = tile(state);
        cut.secondArrow[state] = tile(4 + state);
    }
    for (int state = 0; state < 3; ++state) {
        cut.thumb[state] = tile(8 + state);
        cut.grip[state] = tile(11 + state);
    }
    cut.track = tile(14);
    return cut;
}

const SkinScrollTiles::Row& SkinScrollTiles::RowOf(Qt::Orientation orientation) const {
    return orientation == Qt::Vertical ? m_vertical : m_horizontal;
}

void SkinScrollTiles::PaintBar(QPainter& painter, Qt::Orientation orientation, QPoint origin,
                               const SkinScroll::BarLayout& layout, int firstArrowState,
                               int secondArrowState, int thumbState) {
    using namespace SkinScroll;
    const Row& row = RowOf(orientation);
    const int track = layout.TrackLength();
    if (track > 0) {
        // The track tile is uniform along the bar, so stretching it is tiling it.
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(AlongBar(orientation, layout.firstArrowEnd, track).translated(origin),
                           row.track);
        painter.restore();
    }
    // A thumb longer than its track, or a disabled one, leaves the track empty.
    if (layout.HasThumb() && layout.ThumbLength() <= track && thumbState != kDisabled) {
        const QRect place = AlongBar(orientation, layout.thumbStart, layout.ThumbLength());
        painter.drawPixmap(place.topLeft() + origin,
                           Thumb(orientation, thumbState, layout.ThumbLength()));
    }
    painter.drawPixmap(AlongBar(orientation, 0, kArrowLength).topLeft() + origin,
                       row.firstArrow[firstArrowState & 3]);
    painter.drawPixmap(AlongBar(orientation, layout.secondArrowStart, kArrowLength).topLeft() +
                           origin,
                       row.secondArrow[secondArrowState & 3]);
}

void SkinScrollTiles::PaintSizeBox(QPainter& painter, QPoint origin, bool leftBar) const {
    painter.drawPixmap(origin, m_sizeBox[leftBar ? 1 : 0]);
}

const QPixmap& SkinScrollTiles::Thumb(Qt::Orientation orientation, int state, int length) {
    AssembledThumb& last = orientation == Qt::Vertical ? m_verticalThumb : m_horizontalThumb;
    if (last.state != state || last.length != length) {
        last.pixmap = AssembleThumb(orientation, state, length);
        last.state = state;
        last.length = length;
    }
    return last.pixmap;
}

// One off-screen picture per thumb, so the window gets the whole thumb in one transfer.
QPixmap SkinScrollTiles::AssembleThumb(Qt::Orientation orientation, int state, int length) const {
    const Row& row = RowOf(orientation);
    const int index = std::clamp(state, 0, 2);
    const QPixmap& tile = row.thumb[index];
    QPixmap thumb(AlongBar(orientation, 0, length).size());
    QPainter painter(&thumb);
    const auto slice = [orientation](int start, int size) {
        return AlongBar(orientation, start, size);
    };
    for (int offset = kCap; offset < length - kCap; offset += kMiddle)
        painter.drawPixmap(slice(offset, kMiddle), tile, slice(kCap, kMiddle));
    painter.drawPixmap(slice(0, kCap), tile, slice(0, kCap));
    painter.drawPixmap(slice(length - kCap, kCap), tile, slice(kTile - kCap, kCap));
    if (length > SkinScroll::kLongestThumbWithoutGrip)
        painter.drawPixmap(slice((length - kTile) / 2, kTile).topLeft(), row.grip[index]);
    return thumb;
}

} // namespace pellix
