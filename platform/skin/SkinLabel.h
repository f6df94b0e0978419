#pragma once
// A text label of a skinned window: its own text colour, and drawn either on the window's
// skin (transparent) or on the window colour. Owned by its parent window.

#include "skin/ColorRef.h"

#include <QLabel>

class CSkinLabel : public QLabel {
    Q_OBJECT
public:
    explicit CSkinLabel(QWidget* parent = nullptr);

    void SetTextColor(COLORREF color);
    // Transparent labels show the window's skin behind their text.
    void SetTransparent(bool transparent);
};
