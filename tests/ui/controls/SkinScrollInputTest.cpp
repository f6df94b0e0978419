// What the mouse on the skinned bars sends to the view: repeated arrows and pages on a timer
// stepped by hand, thumb drags in the codes of rich and plain views, swallowed double clicks,
// and the view and the painted thumb following each other.

#include "SkinScrollTestSupport.h"

#include "ui/controls/SkinScrollCommand.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTextEdit>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace pellix {

using namespace SkinScroll;

namespace {

template <class View> struct Skinned {
    explicit Skinned(int lines) : view(std::make_unique<View>()) {
        view->resize(200, 150);
        view->setPlainText(LongText(lines));
        view->show();
        timer = SkinForTest(*view);
        state = SkinScrollFind(view.get());
        bar = VerticalBar(*view);
        slider = view->verticalScrollBar();
    }
    BarLayout Layout() const { return state->Layout(Qt::Vertical); }
    QPoint On(int along) const { return QPoint(8, along); }

    std::unique_ptr<View> view;
    ManualScrollTimer* timer = nullptr;
    SkinScrollState* state = nullptr;
    SkinScrollPart* bar = nullptr;
    QScrollBar* slider = nullptr;
};

std::vector<int> Codes(const QSignalSpy& sent) {
    std::vector<int> codes;
    for (const QList<QVariant>& call : sent)
        codes.push_back(call.at(1).toInt());
    return codes;
}

TEST(SkinScrollRepeatTest, HeldArrowStepsAtOnceThenAfterTheDelayEveryInterval) {
    Skinned<QPlainTextEdit> skinned(100);
    ASSERT_NE(skinned.timer, nullptr);
    QSignalSpy sent(skinned.state, &SkinScrollState::scrollSent);
    const QPoint down = skinned.On(skinned.bar->height() - 8);

    QTest::mousePress(skinned.bar, Qt::LeftButton, {}, down);
    EXPECT_EQ(Codes(sent), std::vector<int>{kLineDown});
    EXPECT_EQ(skinned.slider->value(), skinned.slider->singleStep());
    EXPECT_EQ(skinned.timer->LastInterval(), SkinScrollTracker::kRepeatDelayMs);
    skinned.timer->Fire(); // the delay ends
    EXPECT_EQ(sent.count(), 1);
    EXPECT_EQ(skinned.timer->LastInterval(), SkinScrollTracker::kRepeatIntervalMs);
    skinned.timer->Fire();
    skinned.timer->Fire();
    EXPECT_EQ(sent.count(), 3);

    // Off the arrow it holds still, and shows no longer pressed.
    MoveMouse(skinned.bar, skinned.On(60), Qt::LeftButton);
    skinned.timer->Fire();
    EXPECT_EQ(sent.count(), 3);
    EXPECT_EQ(skinned.state->Tracker().PartState(kVerticalPart | kSecondArrow), kNormal);
    MoveMouse(skinned.bar, down, Qt::LeftButton);
    EXPECT_EQ(skinned.state->Tracker().PartState(kVerticalPart | kSecondArrow), kPressed);
    skinned.timer->Fire();
    EXPECT_EQ(sent.count(), 4);

    QTest::mouseRelease(skinned.bar, Qt::LeftButton, {}, down);
    EXPECT_EQ(Codes(sent).back(), kEndScroll);
    EXPECT_FALSE(skinned.timer->IsActive());
    EXPECT_EQ(skinned.slider->value(), 4 * skinned.slider->singleStep());
}

TEST(SkinScrollRepeatTest, HeldPageStopsWhenTheThumbReachesTheMouse) {
    Skinned<QPlainTextEdit> skinned(400);
    QSignalSpy sent(skinned.state, &SkinScrollState::scrollSent);
    const int mouse = skinned.bar->height() * 2 / 3;
    QTest::mousePress(skinned.bar, Qt::LeftButton, {}, skinned.On(mouse));
    EXPECT_EQ(Codes(sent), std::vector<int>{kPageDown});
    EXPECT_GT(skinned.slider->value(), 0);
    for (int step = 0; step < 200 && skinned.timer->IsActive(); ++step)
        skinned.timer->Fire();
    EXPECT_FALSE(skinned.timer->IsActive());
    const BarLayout layout = skinned.Layout();
    EXPECT_LE(layout.thumbStart, mouse);
    EXPECT_GT(layout.thumbEnd, mouse);
    EXPECT_LT(skinned.slider->value(), skinned.slider->maximum());
    QTest::mouseRelease(skinned.bar, Qt::LeftButton, {}, skinned.On(mouse));

    // The same from below: page up stops at the mouse too.
    skinned.slider->setValue(skinned.slider->maximum());
    const int above = skinned.bar->height() / 3;
    QTest::mousePress(skinned.bar, Qt::LeftButton, {}, skinned.On(above));
    for (int step = 0; step < 200 && skinned.timer->IsActive(); ++step)
        skinned.timer->Fire();
    EXPECT_LE(skinned.Layout().thumbStart, above);
    EXPECT_GT(skinned.Layout().thumbEnd, above);
    QTest::mouseRelease(skinned.bar, Qt::LeftButton, {}, skinned.On(above));
}

// Rich views take the thumb's position at every step; plain views track it and take the
// position when it is let go. Both end with the position and the end of scrolling.
TEST(SkinScrollDragTest, RichViewsTakePositionsPlainViewsTrack) {
    Skinned<QTextEdit> rich(200);
    QSignalSpy richSent(rich.state, &SkinScrollState::scrollSent);
    QSignalSpy richPressed(rich.slider, &QAbstractSlider::sliderPressed);
    const int grab = (rich.Layout().thumbStart + rich.Layout().thumbEnd) / 2;
    QTest::mousePress(rich.bar, Qt::LeftButton, {}, rich.On(grab));
    MoveMouse(rich.bar, rich.On(grab + 30), Qt::LeftButton);
    MoveMouse(rich.bar, rich.On(grab + 50), Qt::LeftButton);
    const int dragged = rich.slider->value();
    EXPECT_GT(dragged, 0);
    EXPECT_EQ(Codes(richSent), (std::vector<int>{kThumbPosition, kThumbPosition}));
    EXPECT_EQ(rich.Layout().thumbStart, grab - (rich.Layout().ThumbLength()) / 2 + 50);
    QTest::mouseRelease(rich.bar, Qt::LeftButton, {}, rich.On(grab + 50));
    EXPECT_EQ(Codes(richSent),
              (std::vector<int>{kThumbPosition, kThumbPosition, kThumbPosition, kEndScroll}));
    EXPECT_EQ(richSent.at(2).at(2).toInt(), dragged);
    EXPECT_EQ(rich.slider->value(), dragged);
    EXPECT_EQ(richPressed.count(), 0);

    Skinned<QPlainTextEdit> plain(200);
    QSignalSpy plainSent(plain.state, &SkinScrollState::scrollSent);
    const int start = plain.Layout().thumbStart + 2;
    QTest::mousePress(plain.bar, Qt::LeftButton, {}, plain.On(start));
    MoveMouse(plain.bar, plain.On(start + 40), Qt::LeftButton);
    EXPECT_EQ(Codes(plainSent), std::vector<int>{kThumbTrack});
    EXPECT_TRUE(plain.slider->isSliderDown());
    const int tracked = plain.slider->sliderPosition();
    EXPECT_GT(tracked, 0);
    QTest::mouseRelease(plain.bar, Qt::LeftButton, {}, plain.On(start + 40));
    EXPECT_EQ(Codes(plainSent), (std::vector<int>{kThumbTrack, kThumbPosition, kEndScroll}));
    EXPECT_FALSE(plain.slider->isSliderDown());
    EXPECT_EQ(plain.slider->value(), tracked);
    // Let go over the thumb, the thumb stays hot.
    EXPECT_EQ(plain.state->Tracker().HotPart(), kVerticalPart | kThumb);

    // A click on the thumb, without a move, leaves the view where it is.
    const int clicked = plain.Layout().thumbStart + 2;
    QTest::mouseClick(plain.bar, Qt::LeftButton, {}, plain.On(clicked));
    EXPECT_EQ(plain.slider->value(), tracked);
}

TEST(SkinScrollDragTest, DoubleClicksDoNothing) {
    Skinned<QPlainTextEdit> skinned(100);
    QSignalSpy sent(skinned.state, &SkinScrollState::scrollSent);
    const QPoint down = skinned.On(skinned.bar->height() - 8);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        QMouseEvent click(QEvent::MouseButtonDblClick, down, skinned.bar->mapToGlobal(down), button,
                          button, Qt::NoModifier);
        QApplication::sendEvent(skinned.bar, &click);
        EXPECT_TRUE(click.isAccepted());
    }
    EXPECT_EQ(sent.count(), 0);
    EXPECT_EQ(skinned.slider->value(), 0);
    EXPECT_FALSE(skinned.timer->IsActive());

    // A whole double click scrolls once, for its first press.
    QTest::mouseClick(skinned.bar, Qt::LeftButton, {}, down);
    QMouseEvent second(QEvent::MouseButtonDblClick, down, skinned.bar->mapToGlobal(down),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(skinned.bar, &second);
    QTest::mouseRelease(skinned.bar, Qt::LeftButton, {}, down);
    EXPECT_EQ(skinned.slider->value(), skinned.slider->singleStep());
    EXPECT_EQ(Codes(sent), (std::vector<int>{kLineDown, kEndScroll}));
}

TEST(SkinScrollFollowTest, ThumbAndViewFollowEachOther) {
    Skinned<QPlainTextEdit> skinned(60);
    const int shortText = skinned.Layout().ThumbLength();
    skinned.view->appendPlainText(LongText(300));
    EXPECT_LT(skinned.Layout().ThumbLength(), shortText);

    // Keys scroll the view, the painted thumb goes with it.
    const BarLayout top = skinned.Layout();
    const auto pixel = [&skinned](int along) {
        return skinned.bar->grab().toImage().pixelColor(skinned.On(along));
    };
    EXPECT_EQ(pixel(top.firstArrowEnd + 1), TileColor(8, 0));
    skinned.view->setFocus();
    QTest::keyClick(skinned.view.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_GE(skinned.slider->value(), skinned.slider->maximum() - 1);
    EXPECT_EQ(pixel(top.secondArrowStart - 3), TileColor(8, 0));
    EXPECT_EQ(pixel(top.firstArrowEnd + 1), TileColor(14, 0));
    QTest::keyClick(skinned.view.get(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(skinned.Layout().thumbStart, skinned.Layout().firstArrowEnd);

    // The wheel over the bar scrolls the view.
    const QPoint on = skinned.On(60);
    QWheelEvent wheel(on, skinned.bar->mapToGlobal(on), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(skinned.bar, &wheel);
    EXPECT_GT(skinned.slider->value(), 0);

    // And the bars scroll the view.
    const int before = skinned.slider->value();
    QTest::mouseClick(skinned.bar, Qt::LeftButton, {}, skinned.On(4));
    EXPECT_EQ(skinned.slider->value(), before - skinned.slider->singleStep());
}

// Hidden, unskinned or destroyed while a part is held: the view's slider is let go.
TEST(SkinScrollFollowTest, HeldPartsAreLetGoWithoutARelease) {
    Skinned<QPlainTextEdit> skinned(200);
    const auto holdThumb = [&skinned] {
        const int grab = skinned.Layout().thumbStart + 2;
        QTest::mousePress(skinned.bar, Qt::LeftButton, {}, skinned.On(grab));
        MoveMouse(skinned.bar, skinned.On(grab + 30), Qt::LeftButton);
        return skinned.slider->isSliderDown();
    };
    ASSERT_TRUE(holdThumb());
    skinned.view->hide();
    EXPECT_FALSE(skinned.slider->isSliderDown());
    EXPECT_FALSE(skinned.state->Tracker().IsPressed());

    skinned.view->show();
    ASSERT_TRUE(holdThumb());
    EXPECT_TRUE(SkinScrollRemove(skinned.view.get()));
    EXPECT_FALSE(skinned.slider->isSliderDown());

    skinned.timer = SkinForTest(*skinned.view);
    skinned.bar = VerticalBar(*skinned.view);
    QTest::mousePress(skinned.bar, Qt::LeftButton, {}, skinned.On(skinned.bar->height() - 4));
    EXPECT_TRUE(skinned.timer->IsActive());
    skinned.view.reset();
}

} // namespace

} // namespace pellix
