// What TLS costs between the client library and the friend server, client and server in one
// process on loopback. Chat latency: a message from one user of the client library to another
// through the server, over plain TCP and over TLS, beside the bare loopback round trip of a frame
// of the same size through an echo socket, the three taken in turn for every message so that all
// see the same load. The log-ons are in TlsLogOnBench.cpp.

#include "FileLimit.h"
#include "TlsBenchSupport.h"
#include "client/ClientService.h"
#include "client/CommandStream.h"
#include "records/FriendCommands.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace pellix;
using namespace pellix::server;
using namespace pellix::bench;

namespace {

constexpr int kChatMessages = 2000;
const std::string kChatText = "see you at eight";

double Percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
    return samples[index];
}

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

} // namespace

int main(int argc, char** argv) {
    // As the server binary runs, and as a process with thousands of sockets should.
    UseEpollEventLoop();
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
