#pragma once
// The popup tip's background and the scrollbar bitmap.

#include <QImage>

class AssetWriter;

namespace PanelImages {

QImage PopTip();
// 16 x 16 tiles: row 0 the vertical bar, row 1 the horizontal bar, row 2 the size box. Along a
// row: first arrow and second arrow in four states each (normal, hot, pressed, disabled), the
// thumb in three (4-pixel end caps around an 8-pixel middle), its grip in three, the track.
QImage ScrollBar();
void Write(AssetWriter& writer);

} // namespace PanelImages
