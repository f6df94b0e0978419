#pragma once
// One command number pair of the client library's framing: main command in the low half,
// sub-command in the high half of 32 bits.

#include <cstdint>

struct CMD_Command {
    uint16_t wMainCmdID = 0;
    uint16_t wSubCmdID = 0;
};

static_assert(sizeof(CMD_Command) == 4);
