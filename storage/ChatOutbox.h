#pragma once
// What must survive until the server confirms it, in the user's delivery file beside the
// history: the chats the user sent that are not yet confirmed (the outbox), and the ids of the
// friends' chats already shown, so that a chat handed over twice is shown and stored once. The
// file holds its own tables; the history files keep their layout. Everything is kept in memory
// too, so a file that cannot be written (reported once) still loses nothing during this run.
// A new chat is written at once; what lets go of one (a removal) or remembers one (a received id)
// waits in memory for SaveChanges, so the many of one turn of the event loop go in one
// transaction. Owned by the friend service.

#include "storage/OutboxMessage.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace pellix {

class CChatOutbox {
public:
    // Ids of a friend's chats remembered as shown; the oldest are forgotten past this.
    static constexpr std::size_t kReceivedIDsPerFriend = 1000;

    using Clock = std::function<int64_t()>; // milliseconds since 1970

    explicit CChatOutbox(Clock clock = {});

    // Reads the outbox of the delivery file at path (created if missing) and drops whatever an
    // earlier file left in memory. False after a reported failure; the outbox is then empty.
    bool Open(const std::string& path);

    // Keeps a new chat, with the next message id, and returns it.
    const OutboxMessage& Add(int32_t friendID, int64_t queuedAt, const std::string& text);
    // False when no chat with that id is kept; the file forgets it at the next SaveChanges.
    bool Remove(uint64_t messageID);
    const OutboxMessage* Find(uint64_t messageID) const;
    // Every kept chat, oldest first.
    std::vector<OutboxMessage> Pending() const;
    std::vector<OutboxMessage> PendingFor(int32_t friendID) const;
    bool IsEmpty() const { return m_Pending.empty(); }

    bool WasReceived(int32_t friendID, uint64_t messageID);
    // The file remembers it at the next SaveChanges.
    void RememberReceived(int32_t friendID, uint64_t messageID);

    bool HasUnsavedChanges() const { return !m_Removed.empty() || !m_NewlyReceived.empty(); }
    // Writes the removals and received ids since the last save in one transaction. False after a
    // reported failure; memory still holds them.
    bool SaveChanges();

private:
    uint64_t NextMessageID();
    std::set<uint64_t>& ReceivedOf(int32_t friendID);

    Clock m_Clock;
    std::string m_path;
    uint64_t m_nLastID = 0;
    std::map<uint64_t, OutboxMessage> m_Pending;
    std::unordered_map<int32_t, std::set<uint64_t>> m_Received;
    std::vector<uint64_t> m_Removed;
    std::vector<ReceivedChatID> m_NewlyReceived;
};

} // namespace pellix
