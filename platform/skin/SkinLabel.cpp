#include "SkinLabel.h"

CSkinLabel::CSkinLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
    SetTransparent(false);
}

void CSkinLabel::SetTextColor(COLORREF color) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ColorFromRef(color));
    setPalette(pal);
}

void CSkinLabel::SetTransparent(bool transparent) {
    setAutoFillBackground(!transparent);
}
