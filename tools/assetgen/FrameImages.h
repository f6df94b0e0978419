#pragma once
// The window frames: each is drawn whole at a small size and cut into its border pieces.

class AssetWriter;

namespace FrameImages {

void Write(AssetWriter& writer);

} // namespace FrameImages
