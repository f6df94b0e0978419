#include "ChatHistoryText.h"

#include "ChatLineMarkup.h"
#include "base/AnsiText.h"

#include <ctime>

namespace pellix {

std::string FormatHistoryTime(int64_t seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr)
        return "0000-00-00 00:00:00";
    return FormatAnsi("%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

std::string FormatHistoryHeaderLine(const ChatHistoryRecord& record) {
    return ChatMarkupLine(
        HISTORY_HEADER_COLOR,
        FormatAnsi(" %s (%s)   ", record.strFrom.c_str(), FormatHistoryTime(record.nTime).c_str()));
}

std::string FormatHistoryBodyLine(const ChatHistoryRecord& record) {
    return ChatMarkupLine(HISTORY_BODY_COLOR, record.strMessage);
}

} // namespace pellix
