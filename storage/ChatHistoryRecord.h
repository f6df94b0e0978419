#pragma once
// One stored chat message. Strings are GBK in memory and UTF-8 in the history file.

#include <cstdint>
#include <string>

namespace pellix {

struct ChatHistoryRecord {
    std::string strFrom;
    std::string strTo;
    // Seconds since 1970-01-01 00:00 UTC.
    int64_t nTime = 0;
    std::string strMessage;
};

// A stored message with its row number. Row numbers grow with every message written, so they
// order a history as its pages do; a history is read a part at a time by them.
struct ChatHistoryRow {
    int64_t nRowID = 0;
    ChatHistoryRecord record;
};

// Where a message found by its text stands: its row number and its index in page order.
struct ChatHistoryMatch {
    int64_t nRowID = 0; // 0: nothing found
    int nIndex = 0;
};

} // namespace pellix
