#include "EmotionPictures.h"

#include "AssetWriter.h"
#include "EmotionTable.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

namespace {

const QString kEmojiFamily = QStringLiteral("Noto Color Emoji");
// Drawn large and scaled down, so the small picture is smooth.
constexpr int kCanvas = 128;

QFont EmojiFont() {
    QFont font(kEmojiFamily);
    font.setPixelSize(96);
    return font;
}

// The smallest square around the opaque pixels, centred on them.
QRect OpaqueSquare(const QImage& image) {
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (right < 0)
        return image.rect();
    const int side = std::max(right - left, bottom - top) + 1;
    const QPoint centre((left + right + 1) / 2, (top + bottom + 1) / 2);
    return {centre.x() - side / 2, centre.y() - side / 2, side, side};
}

QImage FromEmojiFont(int index) {
    QImage canvas(kCanvas, kCanvas, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setFont(EmojiFont());
    painter.drawText(canvas.rect(), Qt::AlignCenter,
                     QString::fromUtf8(EmotionTable::At(index).glyph));
    painter.end();
    const QImage square = canvas.copy(OpaqueSquare(canvas));
    return square.scaled(EmotionPictures::kSize, EmotionPictures::kSize, Qt::KeepAspectRatio,
                         Qt::SmoothTransformation);
}

// Without the emoji font: a coloured tile with the first character of the name.
QImage Tile(int index) {
    QImage image(EmotionPictures::kSize, EmotionPictures::kSize,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor face = QColor::fromHsv((index * 37) % 360, 110, 250);
    painter.setPen(face.darker(160));
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    QFont font = painter.font();
    font.setPixelSize(14);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter,
                     QString::fromUtf8(EmotionTable::At(index).name).left(1));
    return image;
}

} // namespace

namespace EmotionPictures {

bool EmojiFontAvailable() {
    if (!QFontDatabase::families().contains(kEmojiFamily))
        return false;
    const QFontMetrics metrics(EmojiFont());
    for (int i = 0; i < EmotionTable::Count(); ++i) {
        const QString glyph = QString::fromUtf8(EmotionTable::At(i).glyph);
        if (!metrics.inFontUcs4(glyph.toUcs4().value(0)))
            return false;
    }
    return true;
}

QImage Draw(int index, bool fromEmojiFont) {
    return fromEmojiFont ? FromEmojiFont(index) : Tile(index);
}

void Write(AssetWriter& writer) {
    const bool emoji = EmojiFontAvailable();
    for (int i = 0; i < EmotionTable::Count(); ++i)
        writer.WriteImage(EmotionTable::ImagePath(i), Draw(i, emoji));
}

} // namespace EmotionPictures
