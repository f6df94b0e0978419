#pragma once
// A ClientSession's stream over an accepted TCP connection.

#include "SessionLink.h"

class QTcpSocket;

namespace pellix::server {

class TcpLink final : public SessionLink {
    Q_OBJECT
public:
    // Takes the socket over.
    explicit TcpLink(QTcpSocket* socket, QObject* parent = nullptr);

    qint64 Read(char* data, qint64 maxSize) override;
    void Write(const QByteArray& bytes) override;
    void SendQueuedNow() override;
    qint64 PendingBytes() const override;
    void Abort() override;

private:
    QTcpSocket* m_pSocket;
};

} // namespace pellix::server
