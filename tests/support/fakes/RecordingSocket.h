#pragma once
// Sockets that take what a service sends without a network.

#include "client/ClientSocket.h"

#include <cstdint>
#include <functional>
#include <vector>

struct SentCommand {
    uint16_t mainCmd = 0;
    uint16_t subCmd = 0;
    std::vector<uint8_t> body;
};

class RecordingSocket final : public IClientSocket {
public:
    bool SendData(uint16_t mainCmd, uint16_t subCmd, const void* data, uint16_t length) override {
        const auto* bytes = static_cast<const uint8_t*>(data);
        sent.push_back({mainCmd, subCmd, std::vector<uint8_t>(bytes, bytes + length)});
        if (onSend)
            onSend(sent.back());
        return sendResult;
    }

    std::vector<SentCommand> sent;
    bool sendResult = true;
    // Called with each command as it is written, to look at what was stored by then.
    std::function<void(const SentCommand&)> onSend;
};

// Accepts every command and keeps none, for long runs.
class DiscardingSocket final : public IClientSocket {
public:
    bool SendData(uint16_t, uint16_t, const void*, uint16_t) override { return true; }
};
