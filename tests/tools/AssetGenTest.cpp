// The generated runtime assets: every file the windows name exists and is usable, strips split
// into distinct states, keyed pixels are exactly magenta, and the sounds are clean PCM.

#include "AssetWriter.h"
#include "ButtonImages.h"
#include "FrameImages.h"
#include "PanelImages.h"
#include "Sounds.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QRgb kMagenta = qRgb(255, 0, 255);

class AssetGenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<QTemporaryDir>();
        writer = std::make_unique<AssetWriter>(dir->path());
        FrameImages::Write(*writer);
        ButtonImages::Write(*writer);
        PanelImages::Write(*writer);
        Sounds::Write(*writer);
    }
    static void TearDownTestSuite() {
        writer.reset();
        dir.reset();
    }

    static QImage Load(const QString& relative) { return QImage(dir->filePath(relative)); }
    static QImage Friend(const char* name) {
        return Load(QStringLiteral("data/Friend/") + QString::fromLatin1(name) +
                    QStringLiteral(".png"));
    }

    static inline std::unique_ptr<QTemporaryDir> dir;
    static inline std::unique_ptr<AssetWriter> writer;
};

TEST_F(AssetGenTest, EveryNamedSkinFileIsWrittenAndReadable) {
    EXPECT_TRUE(writer->Failed().isEmpty());
    const char* names[] = {"main_bk_top_left",    "main_bk_top_mid",    "main_bk_top_right",
                           "main_bk_middle_left", "main_bk_client",     "main_bk_middle_right",
                           "main_bk_bottom_left", "main_bk_bottom_mid", "main_bk_bottom_right",
                           "chat_bk_top_left",    "chat_bk_top_mid",    "chat_bk_top_right",
                           "chat_bk_middle_left", "chat_bk_client",     "chat_bk_middle_right",
                           "chat_bk_bottom_left", "chat_bk_bottom_mid", "chat_bk_bottom_right",
                           "history_bk_top_left", "history_bk_top_mid", "history_bk_top_right",
                           "option_top_left",     "option_top_mid",     "option_top_right",
                           "bk_top_left",         "bk_top_mid",         "bk_top_right",
                           "main_bk_poptips",     "main_btn_tab",       "chat_bk_button_bar"};
    for (const char* name : names)
        EXPECT_FALSE(Friend(name).isNull()) << name;
    const QImage scroll = Load(QStringLiteral("data/Common/srcollbar/scroll.bmp"));
    EXPECT_EQ(scroll.size(), QSize(240, 48));
}

TEST_F(AssetGenTest, ButtonStripsHoldFiveDistinctStatesOfTheirControlSize) {
    struct Strip {
        const char* file;
        QSize slice;
    };
    const Strip strips[] = {{"data/Friend/main_btn_close.png", {15, 15}},
                            {"data/Friend/main_btn_option.png", {15, 15}},
                            {"data/Friend/chat_btn_sysMin.png", {17, 17}},
                            {"data/Friend/chat_btn_sysMax.png", {17, 17}},
                            {"data/Friend/chat_btn_sysClose.png", {17, 17}},
                            {"data/Friend/chat_btn_font.png", {49, 19}},
                            {"data/Friend/chat_btn_expression.png", {49, 19}},
                            {"data/Friend/chat_btn_history.png", {73, 19}},
                            {"data/Friend/chat_btn_shortcut.png", {7, 20}},
                            {"data/Friend/btn_back.png", {49, 21}},
                            {"data/Friend/btn_sysClose.png", {15, 15}},
                            {"data/Friend/option_btn_sysClose.png", {15, 15}},
                            {"data/Friend/history_btn_export.png", {42, 17}},
                            {"data/Friend/history_btn_top_page.png", {42, 17}},
                            {"data/Friend/history_btn_pre_page.png", {42, 17}},
                            {"data/Friend/history_btn_next_page.png", {42, 17}},
                            {"data/Friend/history_btn_end_page.png", {42, 17}},
                            {"data/Friend/addFriend_btn_view_userinfo.png", {53, 18}},
                            {"data/Common/button/btn_sys_close.png", {15, 15}}};
    for (const Strip& strip : strips) {
        const QImage image = Load(QString::fromLatin1(strip.file));
        ASSERT_EQ(image.size(), QSize(strip.slice.width() * 5, strip.slice.height())) << strip.file;
        const QImage normal = image.copy(0, 0, strip.slice.width(), strip.slice.height());
        for (int state = 1; state < 5; ++state) {
            const QImage other = image.copy(state * strip.slice.width(), 0, strip.slice.width(),
                                            strip.slice.height());
            EXPECT_NE(normal, other) << strip.file << " state " << state;
        }
    }
}

// Nothing may be see-through except by the magenta key: a skin loaded without keying must not
// show holes, and keyed pixels must be exactly magenta.
TEST_F(AssetGenTest, RoundedCornersAreKeyedMagentaAndBodiesOpaque) {
    const QImage corner = Friend("main_bk_top_left").convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(corner.pixel(0, 0), kMagenta);
    EXPECT_EQ(qAlpha(corner.pixel(corner.width() - 1, corner.height() - 1)), 255);
    EXPECT_NE(corner.pixel(corner.width() - 1, corner.height() / 2), kMagenta);
    EXPECT_EQ(Friend("chat_bk_bottom_right").pixel(9, 5), kMagenta);
    const QImage tip = Friend("main_bk_poptips");
    EXPECT_EQ(tip.pixel(0, 0), kMagenta);
    // The tip has a blue title band over a light body.
    EXPECT_GT(tip.pixelColor(90, 12).blue() - tip.pixelColor(90, 12).red(), 60);
    EXPECT_LT(tip.pixelColor(90, 80).blue() - tip.pixelColor(90, 80).red(), 40);
    EXPECT_EQ(Friend("btn_back").pixel(0, 0), kMagenta);

    for (const char* name : {"main_bk_top_mid", "chat_bk_client", "main_btn_close"}) {
        const QImage image = Friend(name).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(qAlpha(image.pixel(x, y)), 255) << name << " " << x << "," << y;
    }
}

// A title-band button repeats the band behind it, so its normal state must match the band at
// the rows where the window places it.
TEST_F(AssetGenTest, TitleButtonsBlendIntoTheBandBehindThem) {
    const QImage band = Friend("main_bk_top_mid");
    const QImage close = Friend("main_btn_close");
    for (int row : {0, 7, 14}) {
        const QColor behind = band.pixelColor(2, 6 + row);
        const QColor button = close.pixelColor(0, row);
        EXPECT_LE(std::abs(behind.red() - button.red()), 3) << row;
        EXPECT_LE(std::abs(behind.blue() - button.blue()), 3) << row;
    }
    const QImage bar = Friend("chat_bk_button_bar");
    const QImage font = Friend("chat_btn_font");
    EXPECT_LE(std::abs(bar.pixelColor(100, 10).green() - font.pixelColor(0, 9).green()), 3);
}

TEST_F(AssetGenTest, ScrollTilesFollowTheBitmapLayout) {
    const QImage bitmap = Load(QStringLiteral("data/Common/srcollbar/scroll.bmp"));
    ASSERT_EQ(bitmap.size(), QSize(240, 48));
    // The thumb's middle rows repeat, so any thumb length tiles without seams.
    for (int state = 0; state < 3; ++state) {
        const QImage thumb = bitmap.copy(128 + 16 * state, 0, 16, 16);
        for (int row = 5; row < 12; ++row)
            EXPECT_EQ(thumb.copy(0, row, 16, 1), thumb.copy(0, 4, 16, 1)) << state << row;
    }
    // Each horizontal tile is its vertical tile mirrored along the diagonal.
    for (int x = 0; x < 240; x += 37)
        for (int y = 0; y < 16; ++y)
            EXPECT_EQ(bitmap.pixel(x, 16 + y), bitmap.pixel((x / 16) * 16 + y, x % 16));
    // Arrow states differ; the up and down arrows are not the same picture.
    EXPECT_NE(bitmap.copy(0, 0, 16, 16), bitmap.copy(16, 0, 16, 16));
    EXPECT_NE(bitmap.copy(0, 0, 16, 16), bitmap.copy(64, 0, 16, 16));
}

uint32_t ReadLE(const QByteArray& bytes, int at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

TEST_F(AssetGenTest, SoundsAreShortCleanMonoPcm) {
    for (const char* name : {"Online", "Offline", "Msg", "Notify", "Shake"}) {
        QFile file(dir->filePath(QStringLiteral("Sounds/%1.wav").arg(QString::fromLatin1(name))));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray bytes = file.readAll();
        ASSERT_GT(bytes.size(), 44) << name;
        EXPECT_EQ(bytes.left(4), QByteArray("RIFF"));
        EXPECT_EQ(ReadLE(bytes, 4, 4), static_cast<uint32_t>(bytes.size() - 8));
        EXPECT_EQ(bytes.mid(8, 8), QByteArray("WAVEfmt "));
        EXPECT_EQ(ReadLE(bytes, 20, 2), 1u); // PCM
        EXPECT_EQ(ReadLE(bytes, 22, 2), 1u); // mono
        EXPECT_EQ(ReadLE(bytes, 24, 4), static_cast<uint32_t>(Sounds::kSampleRate));
        EXPECT_EQ(ReadLE(bytes, 34, 2), 16u);
        const uint32_t dataSize = ReadLE(bytes, 40, 4);
        ASSERT_EQ(dataSize, static_cast<uint32_t>(bytes.size() - 44));
        const int count = static_cast<int>(dataSize / 2);
        const double seconds = static_cast<double>(count) / Sounds::kSampleRate;
        EXPECT_GT(seconds, 0.2) << name;
        EXPECT_LT(seconds, 1.5) << name;
        int peak = 0;
        for (int i = 0; i < count; ++i)
            peak = std::max(peak, std::abs(static_cast<int16_t>(ReadLE(bytes, 44 + 2 * i, 2))));
        EXPECT_GT(peak, 8000) << name;
        EXPECT_LT(peak, 32000) << name;
        // No click: the cue starts and ends near silence.
        EXPECT_LT(std::abs(static_cast<int16_t>(ReadLE(bytes, 44, 2))), 500) << name;
        EXPECT_LT(std::abs(static_cast<int16_t>(ReadLE(bytes, 44 + 2 * (count - 1), 2))), 500)
            << name;
    }
}

} // namespace
