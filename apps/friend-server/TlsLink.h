#pragma once
// A ClientSession's stream over an accepted TLS connection whose handshake is done. Bytes count
// as handed to the system once their encrypted form has gone to the system, not when the TLS
// layer took them, so the session's delivery notices mean the same as over plain TCP.

#include "SessionLink.h"

#include <memory>

class QTcpSocket;

namespace pellix::server {

class TlsChannel;

class TlsLink final : public SessionLink {
    Q_OBJECT
public:
    // Takes the socket over, with the channel its handshake was done on.
    TlsLink(QTcpSocket* socket, std::shared_ptr<TlsChannel> channel, QObject* parent = nullptr);

    qint64 Read(char* data, qint64 maxSize) override;
    void Write(const QByteArray& bytes) override;
    void SendQueuedNow() override;
    // Encrypted bytes not yet sent: plain bytes are encrypted as they are written.
    qint64 PendingBytes() const override;
    void Abort() override;

private:
    void OnSocketBytesWritten();
    // Ends the stream after a failure found inside a call of the session's, outside that call.
    void EndLater();

    QTcpSocket* m_pSocket;
    std::shared_ptr<TlsChannel> m_pChannel;
    // Plain bytes the TLS layer has taken, and how many of them were reported as written.
    qint64 m_nTaken = 0;
    qint64 m_nReported = 0;
    bool m_bEnded = false;
};

} // namespace pellix::server
