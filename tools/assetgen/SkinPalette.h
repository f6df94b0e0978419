#pragma once
// The colours of the generated skin: a soft blue title band over light blue-white bodies.

#include <QColor>
#include <QLinearGradient>

namespace SkinPalette {

inline const QColor kTitleTop{0x86, 0xC5, 0xF5};
inline const QColor kTitleBottom{0x3F, 0x8B, 0xD8};
inline const QColor kTitleHighlight{0xB9, 0xDE, 0xFB};
inline const QColor kToolbandTop{0xDC, 0xED, 0xFC};
inline const QColor kToolbandBottom{0xC6, 0xDF, 0xF7};
inline const QColor kFrameBorder{0x35, 0x74, 0xBB};
inline const QColor kBodyBorder{0x6F, 0xA3, 0xD8};
inline const QColor kBody{0xF1, 0xF7, 0xFD};
inline const QColor kChatBody{0xE8, 0xF2, 0xFC};
inline const QColor kGlyphDark{0x1F, 0x5A, 0x99};
inline const QColor kGlyphLight{0xFF, 0xFF, 0xFF};
inline const QColor kDisabledFace{0xE9, 0xEC, 0xEF};
inline const QColor kDisabledGlyph{0xA9, 0xB2, 0xBB};
inline const QColor kCloseHover{0xE2, 0x56, 0x4F};
inline const QColor kCloseDown{0xB8, 0x3A, 0x34};

// The title band is the same for every window, measured from the window's top edge, so a
// button on it can repeat the band behind itself.
constexpr int kTitleHeight = 28;

inline QLinearGradient TitleGradient(qreal top = 0) {
    QLinearGradient gradient(0, top, 0, top + kTitleHeight);
    gradient.setColorAt(0, kTitleTop);
    gradient.setColorAt(1, kTitleBottom);
    return gradient;
}

inline QLinearGradient VerticalGradient(qreal top, qreal height, const QColor& from,
                                        const QColor& to) {
    QLinearGradient gradient(0, top, 0, top + height);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    return gradient;
}

} // namespace SkinPalette
