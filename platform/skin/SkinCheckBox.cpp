#include "SkinCheckBox.h"

CSkinCheckBox::CSkinCheckBox(QWidget* parent) : QCheckBox(parent) {
    SetTransparent(false);
}
