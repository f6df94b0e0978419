// The emoticon pictures: one readable 24 x 24 picture with transparency per emoticon, no two alike,
// drawn from the emoji font when there is one and as tiles otherwise.

#include "EmotionPictures.h"
#include "AssetWriter.h"
#include "EmotionTable.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

int OpaquePixels(const QImage& image) {
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
    return opaque;
}

} // namespace

TEST(EmotionPictures, EveryEmoticonHasItsOwnPictureWhereTheDisplayLooks) {
    QTemporaryDir dir;
    AssetWriter writer(dir.path());
    EmotionPictures::Write(writer);
    EXPECT_TRUE(writer.Failed().isEmpty());
    EXPECT_EQ(writer.Written().size(), EmotionTable::Count());

    QSet<QByteArray> seen;
    for (int i = 0; i < EmotionTable::Count(); ++i) {
        const QImage image(QDir(dir.path()).filePath(EmotionTable::ImagePath(i)));
        ASSERT_FALSE(image.isNull()) << i;
        EXPECT_EQ(image.size(), QSize(EmotionPictures::kSize, EmotionPictures::kSize)) << i;
        EXPECT_TRUE(image.hasAlphaChannel()) << i;
        EXPECT_GT(OpaquePixels(image), 40) << i; // thin ones such as the knife cover ~60
        const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
        seen.insert(QByteArray(reinterpret_cast<const char*>(pixels.constBits()),
                               static_cast<qsizetype>(pixels.sizeInBytes())));
    }
    EXPECT_EQ(seen.size(), EmotionTable::Count());
}

TEST(EmotionPictures, WithoutTheEmojiFontTheTilesAreDistinctToo) {
    QSet<QByteArray> seen;
    for (int i = 0; i < EmotionTable::Count(); ++i) {
        const QImage tile = EmotionPictures::Draw(i, false).convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(tile.size(), QSize(EmotionPictures::kSize, EmotionPictures::kSize));
        EXPECT_GT(OpaquePixels(tile), 24 * 24 / 2) << i;
        seen.insert(QByteArray(reinterpret_cast<const char*>(tile.constBits()),
                               static_cast<qsizetype>(tile.sizeInBytes())));
    }
    EXPECT_EQ(seen.size(), EmotionTable::Count());
}
