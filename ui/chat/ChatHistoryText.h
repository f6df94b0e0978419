#pragma once
// How a stored message reads in the history viewer and in an exported history: the sender's
// name with the local date and time of the message, then its text. Texts are GBK.

#include "skin/ColorRef.h"
#include "storage/ChatHistoryRecord.h"

#include <cstdint>
#include <string>

namespace pellix {

// Every header of the viewer has one colour, whoever sent the message; every body another.
constexpr COLORREF HISTORY_HEADER_COLOR = 0x00FF0000;
constexpr COLORREF HISTORY_BODY_COLOR = 0x00000000;

// "2011-05-03 14:02:09" in local time; "0000-00-00 00:00:00" for a time the calendar cannot
// express.
std::string FormatHistoryTime(int64_t seconds);
// " name (2011-05-03 14:02:09)   " in the header colour, as display markup.
std::string FormatHistoryHeaderLine(const ChatHistoryRecord& record);
// The message in the body colour, as display markup.
std::string FormatHistoryBodyLine(const ChatHistoryRecord& record);

} // namespace pellix
