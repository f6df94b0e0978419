#pragma once
// The client library's own service base as a user of the friend server: logs on at every
// connection and keeps what the server sends it.

#include "TestPeer.h"
#include "client/ClientService.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace pellix {

class LoggingOnService final : public CClientService {
public:
    LoggingOnService(int32_t userID, std::string token)
        : CClientService("TestService"), m_nUserID(userID), m_strToken(std::move(token)) {}

    bool OnServerConnected() override {
        ++connects;
        m_SendStream.Reset();
        m_SendStream.WriteInt32(m_nUserID);
        m_SendStream.WriteString(m_strToken);
        m_SendStream.WriteInt32(-1);
        return GetClientSocket()->SendData(CMD_FRIEND, SUB_C_LOGON, m_SendStream.SendBuffer(),
                                           static_cast<uint16_t>(m_SendStream.SendSize()));
    }
    bool OnServiceCommand(CMD_Command command, const void*, unsigned short) override {
        received.push_back(command.wSubCmdID);
        return true;
    }
    bool Received(uint16_t subCmd) const {
        return std::find(received.begin(), received.end(), subCmd) != received.end();
    }

    bool OnSocketConnect(int error, const char* message, IClientSocket* socket) override {
        if (error != 0)
            ++failedAttempts;
        return CClientService::OnSocketConnect(error, message, socket);
    }

    int connects = 0;
    int failedAttempts = 0;
    std::vector<uint16_t> received;

private:
    int32_t m_nUserID;
    std::string m_strToken;
};

} // namespace pellix
