#include "ChatHistoryManager.h"

#include "ChatHistoryStore.h"
#include "ProfilePaths.h"

#include "text/FileUtility.h"

namespace pellix {

namespace {

// The peer's history file, its directory made first; empty without a working directory, which
// the store then reports.
std::string PreparedPeerFile(int peerID) {
    const std::string directory = ChatHistoryDirectory();
    EnsureDirectory(directory);
    return ChatHistoryFilePath(directory, peerID);
}

} // namespace

CChatHistoryManager::CChatHistoryManager() = default;

CChatHistoryManager::~CChatHistoryManager() = default;

void CChatHistoryManager::AddMessage(int peerID, const std::string& from, const std::string& to,
                                     int64_t time, const std::string& message) {
    CChatHistoryStore(m_Records, PreparedPeerFile(peerID)).AddMessage(from, to, time, message);
}

int CChatHistoryManager::GetMessageCount(int peerID) {
    return CChatHistoryStore(m_Records, PreparedPeerFile(peerID)).GetMessageCount();
}

std::vector<ChatHistoryRecord>& CChatHistoryManager::GetMessages(int peerID, int limit,
                                                                 int offset) {
    m_Records.clear();
    CChatHistoryStore(m_Records, PreparedPeerFile(peerID)).GetMessages(limit, offset);
    return m_Records;
}

bool CChatHistoryManager::GetRowsAfter(int peerID, int64_t afterRow, int limit,
                                       std::vector<ChatHistoryRow>& rows) {
    return CChatHistoryStore(m_Records, PreparedPeerFile(peerID))
        .GetRowsAfter(afterRow, limit, rows);
}

ChatHistoryMatch CChatHistoryManager::FindMessageBefore(int peerID, const std::string& text,
                                                        int64_t beforeRow) {
    return CChatHistoryStore(m_Records, PreparedPeerFile(peerID))
        .FindMessageBefore(text, beforeRow);
}

int64_t CChatHistoryManager::RowAt(int peerID, int index) {
    return CChatHistoryStore(m_Records, PreparedPeerFile(peerID)).RowAt(index);
}

std::string CChatHistoryManager::HistoryFilePath(int peerID) const {
    return PreparedPeerFile(peerID);
}

void CChatHistoryManager::DeleteHistory(int peerID) {
    const std::string path = ChatHistoryFilePath(ChatHistoryDirectory(), peerID);
    if (path.empty())
        return;
    FileUtility::deleteFile(path);
    // The write-ahead log beside the file holds the latest messages too.
    FileUtility::deleteFile(path + "-wal");
    FileUtility::deleteFile(path + "-shm");
}

void CChatHistoryManager::DeleteAllHistory() {
    const std::string directory = ChatHistoryDirectory();
    if (!directory.empty() && FileUtility::directoryExist(directory))
        FileUtility::EmptyDirectory(directory);
}

} // namespace pellix
