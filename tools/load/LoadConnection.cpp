#include "LoadConnection.h"

#include "SteadyClock.h"
#include "client/CommandStream.h"
#include "records/FriendCommands.h"
#include "records/FriendRecords.h"

#include <QNetworkProxy>

#include <array>

namespace pellix::load {

namespace {

// The version a client sends when it has no stored list: the server answers with the whole list.
constexpr int32_t kNoStoredList = -1;
constexpr std::size_t kReadChunk = 4096;

int64_t NowMs() {
    return SteadyMicroseconds() / 1000;
}

} // namespace

LoadConnection::LoadConnection(int32_t userID, ConnectionObserver& observer)
    : m_Observer(observer), m_nUserID(userID) {}

LoadConnection::~LoadConnection() {
    // The socket closing as it goes is no news for the observer.
    QObject::disconnect(&m_Socket, nullptr, nullptr, nullptr);
}

void LoadConnection::Open(const QHostAddress& source, const Endpoint& server,
                          const std::string& token) {
    m_State = State::LoggingOn;
    QObject::connect(&m_Socket, &QTcpSocket::connected, [this, token] {
        m_Socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        CCommandStream body;
        body.WriteInt32(m_nUserID);
        body.WriteString(token);
        body.WriteInt32(kNoStoredList);
        Send(CMD_FRIEND, SUB_C_LOGON, body);
    });
    QObject::connect(&m_Socket, &QTcpSocket::readyRead, [this] { ReadFrames(); });
    // Straight to the server: no look-up of the system's proxy settings for every connection.
    m_Socket.setProxy(QNetworkProxy::NoProxy);
    QObject::connect(&m_Socket, &QTcpSocket::errorOccurred, [this] { Lost(); });
    QObject::connect(&m_Socket, &QTcpSocket::disconnected, [this] { Lost(); });
    // Bound to a source address of its own, so that the ephemeral ports of one address do not
    // run out.
    if (!source.isNull() && !m_Socket.bind(source, 0)) {
        Lost();
        return;
    }
    m_Socket.connectToHost(server.host, server.port);
}

void LoadConnection::Chat(int32_t friendID, const std::string& text) {
    CCommandStream body;
    body.WriteInt32(m_nUserID);
    body.WriteInt32(friendID);
    body.WriteString(text);
    Send(CMD_FRIEND, SUB_C_CHAT_MESSAGE, body);
}

void LoadConnection::PingIfIdle(int64_t nowMs, int64_t intervalMs) {
    if (m_State == State::Listed && nowMs - m_nLastSentMs >= intervalMs)
        Send(FrameCodec::kLibraryMainCmd, FrameCodec::kPingSubCmd, CCommandStream());
}

void LoadConnection::Close() {
    m_State = State::Closed;
    m_Socket.abort();
}

void LoadConnection::Send(uint16_t mainCmd, uint16_t subCmd, const CCommandStream& body) {
    m_Socket.write(FrameCodec::EncodeFrame(mainCmd, subCmd, body.SendBuffer(), body.SendSize()));
    // Written at once rather than when the event loop comes round: the time a chat carries is
    // the time it left.
    m_Socket.flush();
    m_nLastSentMs = NowMs();
}

void LoadConnection::ReadFrames() {
    // Several frames at a time, without a buffer per read; a partial frame waits in the reader.
    std::array<char, kReadChunk> chunk;
    while (m_State != State::Closed) {
        const qint64 got = m_Socket.read(chunk.data(), static_cast<qint64>(chunk.size()));
        if (got <= 0)
            return;
        std::size_t taken = 0;
        while (taken < static_cast<std::size_t>(got) && m_State != State::Closed) {
            taken += m_Reader.Feed(chunk.data() + taken, static_cast<std::size_t>(got) - taken);
            if (m_Reader.HasFrame() && !Handle(*m_Reader.TakeFrame())) {
                Lost();
                return;
            }
        }
    }
}

bool LoadConnection::Handle(const FrameCodec::Frame& frame) {
    if (frame.header.mainCmd == FrameCodec::kLibraryMainCmd) {
        if (frame.header.subCmd == FrameCodec::kPingSubCmd)
            Send(FrameCodec::kLibraryMainCmd, FrameCodec::kPongSubCmd, CCommandStream());
        return true;
    }
    if (frame.header.mainCmd != CMD_FRIEND)
        return true;
    CCommandStream body;
    body.Append(frame.body.data(), frame.body.size());
    switch (frame.header.subCmd) {
    case SUB_S_FRIEND_LIST:
    case SUB_S_ONLINE_STATES:
        return TakeFriends(body, frame.header.subCmd);
    case SUB_S_LOGON_FAILED:
        return false;
    case SUB_S_CHAT_MESSAGE: {
        const int32_t senderID = body.ReadInt32();
        std::string text;
        body.ReadString(text);
        if (body.IsTruncated())
            return false;
        m_Observer.OnChat(*this, senderID, text);
        return true;
    }
    default:
        return true;
    }
}

bool LoadConnection::TakeFriends(CCommandStream& body, uint16_t subCmd) {
    body.ReadInt32();
    m_Friends.clear();
    if (subCmd == SUB_S_FRIEND_LIST) {
        body.ReadInt32();
        std::vector<FriendEntry> entries;
        body.ReadList(entries, ReadFriendEntry);
        for (const FriendEntry& entry : entries)
            m_Friends.push_back(entry.userID);
    } else {
        std::vector<OnlineStateEntry> entries;
        body.ReadList(entries, ReadOnlineStateEntry);
        for (const OnlineStateEntry& entry : entries)
            m_Friends.push_back(entry.userID);
    }
    if (body.IsTruncated())
        return false;
    m_Friends.shrink_to_fit();
    if (m_State == State::LoggingOn) {
        m_State = State::Listed;
        m_Observer.OnListed(*this);
    }
    return true;
}

void LoadConnection::Lost() {
    if (m_State == State::Closed)
        return;
    const bool wasListed = m_State == State::Listed;
    m_State = State::Closed;
    m_Socket.abort();
    m_Observer.OnClosed(*this, wasListed);
}

} // namespace pellix::load
