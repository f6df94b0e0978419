#include "ChatMarkup.h"

#include "base/AnsiText.h"
#include "skin/UIModuleUtility.h"

std::string FormatHeaderLine(COLORREF color, const std::string& name, const std::tm& localTime) {
    const std::string hex = UIModuleUtility::RGBToHex(color);
    return FormatAnsi("/<c=%s> %s %02d:%02d:%02d   ", hex.c_str(), name.c_str(), localTime.tm_hour,
                      localTime.tm_min, localTime.tm_sec);
}

std::string FormatBodyLine(COLORREF color, const std::string& text) {
    return "/<c=" + UIModuleUtility::RGBToHex(color) + ">" + text;
}

std::string FormatNoticeLine(const char* utf8Notice) {
    return FormatBodyLine(CHAT_NOTICE_COLOR, AnsiText(utf8Notice));
}

MarkupLine ParseMarkupLine(const std::string& line) {
    static constexpr char kOpen[] = "/<c=";
    static constexpr std::size_t kOpenSize = sizeof kOpen - 1;
    const std::size_t close = line.find('>', kOpenSize);
    if (line.compare(0, kOpenSize, kOpen) != 0 || close == std::string::npos)
        return {QColor(Qt::black), StringUtility::AnsiToQString(line)};
    const QColor color(
        QString::fromLatin1(line.data() + kOpenSize, static_cast<qsizetype>(close - kOpenSize)));
    return {color.isValid() ? color : QColor(Qt::black),
            StringUtility::AnsiToQString(line.substr(close + 1))};
}
