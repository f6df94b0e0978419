#pragma once
// Button strips of five states (normal, hover, pressed, focus, disabled), the tab strip and the
// chat window's tool bar.

class AssetWriter;

namespace ButtonImages {

void Write(AssetWriter& writer);

} // namespace ButtonImages
