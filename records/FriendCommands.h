#pragma once
// Command numbers of the friend protocol: main command CMD_FRIEND, server-to-client SUB_S_*,
// client-to-server SUB_C_*.

#include <cstdint>

namespace pellix {

constexpr uint16_t CMD_FRIEND = 14;

constexpr uint16_t SUB_S_IGNORED = 2;
constexpr uint16_t SUB_S_FRIEND_LIST = 4;
constexpr uint16_t SUB_S_ONLINE_STATES = 6;
constexpr uint16_t SUB_S_ADD_FRIEND_OK = 8;
constexpr uint16_t SUB_S_ADD_FRIEND_FAIL = 9;
constexpr uint16_t SUB_S_FRIEND_REQUEST = 10;
constexpr uint16_t SUB_S_FRIEND_REPLY = 12;
constexpr uint16_t SUB_S_MOVE_RESULT = 14;
constexpr uint16_t SUB_S_CLEAR_HISTORY = 16;
constexpr uint16_t SUB_S_LOGON_FAILED = 17;
constexpr uint16_t SUB_S_CLEAR_FLAG = 19;
constexpr uint16_t SUB_S_CHAT_MESSAGE = 22;
constexpr uint16_t SUB_S_ONLINE_STATE = 24;
constexpr uint16_t SUB_S_OFFLINE_MESSAGES = 25;
constexpr uint16_t SUB_S_SHAKE = 29;

constexpr uint16_t SUB_C_ADD_FRIEND = 7;
constexpr uint16_t SUB_C_FRIEND_REPLY = 12;
constexpr uint16_t SUB_C_MOVE_CONTACT = 13;
constexpr uint16_t SUB_C_LOGON = 15;
constexpr uint16_t SUB_C_CHAT_MESSAGE = 21;
constexpr uint16_t SUB_C_SHAKE = 28;

// The acknowledged-chat extension. The server announces it with SUB_S_EXTENSIONS right after a
// successful log-on; a client sends the SUB_C_* below only after that announcement, and the
// server sends the other SUB_S_* below only to a client that answered it with SUB_C_EXTENSIONS.
constexpr uint16_t SUB_S_EXTENSIONS = 40;
constexpr uint16_t SUB_S_CHAT_ACK = 41;
constexpr uint16_t SUB_S_CHAT_MESSAGE_EX = 42;
constexpr uint16_t SUB_S_OFFLINE_MESSAGES_EX = 43;
constexpr uint16_t SUB_S_CHAT_REFUSED = 44;

constexpr uint16_t SUB_C_EXTENSIONS = 40;
constexpr uint16_t SUB_C_CHAT_MESSAGE_EX = 41;
constexpr uint16_t SUB_C_DELIVERY_ACK = 42;

// Extension bits of SUB_S_EXTENSIONS and SUB_C_EXTENSIONS.
constexpr uint32_t EXT_ACKED_CHAT = 1u << 0;

// Reason of a SUB_S_CHAT_REFUSED.
constexpr uint32_t CHAT_REFUSED_NO_ACCOUNT = 1;
constexpr uint32_t CHAT_REFUSED_BY_RECIPIENT = 2;

// Operation byte of a move request and of its result.
constexpr uint8_t MOVE_TO_STRANGERS = 0;
constexpr uint8_t MOVE_TO_BLACKLIST = 1;

// Sizes of the fixed bodies.
constexpr uint16_t SIZE_ADD_FRIEND_FAIL = 5;
constexpr uint16_t SIZE_FRIEND_REPLY_IN = 9;
constexpr uint16_t SIZE_MOVE_RESULT = 6;
constexpr uint16_t SIZE_LOGON_FAILED = 5;
constexpr uint16_t SIZE_CLEAR_FLAG = 1;
constexpr uint16_t SIZE_ONLINE_STATE = 5;
constexpr uint16_t SIZE_SHAKE_IN = 4;
constexpr uint16_t SIZE_FRIEND_REPLY_OUT = 9;
constexpr uint16_t SIZE_MOVE_CONTACT = 9;
constexpr uint16_t SIZE_SHAKE_OUT = 4;
constexpr uint16_t SIZE_EXTENSIONS = 4;
constexpr uint16_t SIZE_CHAT_ACK = 12;
constexpr uint16_t SIZE_CHAT_REFUSED = 16;
constexpr uint16_t SIZE_DELIVERY_ACK = 12;

// Size of the fixed body of a server-to-client command; 0 for the commands whose body is variable
// or not read.
constexpr uint16_t FixedBodySize(uint16_t sub) {
    switch (sub) {
    case SUB_S_ADD_FRIEND_FAIL:
        return SIZE_ADD_FRIEND_FAIL;
    case SUB_S_FRIEND_REPLY:
        return SIZE_FRIEND_REPLY_IN;
    case SUB_S_MOVE_RESULT:
        return SIZE_MOVE_RESULT;
    case SUB_S_LOGON_FAILED:
        return SIZE_LOGON_FAILED;
    case SUB_S_CLEAR_FLAG:
        return SIZE_CLEAR_FLAG;
    case SUB_S_ONLINE_STATE:
        return SIZE_ONLINE_STATE;
    case SUB_S_SHAKE:
        return SIZE_SHAKE_IN;
    case SUB_S_EXTENSIONS:
        return SIZE_EXTENSIONS;
    case SUB_S_CHAT_ACK:
        return SIZE_CHAT_ACK;
    case SUB_S_CHAT_REFUSED:
        return SIZE_CHAT_REFUSED;
    default:
        return 0;
    }
}

} // namespace pellix
