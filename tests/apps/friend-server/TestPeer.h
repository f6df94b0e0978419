#pragma once
// A scripted client of the friend server for tests: speaks the wire framing over a QTcpSocket (or
// a QSslSocket to a TLS port), keeps every frame it receives, and waits for frames by polling the
// event loop.

#include "client/CommandStream.h"
#include "client/FrameCodec.h"
#include "records/FriendCommands.h"

#include <QTcpSocket>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QSslConfiguration;

namespace pellix {

constexpr int kWaitMs = 10000;

class TestPeer {
public:
    explicit TestPeer(quint16 port);
    // Over TLS with these settings, to 127.0.0.1; what is sent before the handshake is done waits
    // for it.
    TestPeer(quint16 port, const QSslConfiguration& tls);

    bool WaitConnected();
    bool WaitDisconnected();
    bool IsConnected() const { return m_pSocket->state() == QAbstractSocket::ConnectedState; }

    void Send(uint16_t mainCmd, uint16_t subCmd, const CCommandStream& body);
    void SendRaw(const QByteArray& bytes);
    void LogOn(int32_t userID, const std::string& token, int32_t version);
    void Chat(int32_t friendID, const std::string& text, int32_t claimedSender = 0);
    // The acknowledged-chat extension: the answer to the announcement, a chat with its message
    // id, and the receipt for a chat received.
    void AnswerExtensions(uint32_t bits);
    void AckedChat(int32_t friendID, uint64_t messageID, const std::string& text);
    void Receipt(int32_t senderID, uint64_t messageID);

    // Takes the oldest received frame with that friend sub-command, waiting for it if needed.
    std::optional<FrameCodec::Frame> WaitFor(uint16_t subCmd);
    // Pings and waits for the pong: everything the server wrote to this peer before has arrived.
    bool Sync();
    std::size_t Count(uint16_t subCmd) const;
    // Every frame received and not yet taken, in order of arrival.
    const std::vector<FrameCodec::Frame>& Frames() const { return m_Frames; }

    QTcpSocket& Socket() { return *m_pSocket; }

private:
    void Listen();
    void ReadFrames();
    std::optional<FrameCodec::Frame> Take(uint16_t mainCmd, uint16_t subCmd);

    std::unique_ptr<QTcpSocket> m_pSocket;
    FrameCodec::FrameReader m_Reader;
    std::vector<FrameCodec::Frame> m_Frames;
};

// A reading stream over a received body.
CCommandStream BodyOf(const FrameCodec::Frame& frame);

} // namespace pellix
