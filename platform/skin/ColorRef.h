#pragma once
// Windows-style colour values (0x00BBGGRR) as the skin's callers pass them, and their Qt form.

#include <QColor>
#include <cstdint>

using COLORREF = uint32_t;

// The colour keyed out of skin images: magenta.
constexpr COLORREF SKIN_TRANSPARENT_COLOR = 0x00FF00FF;

constexpr COLORREF MakeColorRef(int red, int green, int blue) {
    return static_cast<COLORREF>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

inline QColor ColorFromRef(COLORREF color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}
