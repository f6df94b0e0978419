// The emoticon picker pops up on screen, reports a click with the emoticon's index and code in
// GBK, and closes without a pick on Esc or a click elsewhere.

#include "EmotionPicker.h"
#include "EmotionSelector.h"
#include "EmotionTable.h"
#include "text/StringUtility.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QScreen>
#include <QToolTip>
#include <QtTest>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Pick {
    int index;
    std::string text;
};

class RecordingSink final : public IEmotionSink {
public:
    void OnEmotionSelected(int index, const char* text) override {
        picks.push_back({index, text != nullptr ? text : ""});
    }
    std::vector<Pick> picks;
};

class EmotionPickerTest : public ::testing::Test {
protected:
    void SetUp() override { selector.SetSink(&sink); }

    CEmotionPicker& Picker() { return selector.Picker(); }
    QRect Available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
    void ShowAt(const QPoint& point) {
        selector.Show(nullptr, point.x(), point.y());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Picker()));
    }

    RecordingSink sink;
    CEmotionSelector selector;
};

} // namespace

TEST_F(EmotionPickerTest, OpensAtThePointWhenItFits) {
    const QPoint point = Available().topLeft() + QPoint(10, 20);
    ShowAt(point);
    EXPECT_EQ(Picker().frameGeometry().topLeft(), point);
    EXPECT_TRUE(Picker().windowFlags().testFlag(Qt::Popup));
}

TEST_F(EmotionPickerTest, NearTheBottomRightCornerItMovesToStayOnTheScreen) {
    ShowAt(Available().bottomRight() - QPoint(5, 5));
    EXPECT_TRUE(Available().contains(Picker().frameGeometry()));
    EXPECT_EQ(Picker().frameGeometry().bottomRight(), Available().bottomRight());

    Picker().hide();
    ShowAt(Available().topLeft() - QPoint(300, 300));
    EXPECT_EQ(Picker().frameGeometry().topLeft(), Available().topLeft());
}

TEST_F(EmotionPickerTest, AClickOnAnEmoticonReportsItsIndexAndCodeAndCloses) {
    ShowAt(Available().topLeft());
    QTest::mouseClick(&Picker(), Qt::LeftButton, {}, Picker().CellRect(65).center());
    ASSERT_EQ(sink.picks.size(), 1u);
    EXPECT_EQ(sink.picks[0].index, 65);
    EXPECT_EQ(sink.picks[0].text, StringUtility::QStringToAnsi(EmotionTable::Code(65)));
    EXPECT_EQ(sink.picks[0].text, StringUtility::UTF8ToAnsi("[好的]"));
    EXPECT_FALSE(Picker().isVisible());

    ShowAt(Available().topLeft());
    QTest::mouseClick(&Picker(), Qt::LeftButton, {}, Picker().CellRect(66).center());
    ASSERT_EQ(sink.picks.size(), 2u);
    EXPECT_EQ(sink.picks[1].index, 66);
}

TEST_F(EmotionPickerTest, EscOrAClickOutsideClosesWithoutAPick) {
    ShowAt(Available().topLeft());
    QTest::keyClick(&Picker(), Qt::Key_Escape);
    EXPECT_FALSE(Picker().isVisible());

    ShowAt(Available().topLeft());
    QTest::mouseClick(&Picker(), Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_FALSE(Picker().isVisible());
    EXPECT_TRUE(sink.picks.empty());
}

TEST_F(EmotionPickerTest, TheCellUnderTheMouseIsHighlightedAndNamed) {
    ShowAt(Available().topLeft());
    QTest::mouseMove(&Picker(), Picker().CellRect(13).center());
    EXPECT_EQ(Picker().HoveredIndex(), 13);
    const QPoint centre = Picker().CellRect(13).center();
    QHelpEvent help(QEvent::ToolTip, centre, Picker().mapToGlobal(centre));
    QApplication::sendEvent(&Picker(), &help);
    EXPECT_EQ(QToolTip::text(), QString::fromUtf8(EmotionTable::At(13).name));
    EXPECT_EQ(Picker().IndexAt(Picker().CellRect(95).center()), 95);
    EXPECT_EQ(Picker().IndexAt(QPoint(Picker().width() + 5, 5)), -1);
    Picker().hide();
}

TEST_F(EmotionPickerTest, WithoutASinkAPickGoesNowhere) {
    selector.SetSink(nullptr);
    ShowAt(Available().topLeft());
    QTest::mouseClick(&Picker(), Qt::LeftButton, {}, Picker().CellRect(0).center());
    EXPECT_FALSE(Picker().isVisible());
    EXPECT_TRUE(sink.picks.empty());
}
