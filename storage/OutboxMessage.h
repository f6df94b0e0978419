#pragma once

#include <cstdint>
#include <string>

namespace pellix {

// A chat the user sent that the server has not yet confirmed: its message id (unique per sender,
// growing), the friend, when it was typed (seconds since 1970) and its GBK text.
struct OutboxMessage {
    uint64_t messageID = 0;
    int32_t friendID = 0;
    int64_t queuedAt = 0;
    std::string text;
};

// A chat of a friend that was shown and stored, by the id the friend's client gave it.
struct ReceivedChatID {
    int32_t friendID = 0;
    uint64_t messageID = 0;
};

} // namespace pellix
