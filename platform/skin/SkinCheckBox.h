#pragma once
// A check box of a skinned window, drawn on the window's skin when transparent. Owned by its
// parent window.

#include <QCheckBox>

class CSkinCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CSkinCheckBox(QWidget* parent = nullptr);

    void SetTransparent(bool transparent) { setAutoFillBackground(!transparent); }
};
