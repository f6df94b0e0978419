#pragma once
// The history file of one conversation partner: table chat_history, one row per message, read
// back in insertion order. Built on the stack for one operation; opens its own session.

#include "storage/ChatHistoryRecord.h"

#include <cstdint>
#include <string>
#include <vector>

class CChatHistoryStore {
public:
    CChatHistoryStore(std::vector<ChatHistoryRecord>& records, std::string path);

    // Texts are GBK; they are stored as UTF-8. False after a reported failure.
    bool AddMessage(const std::string& from, const std::string& to, int64_t time,
                    const std::string& message);
    // 0 after a reported failure.
    int GetMessageCount();
    // Appends one page, in insertion order, to the records (texts converted to GBK).
    bool GetMessages(int limit, int offset);

private:
    std::vector<ChatHistoryRecord>& m_records;
    std::string m_path;
};
