#pragma once
// The emoticons of the chat components: for each index its name, its code (the name in square
// brackets, which is what the input box and the wire carry and what a reader sees where it is not
// drawn) and the emoji its picture is drawn from. The first EMOTION_FREE_COUNT are free, the rest
// VIP. Text is UTF-8; every name is GBK text.

#include <QString>

namespace EmotionTable {

struct Emotion {
    const char* name;  // "微笑"
    const char* glyph; // the emoji of the picture
};

int Count();
// Index 0 to Count() - 1; anything else is a programming error.
const Emotion& At(int index);
// "[微笑]"
QString Code(int index);
// The index of a code such as "[微笑]", or -1.
int FindCode(QStringView code);
// The longest code, brackets included, so a parser knows how far to look for the "]".
int LongestCode();
// Where the picture of the emoticon lives, relative to the working directory: data/Emotion/NNN.png.
QString ImagePath(int index);

} // namespace EmotionTable
