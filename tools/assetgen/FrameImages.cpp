#include "FrameImages.h"

#include "AssetWriter.h"
#include "SkinPalette.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kMiddle = 4;
constexpr qreal kRadius = 6.0;

struct FrameLayout {
    QString prefix;   // file names start with it: "main_bk_", "option_", ...
    int topHeight;    // the title band, and below it a tool band when taller than the title
    int bottomHeight; // 0: the frame has only its top pieces
    int cornerWidth;
    int edgeWidth; // left and right borders beside the client
    QColor body;
};

QImage DrawWholeFrame(const FrameLayout& layout) {
    const bool full = layout.bottomHeight > 0;
    const int width = 2 * layout.cornerWidth + kMiddle;
    const int height = layout.topHeight + (full ? kMiddle + layout.bottomHeight : 0);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // Rounded top corners; a frame without bottom pieces continues straight down.
    QPainterPath outline;
    const QRectF area = QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, full ? -0.5 : kRadius);
    outline.addRoundedRect(area, kRadius, kRadius);
    painter.setClipRect(image.rect());
    painter.fillPath(outline, layout.body);

    painter.save();
    painter.setClipPath(outline);
    const int title = std::min(layout.topHeight, SkinPalette::kTitleHeight);
    painter.fillRect(QRect(0, 0, width, title), SkinPalette::TitleGradient());
    if (layout.topHeight > title) {
        const int band = layout.topHeight - title;
        painter.fillRect(QRect(0, title, width, band),
                         SkinPalette::VerticalGradient(title, band, SkinPalette::kToolbandTop,
                                                       SkinPalette::kToolbandBottom));
    }
    painter.setPen(SkinPalette::kTitleHighlight);
    painter.drawLine(QPointF(kRadius, 1.5), QPointF(width - kRadius, 1.5));
    painter.restore();

    painter.setPen(QPen(SkinPalette::kFrameBorder, 1.0));
    painter.drawPath(outline);
    if (layout.edgeWidth > 1 && full) {
        // A thin inner line frames the client area inside the wide borders.
        painter.setPen(SkinPalette::kBodyBorder);
        painter.drawRect(QRectF(layout.edgeWidth - 0.5, layout.topHeight - 0.5,
                                width - 2 * layout.edgeWidth + 1, kMiddle + 1));
    }
    return image;
}

void WriteFrame(AssetWriter& writer, const FrameLayout& layout, const QStringList& names) {
    const QImage whole = DrawWholeFrame(layout);
    const int right = whole.width() - layout.cornerWidth;
    auto write = [&](int index, const QRect& piece) {
        writer.WritePng(QStringLiteral("data/Friend/") + layout.prefix + names[index] +
                            QStringLiteral(".png"),
                        whole.copy(piece));
    };
    write(0, QRect(0, 0, layout.cornerWidth, layout.topHeight));
    write(1, QRect(layout.cornerWidth, 0, kMiddle, layout.topHeight));
    write(2, QRect(right, 0, layout.cornerWidth, layout.topHeight));
    if (layout.bottomHeight == 0)
        return;
    const int middleTop = layout.topHeight;
    const int bottomTop = layout.topHeight + kMiddle;
    write(3, QRect(0, middleTop, layout.edgeWidth, kMiddle));
    write(4, QRect(layout.cornerWidth, middleTop, kMiddle, kMiddle));
    write(5, QRect(whole.width() - layout.edgeWidth, middleTop, layout.edgeWidth, kMiddle));
    write(6, QRect(0, bottomTop, layout.cornerWidth, layout.bottomHeight));
    write(7, QRect(layout.cornerWidth, bottomTop, kMiddle, layout.bottomHeight));
    write(8, QRect(right, bottomTop, layout.cornerWidth, layout.bottomHeight));
}

} // namespace

namespace FrameImages {

void Write(AssetWriter& writer) {
    const QStringList nine{QStringLiteral("top_left"),    QStringLiteral("top_mid"),
                           QStringLiteral("top_right"),   QStringLiteral("middle_left"),
                           QStringLiteral("client"),      QStringLiteral("middle_right"),
                           QStringLiteral("bottom_left"), QStringLiteral("bottom_mid"),
                           QStringLiteral("bottom_right")};
    // The friend list: its list control starts at (1, 23) and leaves 12 pixels at the bottom.
    WriteFrame(writer, {QStringLiteral("main_bk_"), 23, 12, 8, 1, SkinPalette::kBody}, nine);
    // The chat window: views start at x 5 and y 49, the lowest buttons end 6 pixels up.
    WriteFrame(writer, {QStringLiteral("chat_bk_"), 45, 6, 10, 5, SkinPalette::kChatBody}, nine);
    // Windows with a top band only; their bodies are drawn in the window's own colour.
    WriteFrame(writer, {QStringLiteral("history_bk_"), 30, 0, 10, 1, SkinPalette::kBody}, nine);
    WriteFrame(writer, {QStringLiteral("option_"), 32, 0, 10, 1, SkinPalette::kBody}, nine);
    WriteFrame(writer, {QStringLiteral("bk_"), 30, 0, 10, 1, SkinPalette::kBody}, nine);
}

} // namespace FrameImages
