#pragma once
// The client library's socket as a service sees it: one call sends one framed command.

#include <cstdint>

class IClientSocket {
public:
    virtual ~IClientSocket() = default;
    // False when the command cannot be sent now (no connection, body too long).
    virtual bool SendData(uint16_t mainCmd, uint16_t subCmd, const void* data, uint16_t length) = 0;
};
