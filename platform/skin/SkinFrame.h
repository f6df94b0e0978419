#pragma once
// The nine images of a skinned window's frame and how they are painted: corners at their own
// size, edges stretched along the window, the centre stretched over the rest. Missing images
// fall back to a plain rounded panel in the window's colour. Owned by the window it paints.

#include "skin/ColorRef.h"

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <array>

class QPainter;

class SkinFrame {
public:
    enum Piece { TopLeft, Top, TopRight, Left, Client, Right, BottomLeft, Bottom, BottomRight };
    static constexpr int kPieceCount = 9;
    // Height of the drawn title band when no top images are given.
    static constexpr int kPlainCaptionHeight = 28;

    // Files in Piece order; an empty name leaves that piece out.
    void Load(const std::array<QString, kPieceCount>& files, COLORREF transparent);
    bool HasImage(Piece piece) const { return !m_pieces[piece].isNull(); }

    int TopHeight() const;
    int BottomHeight() const;
    int LeftWidth() const;
    int RightWidth() const;
    // The band at the top by which the window is dragged and where its title is drawn.
    int CaptionHeight() const;

    void Paint(QPainter& painter, const QRect& rect, const QColor& background) const;

private:
    void PaintRow(QPainter& painter, const QRect& band, Piece left, Piece middle,
                  Piece right) const;
    void PaintPlainBody(QPainter& painter, const QRect& body, const QColor& background,
                        bool roundTop) const;

    std::array<QPixmap, kPieceCount> m_pieces;
};
