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
    default:
        return 0;
    }
}

} // namespace pellix
