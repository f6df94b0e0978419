#include "ChatOutbox.h"

#include "DatabaseAccess.h"
#include "RecordColumns.h"

#include "data/Binding.h"
#include "data/Extraction.h"
#include "data/Statement.h"

#include <QDateTime>

#include <algorithm>
#include <iterator>

namespace pellix {

using namespace QxDataModule;

namespace {

void EnsureSchema(Session& session) {
    session << "CREATE TABLE IF NOT EXISTS [outbox] ([message_id] INTEGER PRIMARY KEY, "
               "[friend_id] INTEGER, [queued_at] INTEGER, [text] BLOB)",
        now;
    session << "CREATE TABLE IF NOT EXISTS [outbox_state] ([id] INTEGER PRIMARY KEY, "
               "[last_id] INTEGER)",
        now;
    session << "CREATE TABLE IF NOT EXISTS [received] ([friend_id] INTEGER, [message_id] INTEGER, "
               "PRIMARY KEY ([friend_id], [message_id])) WITHOUT ROWID",
        now;
}

int64_t Stored(uint64_t messageID) {
    return static_cast<int64_t>(messageID);
}

// The file is written only once a user's file was opened; before that, memory alone holds it.
template <typename Operation> void Write(const std::string& path, Operation&& operation) {
    if (!path.empty())
        WithDatabase(path, std::forward<Operation>(operation), FailureNotice::OncePerFile);
}

} // namespace

CChatOutbox::CChatOutbox(Clock clock)
    : m_Clock(clock ? std::move(clock) : [] { return QDateTime::currentMSecsSinceEpoch(); }) {}

bool CChatOutbox::Open(const std::string& path) {
    SaveChanges();
    m_path = path;
    m_nLastID = 0;
    m_Pending.clear();
    m_Received.clear();
    m_Removed.clear();
    m_NewlyReceived.clear();
    std::vector<OutboxMessage> messages;
    int64_t lastID = 0;
    const bool read = WithDatabase(
        path,
        [&](Session& session) {
            EnsureSchema(session);
            session << "SELECT [last_id] FROM [outbox_state] WHERE [id] = 1", into(lastID), now;
            Statement select(session);
            select << "SELECT [message_id], [friend_id], [queued_at], [text] FROM [outbox] "
                      "ORDER BY [message_id]",
                intoRecords(messages);
            select.execute();
        },
        FailureNotice::OncePerFile);
    if (!read)
        return false;
    m_nLastID = static_cast<uint64_t>(lastID);
    for (OutboxMessage& message : messages) {
        m_nLastID = std::max(m_nLastID, message.messageID);
        m_Pending.emplace(message.messageID, std::move(message));
    }
    return true;
}

uint64_t CChatOutbox::NextMessageID() {
    // Milliseconds in the upper bits keep ids growing across a lost file; the counter keeps them
    // growing when the clock goes back.
    const auto fromClock = static_cast<uint64_t>(std::max<int64_t>(m_Clock(), 0)) << 16;
    m_nLastID = std::max(fromClock, m_nLastID + 1);
    return m_nLastID;
}

const OutboxMessage& CChatOutbox::Add(int32_t friendID, int64_t queuedAt, const std::string& text) {
    const uint64_t messageID = NextMessageID();
    const OutboxMessage& message =
        m_Pending.emplace(messageID, OutboxMessage{messageID, friendID, queuedAt, text})
            .first->second;
    const int64_t storedID = Stored(messageID);
    Write(m_path, [&](Session& session) {
        EnsureSchema(session);
        Transaction transaction(session);
        session << "INSERT OR REPLACE INTO [outbox] VALUES(?, ?, ?, ?)", use(storedID),
            use(friendID), use(queuedAt), use(text), now;
        session << "INSERT OR REPLACE INTO [outbox_state] VALUES(1, ?)", use(storedID), now;
        transaction.commit();
    });
    return message;
}

bool CChatOutbox::Remove(uint64_t messageID) {
    if (m_Pending.erase(messageID) == 0)
        return false;
    m_Removed.push_back(messageID);
    return true;
}

const OutboxMessage* CChatOutbox::Find(uint64_t messageID) const {
    const auto found = m_Pending.find(messageID);
    return found == m_Pending.end() ? nullptr : &found->second;
}

std::vector<OutboxMessage> CChatOutbox::Pending() const {
    std::vector<OutboxMessage> messages;
    messages.reserve(m_Pending.size());
    for (const auto& [id, message] : m_Pending)
        messages.push_back(message);
    return messages;
}

std::vector<OutboxMessage> CChatOutbox::PendingFor(int32_t friendID) const {
    std::vector<OutboxMessage> messages;
    for (const auto& [id, message] : m_Pending) {
        if (message.friendID == friendID)
            messages.push_back(message);
    }
    return messages;
}

std::set<uint64_t>& CChatOutbox::ReceivedOf(int32_t friendID) {
    const auto [found, added] = m_Received.try_emplace(friendID);
    if (!added)
        return found->second;
    std::vector<ReceivedChatID> stored;
    if (!m_path.empty()) {
        WithDatabase(
            m_path,
            [&](Session& session) {
                EnsureSchema(session);
                Statement select(session);
                select << "SELECT [friend_id], [message_id] FROM [received] WHERE [friend_id] = ?",
                    use(friendID), intoRecords(stored);
                select.execute();
            },
            FailureNotice::OncePerFile);
    }
    for (const ReceivedChatID& id : stored)
        found->second.insert(id.messageID);
    return found->second;
}

bool CChatOutbox::WasReceived(int32_t friendID, uint64_t messageID) {
    return ReceivedOf(friendID).contains(messageID);
}

void CChatOutbox::RememberReceived(int32_t friendID, uint64_t messageID) {
    std::set<uint64_t>& ids = ReceivedOf(friendID);
    if (!ids.insert(messageID).second)
        return;
    if (ids.size() > kReceivedIDsPerFriend)
        ids.erase(ids.begin(), std::next(ids.begin(), ids.size() - kReceivedIDsPerFriend));
    m_NewlyReceived.push_back(ReceivedChatID{friendID, messageID});
}

bool CChatOutbox::SaveChanges() {
    if (!HasUnsavedChanges() || m_path.empty())
        return true;
    // Past the bound, the file keeps what memory keeps: ids from the oldest one remembered on.
    std::map<int32_t, int64_t> oldestKept;
    for (const ReceivedChatID& id : m_NewlyReceived) {
        const std::set<uint64_t>& ids = m_Received[id.friendID];
        if (ids.size() == kReceivedIDsPerFriend)
            oldestKept[id.friendID] = Stored(*ids.begin());
    }
    const bool saved = WithDatabase(
        m_path,
        [&](Session& session) {
            EnsureSchema(session);
            Transaction transaction(session);
            for (const uint64_t messageID : m_Removed) {
                const int64_t storedID = Stored(messageID);
                session << "DELETE FROM [outbox] WHERE [message_id] = ?", use(storedID), now;
            }
            for (const ReceivedChatID& id : m_NewlyReceived) {
                const int64_t storedID = Stored(id.messageID);
                session << "INSERT OR IGNORE INTO [received] VALUES(?, ?)", use(id.friendID),
                    use(storedID), now;
            }
            for (const auto& [friendID, oldest] : oldestKept)
                session << "DELETE FROM [received] WHERE [friend_id] = ? AND [message_id] < ?",
                    use(friendID), use(oldest), now;
            transaction.commit();
        },
        FailureNotice::OncePerFile);
    if (saved) {
        m_Removed.clear();
        m_NewlyReceived.clear();
    }
    return saved;
}

} // namespace pellix
