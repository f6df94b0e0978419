#include "ChatHistoryText.h"

#include "ChatMarkup.h"
#include "base/AnsiText.h"
#include "skin/UIModuleUtility.h"

#include <ctime>

std::string FormatHistoryTime(int64_t seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr)
        return "0000-00-00 00:00:00";
    return FormatAnsi("%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

std::string FormatHistoryHeaderLine(const ChatHistoryRecord& record) {
    const std::string color = UIModuleUtility::RGBToHex(HISTORY_HEADER_COLOR);
    return FormatAnsi("/<c=%s> %s (%s)   ", color.c_str(), record.strFrom.c_str(),
                      FormatHistoryTime(record.nTime).c_str());
}

std::string FormatHistoryBodyLine(const ChatHistoryRecord& record) {
    return FormatBodyLine(HISTORY_BODY_COLOR, record.strMessage);
}
