#include "SkinCheckBox.h"

CSkinCheckBox::CSkinCheckBox(QWidget* parent) : QCheckBox(parent) {
    SetTransparent(false);
    SetTextColor(0x00000000);
}

void CSkinCheckBox::SetTextColor(COLORREF color) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ColorFromRef(color));
    setPalette(pal);
}
