#pragma once
// One stored chat message. Strings are GBK in memory and UTF-8 in the history file.

#include <cstdint>
#include <string>

struct ChatHistoryRecord {
    std::string strFrom;
    std::string strTo;
    // Seconds since 1970-01-01 00:00 UTC.
    int64_t nTime = 0;
    std::string strMessage;
};
