#pragma once
// Every chat message sent or received, one history file per conversation partner under the
// signed-in user's ChatHistory directory; serves the history viewer page by page. Owned by the
// friend service; reached through GetInstance().

#include "base/Singleton.h"
#include "storage/ChatHistoryRecord.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pellix {

class CChatHistoryManager : public CSingleton<CChatHistoryManager> {
public:
    CChatHistoryManager();
    ~CChatHistoryManager() override;

    // Texts are GBK; time in seconds since 1970. A failure is shown and the message not stored.
    void AddMessage(int peerID, const std::string& from, const std::string& to, int64_t time,
                    const std::string& message);
    // 0 after a reported failure.
    int GetMessageCount(int peerID);
    // The page read; valid until the next call. Empty after a reported failure.
    std::vector<ChatHistoryRecord>& GetMessages(int peerID, int limit, int offset);
    // Up to limit messages after row number afterRow (0: from the first), in order, appended to
    // rows; false after a reported failure. For reading a whole history a part at a time.
    bool GetRowsAfter(int peerID, int64_t afterRow, int limit, std::vector<ChatHistoryRow>& rows);
    // The newest message before row number beforeRow whose text holds text (GBK); row 0 when
    // there is none.
    ChatHistoryMatch FindMessageBefore(int peerID, const std::string& text, int64_t beforeRow);
    // The row number of the message at index in page order; 0 when there is none.
    int64_t RowAt(int peerID, int index);
    // The history file of a peer, its directory made if missing; empty without a working
    // directory.
    std::string HistoryFilePath(int peerID) const;
    void DeleteHistory(int peerID);
    // Empties the ChatHistory directory and keeps it.
    void DeleteAllHistory();

private:
    std::vector<ChatHistoryRecord> m_Records;
};

} // namespace pellix
