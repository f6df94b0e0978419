#pragma once
// The emoticon pictures of the chat components, data/Emotion/NNN.png, 24 x 24 with alpha. Drawn
// from the colour emoji font when the system has it (Debian's fonts-noto-color-emoji), else as
// plain tiles bearing the first character of the emoticon's name.

#include <QImage>

class AssetWriter;

namespace EmotionPictures {

constexpr int kSize = 24;

// True when the emoji font is installed and holds every emoticon's emoji.
bool EmojiFontAvailable();
QImage Draw(int index, bool fromEmojiFont);
void Write(AssetWriter& writer);

} // namespace EmotionPictures
