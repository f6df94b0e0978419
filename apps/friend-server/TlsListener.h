#pragma once
// The listening socket of a TLS port. Every accepted connection does its handshake here and is
// handed on only once the handshake is done. A peer whose handshake fails (clear text, garbage,
// an alert) or does not finish within the timeout is dropped. Handshakes under way never hold up
// accepting others: any number of them may wait at once.

#include "ServerTls.h"
#include "client/KeepAliveClock.h"

#include <QString>
#include <QTcpServer>

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>

class QTcpSocket;

namespace pellix::server {

class TlsChannel;

class TlsListener final : public QTcpServer {
    Q_OBJECT
public:
    // clock times the handshakes; it is not owned and must outlive the listener.
    TlsListener(ServerTlsContext context, std::chrono::milliseconds handshakeTimeout,
                IKeepAliveClock& clock, QObject* parent = nullptr);
    ~TlsListener() override;

    // Connections accepted whose handshake is still under way.
    std::size_t HandshakeCount() const { return m_Handshakes.size(); }
    // Handshakes done since the listener was made, and how many of them resumed a session.
    std::uint64_t SecuredCount() const { return m_nSecured; }
    std::uint64_t ResumedCount() const { return m_nResumed; }

Q_SIGNALS:
    // The handshake with this peer is done; the receiver takes the socket, which has no parent,
    // and the channel that carries its bytes.
    void secured(QTcpSocket* socket, std::shared_ptr<TlsChannel> channel);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Handshake {
        std::shared_ptr<TlsChannel> channel;
        // Kept from the start: a socket that failed no longer knows its peer.
        QString peer;
        std::uint64_t serial = 0;
    };
    // Handshakes all have the same timeout, so their deadlines come in the order they started:
    // one timer serves them all, set for the oldest.
    struct Deadline {
        std::int64_t dueMs;
        QTcpSocket* socket;
        std::uint64_t serial;
    };

    void OnReadyRead(QTcpSocket* socket);
    void OnDeadline();
    void Drop(QTcpSocket* socket, const QString& reason);

    ServerTlsContext m_Context;
    std::chrono::milliseconds m_HandshakeTimeout;
    IKeepAliveClock& m_Clock;
    std::unique_ptr<IKeepAliveTimer> m_pDeadlineTimer;
    // The sockets are children of the listener until they are handed on or dropped.
    std::unordered_map<QTcpSocket*, Handshake> m_Handshakes;
    // Oldest first; a deadline whose handshake ended is passed over when it falls due.
    std::deque<Deadline> m_Deadlines;
    std::uint64_t m_nSerial = 0;
    std::uint64_t m_nSecured = 0;
    std::uint64_t m_nResumed = 0;
};

} // namespace pellix::server
