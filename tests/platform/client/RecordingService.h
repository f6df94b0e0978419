#pragma once
// A client service that records what the library hands it, and can act inside a command.

#include "client/ClientService.h"

#include <QByteArray>

#include <functional>
#include <vector>

struct ReceivedCommand {
    uint16_t mainCmd = 0;
    uint16_t subCmd = 0;
    QByteArray body;
};

class RecordingService final : public CClientService {
public:
    RecordingService() : CClientService("RecordingService") {
        // Short enough for a test, long enough never to fire unless a test means it to.
        SetReconnectDelays(10, 40);
        SetKeepAliveTimes(60000, 60000);
    }

    bool OnSocketConnect(int error, const char* message, IClientSocket* socket) override {
        if (error != 0)
            ++failedAttempts;
        return CClientService::OnSocketConnect(error, message, socket);
    }

    bool OnServerConnected() override {
        ++connected;
        return true;
    }

    bool OnServiceCommand(CMD_Command command, const void* body, unsigned short length) override {
        commands.push_back({command.wMainCmdID, command.wSubCmdID,
                            QByteArray(static_cast<const char*>(body), length)});
        if (onCommand)
            onCommand();
        return true;
    }

    int failedAttempts = 0;
    int connected = 0;
    std::vector<ReceivedCommand> commands;
    std::function<void()> onCommand;
};
