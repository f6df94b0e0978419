#pragma once
// The band down the left side of a skinned menu, with vertical text or an image. Colours of 0
// take the menu's own side-bar colours.

#include "skin/ColorRef.h"

#include <QPixmap>
#include <QString>

class CSkinMenuSideBar {
public:
    CSkinMenuSideBar(int width, const QString& text, const QPixmap& image = QPixmap(),
                     COLORREF startColor = 0, COLORREF endColor = 0)
        : m_nWidth(width), m_text(text), m_image(image), m_startColor(startColor),
          m_endColor(endColor) {}

    int Width() const { return m_nWidth; }
    const QString& Text() const { return m_text; }
    const QPixmap& Image() const { return m_image; }
    COLORREF StartColor() const { return m_startColor; }
    COLORREF EndColor() const { return m_endColor; }

private:
    int m_nWidth;
    QString m_text;
    QPixmap m_image;
    COLORREF m_startColor;
    COLORREF m_endColor;
};
