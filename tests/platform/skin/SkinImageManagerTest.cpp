// The image cache: one load per file, keyed-out magenta, missing files, Windows-style paths.

#include "skin/SkinImageManager.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SkinImageManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("data/Friend"));
        QImage image(4, 2, QImage::Format_RGB32);
        image.fill(QColor(0x20, 0x60, 0xA0));
        image.setPixelColor(0, 0, QColor(255, 0, 255));
        image.setPixelColor(1, 0, QColor(254, 0, 255));
        ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("data/Friend/tip.png"))));
        manager.SetResourceRoot(dir.path());
    }
    void TearDown() override { manager.SetResourceRoot(QString()); }

    QTemporaryDir dir;
    CSkinImageManager& manager = CSkinImageManager::Instance();
};

TEST_F(SkinImageManagerTest, OnlyExactMagentaBecomesTransparent) {
    const QImage keyed =
        manager.GetImage(QStringLiteral("data\\Friend\\tip.png"), 0x00FF00FF).toImage();
    ASSERT_FALSE(keyed.isNull());
    EXPECT_EQ(qAlpha(keyed.pixel(0, 0)), 0);
    EXPECT_EQ(keyed.pixelColor(1, 0), QColor(254, 0, 255));
    EXPECT_EQ(keyed.pixelColor(2, 1), QColor(0x20, 0x60, 0xA0));

    const QImage plain = manager.GetImage(QStringLiteral("data/Friend/tip.png")).toImage();
    EXPECT_EQ(plain.pixelColor(0, 0), QColor(255, 0, 255));
}

TEST_F(SkinImageManagerTest, EachFileAndKeyIsLoadedOnce) {
    const QPixmap first = manager.GetImage(QStringLiteral("data/Friend/tip.png"), 0x00FF00FF);
    const int cached = manager.CachedCount();
    const QPixmap again = manager.GetImage(QStringLiteral("data\\Friend\\tip.png"), 0x00FF00FF);
    EXPECT_EQ(manager.CachedCount(), cached);
    EXPECT_EQ(first.cacheKey(), again.cacheKey());

    // The cache answers even when the file has gone.
    QFile::remove(dir.filePath(QStringLiteral("data/Friend/tip.png")));
    EXPECT_FALSE(manager.GetImage(QStringLiteral("data/Friend/tip.png"), 0x00FF00FF).isNull());
    manager.Clear();
    EXPECT_EQ(manager.CachedCount(), 0);
    EXPECT_TRUE(manager.GetImage(QStringLiteral("data/Friend/tip.png"), 0x00FF00FF).isNull());
}

TEST_F(SkinImageManagerTest, MissingOrBrokenFilesGiveNullAndAreNotRemembered) {
    EXPECT_TRUE(manager.GetImage(QStringLiteral("data/Friend/none.png")).isNull());
    EXPECT_TRUE(manager.GetImage(QString()).isNull());
    QFile broken(dir.filePath(QStringLiteral("data/Friend/broken.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("\x89PNG\r\n\x1a\n garbage");
    broken.close();
    EXPECT_TRUE(manager.GetImage(QStringLiteral("data/Friend/broken.png"), 0x00FF00FF).isNull());

    QImage late(2, 2, QImage::Format_RGB32);
    late.fill(Qt::white);
    ASSERT_TRUE(late.save(dir.filePath(QStringLiteral("data/Friend/none.png"))));
    EXPECT_FALSE(manager.GetImage(QStringLiteral("data/Friend/none.png")).isNull());
}

} // namespace
