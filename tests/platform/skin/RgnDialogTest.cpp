// The skinned dialog: its life-cycle hooks, its frame with keyed-out corners, dragging by the top
// band, and what Enter, Esc and closing do.

#include "skin/RgnDialog.h"
#include "SkinTestImages.h"
#include "skin/ScreenMetrics.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

namespace {

class ProbeDialog : public CRgnDialog {
public:
    using CRgnDialog::CRgnDialog;

    int initCount = 0;
    bool visibleAtInit = true;
    std::vector<QSize> rectified;
    int drawCount = 0;
    int okCount = 0;

protected:
    bool OnInitDialog() override {
        ++initCount;
        visibleAtInit = isVisible();
        return true;
    }
    void RectifyControl(int cx, int cy) override { rectified.emplace_back(cx, cy); }
    void DrawView(QPainter& painter) override {
        ++drawCount;
        painter.fillRect(QRect(40, 40, 4, 4), Qt::green);
    }
    void OnOK() override { ++okCount; }
};

// A 10 x 10 corner whose outer pixel is magenta, an opaque blue edge and a white body.
QString WriteCorner(const QTemporaryDir& dir, const QString& name) {
    QImage corner(10, 10, QImage::Format_RGB32);
    corner.fill(QColor(0x30, 0x80, 0xD0));
    corner.setPixelColor(0, 0, QColor(255, 0, 255));
    corner.setPixelColor(1, 0, QColor(255, 0, 255));
    corner.setPixelColor(0, 1, QColor(255, 0, 255));
    const QString path = dir.filePath(name);
    corner.save(path);
    return path;
}

TEST(RgnDialogTest, InitRunsOnceBeforeTheFirstShowAndResizesReachRectify) {
    ProbeDialog dialog;
    EXPECT_EQ(dialog.initCount, 0);
    dialog.resize(200, 150);
    dialog.show();
    EXPECT_EQ(dialog.initCount, 1);
    EXPECT_FALSE(dialog.visibleAtInit);
    dialog.hide();
    dialog.show();
    EXPECT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.initCount, 1);
    dialog.resize(300, 220);
    ASSERT_FALSE(dialog.rectified.empty());
    EXPECT_EQ(dialog.rectified.back(), QSize(300, 220));
}

TEST(RgnDialogTest, FramePaintsImagesWithMagentaKeyedOutThenTheView) {
    QTemporaryDir dir;
    const QString top =
        WriteStrip(dir, QStringLiteral("top.png"), {QColor(0x30, 0x80, 0xD0)}, 4, 10);
    ProbeDialog dialog;
    dialog.SetColorAttribute(0x00E0F0FF);
    dialog.LoadBorderImage(WriteCorner(dir, QStringLiteral("tl.png")), top,
                           WriteCorner(dir, QStringLiteral("tr.png")), QString(), QString(),
                           QString(), QString(), QString(), QString(), 0x00FF00FF);
    dialog.resize(120, 80);
    const QImage shot = dialog.grab().toImage();
    EXPECT_EQ(qAlpha(shot.pixel(0, 0)), 0);
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(0x30, 0x80, 0xD0));
    EXPECT_EQ(shot.pixelColor(60, 5), QColor(0x30, 0x80, 0xD0));
    EXPECT_EQ(shot.pixelColor(60, 60), QColor(0xFF, 0xF0, 0xE0));
    EXPECT_EQ(shot.pixelColor(41, 41), QColor(Qt::green));
    EXPECT_GE(dialog.drawCount, 1);
    EXPECT_EQ(dialog.CaptionHeight(), 10);

    EXPECT_FALSE(dialog.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(dialog.mask().contains(QPoint(5, 5)));
    EXPECT_TRUE(dialog.mask().contains(QPoint(60, 60)));
}

TEST(RgnDialogTest, WithoutImagesTheWindowIsAPlainRoundedPanel) {
    ProbeDialog dialog;
    dialog.SetColorAttribute(0x00E6FFFF);
    dialog.resize(120, 80);
    const QImage shot = dialog.grab().toImage();
    EXPECT_EQ(qAlpha(shot.pixel(0, 0)), 0);
    EXPECT_EQ(shot.pixelColor(60, 50), QColor(0xFF, 0xFF, 0xE6));
    EXPECT_NE(shot.pixelColor(60, 10), QColor(0xFF, 0xFF, 0xE6));
    EXPECT_FALSE(dialog.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(dialog.mask().contains(QPoint(60, 50)));
}

TEST(RgnDialogTest, DraggingTheTopBandMovesTheWindowAndTheBodyDoesNot) {
    ProbeDialog dialog;
    dialog.setGeometry(100, 100, 200, 150);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();
    auto send = [&dialog](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
        QMouseEvent event(type, local, dialog.mapToGlobal(local),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&dialog, &event);
    };
    send(QEvent::MouseButtonPress, QPoint(50, 10), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(80, 30), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(80, 30), Qt::NoButton);
    EXPECT_EQ(dialog.pos(), start + QPoint(30, 20));

    const QPoint moved = dialog.pos();
    send(QEvent::MouseButtonPress, QPoint(50, 100), Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(90, 140), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(90, 140), Qt::NoButton);
    EXPECT_EQ(dialog.pos(), moved);
}

TEST(RgnDialogTest, EnterIsOkEscAndCloseOnlyHide) {
    ProbeDialog dialog;
    dialog.resize(200, 150);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.okCount, 1);
    EXPECT_TRUE(dialog.isVisible());

    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(rejected.count(), 1);

    dialog.show();
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(rejected.count(), 2);
    EXPECT_EQ(dialog.initCount, 1);
}

TEST(RgnDialogTest, CenteredInTheWorkAreaWithoutAParent) {
    ScreenMetrics::SetOverride(QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 728));
    ProbeDialog dialog;
    dialog.resize(200, 100);
    dialog.CenterWindow();
    ScreenMetrics::ClearOverride();
    EXPECT_EQ(dialog.geometry().center(), QRect(0, 0, 1024, 728).center());
}

} // namespace

TEST(RgnDialogTest, TheLastWindowClosingLeavesItsHostRunning) {
    QApplication::setQuitOnLastWindowClosed(true);
    QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
    {
        ProbeDialog dialog;
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.close();
    }
    QCoreApplication::processEvents();
    QApplication::setQuitOnLastWindowClosed(false);
    EXPECT_EQ(lastClosed.count(), 0);
}
