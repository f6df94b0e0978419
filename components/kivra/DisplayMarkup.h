#pragma once
// Reading one line of display markup: the colour tag "/<c=#RRGGBB>" in front, then text. Only the
// tag at the very start counts; the text is text whatever it holds, and only the emoticon codes in
// it may become pictures.

#include <QColor>
#include <QString>
#include <vector>

namespace DisplayMarkup {

struct Line {
    QColor color;    // black for a line without a valid tag
    QString content; // the whole line when it has no valid tag
};

// A piece of the text: plain text, or one emoticon (emotion >= 0, text its code).
struct Piece {
    QString text;
    int emotion = -1;
};

Line Parse(const QString& line);
// The text cut into text and emoticon pieces; unknown bracketed text stays text. Line breaks
// ("\r\n", "\r", "\n") become line separators inside the paragraph.
std::vector<Piece> Split(const QString& text, bool emoticons);

} // namespace DisplayMarkup
