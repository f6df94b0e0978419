#pragma once
// One connected client of the friend server: reads whole frames off its link, writes frames
// with notice of when each one has gone out, and drops the peer when it stalls mid-frame, stops
// sending, or stops reading. Owned by the FriendServer, which deletes it after closed().

#include "ReceiveDeadlines.h"
#include "client/FrameCodec.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

class CCommandStream;

namespace pellix::server {

class SessionLink;

struct SessionLimits {
    // A peer that completes no frame for this long is dropped; clients ping well within it.
    std::chrono::milliseconds receiveTimeout{75000};
    // A peer with more unsent bytes than this does not read and is dropped.
    qint64 maxPendingBytes = 4 * 1024 * 1024;
    // On a TLS port: a peer that has not completed its handshake this long after connecting (or
    // after its first handshake message) is dropped.
    std::chrono::milliseconds handshakeTimeout{10000};
};

class ClientSession final : public QObject {
    Q_OBJECT
public:
    using WriteNotice = std::function<void()>;

    // Takes the link over; deadlines drops it when it stops sending, and must outlive it.
    ClientSession(SessionLink* link, const SessionLimits& limits, ReceiveDeadlines& deadlines,
                  QObject* parent = nullptr);
    ~ClientSession() override;

    // 0 until a log-on succeeds.
    int32_t UserID() const { return m_nUserID; }
    void SetUserID(int32_t userID) { m_nUserID = userID; }
    bool IsClosed() const { return m_bClosed; }
    // The client answered the announcement of the acknowledged-chat extension: its chats come
    // with their message ids and wait for its receipts.
    bool TakesAckedChats() const { return m_bAckedChats; }
    void SetTakesAckedChats(bool takes) { m_bAckedChats = takes; }
    // Logged on, and its first command since (or a second) has not come yet.
    bool AwaitsFirstCommand() const { return m_bAwaitsFirstCommand; }
    void SetAwaitsFirstCommand(bool awaits) { m_bAwaitsFirstCommand = awaits; }

    // Queues one frame. onWritten runs once all of it has been handed to the system; onLost runs
    // instead if the connection ends before that. False (and onLost runs) when the session is
    // closed or the frame cannot be encoded; the peer is dropped when too much is pending.
    bool Send(uint16_t mainCmd, uint16_t subCmd, const CCommandStream& body,
              WriteNotice onWritten = {}, WriteNotice onLost = {});
    bool SendEmpty(uint16_t mainCmd, uint16_t subCmd);

    // Closes the connection at once; closed() follows unless it was already emitted.
    void Drop();
    // What was sent goes to the system now rather than when the event loop next runs.
    void SendQueuedNow();

Q_SIGNALS:
    void frameReceived(ClientSession* session, const FrameCodec::Frame& frame);
    void closed(ClientSession* session);

private:
    void OnReadyRead();
    void OnBytesWritten(qint64 bytes);
    bool SendBytes(const QByteArray& frame, WriteNotice onWritten, WriteNotice onLost);
    void Close();

    struct PendingNotice {
        qint64 mark = 0;
        WriteNotice onWritten;
        WriteNotice onLost;
    };

    SessionLink* m_pLink;
    ReceiveDeadlines& m_Deadlines;
    ReceiveDeadlines::Handle m_Deadline;
    qint64 m_nMaxPendingBytes;
    FrameCodec::FrameReader m_Reader;
    int32_t m_nUserID = 0;
    bool m_bClosed = false;
    bool m_bAckedChats = false;
    bool m_bAwaitsFirstCommand = false;
    qint64 m_nQueuedBytes = 0;
    qint64 m_nWrittenBytes = 0;
    // In the order written; few at a time.
    std::vector<PendingNotice> m_Notices;
};

} // namespace pellix::server
