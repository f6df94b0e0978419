#include "FontColorDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace pellix {

namespace {

struct NamedColor {
    const char* name;
    COLORREF color;
};

constexpr std::array<NamedColor, 16> kColors{{
    {"黑色", MakeColorRef(0, 0, 0)},
    {"褐红", MakeColorRef(128, 0, 0)},
    {"绿色", MakeColorRef(0, 128, 0)},
    {"橄榄色", MakeColorRef(128, 128, 0)},
    {"深蓝", MakeColorRef(0, 0, 128)},
    {"紫色", MakeColorRef(128, 0, 128)},
    {"深青", MakeColorRef(0, 128, 128)},
    {"灰色", MakeColorRef(128, 128, 128)},
    {"银色", MakeColorRef(192, 192, 192)},
    {"红色", MakeColorRef(255, 0, 0)},
    {"酸橙色", MakeColorRef(0, 255, 0)},
    {"黄色", MakeColorRef(255, 255, 0)},
    {"蓝色", MakeColorRef(0, 0, 255)},
    {"紫红", MakeColorRef(255, 0, 255)},
    {"水绿色", MakeColorRef(0, 255, 255)},
    {"白色", MakeColorRef(255, 255, 255)},
}};

QColor ToQColor(COLORREF color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QPixmap Swatch(COLORREF color) {
    QPixmap swatch(12, 12);
    swatch.fill(ToQColor(color));
    return swatch;
}

} // namespace

FontColorDialog::FontColorDialog(const QFont& font, COLORREF color, QWidget* parent)
    : QDialog(parent), m_fontPicker(new QFontDialog(font, this)),
      m_colorPicker(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("字体"));
    // The font dialog serves as a panel of this one: its own buttons would end it alone.
    m_fontPicker->setWindowFlags(Qt::Widget);
    m_fontPicker->setOptions(QFontDialog::NoButtons);
    for (const NamedColor& entry : kColors)
        m_colorPicker->addItem(Swatch(entry.color), QString::fromUtf8(entry.name), entry.color);
    const int current = m_colorPicker->findData(color);
    m_colorPicker->setCurrentIndex(current >= 0 ? current : 0);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(new QLabel(QStringLiteral("颜色:"), this));
    colorRow->addWidget(m_colorPicker, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fontPicker);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
}

QFont FontColorDialog::SelectedFont() const {
    return m_fontPicker->currentFont();
}

COLORREF FontColorDialog::SelectedColor() const {
    return m_colorPicker->currentData().value<COLORREF>();
}

} // namespace pellix
