// The friend service on the network, in one process on loopback: the cost of one presence change
// through the dispatcher with 2,000 contacts, a sign-on that downloads 2,000 friends from a
// scripted server until the list is merged and stored, a sign-on with 10,000 stored friends that
// are current (the server sends only their states, a list that large being more than one frame
// holds) until every state is set, the latency of chat messages from a
// scripted user through the reference server into the module's history file, plain and
// acknowledged, beside the loopback round trip measured in the same run, and the outbox's flush
// at sign-on. Sounds are off (no audio device is assumed); message boxes
// are counted, never shown.

#include "BenchAccounts.h"
#include "FriendRelations.h"
#include "FriendServer.h"
#include "MemoryAccountStore.h"
#include "RecordingMessageBox.h"
#include "RecordingSocket.h"
#include "SqliteAccountStore.h"
#include "client/FrameCodec.h"
#include "module/FriendService.h"
#include "records/FriendCommands.h"
#include "records/FriendRecords.h"
#include "skin/SkinMessageBox.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "text/StringUtility.h"
#include "ui/friendlist/FriendMainDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pellix {

using pellix::server::Account;
using pellix::server::FriendRelations;
using pellix::server::FriendServer;
using pellix::server::MemoryAccountStore;
using pellix::server::SessionLimits;
using pellix::server::SqliteAccountStore;

namespace {

constexpr int kOwnID = 501;
constexpr int kFriendCount = 2000;
constexpr int kLargeFriendCount = 10000;
constexpr int kFirstFriendID = 10000;
constexpr int kPresenceCommands = 100000;
constexpr int kChatMessages = 1000;

// Runs the event loop until ready() holds.
void RunUntil(const std::function<bool()>& ready) {
    while (!ready())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

std::vector<FriendEntry> Friends(int count = kFriendCount) {
    std::vector<FriendEntry> friends(static_cast<std::size_t>(count));
    const std::string prefix = StringUtility::QStringToAnsi(QStringLiteral("好友"));
    for (int i = 0; i < count; ++i) {
        friends[i].userID = kFirstFriendID + i;
        friends[i].userName = "player" + std::to_string(kFirstFriendID + i);
        friends[i].nickName = prefix + std::to_string(i);
        friends[i].showID = 90000 + i;
        friends[i].gender = static_cast<uint8_t>(i % 2);
        friends[i].online = i % 3 == 0;
    }
    return friends;
}

QByteArray FriendListBody(int32_t version) {
    const std::vector<FriendEntry> friends = Friends();
    CCommandStream body;
    body.WriteInt32(version);
    body.WriteInt32(kFriendCount);
    WriteList(body, friends, WriteFriendEntry);
    return QByteArray(reinterpret_cast<const char*>(body.SendBuffer()),
                      static_cast<qsizetype>(body.SendSize()));
}

// The states of the large list: every other friend online, starting with the first when
// firstOnline, so that each sign-on changes every friend's state.
QByteArray OnlineStatesBody(int32_t version, bool firstOnline) {
    std::vector<OnlineStateEntry> states(kLargeFriendCount);
    for (int i = 0; i < kLargeFriendCount; ++i) {
        states[i].userID = kFirstFriendID + i;
        states[i].state = (i % 2 == 0) == firstOnline ? STATE_ONLINE : STATE_OFFLINE;
    }
    CCommandStream body;
    body.WriteInt32(version);
    WriteList(body, states, WriteOnlineStateEntry);
    return QByteArray(reinterpret_cast<const char*>(body.SendBuffer()),
                      static_cast<qsizetype>(body.SendSize()));
}

// The signed-in user 501 with a whole service in a working directory of its own.
struct BenchModule {
    BenchModule() {
        QDir::setCurrent(dir.path());
        service = std::make_unique<CFriendService>();
        tagUserInfo info{};
        info.userID = kOwnID;
        std::memcpy(info.nickName, "me", 2);
        service->SetUserInfo(info, "token");
    }
    void Start(const std::string& address) {
        tagProxyInfo proxy;
        service->StartFriendService(address, 0, proxy);
        CFriendOptionManager::GetInstance()->GetFriendOption().bOpenFriendSound = false;
    }
    // Started, stopped again and sending nowhere: commands are handed in directly.
    void StartOffline() {
        Start("127.0.0.1:1");
        service->StopService();
        service->AttachSocket(&socket);
    }

    QTemporaryDir dir;
    RecordingMessageBox boxes;
    DiscardingSocket socket;
    std::unique_ptr<CFriendService> service;
};

void BM_OnlineStateDispatch(benchmark::State& state) {
    const bool listVisible = state.range(0) != 0;
    const bool tips = state.range(1) != 0;
    const int commands = static_cast<int>(state.range(2));
    BenchModule module;
    module.StartOffline();
    const QByteArray list = FriendListBody(1);
    module.service->OnServiceCommand({CMD_FRIEND, SUB_S_FRIEND_LIST}, list.constData(),
                                     static_cast<unsigned short>(list.size()));
    CFriendOptionManager::GetInstance()->GetFriendOption().bRefuseOnlineTips = !tips;
    if (listVisible)
        module.service->ShowFriendWindow(false);
    std::vector<std::array<uint8_t, SIZE_ONLINE_STATE>> bodies(static_cast<std::size_t>(commands));
    for (int i = 0; i < commands; ++i) {
        const int32_t userID = kFirstFriendID + i % kFriendCount;
        std::memcpy(bodies[i].data(), &userID, 4);
        bodies[i][4] = (i / kFriendCount) % 2 == 0 ? STATE_ONLINE : STATE_OFFLINE;
    }
    for (auto _ : state) {
        for (const auto& body : bodies)
            module.service->OnServiceCommand({CMD_FRIEND, SUB_S_ONLINE_STATE}, body.data(),
                                             SIZE_ONLINE_STATE);
    }
    state.counters["contacts"] =
        static_cast<double>(CContactManager::GetInstance()->GetContacts().size());
    state.counters["list_visible"] =
        CFriendWindowManager::GetInstance()->GetMainWindow()->isVisible() ? 1 : 0;
    state.counters["per_command"] = benchmark::Counter(
        commands, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["boxes"] = static_cast<double>(module.boxes.boxes.size());
}
BENCHMARK(BM_OnlineStateDispatch)
    ->ArgNames({"visible", "tips", "commands"})
    ->Args({0, 0, kPresenceCommands})
    ->Args({0, 1, kPresenceCommands})
    ->Args({1, 0, 1000})
    ->Unit(benchmark::kMillisecond);

// A friend server of one answer: every log-on gets the prepared friend list.
class ListServer {
public:
    ListServer() {
        m_Server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_Server, &QTcpServer::newConnection, [this] { Accept(); });
    }
    quint16 Port() const { return m_Server.serverPort(); }
    void SetVersion(int32_t version) { SetAnswer(SUB_S_FRIEND_LIST, FriendListBody(version)); }
    void SetAnswer(uint16_t subCmd, const QByteArray& body) {
        bodySize = body.size();
        m_Frame = FrameCodec::EncodeFrame(CMD_FRIEND, subCmd, body.constData(),
                                          static_cast<std::size_t>(body.size()));
    }
    qsizetype bodySize = 0;

private:
    void Accept() {
        while (QTcpSocket* socket = m_Server.nextPendingConnection()) {
            auto reader = std::make_shared<FrameCodec::FrameReader>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, reader] {
                const QByteArray bytes = socket->readAll();
                std::size_t offset = 0;
                while (offset < static_cast<std::size_t>(bytes.size())) {
                    offset += reader->Feed(bytes.constData() + offset,
                                           static_cast<std::size_t>(bytes.size()) - offset);
                    const std::optional<FrameCodec::Frame> frame = reader->TakeFrame();
                    if (frame && frame->header.subCmd == SUB_C_LOGON)
                        socket->write(m_Frame);
                }
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    QTcpServer m_Server;
    QByteArray m_Frame;
};

void BM_SignOnWith2000Friends(benchmark::State& state) {
    BenchModule module;
    ListServer server;
    const std::string address = "127.0.0.1:" + std::to_string(server.Port());
    CContactManager* contacts = nullptr;
    int32_t version = 1;
    for (auto _ : state) {
        state.PauseTiming();
        server.SetVersion(++version);
        state.ResumeTiming();
        module.Start(address);
        contacts = CContactManager::GetInstance();
        RunUntil([&] { return contacts->GetVersion() == version; });
    }
    module.service->StopService();
    state.counters["friends"] = contacts->GetFriendCount();
    state.counters["body_bytes"] = static_cast<double>(server.bodySize);
    state.counters["boxes"] = static_cast<double>(module.boxes.boxes.size());
}
BENCHMARK(BM_SignOnWith2000Friends)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SignOnWith10000Friends(benchmark::State& state) {
    constexpr int32_t version = 7;
    BenchModule module;
    // Stored by an earlier sign-on.
    CContactManager* contacts = CContactManager::GetInstance();
    contacts->MergeFriendList(Friends(kLargeFriendCount));
    contacts->CommitFriendList(kLargeFriendCount, version);
    ListServer server;
    const std::string address = "127.0.0.1:" + std::to_string(server.Port());
    bool firstOnline = false;
    for (auto _ : state) {
        state.PauseTiming();
        firstOnline = !firstOnline;
        server.SetAnswer(SUB_S_ONLINE_STATES, OnlineStatesBody(version, firstOnline));
        const uint8_t expected = firstOnline ? STATE_ONLINE : STATE_OFFLINE;
        state.ResumeTiming();
        module.Start(address);
        contacts = CContactManager::GetInstance();
        // The start empties the list; the answer fills it and sets the states in one go.
        RunUntil([&] {
            return contacts->GetFriendCount() == kLargeFriendCount &&
                   contacts->GetOnlineState(kFirstFriendID) == expected;
        });
    }
    state.counters["friends"] = contacts->GetFriendCount();
    state.counters["online"] = contacts->GetOnlineFriendCount();
    state.counters["body_bytes"] = static_cast<double>(server.bodySize);
    state.counters["boxes"] = static_cast<double>(module.boxes.boxes.size());
    module.service->StopService();
}
BENCHMARK(BM_SignOnWith10000Friends)->Unit(benchmark::kMillisecond)->UseRealTime();

// The module, noting when each chat command has been handled (stored and shown) and when it
// signed on.
class TimedService final : public CFriendService {
public:
    bool OnServiceCommand(CMD_Command command, const void* body, unsigned short length) override {
        const bool handled = CFriendService::OnServiceCommand(command, body, length);
        if (command.wSubCmdID == SUB_S_CHAT_MESSAGE || command.wSubCmdID == SUB_S_CHAT_MESSAGE_EX)
            ++chatsHandled;
        if (command.wSubCmdID == SUB_S_FRIEND_LIST && !signedOn) {
            signedOn = true;
            signedOnAt.start();
        }
        return handled;
    }
    int chatsHandled = 0;
    bool signedOn = false;
    QElapsedTimer signedOnAt;
};

// A scripted user: sends chats and pings, counts pongs, and with acknowledged chats answers the
// announcement and sends a receipt for every chat it gets.
class ChatPeer {
public:
    explicit ChatPeer(quint16 port) {
        QObject::connect(&m_Socket, &QTcpSocket::readyRead, [this] { Read(); });
        // Like the module's own connection: without it Nagle holds a ping behind the delayed
        // acknowledgement of the previous chat message, and the round trip reads 40 ms.
        QObject::connect(&m_Socket, &QTcpSocket::connected,
                         [this] { m_Socket.setSocketOption(QAbstractSocket::LowDelayOption, 1); });
        m_Socket.connectToHost(QHostAddress::LocalHost, port);
    }
    void Send(uint16_t mainCmd, uint16_t sub, const CCommandStream& body) {
        m_Socket.write(FrameCodec::EncodeFrame(mainCmd, sub, body.SendBuffer(), body.SendSize()));
    }
    int pongs = 0;
    int lists = 0;
    int chats = 0;
    bool acknowledged = false;

private:
    void Read() {
        const QByteArray bytes = m_Socket.readAll();
        std::size_t offset = 0;
        while (offset < static_cast<std::size_t>(bytes.size())) {
            offset += m_Reader.Feed(bytes.constData() + offset,
                                    static_cast<std::size_t>(bytes.size()) - offset);
            if (const std::optional<FrameCodec::Frame> frame = m_Reader.TakeFrame())
                Take(*frame);
        }
    }
    void Take(const FrameCodec::Frame& frame) {
        pongs += frame.header.mainCmd == FrameCodec::kLibraryMainCmd ? 1 : 0;
        lists += frame.header.subCmd == SUB_S_FRIEND_LIST ? 1 : 0;
        chats += frame.header.subCmd == SUB_S_CHAT_MESSAGE ? 1 : 0;
        if (frame.header.subCmd == SUB_S_EXTENSIONS) {
            CCommandStream answer;
            answer.WriteUInt32(EXT_ACKED_CHAT);
            Send(CMD_FRIEND, SUB_C_EXTENSIONS, answer);
            acknowledged = true;
        }
        if (frame.header.subCmd == SUB_S_CHAT_MESSAGE_EX) {
            ++chats;
            CCommandStream body;
            body.Append(frame.body.data(), frame.body.size());
            AckedChatEntry chat;
            ReadAckedChatEntry(body, chat);
            CCommandStream receipt;
            receipt.WriteInt32(chat.userID);
            WriteMessageID(receipt, chat.messageID);
            Send(CMD_FRIEND, SUB_C_DELIVERY_ACK, receipt);
        }
    }
    QTcpSocket m_Socket;
    FrameCodec::FrameReader m_Reader;
};

double Percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1));
    return samples[index];
}

// The reference server over a SQLite file, as the binary runs it, with the user and a friend.
struct BenchServer {
    explicit BenchServer(bool acknowledged)
        : store(dir.filePath(QStringLiteral("friends.db")).toStdString()),
          server(store, SessionLimits{}) {
        FriendRelations relations(store);
        for (const int32_t userID : {kOwnID, kOwnID + 1})
            SaveBenchAccount(relations, userID);
        relations.MakeFriends(kOwnID, kOwnID + 1);
        server.OfferExtensions(acknowledged);
    }
    QTemporaryDir dir;
    SqliteAccountStore store;
    FriendServer server;
};

// A port nothing listens on until the server is started there.
quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

std::unique_ptr<TimedService> StartTimedService(quint16 port) {
    auto service = std::make_unique<TimedService>();
    tagUserInfo info{};
    info.userID = kOwnID;
    service->SetUserInfo(info, "t");
    service->SetReconnectDelays(5, 20);
    tagProxyInfo proxy;
    service->StartFriendService("127.0.0.1:" + std::to_string(port), 0, proxy);
    CFriendOptionManager::GetInstance()->GetFriendOption().bOpenFriendSound = false;
    return service;
}

// Chats from a scripted user through the server into the module's history and window, plain
// (argument 0: the server announces nothing) or acknowledged (1: stored by the server before it
// is relayed, and confirmed by the module once stored).
void BM_ChatLatencyThroughServer(benchmark::State& state) {
    const bool acknowledged = state.range(0) != 0;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    RecordingMessageBox boxes;
    BenchServer server(acknowledged);
    server.server.Listen(QHostAddress::LocalHost, 0);
    std::unique_ptr<TimedService> service = StartTimedService(server.server.Port());
    RunUntil([&] { return service->signedOn; });
    ChatPeer peer(server.server.Port());
    CCommandStream logon;
    logon.WriteInt32(kOwnID + 1);
    logon.WriteString("t");
    logon.WriteInt32(-1);
    peer.Send(CMD_FRIEND, SUB_C_LOGON, logon);
    RunUntil([&] { return peer.lists == 1; });

    std::vector<double> chatUs;
    std::vector<double> roundTripUs;
    const CCommandStream empty;
    for (auto _ : state) {
        chatUs.clear();
        roundTripUs.clear();
        for (int i = 0; i < kChatMessages; ++i) {
            QElapsedTimer timer;
            timer.start();
            peer.Send(FrameCodec::kLibraryMainCmd, FrameCodec::kPingSubCmd, empty);
            const int pongs = peer.pongs;
            RunUntil([&] { return peer.pongs > pongs; });
            roundTripUs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);

            CCommandStream chat;
            chat.WriteInt32(kOwnID + 1);
            chat.WriteInt32(kOwnID);
            if (acknowledged)
                WriteMessageID(chat, static_cast<uint64_t>(i) + 1);
            chat.WriteString("message " + std::to_string(i));
            const int handled = service->chatsHandled;
            timer.restart();
            peer.Send(CMD_FRIEND, acknowledged ? SUB_C_CHAT_MESSAGE_EX : SUB_C_CHAT_MESSAGE, chat);
            RunUntil([&] { return service->chatsHandled > handled; });
            chatUs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
        }
    }
    state.counters["chat_p50_us"] = Percentile(chatUs, 0.50);
    state.counters["chat_p99_us"] = Percentile(chatUs, 0.99);
    state.counters["rtt_p50_us"] = Percentile(roundTripUs, 0.50);
    state.counters["rtt_p99_us"] = Percentile(roundTripUs, 0.99);
    state.counters["stored"] = CChatHistoryManager::GetInstance()->GetMessageCount(kOwnID + 1);
    state.counters["acknowledged"] = service->Delivery().UsesAcknowledgements() ? 1 : 0;
    state.counters["boxes"] = static_cast<double>(boxes.boxes.size());
    service.reset();
}
BENCHMARK(BM_ChatLatencyThroughServer)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// 500 chats typed while the server was away go out at the next sign-on: the time from the
// sign-on (the friend list handled) to the server's confirmation of the last one. The friend logs
// on beside the module and confirms each chat it gets, live or from the offline queue.
void BM_OutboxFlushAfterSignOn(benchmark::State& state) {
    constexpr int kQueued = 500;
    for (auto _ : state) {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        RecordingMessageBox boxes;
        BenchServer server(true);
        const quint16 port = FreePort();
        std::unique_ptr<TimedService> service = StartTimedService(port);
        for (int i = 0; i < kQueued; ++i)
            service->SendChatMessage(kOwnID + 1, "queued " + std::to_string(i));
        server.server.Listen(QHostAddress::LocalHost, port);
        ChatPeer peer(port);
        CCommandStream logon;
        logon.WriteInt32(kOwnID + 1);
        logon.WriteString("t");
        logon.WriteInt32(-1);
        peer.Send(CMD_FRIEND, SUB_C_LOGON, logon);
        RunUntil([&] { return service->signedOn; });
        RunUntil([&] { return service->Delivery().Outbox().IsEmpty(); });
        state.SetIterationTime(static_cast<double>(service->signedOnAt.nsecsElapsed()) / 1e9);
        state.counters["flush_ms"] = static_cast<double>(service->signedOnAt.nsecsElapsed()) / 1e6;
        RunUntil([&] { return peer.chats == kQueued; });
        state.counters["received"] = peer.chats;
        state.counters["boxes"] = static_cast<double>(boxes.boxes.size());
    }
}
BENCHMARK(BM_OutboxFlushAfterSignOn)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

} // namespace pellix
