#pragma once
// The display markup of chat lines: a colour tag in front of the text, "/<c=#RRGGBB>text".
// Text is GBK.

#include "skin/ColorRef.h"

#include <QColor>
#include <QString>
#include <ctime>
#include <string>

constexpr COLORREF CHAT_OWN_HEADER_COLOR = 0x00408000;
constexpr COLORREF CHAT_FRIEND_HEADER_COLOR = 0x00FF0000;
constexpr COLORREF CHAT_NOTICE_COLOR = 0x006A1002;
constexpr COLORREF CHAT_VIEW_BACKGROUND = 0x00FFF2E5;

// " name hh:mm:ss   " in the header colour, with the local time given.
std::string FormatHeaderLine(COLORREF color, const std::string& name, const std::tm& localTime);
std::string FormatBodyLine(COLORREF color, const std::string& text);
// A fixed notice (UTF-8 source text) in the notice colour.
std::string FormatNoticeLine(const char* utf8Notice);

struct MarkupLine {
    QColor color;
    QString text;
};

// Splits a markup line into its colour and text; a line without a valid tag is shown as it stands
// in black.
MarkupLine ParseMarkupLine(const std::string& line);
