#pragma once
// Every chat message sent or received, one history file per conversation partner under the
// signed-in user's ChatHistory directory; serves the history viewer page by page. Owned by the
// friend service; reached through GetInstance().
//
// Messages added in one turn of the event loop are stored together at its end, one transaction
// per history file: a burst of messages costs one write instead of one each. Everything that
// reads a history stores them first, so readers never miss one.

#include "base/Singleton.h"
#include "storage/ChatHistoryRecord.h"

#include <QTimer>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace pellix {

class CChatHistoryManager : public CSingleton<CChatHistoryManager> {
public:
    CChatHistoryManager();
    ~CChatHistoryManager() override;

    // Texts are GBK; time in seconds since 1970. Stored at the end of the turn; a failure then is
    // shown and the turn's messages for that peer are not stored.
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
    // The history file of a peer, for reading past the manager: its directory made if missing
    // and what waits to be stored stored. Empty without a working directory.
    std::string HistoryFilePath(int peerID);
    void DeleteHistory(int peerID);
    // Empties the ChatHistory directory and keeps it.
    void DeleteAllHistory();
    // Stores the messages added since the last commit now rather than at the end of the turn.
    void CommitPending();

private:
    // Forgets what is waiting for the files whose paths begin with pathPrefix.
    void DropPending(const std::string& pathPrefix);

    std::vector<ChatHistoryRecord> m_Records;
    // Per history file, in the order the files were first written to since the last commit. The
    // path is taken when the message is added, so a change of user in between cannot move it.
    std::vector<std::pair<std::string, std::vector<ChatHistoryRecord>>> m_Pending;
    QTimer m_CommitTimer;
};

} // namespace pellix
