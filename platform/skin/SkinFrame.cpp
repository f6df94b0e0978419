#include "SkinFrame.h"

#include "skin/SkinImageManager.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

constexpr qreal kCornerRadius = 5.0;
const QColor kBorderColor(0x6F, 0xA3, 0xD8);
const QColor kCaptionTop(0x8C, 0xC4, 0xF2);
const QColor kCaptionBottom(0x4F, 0x93, 0xD8);

int HeightOf(const QPixmap& pixmap) {
    return pixmap.isNull() ? 0 : pixmap.height();
}
int WidthOf(const QPixmap& pixmap) {
    return pixmap.isNull() ? 0 : pixmap.width();
}

} // namespace

void SkinFrame::Load(const std::array<QString, kPieceCount>& files, COLORREF transparent) {
    for (int piece = 0; piece < kPieceCount; ++piece)
        m_pieces[piece] = CSkinImageManager::Instance().GetImage(files[piece], transparent);
}

int SkinFrame::TopHeight() const {
    return std::max(
        {HeightOf(m_pieces[TopLeft]), HeightOf(m_pieces[Top]), HeightOf(m_pieces[TopRight])});
}

int SkinFrame::BottomHeight() const {
    return std::max({HeightOf(m_pieces[BottomLeft]), HeightOf(m_pieces[Bottom]),
                     HeightOf(m_pieces[BottomRight])});
}

int SkinFrame::LeftWidth() const {
    return std::max(
        {WidthOf(m_pieces[TopLeft]), WidthOf(m_pieces[Left]), WidthOf(m_pieces[BottomLeft])});
}

int SkinFrame::RightWidth() const {
    return std::max(
        {WidthOf(m_pieces[TopRight]), WidthOf(m_pieces[Right]), WidthOf(m_pieces[BottomRight])});
}

int SkinFrame::CaptionHeight() const {
    const int top = TopHeight();
    return top > 0 ? std::min(top, kPlainCaptionHeight) : kPlainCaptionHeight;
}

void SkinFrame::Paint(QPainter& painter, const QRect& rect, const QColor& background) const {
    painter.setRenderHint(QPainter::Antialiasing);
    const int top = TopHeight();
    const int bottom = BottomHeight();
    const bool hasMiddle = HasImage(Left) || HasImage(Client) || HasImage(Right);

    if (top == 0) {
        PaintPlainBody(painter, rect, background, true);
        QPainterPath caption;
        caption.addRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, 0), kCornerRadius,
                               kCornerRadius);
        painter.save();
        painter.setClipRect(QRect(rect.left(), rect.top(), rect.width(), kPlainCaptionHeight));
        QLinearGradient gradient(0, rect.top(), 0, rect.top() + kPlainCaptionHeight);
        gradient.setColorAt(0, kCaptionTop);
        gradient.setColorAt(1, kCaptionBottom);
        painter.fillPath(caption, gradient);
        painter.restore();
        return;
    }

    const QRect middle(rect.left(), rect.top() + top, rect.width(), rect.height() - top - bottom);
    if (hasMiddle) {
        PaintRow(painter, middle, Left, Client, Right);
        if (!HasImage(Client))
            painter.fillRect(middle.adjusted(LeftWidth(), 0, -RightWidth(), 0), background);
    } else {
        PaintPlainBody(painter,
                       QRect(rect.left(), rect.top() + top, rect.width(), rect.height() - top),
                       background, false);
    }
    PaintRow(painter, QRect(rect.left(), rect.top(), rect.width(), top), TopLeft, Top, TopRight);
    if (bottom > 0)
        PaintRow(painter, QRect(rect.left(), rect.bottom() - bottom + 1, rect.width(), bottom),
                 BottomLeft, Bottom, BottomRight);
}

void SkinFrame::PaintRow(QPainter& painter, const QRect& band, Piece left, Piece middle,
                         Piece right) const {
    if (band.height() <= 0)
        return;
    const QPixmap& leftImage = m_pieces[left];
    const QPixmap& rightImage = m_pieces[right];
    const int leftWidth = WidthOf(leftImage);
    const int rightWidth = WidthOf(rightImage);
    if (!leftImage.isNull())
        painter.drawPixmap(QRect(band.left(), band.top(), leftWidth, band.height()), leftImage);
    if (!rightImage.isNull())
        painter.drawPixmap(
            QRect(band.right() - rightWidth + 1, band.top(), rightWidth, band.height()),
            rightImage);
    if (!m_pieces[middle].isNull())
        painter.drawPixmap(QRect(band.left() + leftWidth, band.top(),
                                 band.width() - leftWidth - rightWidth, band.height()),
                           m_pieces[middle]);
}

void SkinFrame::PaintPlainBody(QPainter& painter, const QRect& body, const QColor& background,
                               bool roundTop) const {
    QPainterPath path;
    const QRectF area = QRectF(body).adjusted(0.5, roundTop ? 0.5 : -kCornerRadius, -0.5, -0.5);
    path.addRoundedRect(area, kCornerRadius, kCornerRadius);
    painter.save();
    painter.setClipRect(body);
    painter.fillPath(path, background);
    painter.setPen(kBorderColor);
    painter.drawPath(path);
    painter.restore();
}
