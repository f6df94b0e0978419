// The client library's own service base against the server: its framing, log-on and pings.

#include "ServerFixture.h"

#include "client/ClientService.h"

#include <algorithm>

using namespace pellix::server;

namespace {

// A service that logs on at every connection and keeps what the server sends it.
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

    int connects = 0;
    std::vector<uint16_t> received;

private:
    int32_t m_nUserID;
    std::string m_strToken;
};

class ClientLibraryTest : public ServerFixture {};

} // namespace

TEST_F(ClientLibraryTest, TheLibrarysServiceLogsOnAndGetsCommandsWhilePinging) {
    StartServer();
    AddAccount(1);
    AddAccount(2);
    Befriend(1, 2);
    LoggingOnService service(2, Token(2));
    // Pings every 10 ms: the answers must not upset the connection.
    service.SetKeepAliveTimes(10, 5000);
    const std::string address = "127.0.0.1:" + std::to_string(Server().Port());
    ASSERT_TRUE(service.StartService(address, 5500));
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.Received(SUB_S_FRIEND_LIST); }, kWaitMs));

    TestPeer& one = LogOn(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.Received(SUB_S_ONLINE_STATE); }, kWaitMs));
    one.Chat(2, "through the library");
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.Received(SUB_S_CHAT_MESSAGE); }, kWaitMs));
    EXPECT_EQ(service.connects, 1);
    EXPECT_EQ(Server().OnlineCount(), 2u);
    service.StopService();
}
