#pragma once
// A ClientSession's stream over an accepted TLS connection whose handshake is done. Bytes count
// as handed to the system once their encrypted form has gone to the system, not when the TLS
// layer took them, so the session's delivery notices mean the same as over plain TCP.

#include "SessionLink.h"

class QSslSocket;

namespace pellix::server {

class TlsLink final : public SessionLink {
    Q_OBJECT
public:
    // Takes the socket over.
    explicit TlsLink(QSslSocket* socket, QObject* parent = nullptr);

    qint64 Read(char* data, qint64 maxSize) override;
    void Write(const QByteArray& bytes) override;
    void SendQueuedNow() override;
    // Plain bytes not yet encrypted and encrypted bytes not yet sent.
    qint64 PendingBytes() const override;
    void Abort() override;

private:
    void OnEncryptedBytesWritten();

    QSslSocket* m_pSocket;
    // Plain bytes the TLS layer has taken, and how many of them were reported as written.
    qint64 m_nTaken = 0;
    qint64 m_nReported = 0;
};

} // namespace pellix::server
