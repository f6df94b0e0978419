#pragma once
// A ClientSession's stream over an accepted TCP connection, on the socket descriptor itself: no
// QTcpSocket and no read buffer per connection (the session reads into its own frame reader), and
// a write buffer only while bytes wait. What is written in one turn of the event loop goes to the
// system in one call at its end.

#include "SessionLink.h"

#include <QByteArray>
#include <QSocketNotifier>

#include <memory>

namespace pellix::server {

class TcpLink final : public SessionLink {
    Q_OBJECT
public:
    // Takes over the descriptor of an accepted connection.
    explicit TcpLink(qintptr descriptor, QObject* parent = nullptr);
    ~TcpLink() override;

    qint64 Read(char* data, qint64 maxSize) override;
    void Write(const QByteArray& bytes) override;
    void SendQueuedNow() override;
    qint64 PendingBytes() const override;
    void Abort() override;

private:
    void OnReadable();
    // Hands what waits to the system, as much as it takes now.
    void Flush();
    void WatchWritable(bool watch);
    // The peer closed or the connection failed: the descriptor is closed and the session told.
    void End();
    void CloseDescriptor();

    int m_nFd;
    QSocketNotifier m_ReadNotifier;
    // Only once the system would not take everything at once.
    std::unique_ptr<QSocketNotifier> m_pWriteNotifier;
    QByteArray m_Pending;
    bool m_bFlushQueued = false;
    bool m_bPeerGone = false;
};

} // namespace pellix::server
