// What TLS costs between the client library and the friend server, client and server in one
// process on loopback. Chat latency: a message from one user of the client library to another
// through the server, over plain TCP and over TLS, beside the bare loopback round trip of a frame
// of the same size through an echo socket, the three taken in turn for every message so that all
// see the same load. Log-ons: 1,000 clients that connect and log on together, plain or TLS, until
// each holds its friend list.

#include "BenchAccounts.h"
#include "FileLimit.h"
#include "FriendRelations.h"
#include "FriendServer.h"
#include "MemoryAccountStore.h"
#include "TestCertificates.h"
#include "client/ClientService.h"
#include "client/CommandStream.h"
#include "records/FriendCommands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace pellix;
using namespace pellix::server;

namespace {

constexpr int kChatMessages = 2000;
const std::string kChatText = "see you at eight";

const TestCertificates& Certificates() {
    static const TestCertificates certificates;
    return certificates;
}

void RunUntil(const std::function<bool()>& ready) {
    while (!ready())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

double Percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
    return samples[index];
}

// A friend server over its own store of users 1..count, each a friend of the next; TLS with the
// test CA's certificate when asked.
struct BenchServer {
    BenchServer(int32_t count, bool tls) : server(store, SessionLimits{}) {
        FriendRelations relations(store);
        SaveChainOfFriends(relations, count);
        if (tls)
            server.UseTls(Certificates().ServerConfiguration(TestCertificates::Server::Good));
        server.Listen(QHostAddress::LocalHost, 0);
    }
    std::string Address() const {
        const std::string address = "127.0.0.1:" + std::to_string(server.Port());
        if (!server.IsTls())
            return address;
        return "tls://" + address + "?ca=" + Certificates().CaFile().toStdString();
    }
    MemoryAccountStore store;
    FriendServer server;
};

// A user of the client library: logs on at every connection and counts the chat it receives.
class BenchUser final : public CClientService {
public:
    explicit BenchUser(int32_t userID) : CClientService("BenchUser"), m_nUserID(userID) {}

    bool OnServerConnected() override {
        m_SendStream.Reset();
        m_SendStream.WriteInt32(m_nUserID);
        m_SendStream.WriteString("t");
        m_SendStream.WriteInt32(-1);
        return Send(SUB_C_LOGON);
    }
    bool OnServiceCommand(CMD_Command command, const void*, unsigned short) override {
        listed = listed || command.wSubCmdID == SUB_S_FRIEND_LIST;
        chats += command.wSubCmdID == SUB_S_CHAT_MESSAGE ? 1 : 0;
        return true;
    }
    void Chat(int32_t to) {
        m_SendStream.Reset();
        m_SendStream.WriteInt32(m_nUserID);
        m_SendStream.WriteInt32(to);
        m_SendStream.WriteString(kChatText);
        Send(SUB_C_CHAT_MESSAGE);
    }

    bool listed = false;
    int chats = 0;

private:
    bool Send(uint16_t subCmd) {
        return GetClientSocket()->SendData(CMD_FRIEND, subCmd, m_SendStream.SendBuffer(),
                                           static_cast<uint16_t>(m_SendStream.SendSize()));
    }

    int32_t m_nUserID;
};

// Two users of one server, both logged on.
struct ChatPair {
    explicit ChatPair(bool tls) : bench(2, tls), sender(1), receiver(2) {
        sender.StartService(bench.Address(), 0);
        receiver.StartService(bench.Address(), 0);
        RunUntil([this] { return sender.listed && receiver.listed; });
    }
    // Microseconds from the sender's write until the receiver has the whole message.
    double TimeOneMessage() {
        const int before = receiver.chats;
        QElapsedTimer timer;
        timer.start();
        sender.Chat(2);
        RunUntil([&] { return receiver.chats > before; });
        return static_cast<double>(timer.nsecsElapsed()) / 1000.0;
    }
    BenchServer bench;
    BenchUser sender;
    BenchUser receiver;
};

// A socket whose peer sends every byte straight back, both without Nagle's delay.
class LoopbackEcho {
public:
    LoopbackEcho() {
        m_Server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_Server, &QTcpServer::newConnection, [this] {
            m_pEcho.reset(m_Server.nextPendingConnection());
            m_pEcho->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            QObject::connect(m_pEcho.get(), &QTcpSocket::readyRead,
                             [this] { m_pEcho->write(m_pEcho->readAll()); });
        });
        QObject::connect(&m_Client, &QTcpSocket::readyRead,
                         [this] { m_nReceived += m_Client.readAll().size(); });
        m_Client.connectToHost(QHostAddress::LocalHost, m_Server.serverPort());
        RunUntil([this] { return m_pEcho != nullptr; });
        m_Client.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    }
    double TimeRoundTrip(const QByteArray& frame) {
        m_nReceived = 0;
        QElapsedTimer timer;
        timer.start();
        m_Client.write(frame);
        RunUntil([&] { return m_nReceived >= frame.size(); });
        return static_cast<double>(timer.nsecsElapsed()) / 1000.0;
    }

private:
    QTcpServer m_Server;
    QTcpSocket m_Client;
    std::unique_ptr<QTcpSocket> m_pEcho;
    qint64 m_nReceived = 0;
};

void BM_ChatLatencyPlainTlsAndLoopback(benchmark::State& state) {
    ChatPair plain(false);
    ChatPair tls(true);
    LoopbackEcho echo;
    CCommandStream body;
    body.WriteInt32(1);
    body.WriteInt32(2);
    body.WriteString(kChatText);
    const QByteArray frame =
        FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_CHAT_MESSAGE, body.SendBuffer(), body.SendSize());
    std::vector<double> loopbackUs;
    std::vector<double> plainUs;
    std::vector<double> tlsUs;
    for (auto _ : state) {
        for (int i = 0; i < kChatMessages; ++i) {
            loopbackUs.push_back(echo.TimeRoundTrip(frame));
            plainUs.push_back(plain.TimeOneMessage());
            tlsUs.push_back(tls.TimeOneMessage());
        }
    }
    state.counters["loopback_p50_us"] = Percentile(loopbackUs, 0.50);
    state.counters["loopback_p99_us"] = Percentile(loopbackUs, 0.99);
    state.counters["plain_p50_us"] = Percentile(plainUs, 0.50);
    state.counters["plain_p99_us"] = Percentile(plainUs, 0.99);
    state.counters["tls_p50_us"] = Percentile(tlsUs, 0.50);
    state.counters["tls_p99_us"] = Percentile(tlsUs, 0.99);
    state.counters["tls_added_p50_us"] = Percentile(tlsUs, 0.50) - Percentile(plainUs, 0.50);
}
BENCHMARK(BM_ChatLatencyPlainTlsAndLoopback)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// A client that logs on as soon as it can (over TLS, once its handshake is done) and notes its
// friend list.
class LogOnClient {
public:
    LogOnClient(quint16 port, int32_t userID, const QSslConfiguration* tls, int& lists)
        : m_Lists(lists) {
        if (tls != nullptr) {
            auto socket = std::make_unique<QSslSocket>();
            socket->setSslConfiguration(*tls);
            socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
            m_pSocket = std::move(socket);
        } else {
            m_pSocket = std::make_unique<QTcpSocket>();
            m_pSocket->connectToHost(QHostAddress::LocalHost, port);
        }
        QObject::connect(m_pSocket.get(), &QTcpSocket::readyRead, [this] { Read(); });
        CCommandStream body;
        body.WriteInt32(userID);
        body.WriteString("t");
        body.WriteInt32(-1);
        // A TLS socket keeps what is written before its handshake until the handshake is done.
        m_pSocket->write(
            FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_LOGON, body.SendBuffer(), body.SendSize()));
    }

private:
    void Read() {
        while (true) {
            const QByteArray bytes = m_pSocket->read(static_cast<qint64>(m_Reader.Missing()));
            if (bytes.isEmpty())
                return;
            m_Reader.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            if (m_Reader.HasFrame() && m_Reader.TakeFrame()->header.subCmd == SUB_S_FRIEND_LIST)
                ++m_Lists;
        }
    }

    std::unique_ptr<QTcpSocket> m_pSocket;
    FrameCodec::FrameReader m_Reader;
    int& m_Lists;
};

void BM_ClientsLogOnTogether(benchmark::State& state) {
    const auto users = static_cast<int32_t>(state.range(0));
    const bool tls = state.range(1) != 0;
    const QSslConfiguration clientTls = Certificates().ClientConfiguration();
    for (auto _ : state) {
        state.PauseTiming();
        BenchServer bench(users, tls);
        int lists = 0;
        std::vector<std::unique_ptr<LogOnClient>> clients;
        state.ResumeTiming();
        for (int32_t userID = 1; userID <= users; ++userID)
            clients.push_back(std::make_unique<LogOnClient>(bench.server.Port(), userID,
                                                            tls ? &clientTls : nullptr, lists));
        RunUntil([&] { return lists == users; });
        state.PauseTiming();
        state.counters["online"] = static_cast<double>(bench.server.OnlineCount());
        clients.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ClientsLogOnTogether)
    ->ArgNames({"clients", "tls"})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (!Certificates().IsValid()) {
        std::fprintf(stderr, "tls_bench: %s\n", Certificates().Error().toUtf8().constData());
        return 1;
    }
    // Every connection costs two descriptors here: the client's and the server's.
    RaiseOpenFileLimit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
