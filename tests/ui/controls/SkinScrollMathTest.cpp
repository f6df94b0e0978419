// The skinned scroll bar's arithmetic: rounding, thumb size and place, the part under a point,
// the position of a dragged thumb, and the scroll state read from a Qt slider.

#include "ui/controls/SkinScrollMath.h"
#include "ui/controls/SkinScrollCommand.h"

#include <QScrollBar>
#include <gtest/gtest.h>
#include <limits>

namespace pellix {

using namespace SkinScroll;

namespace {

TEST(SkinScrollMathTest, MulDivRoundsHalvesAwayFromZeroThrough64Bits) {
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(3, 1, -2), -2);
    EXPECT_EQ(MulDiv(1, 1, 3), 0);
    EXPECT_EQ(MulDiv(2, 1, 3), 1);
    EXPECT_EQ(MulDiv(5, 7, 3), 12);
    EXPECT_EQ(MulDiv(-5, 7, 3), -12);
    // The product needs more than 32 bits.
    EXPECT_EQ(MulDiv(1 << 30, 8, 16), 1 << 29);
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);
    constexpr int kMax = std::numeric_limits<int>::max();
    EXPECT_EQ(MulDiv(kMax, kMax, 1), kMax);
    EXPECT_EQ(MulDiv(-kMax, kMax, 1), std::numeric_limits<int>::min());
    // A zero divisor is no fault.
    EXPECT_EQ(MulDiv(5, 7, 0), 0);
}

TEST(SkinScrollMathTest, ThumbSizeAndPlaceFollowTheScrollState) {
    // A 132-pixel bar leaves 100 pixels between its arrows.
    const BarLayout half = LayoutBar(132, {0, 199, 50, 75});
    EXPECT_EQ(half.firstArrowEnd, 16);
    EXPECT_EQ(half.secondArrowStart, 116);
    EXPECT_EQ(half.ThumbLength(), 25);
    // 75 * 75 / 150 = 37.5 rounds up.
    EXPECT_EQ(half.thumbStart, 16 + 38);

    const BarLayout end = LayoutBar(132, {0, 199, 50, 150});
    EXPECT_EQ(end.thumbEnd, end.secondArrowStart);
    const BarLayout beyond = LayoutBar(132, {0, 199, 50, 400});
    EXPECT_EQ(beyond.thumbEnd, beyond.secondArrowStart);
    const BarLayout shifted = LayoutBar(132, {-100, 99, 50, -100});
    EXPECT_EQ(shifted.thumbStart, 16);

    // Page 0 or an empty range: no thumb at all.
    EXPECT_FALSE(LayoutBar(132, {0, 199, 0, 10}).HasThumb());
    EXPECT_FALSE(LayoutBar(132, {5, 5, 50, 5}).HasThumb());
    EXPECT_FALSE(LayoutBar(132, {9, 5, 50, 5}).HasThumb());

    // A tiny page still gives a thumb that can be grabbed.
    EXPECT_EQ(LayoutBar(132, {0, 100000, 1, 0}).ThumbLength(), kMinThumbLength);
    // A page as large as the range: the thumb fills the track and nothing divides by zero.
    const BarLayout full = LayoutBar(132, {0, 99, 100, 0});
    EXPECT_EQ(full.thumbStart, 16);
    EXPECT_EQ(full.ThumbLength(), 100);
    // A bar shorter than its arrows keeps its thumb at the first arrow.
    const BarLayout stub = LayoutBar(20, {0, 999, 10, 500});
    EXPECT_EQ(stub.thumbStart, 16);
    EXPECT_EQ(stub.ThumbLength(), kMinThumbLength);
}

TEST(SkinScrollMathTest, HitTestFindsThePartsInOrderAtTheirBorders) {
    const BarLayout layout = LayoutBar(132, {0, 199, 50, 75}); // thumb 54..79
    const QSize vertical(16, 132);
    const auto hit = [&](int y, bool disabled = false) {
        return HitTest(layout, Qt::Vertical, vertical, QPoint(8, y), disabled);
    };
    EXPECT_EQ(hit(0), kFirstArrow);
    EXPECT_EQ(hit(15), kFirstArrow);
    EXPECT_EQ(hit(16), kPageBefore);
    EXPECT_EQ(hit(53), kPageBefore);
    EXPECT_EQ(hit(54), kThumb);
    EXPECT_EQ(hit(79), kThumb) << "the thumb's last pixel is the thumb";
    EXPECT_EQ(hit(80), kPageAfter);
    EXPECT_EQ(hit(115), kPageAfter);
    EXPECT_EQ(hit(116), kSecondArrow);
    EXPECT_EQ(hit(131), kSecondArrow);
    EXPECT_EQ(hit(132), kNoPart);
    EXPECT_EQ(hit(-1), kNoPart);
    EXPECT_EQ(HitTest(layout, Qt::Vertical, vertical, QPoint(16, 60), false), kNoPart);
    // A disabled bar answers only on its thumb.
    EXPECT_EQ(hit(15, true), kNoPart);
    EXPECT_EQ(hit(16, true), kNoPart);
    EXPECT_EQ(hit(60, true), kThumb);
    EXPECT_EQ(hit(100, true), kNoPart);
    EXPECT_EQ(hit(116, true), kNoPart);
    // Without a thumb only the arrows answer.
    const BarLayout empty = LayoutBar(132, {0, 0, 50, 0});
    EXPECT_EQ(HitTest(empty, Qt::Vertical, vertical, QPoint(8, 60), false), kNoPart);
    EXPECT_EQ(HitTest(empty, Qt::Vertical, vertical, QPoint(8, 116), false), kSecondArrow);
    EXPECT_EQ(HitTest(empty, Qt::Vertical, vertical, QPoint(8, 116), true), kNoPart);
    // The horizontal bar runs along x.
    EXPECT_EQ(HitTest(layout, Qt::Horizontal, QSize(132, 16), QPoint(54, 8), false), kThumb);
    EXPECT_EQ(HitTest(layout, Qt::Horizontal, QSize(132, 16), QPoint(8, 54), false), kNoPart);
}

TEST(SkinScrollMathTest, DraggedThumbStandsForAPositionInRange) {
    const ScrollInfo info{0, 199, 50, 75};
    const BarLayout layout = LayoutBar(132, info); // travel 75 pixels over 150 positions
    EXPECT_EQ(DragPosition(layout, info, 16 + 5 + 37, 5), 74);
    EXPECT_EQ(DragPosition(layout, info, 16 + 5 + 38, 5), 76);
    EXPECT_EQ(DragPosition(layout, info, 500, 5), 150);
    EXPECT_EQ(DragPosition(layout, info, -40, 5), 0);
    const ScrollInfo shifted{100, 299, 50, 175};
    EXPECT_EQ(DragPosition(LayoutBar(132, shifted), shifted, 16 + 75, 0), 250);
    // A thumb that fills its track has nowhere to go: the position stays.
    const ScrollInfo full{0, 199, 199, 1};
    ASSERT_EQ(LayoutBar(132, full).ThumbLength(), 100);
    EXPECT_EQ(DragPosition(LayoutBar(132, full), full, 90, 0), 1);
}

TEST(SkinScrollMathTest, SliderStateCountsTheLastPageIntoMax) {
    QScrollBar slider(Qt::Vertical);
    slider.setRange(0, 1340);
    slider.setPageStep(82);
    slider.setValue(500);
    ScrollInfo info = InfoFromSlider(slider);
    EXPECT_EQ(info.min, 0);
    EXPECT_EQ(info.max, 1421);
    EXPECT_EQ(info.page, 82);
    EXPECT_EQ(info.pos, 500);
    slider.setPageStep(0);
    EXPECT_EQ(InfoFromSlider(slider).max, 1340);
    slider.setRange(0, 0);
    slider.setPageStep(82);
    info = InfoFromSlider(slider);
    EXPECT_FALSE(HasThumb(info));
}

} // namespace

} // namespace pellix
