#include "DisplayMarkup.h"

#include "EmotionTable.h"

#include <algorithm>

namespace {

const QString kTagOpen = QStringLiteral("/<c=#");
constexpr qsizetype kHexDigits = 6;
// "/<c=#RRGGBB>"
constexpr qsizetype kTagLength = 5 + kHexDigits + 1;

bool IsHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

bool HasValidTag(const QString& line) {
    if (line.size() < kTagLength || !line.startsWith(kTagOpen) ||
        line.at(kTagLength - 1) != QLatin1Char('>'))
        return false;
    for (qsizetype i = kTagOpen.size(); i < kTagLength - 1; ++i)
        if (!IsHexDigit(line.at(i)))
            return false;
    return true;
}

// Every line break becomes U+2028, so one line of markup stays one paragraph of the view.
QString WithLineSeparators(const QString& text) {
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            continue;
        out.append(c == QLatin1Char('\r') || c == QLatin1Char('\n') ? QChar(QChar::LineSeparator)
                                                                    : c);
    }
    return out;
}

struct CodeMatch {
    int emotion = -1;
    qsizetype length = 0;
};

// The emoticon whose code starts at text[open], if any. Looks no further than the longest code,
// so a line full of "[" costs no more than one without.
CodeMatch EmotionAt(const QString& text, qsizetype open) {
    const qsizetype limit = std::min(text.size(), open + EmotionTable::LongestCode());
    for (qsizetype i = open + 1; i < limit; ++i) {
        if (text.at(i) == QLatin1Char('['))
            return {};
        if (text.at(i) == QLatin1Char(']')) {
            const qsizetype length = i - open + 1;
            return {EmotionTable::FindCode(QStringView(text).sliced(open, length)), length};
        }
    }
    return {};
}

} // namespace

namespace DisplayMarkup {

Line Parse(const QString& line) {
    if (!HasValidTag(line))
        return {QColor(Qt::black), line};
    const uint rgb = QStringView(line).sliced(kTagOpen.size(), kHexDigits).toUInt(nullptr, 16);
    return {QColor::fromRgb(static_cast<QRgb>(rgb)), line.sliced(kTagLength)};
}

std::vector<Piece> Split(const QString& text, bool emoticons) {
    const QString plain = WithLineSeparators(text);
    std::vector<Piece> pieces;
    qsizetype runStart = 0;
    for (qsizetype open = emoticons ? plain.indexOf(QLatin1Char('[')) : -1; open >= 0;
         open = plain.indexOf(QLatin1Char('['), open + 1)) {
        const CodeMatch match = EmotionAt(plain, open);
        if (match.emotion < 0)
            continue;
        if (open > runStart)
            pieces.push_back({plain.sliced(runStart, open - runStart)});
        pieces.push_back({plain.sliced(open, match.length), match.emotion});
        runStart = open + match.length;
        open = runStart - 1;
    }
    if (runStart < plain.size())
        pieces.push_back({plain.sliced(runStart)});
    return pieces;
}

} // namespace DisplayMarkup
