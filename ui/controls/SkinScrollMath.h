#pragma once
// The arithmetic of a skinned scroll bar: how long the thumb is and where it sits, which part
// lies under a point, and which position a dragged thumb stands for. Plain functions over one
// bar's scroll state; lengths and coordinates are pixels along the bar from its start.

#include <QPoint>
#include <QSize>

namespace pellix {

namespace SkinScroll {

constexpr int kBarWidth = 16;
constexpr int kArrowLength = 16;
constexpr int kMinThumbLength = 10;
// Thumbs longer than this carry the grip tile in their middle.
constexpr int kLongestThumbWithoutGrip = 24;

// Part codes. The low four bits name the part; kVerticalPart marks a part of the vertical bar.
enum Part : int {
    kNoPart = 0,
    kFirstArrow = 1,  // up or left
    kSecondArrow = 2, // down or right
    kThumb = 3,
    kPageBefore = 4,
    kPageAfter = 5,
};
constexpr int kVerticalPart = 0x10;
constexpr int kPartMask = 0x0F;

// How a part is painted; also the column of its tile in the skin bitmap.
enum PartState : int { kNormal = 0, kHot = 1, kPressed = 2, kDisabled = 3 };

// One bar's scroll state the way system scroll bars hold it: positions run from min to
// max - page + 1, and max counts the last page in.
struct ScrollInfo {
    int min = 0;
    int max = 0;
    int page = 0;
    int pos = 0;
};

// Where the parts of one bar lie, along the bar. A bar without thumb has thumbStart and
// thumbEnd 0.
struct BarLayout {
    int length = 0;
    int firstArrowEnd = 0;
    int secondArrowStart = 0;
    int thumbStart = 0;
    int thumbEnd = 0;

    bool HasThumb() const { return thumbStart > 0 && thumbEnd > thumbStart; }
    int ThumbLength() const { return thumbEnd - thumbStart; }
    int TrackLength() const { return secondArrowStart - firstArrowEnd; }
};

// number * numerator / denominator through a 64-bit product, rounded to the nearest integer
// with halves away from zero. A zero denominator gives 0; results beyond int are clamped.
int MulDiv(int number, int numerator, int denominator);

// True when the bar shows a thumb: it has a page and something to scroll.
bool HasThumb(const ScrollInfo& info);

BarLayout LayoutBar(int length, const ScrollInfo& info);

// The part (low code, without kVerticalPart) under a point given in the bar's own coordinates;
// size is the bar's size. Arrows and page parts of a disabled bar answer kNoPart.
int HitTest(const BarLayout& layout, Qt::Orientation orientation, QSize size, QPoint point,
            bool disabled);

// The position a thumb dragged to coordinate along stands for, dragOffset being the distance
// from the thumb's start at which it was grabbed.
int DragPosition(const BarLayout& layout, const ScrollInfo& info, int along, int dragOffset);

inline int Along(Qt::Orientation orientation, QPoint point) {
    return orientation == Qt::Vertical ? point.y() : point.x();
}

} // namespace SkinScroll

} // namespace pellix
