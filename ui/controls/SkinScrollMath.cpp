#include "SkinScrollMath.h"

#include <QRect>
#include <algorithm>
#include <cstdint>
#include <limits>

namespace pellix {

namespace SkinScroll {

namespace {

int ClampToInt(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

} // namespace

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0)
        return 0;
    int64_t product = static_cast<int64_t>(number) * numerator;
    int64_t divisor = denominator;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const int64_t half = divisor / 2;
    return ClampToInt((product >= 0 ? product + half : product - half) / divisor);
}

bool HasThumb(const ScrollInfo& info) {
    return info.page > 0 && info.max > info.min;
}

BarLayout LayoutBar(int length, const ScrollInfo& info) {
    BarLayout layout;
    layout.length = length;
    layout.firstArrowEnd = kArrowLength;
    layout.secondArrowStart = length - kArrowLength;
    if (!HasThumb(info))
        return layout;
    const int free = layout.TrackLength();
    const int64_t range = static_cast<int64_t>(info.max) - info.min + 1;
    const int thumb = std::max(MulDiv(info.page, free, ClampToInt(range)), kMinThumbLength);
    const int travel = ClampToInt(range - std::max(info.page, 1));
    const int fromMin = ClampToInt(static_cast<int64_t>(info.pos) - info.min);
    // A bar too short for its thumb keeps the thumb at the first arrow.
    const int offset = std::max(0, std::min(MulDiv(fromMin, free - thumb, travel), free - thumb));
    layout.thumbStart = layout.firstArrowEnd + offset;
    layout.thumbEnd = layout.thumbStart + thumb;
    return layout;
}

int HitTest(const BarLayout& layout, Qt::Orientation orientation, QSize size, QPoint point,
            bool disabled) {
    if (!QRect(QPoint(0, 0), size).contains(point))
        return kNoPart;
    const int along = Along(orientation, point);
    const auto unlessDisabled = [disabled](int part) { return disabled ? kNoPart : part; };
    if (along < layout.firstArrowEnd)
        return unlessDisabled(kFirstArrow);
    if (layout.HasThumb()) {
        if (along < layout.thumbStart)
            return unlessDisabled(kPageBefore);
        if (along <= layout.thumbEnd)
            return kThumb;
        return unlessDisabled(along < layout.secondArrowStart ? kPageAfter : kSecondArrow);
    }
    return along < layout.secondArrowStart ? kNoPart : unlessDisabled(kSecondArrow);
}

int DragPosition(const BarLayout& layout, const ScrollInfo& info, int along, int dragOffset) {
    if (info.max < info.min)
        return info.min;
    const int travel = layout.TrackLength() - layout.ThumbLength();
    // A thumb that fills its track cannot be dragged anywhere.
    if (travel <= 0)
        return info.pos;
    const int moved = std::max(along - dragOffset - layout.firstArrowEnd, 0);
    const int positions = ClampToInt(static_cast<int64_t>(info.max) - info.min - info.page + 1);
    return ClampToInt(static_cast<int64_t>(info.min) +
                      MulDiv(std::min(travel, moved), positions, travel));
}

} // namespace SkinScroll

} // namespace pellix
