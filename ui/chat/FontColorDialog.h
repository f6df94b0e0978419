#pragma once
// The chat window's font dialog: a font and a text colour chosen together, the colour from the
// sixteen colours a font dialog's effects offer. Made by its opener, which reads the choice after
// an accepted exec().

#include "skin/ColorRef.h"

#include <QDialog>
#include <QFont>

class QComboBox;
class QFontDialog;

namespace pellix {

class FontColorDialog : public QDialog {
    Q_OBJECT
public:
    FontColorDialog(const QFont& font, COLORREF color, QWidget* parent = nullptr);

    QFont SelectedFont() const;
    COLORREF SelectedColor() const;

    QFontDialog* FontPicker() const { return m_fontPicker; }
    QComboBox* ColorPicker() const { return m_colorPicker; }

private:
    QFontDialog* m_fontPicker;
    QComboBox* m_colorPicker;
};

} // namespace pellix
