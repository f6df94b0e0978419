#pragma once
// One text item of a skinned menu: its text, text colour and optional icon.

#include "skin/ColorRef.h"

#include <QPixmap>
#include <QString>

class CSkinMenuText {
public:
    CSkinMenuText(const QString& text, COLORREF color, const QPixmap& icon = QPixmap())
        : m_text(text), m_color(color), m_icon(icon) {}

    const QString& Text() const { return m_text; }
    COLORREF Color() const { return m_color; }
    const QPixmap& Icon() const { return m_icon; }

private:
    QString m_text;
    COLORREF m_color;
    QPixmap m_icon;
};
