#pragma once
// The history file of one conversation partner: table chat_history, one row per message, read
// back in insertion order. Built on the stack for one operation; opens its own session.

#include "storage/ChatHistoryRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellix {

class CChatHistoryStore {
public:
    CChatHistoryStore(std::vector<ChatHistoryRecord>& records, std::string path);

    // Texts are GBK; they are stored as UTF-8. False after a reported failure.
    bool AddMessage(const std::string& from, const std::string& to, int64_t time,
                    const std::string& message);
    // The messages (GBK), in order, in one transaction: all of them or, after a reported
    // failure, none.
    bool AddMessages(const std::vector<ChatHistoryRecord>& messages);
    // 0 after a reported failure.
    int GetMessageCount();
    // Appends one page, in insertion order, to the records (texts converted to GBK).
    bool GetMessages(int limit, int offset);
    // Appends up to limit messages that follow row number afterRow, in order, to rows (texts
    // converted to GBK). Reading part after part this way costs the same for every part.
    bool GetRowsAfter(int64_t afterRow, int limit, std::vector<ChatHistoryRow>& rows);
    // The newest message before row number beforeRow whose text holds text (GBK; letters A to Z
    // in either case), and its index; nothing found (row 0) after a reported failure too.
    ChatHistoryMatch FindMessageBefore(const std::string& text, int64_t beforeRow);
    // The row number of the message at index in page order; 0 when there is none.
    int64_t RowAt(int index);

private:
    std::vector<ChatHistoryRecord>& m_records;
    std::string m_path;
};

} // namespace pellix
