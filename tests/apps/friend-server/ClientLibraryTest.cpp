// The client library's own service base against the server: its framing, log-on and pings.

#include "ServerFixture.h"

#include "LoggingOnService.h"

using namespace pellix;
using namespace pellix::server;

namespace {

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
