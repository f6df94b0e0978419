// The skinned scroll bar on real text views, offscreen: where the bars lie, and how they and
// their thumbs are painted from the tiles in each state.

#include "SkinScrollTestSupport.h"

#include "PanelImages.h"
#include "ui/controls/SkinScrollCommand.h"
#include "ui/controls/SkinScrollTiles.h"
#include "ui/controls/ViewportMargins.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace pellix {

using namespace SkinScroll;

namespace {

constexpr int kVerticalFirstArrow = kVerticalPart | kFirstArrow;

template <class View> std::unique_ptr<View> ShownView(int lines) {
    auto view = std::make_unique<View>();
    view->resize(200, 150);
    view->setPlainText(LongText(lines));
    view->show();
    return view;
}

QColor PixelAt(QWidget& view, QPoint point) {
    return view.grab().toImage().pixelColor(point);
}

TEST(SkinScrollFrameTest, BarsTakeTheMarginBesideTheViewportAndPaintFromTheTiles) {
    auto view = ShownView<QTextEdit>(100);
    ASSERT_NE(SkinForTest(*view), nullptr);
    const QRect contents = view->contentsRect();
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());
    EXPECT_EQ(view->viewport()->geometry(), contents.adjusted(0, 0, -16, 0));
    SkinScrollPart* bar = VerticalBar(*view);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry(), QRect(contents.right() - 15, contents.top(), 16, contents.height()));
    // Wrapped text never scrolls sideways, so there is no horizontal bar.
    EXPECT_FALSE(HorizontalBar(*view)->isVisible());

    const BarLayout layout = SkinScrollFind(view.get())->Layout(Qt::Vertical);
    ASSERT_TRUE(layout.HasThumb());
    const QPoint origin = bar->geometry().topLeft() + QPoint(8, 0);
    const QImage image = view->grab().toImage();
    EXPECT_EQ(image.pixelColor(origin + QPoint(0, 8)), TileColor(0, 0));
    EXPECT_EQ(image.pixelColor(origin + QPoint(0, layout.length - 8)), TileColor(4, 0));
    EXPECT_EQ(image.pixelColor(origin + QPoint(0, layout.thumbStart + 1)), TileColor(8, 0));
    EXPECT_EQ(image.pixelColor(origin + QPoint(0, layout.thumbEnd + 2)), TileColor(14, 0));
}

TEST(SkinScrollFrameTest, RightToLeftWindowsHaveTheVerticalBarOnTheLeftAndMirrorTheOther) {
    auto view = ShownView<QPlainTextEdit>(100);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setPlainText(LongText(100) + QString(300, QLatin1Char('x')));
    view->setLayoutDirection(Qt::RightToLeft);
    ASSERT_NE(SkinForTest(*view), nullptr);
    const QRect contents = view->contentsRect();
    EXPECT_EQ(VerticalBar(*view)->geometry().left(), contents.left());
    EXPECT_EQ(view->viewport()->geometry(), contents.adjusted(16, 0, 0, -16));
    const QRect box = SkinScrollFind(view.get())->SizeBoxRect();
    EXPECT_EQ(box, QRect(contents.left(), contents.bottom() - 15, 16, 16));
    EXPECT_EQ(PixelAt(*view, box.center()), TileColor(1, 2));

    // The bar is hit where it is drawn.
    QSignalSpy sent(SkinScrollFind(view.get()), &SkinScrollState::scrollSent);
    QTest::mouseClick(VerticalBar(*view), Qt::LeftButton, {}, QPoint(8, 30));
    ASSERT_GE(sent.count(), 1);
    EXPECT_EQ(sent.first().at(1).toInt(), kPageDown);

    // Sideways such a view scrolls from its right edge, and its bar is mirrored to match.
    SkinScrollPart* across = HorizontalBar(*view);
    ASSERT_TRUE(across->isVisible());
    EXPECT_EQ(view->horizontalScrollBar()->value(), 0);
    const BarLayout layout = SkinScrollFind(view.get())->Layout(Qt::Horizontal);
    const QImage bar = across->grab().toImage();
    const int right = across->width() - 1;
    EXPECT_EQ(bar.pixelColor(right - 8, 8), TileColor(0, 1));
    EXPECT_EQ(bar.pixelColor(right - layout.thumbStart - 1, 8), TileColor(8, 1));
    EXPECT_EQ(bar.pixelColor(8, 8), TileColor(4, 1));
    sent.clear();
    QTest::mouseClick(across, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(sent.first().at(1).toInt(), kLineDown);
    EXPECT_GT(view->horizontalScrollBar()->value(), 0);

    view->setLayoutDirection(Qt::LeftToRight);
    EXPECT_EQ(VerticalBar(*view)->geometry().right(), contents.right());
    EXPECT_EQ(PixelAt(*view, SkinScrollFind(view.get())->SizeBoxRect().center()), TileColor(0, 2));
}

TEST(SkinScrollFrameTest, AsNeededBarsComeAndGoWithTheRange) {
    auto view = ShownView<QPlainTextEdit>(1);
    ASSERT_NE(SkinForTest(*view), nullptr);
    const QRect contents = view->contentsRect();
    EXPECT_FALSE(VerticalBar(*view)->isVisible());
    EXPECT_EQ(view->viewport()->geometry(), contents);
    view->setPlainText(LongText(100));
    QTRY_VERIFY(VerticalBar(*view)->isVisible());
    EXPECT_EQ(view->viewport()->width(), contents.width() - 16);
    view->clear();
    QTRY_VERIFY(!VerticalBar(*view)->isVisible());
    EXPECT_EQ(view->viewport()->geometry(), contents);
}

TEST(SkinScrollPaintTest, ThumbIsCapsAroundARepeatedMiddleWithAGripOnlyWhenLong) {
    QImage bitmap = ColouredTiles().toImage();
    // Thumb tile in state 1 of the vertical row: distinct caps and middle.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            bitmap.setPixelColor(144 + x, y, y < 4 ? Qt::red : y < 12 ? Qt::green : Qt::blue);
    SkinScrollTiles tiles(QPixmap::fromImage(bitmap));
    const QColor grip = TileColor(12, 0);

    const QImage shortThumb = tiles.Thumb(Qt::Vertical, 1, 24).toImage();
    ASSERT_EQ(shortThumb.size(), QSize(16, 24));
    for (int y = 0; y < 24; ++y) {
        const QColor expected = y < 4 ? Qt::red : y < 20 ? Qt::green : Qt::blue;
        EXPECT_EQ(shortThumb.pixelColor(8, y), expected) << y;
    }
    const QImage longThumb = tiles.Thumb(Qt::Vertical, 1, 41).toImage();
    EXPECT_EQ(longThumb.pixelColor(8, 3), QColor(Qt::red));
    EXPECT_EQ(longThumb.pixelColor(8, 11), QColor(Qt::green));
    EXPECT_EQ(longThumb.pixelColor(8, 12), grip); // (41 - 16) / 2
    EXPECT_EQ(longThumb.pixelColor(8, 27), grip);
    EXPECT_EQ(longThumb.pixelColor(8, 28), QColor(Qt::green));
    EXPECT_EQ(longThumb.pixelColor(8, 37), QColor(Qt::blue));
    EXPECT_EQ(tiles.Thumb(Qt::Vertical, 1, 25).toImage().pixelColor(8, 12), grip);
    // The horizontal thumb runs along x, from its own row.
    const QImage horizontal = tiles.Thumb(Qt::Horizontal, 2, 30).toImage();
    ASSERT_EQ(horizontal.size(), QSize(30, 16));
    EXPECT_EQ(horizontal.pixelColor(1, 8), TileColor(10, 1));
    EXPECT_EQ(horizontal.pixelColor(15, 8), TileColor(13, 1));
}

// The bitmap the build draws holds every tile where the bars look for it: a thumb built from it
// has the tile's caps at its ends and the tile's middle between them, and the horizontal thumb
// is the vertical one turned.
TEST(SkinScrollPaintTest, GeneratedSkinMatchesTheTileLayout) {
    const QImage bitmap = PanelImages::ScrollBar();
    ASSERT_TRUE(SkinScrollTiles::Fits(QPixmap::fromImage(bitmap)));
    SkinScrollTiles tiles(QPixmap::fromImage(bitmap));
    for (int state = 0; state < 3; ++state) {
        const QImage tile = bitmap.copy(128 + 16 * state, 0, 16, 16);
        const QImage thumb =
            tiles.Thumb(Qt::Vertical, state, 24).toImage().convertToFormat(tile.format());
        EXPECT_EQ(thumb.copy(0, 0, 16, 4), tile.copy(0, 0, 16, 4)) << state;
        EXPECT_EQ(thumb.copy(0, 20, 16, 4), tile.copy(0, 12, 16, 4)) << state;
        for (int row = 4; row < 20; ++row)
            EXPECT_EQ(thumb.copy(0, row, 16, 1), tile.copy(0, 4, 16, 1)) << state << " " << row;
        const QImage across =
            tiles.Thumb(Qt::Horizontal, state, 24).toImage().convertToFormat(tile.format());
        for (int along = 0; along < 24; ++along)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(across.pixel(along, x), thumb.pixel(x, along)) << state;
    }
}

TEST(SkinScrollPaintTest, PartsShowHotPressedAndDisabledStates) {
    auto view = ShownView<QPlainTextEdit>(100);
    ASSERT_NE(SkinForTest(*view), nullptr);
    SkinScrollState* state = SkinScrollFind(view.get());
    SkinScrollPart* bar = VerticalBar(*view);
    const QPoint arrow = bar->geometry().topLeft() + QPoint(8, 8);

    MoveMouse(bar, QPoint(8, 8));
    EXPECT_EQ(state->Tracker().HotPart(), kVerticalFirstArrow);
    EXPECT_EQ(PixelAt(*view, arrow), TileColor(1, 0));
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(PixelAt(*view, arrow), TileColor(2, 0));
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(8, 8));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar, &leave);
    EXPECT_EQ(state->Tracker().HotPart(), kNoPart);
    EXPECT_EQ(PixelAt(*view, arrow), TileColor(0, 0));

    // A disabled bar shows disabled arrows and an empty track, and its thumb cannot be taken.
    const BarLayout layout = state->Layout(Qt::Vertical);
    view->verticalScrollBar()->setEnabled(false);
    const QImage image = view->grab().toImage();
    EXPECT_EQ(image.pixelColor(arrow), TileColor(3, 0));
    const QPoint thumb = bar->geometry().topLeft() + QPoint(8, layout.thumbStart + 2);
    EXPECT_EQ(image.pixelColor(thumb), TileColor(14, 0));
    QSignalSpy sent(state, &SkinScrollState::scrollSent);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(8, layout.thumbStart + 2));
    MoveMouse(bar, QPoint(8, layout.thumbStart + 40), Qt::LeftButton);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(8, layout.thumbStart + 40));
    EXPECT_EQ(sent.count(), 0);
    EXPECT_FALSE(state->Tracker().IsPressed());
}

TEST(SkinScrollPaintTest, BarWithoutThumbIgnoresHoverAndPresses) {
    auto view = ShownView<QPlainTextEdit>(2);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ASSERT_NE(SkinForTest(*view), nullptr);
    SkinScrollState* state = SkinScrollFind(view.get());
    SkinScrollPart* bar = VerticalBar(*view);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_FALSE(state->Layout(Qt::Vertical).HasThumb());
    EXPECT_EQ(PixelAt(*view, bar->geometry().center()), TileColor(14, 0));
    QSignalSpy sent(state, &SkinScrollState::scrollSent);
    MoveMouse(bar, QPoint(8, 8));
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, 8));
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, bar->height() - 8));
    EXPECT_EQ(state->Tracker().HotPart(), kNoPart);
    EXPECT_EQ(sent.count(), 0);

    // A range with page 0 has no thumb either.
    view->setPlainText(LongText(100));
    view->verticalScrollBar()->setPageStep(0);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(sent.count(), 0);
}

} // namespace

} // namespace pellix
