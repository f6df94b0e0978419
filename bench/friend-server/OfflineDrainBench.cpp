// One user logs on to a full offline queue of long texts, kept in the SQLite store as the server
// binary keeps it, while a second connection pings the server without pause. Measures how fast
// the queue is handed over and the longest a ping waits for its pong meanwhile. Arguments: number
// of queued texts, bytes per text, and whether the texts are valid GBK (1) or bytes that are not
// GBK at all (0).

#include "FriendRelations.h"
#include "FriendServer.h"
#include "SqliteAccountStore.h"
#include "client/CommandStream.h"
#include "client/FrameCodec.h"
#include "protocol/FriendCommands.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

using namespace pellix::server;

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int32_t kSenderID = 1;
constexpr int32_t kDrainerID = 2;
constexpr int32_t kPingerID = 3;

std::string MakeText(std::size_t bytes, bool validGbk) {
    if (!validGbk)
        return std::string(bytes, '\xFF');
    // "好" in GBK, over and over.
    std::string text;
    while (text.size() + 2 <= bytes)
        text += "\xBA\xC3";
    text.resize(bytes, 'x');
    return text;
}

void RunUntil(const std::function<bool()>& done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// A connection that hands every whole frame it receives to a callback.
class FrameClient {
public:
    using OnFrame = std::function<void(const FrameCodec::Frame&)>;

    FrameClient(quint16 port, OnFrame onFrame) : m_OnFrame(std::move(onFrame)) {
        QObject::connect(&m_Socket, &QTcpSocket::readyRead, [this] { Read(); });
        m_Socket.connectToHost(QHostAddress::LocalHost, port);
    }
    void Send(uint16_t mainCmd, uint16_t subCmd, const CCommandStream& body) {
        m_Socket.write(
            FrameCodec::EncodeFrame(mainCmd, subCmd, body.SendBuffer(), body.SendSize()));
    }
    void LogOn(int32_t userID) {
        CCommandStream body;
        body.WriteInt32(userID);
        body.WriteString("t");
        body.WriteInt32(-1);
        Send(CMD_FRIEND, SUB_C_LOGON, body);
    }

private:
    void Read() {
        while (true) {
            const QByteArray bytes = m_Socket.read(static_cast<qint64>(m_Reader.Missing()));
            if (bytes.isEmpty())
                return;
            m_Reader.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            if (m_Reader.HasFrame())
                m_OnFrame(*m_Reader.TakeFrame());
        }
    }

    QTcpSocket m_Socket;
    FrameCodec::FrameReader m_Reader;
    OnFrame m_OnFrame;
};

// Pings again as soon as each pong arrives and keeps the longest round trip.
class Pinger {
public:
    explicit Pinger(quint16 port)
        : m_Client(port, [this](const FrameCodec::Frame& frame) { OnFrame(frame); }) {
        m_Client.LogOn(kPingerID);
        RunUntil([this] { return m_bLoggedOn; });
    }
    void Start() {
        m_Worst = {};
        m_nPongs = 0;
        m_bRunning = true;
        Ping();
    }
    // Stops after the pong of the ping in flight.
    void Stop() {
        m_bRunning = false;
        RunUntil([this] { return !m_bWaiting; });
    }
    double WorstMs() const { return std::chrono::duration<double, std::milli>(m_Worst).count(); }
    int Pongs() const { return m_nPongs; }

private:
    void Ping() {
        m_bWaiting = true;
        m_SentAt = SteadyClock::now();
        m_Client.Send(FrameCodec::kLibraryMainCmd, FrameCodec::kPingSubCmd, CCommandStream());
    }
    void OnFrame(const FrameCodec::Frame& frame) {
        if (frame.header.mainCmd == CMD_FRIEND && frame.header.subCmd == SUB_S_FRIEND_LIST)
            m_bLoggedOn = true;
        if (frame.header.mainCmd != FrameCodec::kLibraryMainCmd)
            return;
        m_Worst = std::max(m_Worst, SteadyClock::now() - m_SentAt);
        ++m_nPongs;
        m_bWaiting = false;
        if (m_bRunning)
            Ping();
    }

    FrameClient m_Client;
    bool m_bLoggedOn = false;
    bool m_bRunning = false;
    bool m_bWaiting = false;
    SteadyClock::time_point m_SentAt;
    SteadyClock::duration m_Worst{};
    int m_nPongs = 0;
};

// A server over a fresh SQLite file whose drainer has count texts waiting.
struct DrainServer {
    DrainServer(int64_t count, const std::string& text) {
        store = std::make_unique<SqliteAccountStore>(
            dir.filePath(QStringLiteral("drain.db")).toStdString());
        FriendRelations relations(*store);
        for (const int32_t userID : {kSenderID, kDrainerID, kPingerID}) {
            Account account;
            account.userID = userID;
            account.userName = "player" + std::to_string(userID);
            account.nickName = account.userName;
            account.token = "t";
            relations.SaveAccount(account);
        }
        QueuedMessage message;
        message.recipientID = kDrainerID;
        message.senderID = kSenderID;
        message.sentAt = 1;
        message.text = text;
        for (int64_t i = 0; i < count; ++i)
            store->QueueMessage(message);
        server = std::make_unique<FriendServer>(*store, SessionLimits{});
        server->Listen(QHostAddress::LocalHost, 0);
    }
    QTemporaryDir dir;
    std::unique_ptr<SqliteAccountStore> store;
    std::unique_ptr<FriendServer> server;
};

void BM_DrainOfflineQueueWhileOthersPing(benchmark::State& state) {
    const int64_t count = state.range(0);
    const std::string text =
        MakeText(static_cast<std::size_t>(state.range(1)), state.range(2) != 0);
    int64_t texts = 0;
    int64_t bodyBytes = 0;
    double worstPingMs = 0;
    int pongs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        DrainServer bench(count, text);
        Pinger pinger(bench.server->Port());
        int64_t received = 0;
        FrameClient drainer(bench.server->Port(), [&](const FrameCodec::Frame& frame) {
            if (frame.header.mainCmd != CMD_FRIEND || frame.header.subCmd != SUB_S_OFFLINE_MESSAGES)
                return;
            CCommandStream body;
            body.Append(frame.body.data(), frame.body.size());
            body.ReadInt32();
            received += body.ReadUInt32();
            bodyBytes += static_cast<int64_t>(frame.body.size());
        });
        pinger.Start();
        state.ResumeTiming();
        drainer.LogOn(kDrainerID);
        RunUntil([&] { return received >= count; });
        state.PauseTiming();
        pinger.Stop();
        worstPingMs = std::max(worstPingMs, pinger.WorstMs());
        pongs += pinger.Pongs();
        texts += received;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(bodyBytes);
    state.SetItemsProcessed(texts);
    state.counters["worst_ping_ms"] = worstPingMs;
    state.counters["pongs"] = pongs;
}
BENCHMARK(BM_DrainOfflineQueueWhileOthersPing)
    ->ArgNames({"texts", "bytes", "gbk"})
    ->Args({1000, 65510, 1})
    ->Args({1000, 65510, 0})
    ->Args({900, 16384, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
