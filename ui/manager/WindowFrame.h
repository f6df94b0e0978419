#pragma once
// The frame each window of the module sets up first: colour attribute, title, icon and border
// images. The border images of a window share one prefix: "<prefix>top_left.png" and so on, nine
// parts around the client area, or only the three of the top edge.

#include "skin/ColorRef.h"

#include <QString>

class CRgnDialog;

namespace pellix {

struct WindowFrame {
    COLORREF color = 0;
    QString title;
    int iconID = 0;
    QString borderPrefix;
    bool topBorderOnly = false;
};

void ApplyWindowFrame(CRgnDialog& window, const WindowFrame& frame);
// The two halves of ApplyWindowFrame, for a window that does other things in between: colour
// attribute, title and icon; then the border images.
void ApplyWindowIdentity(CRgnDialog& window, const WindowFrame& frame);
void ApplyBorderImages(CRgnDialog& window, const WindowFrame& frame);

} // namespace pellix
