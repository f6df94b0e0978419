#include "ChatHistoryManager.h"

#include "ChatHistoryStore.h"
#include "ProfilePaths.h"

#include "text/FileUtility.h"

#include <algorithm>

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

CChatHistoryManager::CChatHistoryManager() {
    m_CommitTimer.setSingleShot(true);
    m_CommitTimer.setInterval(0);
    QObject::connect(&m_CommitTimer, &QTimer::timeout, [this] { CommitPending(); });
}

CChatHistoryManager::~CChatHistoryManager() {
    CommitPending();
}

void CChatHistoryManager::AddMessage(int peerID, const std::string& from, const std::string& to,
                                     int64_t time, const std::string& message) {
    std::string path = PreparedPeerFile(peerID);
    auto file = std::find_if(m_Pending.begin(), m_Pending.end(),
                             [&](const auto& pending) { return pending.first == path; });
    if (file == m_Pending.end())
        file = m_Pending.insert(m_Pending.end(), {std::move(path), {}});
    file->second.push_back(ChatHistoryRecord{from, to, time, message});
    if (!m_CommitTimer.isActive())
        m_CommitTimer.start();
}

void CChatHistoryManager::CommitPending() {
    m_CommitTimer.stop();
    // Taken first: a failure box runs an event loop of its own, in which more may be added.
    const auto pending = std::exchange(m_Pending, {});
    for (const auto& [path, messages] : pending)
        CChatHistoryStore(m_Records, path).AddMessages(messages);
}

void CChatHistoryManager::DropPending(const std::string& pathPrefix) {
    std::erase_if(m_Pending,
                  [&](const auto& pending) { return pending.first.starts_with(pathPrefix); });
}

int CChatHistoryManager::GetMessageCount(int peerID) {
    CommitPending();
    return CChatHistoryStore(m_Records, PreparedPeerFile(peerID)).GetMessageCount();
}

std::vector<ChatHistoryRecord>& CChatHistoryManager::GetMessages(int peerID, int limit,
                                                                 int offset) {
    CommitPending();
    m_Records.clear();
    CChatHistoryStore(m_Records, PreparedPeerFile(peerID)).GetMessages(limit, offset);
    return m_Records;
}

bool CChatHistoryManager::GetRowsAfter(int peerID, int64_t afterRow, int limit,
                                       std::vector<ChatHistoryRow>& rows) {
    CommitPending();
    return CChatHistoryStore(m_Records, PreparedPeerFile(peerID))
        .GetRowsAfter(afterRow, limit, rows);
}

ChatHistoryMatch CChatHistoryManager::FindMessageBefore(int peerID, const std::string& text,
                                                        int64_t beforeRow) {
    CommitPending();
    return CChatHistoryStore(m_Records, PreparedPeerFile(peerID))
        .FindMessageBefore(text, beforeRow);
}

int64_t CChatHistoryManager::RowAt(int peerID, int index) {
    CommitPending();
    return CChatHistoryStore(m_Records, PreparedPeerFile(peerID)).RowAt(index);
}

std::string CChatHistoryManager::HistoryFilePath(int peerID) {
    CommitPending();
    return PreparedPeerFile(peerID);
}

void CChatHistoryManager::DeleteHistory(int peerID) {
    const std::string path = ChatHistoryFilePath(ChatHistoryDirectory(), peerID);
    if (path.empty())
        return;
    DropPending(path);
    FileUtility::deleteFile(path);
    // The write-ahead log beside the file holds the latest messages too.
    FileUtility::deleteFile(path + "-wal");
    FileUtility::deleteFile(path + "-shm");
}

void CChatHistoryManager::DeleteAllHistory() {
    const std::string directory = ChatHistoryDirectory();
    if (!directory.empty())
        DropPending(directory);
    if (!directory.empty() && FileUtility::directoryExist(directory))
        FileUtility::EmptyDirectory(directory);
}

} // namespace pellix
