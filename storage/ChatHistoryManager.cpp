#include "ChatHistoryManager.h"

#include "ChatHistoryStore.h"
#include "ProfilePaths.h"

#include "client/FileUtility.h"

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
