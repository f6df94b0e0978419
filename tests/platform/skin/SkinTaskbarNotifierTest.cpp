// The popup tip: where it rises, its phases, replacement by a new text, and clicks.

#include "skin/SkinTaskbarNotifier.h"
#include "SkinTestImages.h"
#include "skin/ScreenMetrics.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Counts the events of one type that reach the watched object.
class EventCounter final : public QObject {
public:
    EventCounter(QEvent::Type type, int& count) : m_type(type), m_count(count) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == m_type)
            ++m_count;
        return false;
    }

private:
    QEvent::Type m_type;
    int& m_count;
};

class SkinTaskbarNotifierTest : public ::testing::Test {
protected:
    void SetUp() override {
        ScreenMetrics::SetOverride(QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 738));
        ASSERT_TRUE(dir.isValid());
        skin = WriteStrip(dir, QStringLiteral("tip.png"), {QColor(0xDD, 0xEE, 0xFD)}, 180, 100);
        notifier.Create(&parent);
        ASSERT_TRUE(notifier.SetSkin(skin, 255, 0, 255));
        notifier.SetTextFont(QStringLiteral("宋体"), 90, 0, 4);
        notifier.SetTextColor(0x00780803, 0x00C80000);
    }
    void TearDown() override { ScreenMetrics::ClearOverride(); }

    QTemporaryDir dir;
    QString skin;
    QWidget parent;
    CSkinTaskbarNotifier notifier;
};

TEST_F(SkinTaskbarNotifierTest, RisesAtTheBottomRightStaysAndGoes) {
    QSignalSpy states(&notifier, &CSkinTaskbarNotifier::stateChanged);
    notifier.Show(QStringLiteral("小明 上线了！"), 20, 30, 20, 10);
    EXPECT_EQ(notifier.GetState(), CSkinTaskbarNotifier::Appearing);
    EXPECT_TRUE(notifier.Window()->isVisible());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return notifier.GetState() == CSkinTaskbarNotifier::Showing; }));
    const QRect shown = notifier.Window()->geometry();
    EXPECT_EQ(shown.size(), QSize(180, 100));
    EXPECT_EQ(shown.bottom(), 737);
    EXPECT_LE(shown.right(), 1023);
    EXPECT_GE(shown.right(), 1020);
    EXPECT_EQ(notifier.Text(), QStringLiteral("小明 上线了！"));

    ASSERT_TRUE(
        QTest::qWaitFor([&] { return notifier.GetState() == CSkinTaskbarNotifier::Hidden; }));
    EXPECT_FALSE(notifier.Window()->isVisible());
    QList<int> phases;
    for (const auto& args : states)
        phases << args.at(0).toInt();
    EXPECT_EQ(phases,
              (QList<int>{CSkinTaskbarNotifier::Appearing, CSkinTaskbarNotifier::Showing,
                          CSkinTaskbarNotifier::Disappearing, CSkinTaskbarNotifier::Hidden}));
}

TEST_F(SkinTaskbarNotifierTest, ANewTextReplacesTheShownOneAtOnce) {
    notifier.Show(QStringLiteral("first"), 10, 5000, 10, 50);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return notifier.GetState() == CSkinTaskbarNotifier::Showing; }));
    // The replacing tip reuses the window: it is never hidden in between.
    int hides = 0;
    EventCounter counter(QEvent::Hide, hides);
    notifier.Window()->installEventFilter(&counter);
    notifier.Hide();
    EXPECT_EQ(notifier.GetState(), CSkinTaskbarNotifier::Hidden);
    notifier.Show(QStringLiteral("second"), 10, 5000, 10, 50);
    EXPECT_EQ(notifier.Text(), QStringLiteral("second"));
    EXPECT_LT(notifier.Window()->height(), 100);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return notifier.GetState() == CSkinTaskbarNotifier::Showing; }));
    EXPECT_EQ(notifier.Window()->height(), 100);
    EXPECT_EQ(hides, 0);
    EXPECT_TRUE(notifier.Window()->isVisible());

    // A tip ended for good takes its window away once control returns to the event loop.
    notifier.Hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notifier.Window()->isVisible(); }));
    EXPECT_EQ(hides, 1);
}

TEST_F(SkinTaskbarNotifierTest, AClickOnTheTipIsReported) {
    QSignalSpy clicked(&notifier, &CSkinTaskbarNotifier::clicked);
    notifier.Show(QStringLiteral("tip"), 10, 5000, 10, 50);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return notifier.GetState() == CSkinTaskbarNotifier::Showing; }));
    QTest::mouseClick(notifier.Window(), Qt::LeftButton, Qt::NoModifier, QPoint(90, 50));
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(SkinTaskbarNotifierTest, TheTipGoesWithItsParentAndComesBackWithANewOne) {
    auto transient = std::make_unique<QWidget>();
    notifier.Create(transient.get());
    notifier.Show(QStringLiteral("tip"), 10, 5000, 10, 50);
    transient.reset();
    EXPECT_EQ(notifier.Window(), nullptr);
    notifier.Show(QStringLiteral("nobody sees this"), 10, 10, 10, 50);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return notifier.GetState() == CSkinTaskbarNotifier::Hidden; }));

    QWidget next;
    notifier.Create(&next);
    notifier.SetSkin(skin, 255, 0, 255);
    notifier.Show(QStringLiteral("again"), 10, 5000, 10, 50);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return notifier.GetState() == CSkinTaskbarNotifier::Showing; }));
    EXPECT_EQ(notifier.Window()->parentWidget(), &next);
}

} // namespace
