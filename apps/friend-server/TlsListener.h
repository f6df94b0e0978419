#pragma once
// The listening socket of a TLS port. Every accepted connection does its handshake here and is
// handed on only once the handshake is done. A peer whose handshake fails (clear text, garbage,
// an alert) or does not finish within the timeout is dropped. Handshakes under way never hold up
// accepting others: any number of them may wait at once.

#include "client/KeepAliveClock.h"

#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>

#include <chrono>
#include <memory>
#include <unordered_map>

class QSslSocket;

namespace pellix::server {

class TlsListener final : public QTcpServer {
    Q_OBJECT
public:
    // clock times the handshakes; it is not owned and must outlive the listener.
    TlsListener(const QSslConfiguration& configuration, std::chrono::milliseconds handshakeTimeout,
                IKeepAliveClock& clock, QObject* parent = nullptr);
    ~TlsListener() override;

    // Connections accepted whose handshake is still under way.
    std::size_t HandshakeCount() const { return m_Handshakes.size(); }

Q_SIGNALS:
    // The handshake with this peer is done; the receiver takes the socket, which has no parent.
    void secured(QSslSocket* socket);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    struct Handshake {
        std::unique_ptr<IKeepAliveTimer> timer;
        // Kept from the start: a socket that failed no longer knows its peer.
        QString peer;
    };

    void OnEncrypted(QSslSocket* socket);
    void Drop(QSslSocket* socket, const QString& reason);

    QSslConfiguration m_Configuration;
    std::chrono::milliseconds m_HandshakeTimeout;
    IKeepAliveClock& m_Clock;
    // The sockets are children of the listener until they are handed on or dropped.
    std::unordered_map<QSslSocket*, Handshake> m_Handshakes;
    // The timers of dropped sockets that wait to be deleted.
    std::unordered_map<QSslSocket*, std::unique_ptr<IKeepAliveTimer>> m_Dropped;
};

} // namespace pellix::server
