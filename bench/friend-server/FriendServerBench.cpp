// The friend server with many clients on loopback, all in one process: how long 1,000 clients
// take from connecting to holding their friend lists, and how long 1,000 chat messages take to
// be relayed once everyone is online. Each client is a friend of the next one.

#include "BenchAccounts.h"
#include "BenchFrameClient.h"
#include "FileLimit.h"
#include "FriendRelations.h"
#include "FriendServer.h"
#include "MemoryAccountStore.h"
#include "client/CommandStream.h"
#include "records/FriendCommands.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

using namespace pellix;
using namespace pellix::server;

namespace {

// A client that counts the frames of one sub-command it receives.
class BenchClient {
public:
    BenchClient(quint16 port, std::size_t& received, uint16_t countedSub)
        : m_nCountedSub(countedSub),
          m_Client(port, [this, &received](const FrameCodec::Frame& frame) {
              if (frame.header.subCmd == m_nCountedSub)
                  ++received;
          }) {}
    void Send(uint16_t sub, const CCommandStream& body) { m_Client.Send(CMD_FRIEND, sub, body); }
    void Count(uint16_t sub) { m_nCountedSub = sub; }

private:
    uint16_t m_nCountedSub;
    FrameClient m_Client;
};

struct BenchServer {
    explicit BenchServer(int32_t users) : server(store, SessionLimits{}) {
        FriendRelations relations(store);
        SaveChainOfFriends(relations, users);
        server.Listen(QHostAddress::LocalHost, 0);
    }
    MemoryAccountStore store;
    FriendServer server;
};

void RunUntil(const std::size_t& received, std::size_t wanted) {
    while (received < wanted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void LogOnAll(std::vector<std::unique_ptr<BenchClient>>& clients) {
    for (std::size_t i = 0; i < clients.size(); ++i) {
        CCommandStream body;
        body.WriteInt32(static_cast<int32_t>(i + 1));
        body.WriteString("t");
        body.WriteInt32(-1);
        clients[i]->Send(SUB_C_LOGON, body);
    }
}

void BM_ClientsLogOnTogether(benchmark::State& state) {
    const auto users = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        BenchServer bench(users);
        std::size_t lists = 0;
        std::vector<std::unique_ptr<BenchClient>> clients;
        state.ResumeTiming();
        for (int32_t i = 0; i < users; ++i)
            clients.push_back(
                std::make_unique<BenchClient>(bench.server.Port(), lists, SUB_S_FRIEND_LIST));
        LogOnAll(clients);
        RunUntil(lists, clients.size());
        state.PauseTiming();
        state.counters["online"] = static_cast<double>(bench.server.OnlineCount());
        clients.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClientsLogOnTogether)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChatRelayAmongOnlineClients(benchmark::State& state) {
    const auto users = static_cast<int32_t>(state.range(0));
    BenchServer bench(users);
    std::size_t received = 0;
    std::vector<std::unique_ptr<BenchClient>> clients;
    for (int32_t i = 0; i < users; ++i)
        clients.push_back(
            std::make_unique<BenchClient>(bench.server.Port(), received, SUB_S_FRIEND_LIST));
    LogOnAll(clients);
    RunUntil(received, clients.size());
    for (auto& client : clients)
        client->Count(SUB_S_CHAT_MESSAGE);
    for (auto _ : state) {
        received = 0;
        for (int32_t i = 0; i < users; ++i) {
            CCommandStream body;
            body.WriteInt32(i + 1);
            body.WriteInt32(i + 1 == users ? 1 : i + 2);
            body.WriteString("hello, friend");
            clients[static_cast<std::size_t>(i)]->Send(SUB_C_CHAT_MESSAGE, body);
        }
        RunUntil(received, clients.size());
    }
    state.counters["online"] = static_cast<double>(bench.server.OnlineCount());
    state.SetItemsProcessed(state.iterations() * users);
}
BENCHMARK(BM_ChatRelayAmongOnlineClients)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // Every connection costs two descriptors here: the client's and the server's.
    RaiseOpenFileLimit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
