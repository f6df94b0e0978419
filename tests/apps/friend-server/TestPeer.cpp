#include "TestPeer.h"

#include "records/FriendRecords.h"

#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTest>

namespace pellix {

TestPeer::TestPeer(quint16 port) : m_pSocket(std::make_unique<QTcpSocket>()) {
    Listen();
    m_pSocket->connectToHost(QHostAddress::LocalHost, port);
}

TestPeer::TestPeer(quint16 port, const QSslConfiguration& tls) {
    auto socket = std::make_unique<QSslSocket>();
    socket->setSslConfiguration(tls);
    socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
    m_pSocket = std::move(socket);
    Listen();
}

void TestPeer::Listen() {
    QObject::connect(m_pSocket.get(), &QTcpSocket::readyRead, [this] { ReadFrames(); });
}

bool TestPeer::WaitConnected() {
    return QTest::qWaitFor([this] { return IsConnected(); }, kWaitMs);
}

bool TestPeer::WaitDisconnected() {
    return QTest::qWaitFor(
        [this] { return m_pSocket->state() == QAbstractSocket::UnconnectedState; }, kWaitMs);
}

void TestPeer::Send(uint16_t mainCmd, uint16_t subCmd, const CCommandStream& body) {
    SendRaw(FrameCodec::EncodeFrame(mainCmd, subCmd, body.SendBuffer(), body.SendSize()));
}

void TestPeer::SendRaw(const QByteArray& bytes) {
    m_pSocket->write(bytes);
}

void TestPeer::LogOn(int32_t userID, const std::string& token, int32_t version) {
    CCommandStream body;
    body.WriteInt32(userID);
    body.WriteString(token);
    body.WriteInt32(version);
    Send(CMD_FRIEND, SUB_C_LOGON, body);
}

void TestPeer::Chat(int32_t friendID, const std::string& text, int32_t claimedSender) {
    CCommandStream body;
    body.WriteInt32(claimedSender);
    body.WriteInt32(friendID);
    body.WriteString(text);
    Send(CMD_FRIEND, SUB_C_CHAT_MESSAGE, body);
}

void TestPeer::AnswerExtensions(uint32_t bits) {
    CCommandStream body;
    body.WriteUInt32(bits);
    Send(CMD_FRIEND, SUB_C_EXTENSIONS, body);
}

void TestPeer::AckedChat(int32_t friendID, uint64_t messageID, const std::string& text) {
    CCommandStream body;
    body.WriteInt32(0);
    body.WriteInt32(friendID);
    WriteMessageID(body, messageID);
    body.WriteString(text);
    Send(CMD_FRIEND, SUB_C_CHAT_MESSAGE_EX, body);
}

void TestPeer::Receipt(int32_t senderID, uint64_t messageID) {
    CCommandStream body;
    body.WriteInt32(senderID);
    WriteMessageID(body, messageID);
    Send(CMD_FRIEND, SUB_C_DELIVERY_ACK, body);
}

std::optional<FrameCodec::Frame> TestPeer::WaitFor(uint16_t subCmd) {
    std::optional<FrameCodec::Frame> frame;
    if (!QTest::qWaitFor([&] { return (frame = Take(CMD_FRIEND, subCmd)).has_value(); }, kWaitMs))
        return std::nullopt;
    return frame;
}

bool TestPeer::Sync() {
    SendRaw(
        FrameCodec::EncodeFrame(FrameCodec::kLibraryMainCmd, FrameCodec::kPingSubCmd, nullptr, 0));
    return QTest::qWaitFor(
        [this] { return Take(FrameCodec::kLibraryMainCmd, FrameCodec::kPongSubCmd).has_value(); },
        kWaitMs);
}

std::size_t TestPeer::Count(uint16_t subCmd) const {
    std::size_t count = 0;
    for (const FrameCodec::Frame& frame : m_Frames)
        count += frame.header.mainCmd == CMD_FRIEND && frame.header.subCmd == subCmd ? 1 : 0;
    return count;
}

void TestPeer::ReadFrames() {
    while (true) {
        const QByteArray bytes = m_pSocket->read(static_cast<qint64>(m_Reader.Missing()));
        if (bytes.isEmpty())
            return;
        m_Reader.Feed(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (m_Reader.HasFrame())
            m_Frames.push_back(*m_Reader.TakeFrame());
    }
}

std::optional<FrameCodec::Frame> TestPeer::Take(uint16_t mainCmd, uint16_t subCmd) {
    for (auto it = m_Frames.begin(); it != m_Frames.end(); ++it) {
        if (it->header.mainCmd == mainCmd && it->header.subCmd == subCmd) {
            FrameCodec::Frame frame = std::move(*it);
            m_Frames.erase(it);
            return frame;
        }
    }
    return std::nullopt;
}

CCommandStream BodyOf(const FrameCodec::Frame& frame) {
    CCommandStream stream;
    stream.Append(frame.body.data(), frame.body.size());
    return stream;
}

} // namespace pellix
