#include "RecordingService.h"
#include "ScriptedPeer.h"

#include "ManualKeepAliveClock.h"
#include "RecordingSocket.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace FrameCodec;

namespace {

// How long a wait may take before the test fails; never a measure of speed.
constexpr int kWaitMs = 10000;

template <typename Condition> bool WaitFor(Condition condition) {
    return QTest::qWaitFor(condition, kWaitMs);
}

std::string LoopbackWithPort(quint16 port) {
    return "127.0.0.1:" + std::to_string(port);
}

// A loopback port that was free a moment ago and on which nobody listens now.
quint16 ClosedPort() {
    const ScriptedPeer probe;
    return probe.Port();
}

bool SameCommand(const ReceivedCommand& got, uint16_t mainCmd, uint16_t subCmd,
                 const QByteArray& body) {
    return got.mainCmd == mainCmd && got.subCmd == subCmd && got.body == body;
}

} // namespace

TEST(ClientService, DeliversCommandsInOrderAndKeepsTheLibrarysOwnToItself) {
    ScriptedPeer peer;
    RecordingService service;
    ASSERT_NE(peer.Port(), 0);
    ASSERT_TRUE(service.StartService("127.0.0.1", peer.Port()));
    ASSERT_TRUE(WaitFor([&] { return service.connected == 1 && peer.HasOpenClient(); }));
    EXPECT_TRUE(service.IsConnected());

    const QByteArray largest(static_cast<qsizetype>(kMaxBodySize), '\x7F');
    peer.Send(kLibraryMainCmd, kPingSubCmd);
    peer.Send(14, 3, "first");
    peer.Send(kLibraryMainCmd, 9);
    peer.Send(14, 4);
    peer.Send(0xFFFF, 0xFFFF, largest);
    ASSERT_TRUE(WaitFor([&] { return service.commands.size() >= 3; }));
    ASSERT_EQ(service.commands.size(), 3u);
    EXPECT_TRUE(SameCommand(service.commands[0], 14, 3, "first"));
    EXPECT_TRUE(SameCommand(service.commands[1], 14, 4, {}));
    EXPECT_TRUE(SameCommand(service.commands[2], 0xFFFF, 0xFFFF, largest));
    ASSERT_TRUE(WaitFor([&] { return peer.FramesWith(kLibraryMainCmd, kPongSubCmd) == 1; }));

    IClientSocket* socket = service.GetClientSocket();
    EXPECT_TRUE(socket->SendData(14, 7, "abc", 3));
    EXPECT_FALSE(socket->SendData(kLibraryMainCmd, kPingSubCmd, nullptr, 0));
    ASSERT_TRUE(WaitFor([&] { return peer.FramesWith(14, 7) == 1; }));
    const Frame& sent = peer.frames.back();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(sent.body.data()), 3), "abc");
    EXPECT_EQ(peer.FramesWith(kLibraryMainCmd, kPingSubCmd), 0);
    EXPECT_EQ(service.connected, 1);
    EXPECT_EQ(peer.accepted, 1);
}

TEST(ClientService, FloodOfLargestFramesArrivesWhole) {
    ScriptedPeer peer;
    RecordingService service;
    ASSERT_TRUE(service.StartService("127.0.0.1", peer.Port()));
    ASSERT_TRUE(WaitFor([&] { return service.connected == 1 && peer.HasOpenClient(); }));

    // Far more than the socket may hold at once: reading must keep going as frames are taken.
    constexpr int kFrames = 40;
    QByteArray flood;
    for (int i = 0; i < kFrames; ++i) {
        const QByteArray body(static_cast<qsizetype>(kMaxBodySize),
                              static_cast<char>('a' + i % 26));
        flood += EncodeFrame(14, static_cast<uint16_t>(i), body.constData(), kMaxBodySize);
    }
    peer.SendRaw(flood);
    ASSERT_TRUE(WaitFor([&] { return service.commands.size() == kFrames; }));
    for (int i = 0; i < kFrames; ++i) {
        EXPECT_EQ(service.commands[i].subCmd, i);
        EXPECT_EQ(service.commands[i].body, QByteArray(static_cast<qsizetype>(kMaxBodySize),
                                                       static_cast<char>('a' + i % 26)));
    }
    EXPECT_EQ(service.connected, 1);
}

TEST(ClientService, PingsWhenIdleAndReconnectsWhenThePeerFallsSilent) {
    ScriptedPeer peer;
    RecordingService service;
    // Seventy pings take longer than the receive limit, so only the pongs keep the link up.
    service.SetKeepAliveTimes(30, 1500);
    ASSERT_TRUE(service.StartService("127.0.0.1", peer.Port()));
    ASSERT_TRUE(WaitFor([&] { return peer.FramesWith(kLibraryMainCmd, kPingSubCmd) >= 70; }));
    EXPECT_EQ(peer.accepted, 1);
    EXPECT_EQ(service.connected, 1);

    peer.answerPings = false;
    ASSERT_TRUE(WaitFor([&] { return peer.accepted == 2 && service.connected == 2; }));
}

TEST(ClientService, KeepAliveRunsOnTheClockItIsGiven) {
    ScriptedPeer peer;
    peer.answerPings = false;
    // The clock outlives the service, whose timers it keeps.
    ManualKeepAliveClock clock;
    RecordingService service;
    service.SetKeepAliveTimes(30000, 75000);
    service.SetKeepAliveClock(&clock);
    ASSERT_TRUE(service.StartService("127.0.0.1", peer.Port()));
    ASSERT_TRUE(WaitFor([&] { return service.connected == 1 && peer.HasOpenClient(); }));

    clock.Advance(30000);
    ASSERT_TRUE(WaitFor([&] { return peer.FramesWith(kLibraryMainCmd, kPingSubCmd) == 1; }));
    clock.Advance(30000);
    ASSERT_TRUE(WaitFor([&] { return peer.FramesWith(kLibraryMainCmd, kPingSubCmd) == 2; }));
    clock.Advance(14999);
    EXPECT_TRUE(service.IsConnected());
    clock.Advance(1);
    EXPECT_FALSE(service.IsConnected()) << "75 s without a frame";
    ASSERT_TRUE(WaitFor([&] { return service.connected == 2 && peer.HasOpenClient(); }));

    // A command restarts the silence.
    clock.Advance(70000);
    peer.Send(14, 5, "awake");
    ASSERT_TRUE(WaitFor([&] { return service.commands.size() == 1; }));
    clock.Advance(70000);
    EXPECT_TRUE(service.IsConnected());
    clock.Advance(5000);
    EXPECT_FALSE(service.IsConnected());
}

TEST(ClientService, PeerTricklingAnOversizedFrameIsDroppedAndTheNextConnectionWorks) {
    ScriptedPeer peer;
    RecordingService service;
    service.SetKeepAliveTimes(60000, 300);
    ASSERT_TRUE(service.StartService("127.0.0.1", peer.Port()));
    ASSERT_TRUE(WaitFor([&] { return service.connected == 1 && peer.HasOpenClient(); }));

    // A header promising the largest body, then one byte at a time: bytes keep arriving, but
    // the frame never completes within the receive limit.
    peer.SendRaw(QByteArray::fromHex("0e000100ffff"));
    QTimer trickle;
    QObject::connect(&trickle, &QTimer::timeout, [&] {
        if (peer.accepted == 1)
            peer.SendRaw("x");
    });
    trickle.start(10);
    ASSERT_TRUE(WaitFor([&] { return peer.accepted == 2 && service.connected == 2; }));
    trickle.stop();
    EXPECT_TRUE(service.commands.empty());

    peer.Send(14, 5, "after");
    ASSERT_TRUE(WaitFor([&] { return !service.commands.empty(); }));
    ASSERT_EQ(service.commands.size(), 1u);
    EXPECT_TRUE(SameCommand(service.commands[0], 14, 5, "after"));
}

TEST(ClientService, PeerClosingMidFrameLeavesNothingHalfReadAndReconnects) {
    ScriptedPeer peer;
    RecordingService service;
    ASSERT_TRUE(service.StartService(LoopbackWithPort(peer.Port()), 1));
    ASSERT_TRUE(WaitFor([&] { return service.connected == 1 && peer.HasOpenClient(); }));

    peer.SendRaw(EncodeFrame(14, 1, "whole", 5) + QByteArray::fromHex("0e0002006400") +
                 QByteArray(10, 'p'));
    peer.CloseClient();
    ASSERT_TRUE(WaitFor([&] { return peer.accepted == 2 && service.connected == 2; }));
    peer.Send(14, 2, "next");
    ASSERT_TRUE(WaitFor([&] { return service.commands.size() >= 2; }));
    ASSERT_EQ(service.commands.size(), 2u);
    EXPECT_TRUE(SameCommand(service.commands[0], 14, 1, "whole"));
    EXPECT_TRUE(SameCommand(service.commands[1], 14, 2, "next"));
}

TEST(ClientService, RetriesARefusedConnectionUntilTheServerListens) {
    const quint16 port = ClosedPort();
    ASSERT_NE(port, 0);
    RecordingService service;
    ASSERT_TRUE(service.StartService("127.0.0.1", port));
    ASSERT_TRUE(WaitFor([&] { return service.failedAttempts >= 2; }));
    EXPECT_EQ(service.connected, 0);

    ScriptedPeer peer(port);
    ASSERT_EQ(peer.Port(), port);
    ASSERT_TRUE(WaitFor([&] { return service.connected == 1 && peer.accepted == 1; }));
}

TEST(ClientService, StopServiceEndsReconnectingUntilRestarted) {
    ScriptedPeer peer;
    RecordingService service;
    RecordingSocket recording;
    peer.closeOnAccept = true;
    EXPECT_FALSE(service.StartService("127.0.0.1:port", 1));
    EXPECT_FALSE(service.RestartService());
    ASSERT_TRUE(service.StartService("127.0.0.1", peer.Port()));
    ASSERT_TRUE(WaitFor([&] { return peer.accepted >= 3; }));
    EXPECT_TRUE(service.IsConnectionOpen() || service.IsReconnectPending());

    EXPECT_TRUE(service.StopService());
    EXPECT_FALSE(service.IsConnected());
    EXPECT_FALSE(service.IsConnectionOpen());
    EXPECT_FALSE(service.IsReconnectPending());
    // A reconnect tick that was already on its way when the service stopped starts nothing.
    service.OnTimerEx(CClientService::kReconnectTimerID);
    EXPECT_FALSE(service.IsConnectionOpen());
    EXPECT_FALSE(service.IsReconnectPending());
    const int acceptedAfterStop = peer.accepted;

    IClientSocket* own = service.GetClientSocket();
    ASSERT_NE(own, nullptr);
    EXPECT_FALSE(own->SendData(14, 1, "x", 1));
    service.AttachSocket(&recording);
    EXPECT_EQ(service.GetClientSocket(), &recording);
    service.AttachSocket(nullptr);
    EXPECT_EQ(service.GetClientSocket(), own);

    ASSERT_TRUE(service.RestartService());
    ASSERT_TRUE(WaitFor([&] { return peer.accepted > acceptedAfterStop; }));
}

TEST(ClientService, CommandHandlerMayStopOrRestartTheService) {
    ScriptedPeer peer;
    RecordingService service;
    ASSERT_TRUE(service.StartService("127.0.0.1", peer.Port()));
    ASSERT_TRUE(WaitFor([&] { return service.connected == 1 && peer.HasOpenClient(); }));

    service.onCommand = [&] { service.StopService(); };
    peer.SendRaw(EncodeFrame(14, 1, "a", 1) + EncodeFrame(14, 2, "b", 1));
    ASSERT_TRUE(WaitFor([&] { return !peer.HasOpenClient(); }));
    EXPECT_EQ(service.commands.size(), 1u);
    EXPECT_FALSE(service.IsConnected());

    service.onCommand = [&] {
        service.onCommand = nullptr;
        service.RestartService();
    };
    ASSERT_TRUE(service.RestartService());
    ASSERT_TRUE(WaitFor([&] { return service.connected == 2 && peer.HasOpenClient(); }));
    peer.SendRaw(EncodeFrame(14, 3, "c", 1) + EncodeFrame(14, 4, "d", 1));
    ASSERT_TRUE(WaitFor([&] { return service.connected == 3 && peer.accepted == 3; }));
    EXPECT_EQ(service.commands.size(), 2u);
}

TEST(ClientService, HttpProxyAppliesToConnectionsMadeAfterItIsSet) {
    ScriptedPeer server;
    ScriptedPeer proxy;
    proxy.actAsHttpProxy = true;
    proxy.requiredAuthorization = "Basic " + QByteArray("player:secret").toBase64();
    RecordingService service;
    ASSERT_TRUE(service.StartService("127.0.0.1", server.Port()));
    ASSERT_TRUE(WaitFor([&] { return service.connected == 1 && server.HasOpenClient(); }));

    tagProxyInfo info{ProxyType::HttpConnect, "127.0.0.1", proxy.Port(), "player", "secret"};
    service.SetProxy(info);
    server.CloseClient();
    ASSERT_TRUE(WaitFor([&] { return service.connected == 2; }));
    EXPECT_EQ(server.accepted, 1);
    EXPECT_EQ(proxy.accepted, 1);
    ASSERT_EQ(proxy.proxyRequests.size(), 2u);
    const QByteArray target =
        "CONNECT " + QByteArray::fromStdString(LoopbackWithPort(server.Port()));
    EXPECT_TRUE(proxy.proxyRequests.back().startsWith(target + " HTTP/1.1"));

    proxy.Send(14, 8, "tunnelled");
    ASSERT_TRUE(WaitFor([&] { return !service.commands.empty(); }));
    EXPECT_TRUE(SameCommand(service.commands[0], 14, 8, "tunnelled"));
}

TEST(ClientService, ARefusingNodePassesTheAttemptToTheNextOneAtOnce) {
    const quint16 closed = ClosedPort();
    ASSERT_NE(closed, 0);
    ScriptedPeer second;
    RecordingService service;
    // No reconnect delay ends within the test: only an attempt made at once reaches the second.
    service.SetReconnectDelays(3600000, 3600000);
    ASSERT_TRUE(
        service.StartService(LoopbackWithPort(closed) + ", " + LoopbackWithPort(second.Port()), 1));
    ASSERT_TRUE(WaitFor([&] { return service.connected == 1 && second.HasOpenClient(); }));
    EXPECT_EQ(service.failedAttempts, 1);

    // The log-on goes out and is answered through the second node.
    EXPECT_TRUE(service.GetClientSocket()->SendData(14, 15, "logon", 5));
    ASSERT_TRUE(WaitFor([&] { return second.FramesWith(14, 15) == 1; }));
    second.Send(14, 4, "friends");
    ASSERT_TRUE(WaitFor([&] { return service.commands.size() == 1; }));
    EXPECT_TRUE(SameCommand(service.commands[0], 14, 4, "friends"));
    EXPECT_EQ(second.accepted, 1);
}

TEST(ClientService, LosingTheNodeSignedOnToReconnectsToTheOtherOne) {
    ScriptedPeer first;
    auto second = std::make_unique<ScriptedPeer>();
    RecordingService service;
    ASSERT_TRUE(service.StartService(
        LoopbackWithPort(first.Port()) + "," + LoopbackWithPort(second->Port()), 1));
    ASSERT_TRUE(WaitFor([&] { return service.connected == 1 && first.HasOpenClient(); }));
    first.Send(14, 4, "answer");
    ASSERT_TRUE(WaitFor([&] { return service.commands.size() == 1; }));

    // The first node still listens, but the one lost may be the one in trouble.
    first.CloseClient();
    ASSERT_TRUE(WaitFor([&] { return service.connected == 2 && second->HasOpenClient(); }));
    EXPECT_EQ(first.accepted, 1);
    second->Send(14, 4, "answer");
    ASSERT_TRUE(WaitFor([&] { return service.commands.size() == 2; }));

    second.reset();
    ASSERT_TRUE(WaitFor([&] { return service.connected == 3 && first.HasOpenClient(); }));
    EXPECT_EQ(first.accepted, 2);
    EXPECT_EQ(service.failedAttempts, 0);
}
