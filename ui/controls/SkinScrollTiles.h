#pragma once
// The tiles of the scroll bar skin and the painting of one bar from them. The skin is one bitmap
// of 16 by 16 tiles: row 0 for the vertical bar, row 1 for the horizontal bar, and at x 0 (x 16
// when the vertical bar is on the left) of row 2 the size box. Along a row: the first arrow in
// states 0-3, the second arrow in states 0-3, the thumb in states 0-2, its grip in states 0-2,
// and the track.

#include "SkinScrollMath.h"

#include <QPixmap>
#include <array>

class QPainter;

namespace pellix {

class SkinScrollTiles {
public:
    static constexpr int kTile = 16;
    static constexpr int kColumns = 15;
    static constexpr int kRows = 3;

    // True when bitmap holds every tile of the layout.
    static bool Fits(const QPixmap& bitmap);

    // bitmap must fit the layout.
    explicit SkinScrollTiles(const QPixmap& bitmap);

    // Paints a bar of layout.length pixels whose top left corner is at origin. States are
    // those of the first arrow, the second arrow and the thumb.
    void PaintBar(QPainter& painter, Qt::Orientation orientation, QPoint origin,
                  const SkinScroll::BarLayout& layout, int firstArrowState, int secondArrowState,
                  int thumbState);
    void PaintSizeBox(QPainter& painter, QPoint origin, bool leftBar) const;

    // The thumb of a state and length, assembled from its end caps, repeated middle and grip.
    const QPixmap& Thumb(Qt::Orientation orientation, int state, int length);

private:
    struct Row {
        std::array<QPixmap, 4> firstArrow;
        std::array<QPixmap, 4> secondArrow;
        std::array<QPixmap, 3> thumb;
        std::array<QPixmap, 3> grip;
        QPixmap track;
    };
    struct AssembledThumb {
        int state = -1;
        int length = 0;
        QPixmap pixmap;
    };

    static Row CutRow(const QPixmap& bitmap, int row);
    const Row& RowOf(Qt::Orientation orientation) const;
    QPixmap AssembleThumb(Qt::Orientation orientation, int state, int length) const;

    Row m_vertical;
    Row m_horizontal;
    std::array<QPixmap, 2> m_sizeBox;
    // The last thumb built for each bar: a drag repaints the same thumb at new places.
    AssembledThumb m_verticalThumb;
    AssembledThumb m_horizontalThumb;
};

} // namespace pellix
