// Window and drawing helpers: the shake, colours as text, ANSI text drawing, screen metrics.

#include "skin/UIModuleUtility.h"
#include "skin/ScreenMetrics.h"
#include "skin/WindowShaker.h"
#include "text/StringUtility.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <set>

namespace {

TEST(UIModuleUtilityTest, ShakeMovesTheWindowAndPutsItBackExactly) {
    QWidget window;
    window.setGeometry(300, 200, 120, 80);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QPoint origin = window.pos();
    std::set<std::pair<int, int>> seen;
    // Every position visited stays within the amplitude.
    auto shakeOver = [&] {
        const QPoint offset = window.pos() - origin;
        seen.emplace(offset.x(), offset.y());
        EXPECT_LE(std::abs(offset.x()), 3);
        EXPECT_LE(std::abs(offset.y()), 3);
        return window.findChild<WindowShaker*>() == nullptr;
    };
    UIModuleUtility::ShakeWindow(&window, 3, 3, 5, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shakeOver(); }));
    EXPECT_EQ(window.pos(), origin);
    EXPECT_GT(seen.size(), 1u);
}

TEST(UIModuleUtilityTest, ASecondShakeStartsOverFromTheOriginalPlace) {
    QWidget window;
    window.setGeometry(300, 200, 120, 80);
    window.show();
    const QPoint origin = window.pos();
    UIModuleUtility::ShakeWindow(&window, 4, 4, 5, 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.pos() != origin; }));
    UIModuleUtility::ShakeWindow(&window, 4, 4, 5, 3);
    EXPECT_EQ(window.findChildren<WindowShaker*>().size(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.findChild<WindowShaker*>() == nullptr; }));
    EXPECT_EQ(window.pos(), origin);
    UIModuleUtility::ShakeWindow(nullptr, 3, 3, 20, 5);
}

TEST(UIModuleUtilityTest, RGBToHexWritesRedGreenBlue) {
    EXPECT_EQ(UIModuleUtility::RGBToHex(0x00408000), "#008040");
    EXPECT_EQ(UIModuleUtility::RGBToHex(0x00FF0000), "#0000FF");
    EXPECT_EQ(UIModuleUtility::RGBToHex(0x006A1002), "#02106A");
    EXPECT_EQ(UIModuleUtility::RGBToHex(0x00000000), "#000000");
    EXPECT_EQ(UIModuleUtility::RGBToHex(0xFFFFFFFF), "#FFFFFF");
}

TEST(UIModuleUtilityTest, DrawTextExADrawsGbkTextInsideItsRectangle) {
    QImage canvas(200, 60, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setPen(Qt::black);
    const std::string text = StringUtility::QStringToAnsi(QStringLiteral("请输入备注姓名："));
    const int height = UIModuleUtility::DrawTextExA(painter, text, QRect(13, 20, 180, 30), 0);
    painter.end();
    EXPECT_GT(height, 0);
    bool inked = false;
    bool outside = false;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.pixelColor(x, y) == QColor(Qt::white))
                continue;
            const bool inRect = QRect(13, 20, 180, 30).contains(x, y);
            inked = inked || inRect;
            outside = outside || !inRect;
        }
    }
    EXPECT_TRUE(inked);
    EXPECT_FALSE(outside);
}

TEST(ScreenMetricsTest, OverrideReplacesTheScreenUntilCleared) {
    const QRect real = ScreenMetrics::ScreenGeometry();
    EXPECT_FALSE(real.isEmpty());
    ScreenMetrics::SetOverride(QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 738));
    EXPECT_EQ(ScreenMetrics::ScreenGeometry(), QRect(0, 0, 1024, 768));
    EXPECT_EQ(ScreenMetrics::WorkArea(), QRect(0, 0, 1024, 738));
    ScreenMetrics::ClearOverride();
    EXPECT_EQ(ScreenMetrics::ScreenGeometry(), real);
}

} // namespace
