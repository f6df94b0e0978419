#pragma once
// Scroll bars painted from the skin bitmap on a text view (any QAbstractScrollArea) in place of
// its own. The view keeps its QScrollBars and stays driven by them: wheel, keys and text
// changes move the painted thumb, and the painted bars scroll through the same QScrollBars.

#include "SkinScrollTimer.h"

#include <QPixmap>
#include <memory>

class QWidget;

namespace pellix {

class SkinScrollState;

// The name of the window property that holds a skinned window's state.
inline constexpr char kSkinScrollProperty[] = "PROP_SkinSB";
// Where the skin bitmap lives, relative to the working directory.
inline constexpr char kSkinScrollBitmapFile[] = "data\\Common\\srcollbar\\scroll.bmp";

// Skins window's scroll bars with bitmap. False, and the window unchanged, when window is not a
// scroll area, the bitmap does not hold every tile, or the window is skinned already. timer
// repeats held parts; none gives a timer on the event loop. The skin lives as long as the window.
bool SkinScrollInstall(QWidget* window, const QPixmap& bitmap,
                       std::unique_ptr<ISkinScrollTimer> timer = nullptr);
// Gives window its own scroll bars back; false when it is not skinned. Not from within a signal
// of the window's skin.
bool SkinScrollRemove(QWidget* window);
// The skin of window, or null.
SkinScrollState* SkinScrollFind(const QWidget* window);

// The skin bitmap from the skin image cache; null when the file is missing or unreadable.
QPixmap SkinScrollLoadBitmap();

} // namespace pellix
