// The proxy the chaos tests cut connections with: a cut at a frame boundary leaves the receiver
// whole frames, a cut inside a frame or at once leaves it half of one, and stalled bytes go on
// in order once the stall ends.

#include "FaultProxy.h"
#include "TestPeer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace pellix {

namespace {

QByteArray Frame(uint16_t sub, int bodySize) {
    const QByteArray body(bodySize, static_cast<char>('a' + sub));
    return FrameCodec::EncodeFrame(14, sub, body.constData(),
                                   static_cast<std::size_t>(body.size()));
}

// The target: takes one connection and collects its frames.
class Receiver {
public:
    Receiver() {
        m_Server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_Server, &QTcpServer::newConnection, [this] {
            m_pSocket.reset(m_Server.nextPendingConnection());
            QObject::connect(m_pSocket.get(), &QTcpSocket::readyRead, [this] { Read(); });
            QObject::connect(m_pSocket.get(), &QTcpSocket::disconnected, [this] { closed = true; });
        });
    }
    quint16 Port() const { return m_Server.serverPort(); }
    bool MidFrame() const { return m_Reader.BufferedSize() > 0; }

    std::vector<uint16_t> subs;
    bool closed = false;

private:
    void Read() {
        const QByteArray bytes = m_pSocket->readAll();
        std::size_t at = 0;
        while (at < static_cast<std::size_t>(bytes.size())) {
            at +=
                m_Reader.Feed(bytes.constData() + at, static_cast<std::size_t>(bytes.size()) - at);
            if (std::optional<FrameCodec::Frame> frame = m_Reader.TakeFrame())
                subs.push_back(frame->header.subCmd);
        }
    }

    QTcpServer m_Server;
    std::unique_ptr<QTcpSocket> m_pSocket;
    FrameCodec::FrameReader m_Reader;
};

} // namespace

TEST(FaultProxyTest, CutsLeaveTheReceiverWholeFramesOrHalfOfOneAsAsked) {
    const struct {
        FaultProxy::Cut cut;
        // The cut comes with half of frame 2 forwarded, or between frames 1 and 2.
        bool insideFrame;
        std::vector<uint16_t> frames;
        bool midFrame;
    } cases[] = {
        {FaultProxy::Cut::AtFrameBoundary, true, {1, 2}, false},
        {FaultProxy::Cut::AtFrameBoundary, false, {1}, false},
        {FaultProxy::Cut::MidFrame, true, {1}, true},
        {FaultProxy::Cut::MidFrame, false, {1}, true},
        {FaultProxy::Cut::Now, true, {1}, true},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(test.cut) << " " << test.insideFrame);
        Receiver receiver;
        FaultProxy proxy;
        ASSERT_TRUE(proxy.Listen(receiver.Port()));
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, proxy.Port());
        const QByteArray second = Frame(2, 4000);
        const qsizetype half = test.insideFrame ? second.size() / 2 : 0;
        client.write(Frame(1, 100) + second.left(half));
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return receiver.subs.size() == 1 && receiver.MidFrame() == test.insideFrame; }));
        proxy.CutAll(test.cut);
        client.write(second.mid(half) + Frame(3, 10));
        ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.closed; }));
        EXPECT_EQ(receiver.subs, test.frames);
        EXPECT_EQ(receiver.MidFrame(), test.midFrame);
    }
}

TEST(FaultProxyTest, AStallHoldsEverythingInOrderAndRefusingClosesNewConnections) {
    Receiver receiver;
    FaultProxy proxy;
    ASSERT_TRUE(proxy.Listen(receiver.Port()));
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, proxy.Port());
    ASSERT_TRUE(client.waitForConnected());
    ASSERT_TRUE(QTest::qWaitFor([&] { return proxy.ConnectionCount() == 1; }));
    proxy.SetStalled(true);
    for (uint16_t sub = 1; sub <= 5; ++sub)
        client.write(Frame(sub, 300 * sub));
    QTest::qWait(100);
    EXPECT_TRUE(receiver.subs.empty());
    proxy.SetStalled(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return receiver.subs.size() == 5; }));
    EXPECT_EQ(receiver.subs, (std::vector<uint16_t>{1, 2, 3, 4, 5}));

    proxy.SetRefusing(true);
    QTcpSocket refused;
    refused.connectToHost(QHostAddress::LocalHost, proxy.Port());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return refused.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_EQ(proxy.AcceptedCount(), 2);
    EXPECT_EQ(proxy.ConnectionCount(), 1);
}

} // namespace pellix
