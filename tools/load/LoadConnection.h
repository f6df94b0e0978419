#pragma once
// One user of a load run: a plain TCP connection that logs on as the module does, learns the
// user's friends from the list, answers pings, sends chats and hands the chats it receives to
// its observer. Kept small, as a run holds tens of thousands: no timer of its own.

#include "LoadOptions.h"

#include "client/FrameCodec.h"

#include <QTcpSocket>

#include <cstdint>
#include <string>
#include <vector>

class CCommandStream;

namespace pellix::load {

class LoadConnection;

// What a run hears from its connections.
class ConnectionObserver {
public:
    virtual ~ConnectionObserver() = default;
    // The friend list (or the online states) arrived: the user is on.
    virtual void OnListed(LoadConnection& connection) = 0;
    // The connection failed or closed, before the list arrived or after; it is not used again.
    virtual void OnClosed(LoadConnection& connection, bool wasListed) = 0;
    virtual void OnChat(LoadConnection& connection, int32_t senderID, const std::string& text) = 0;
};

class LoadConnection {
public:
    LoadConnection(int32_t userID, ConnectionObserver& observer);
    ~LoadConnection();
    LoadConnection(const LoadConnection&) = delete;
    LoadConnection& operator=(const LoadConnection&) = delete;

    // Connects from source (when it is not null) and logs on once connected.
    void Open(const QHostAddress& source, const Endpoint& server, const std::string& token);
    void Chat(int32_t friendID, const std::string& text);
    // A ping after intervalMs without sending anything, as the module's client library does.
    void PingIfIdle(int64_t nowMs, int64_t intervalMs);
    void Close();

    int32_t UserID() const { return m_nUserID; }
    bool IsLoggingOn() const { return m_State == State::LoggingOn; }
    bool IsListed() const { return m_State == State::Listed; }
    const std::vector<int32_t>& Friends() const { return m_Friends; }

private:
    enum class State : uint8_t { Idle, LoggingOn, Listed, Closed };

    void Send(uint16_t mainCmd, uint16_t subCmd, const CCommandStream& body);
    void ReadFrames();
    // False when the frame cannot be read: the connection is dropped.
    bool Handle(const FrameCodec::Frame& frame);
    bool TakeFriends(CCommandStream& body, uint16_t subCmd);
    void Lost();

    QTcpSocket m_Socket;
    FrameCodec::FrameReader m_Reader;
    ConnectionObserver& m_Observer;
    std::vector<int32_t> m_Friends;
    int64_t m_nLastSentMs = 0;
    int32_t m_nUserID;
    State m_State = State::Idle;
};

} // namespace pellix::load
