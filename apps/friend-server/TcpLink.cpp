#include "TcpLink.h"

#include "client/FrameCodec.h"

#include <QTcpSocket>

namespace pellix::server {

TcpLink::TcpLink(QTcpSocket* socket, QObject* parent) : SessionLink(parent), m_pSocket(socket) {
    m_pSocket->setParent(this);
    // The session takes one frame at a time; the socket holds no more than that either.
    m_pSocket->setReadBufferSize(static_cast<qint64>(FrameCodec::kMaxFrameSize));
    // Commands are small and answered at once: no waiting to fill a segment.
    m_pSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_pSocket, &QTcpSocket::readyRead, this, &SessionLink::readyRead);
    connect(m_pSocket, &QTcpSocket::bytesWritten, this, &SessionLink::bytesWritten);
    connect(m_pSocket, &QTcpSocket::disconnected, this, &SessionLink::ended);
    connect(m_pSocket, &QTcpSocket::errorOccurred, this, &SessionLink::ended);
}

qint64 TcpLink::Read(char* data, qint64 maxSize) {
    return m_pSocket->read(data, maxSize);
}

void TcpLink::Write(const QByteArray& bytes) {
    m_pSocket->write(bytes);
}

void TcpLink::SendQueuedNow() {
    m_pSocket->flush();
}

qint64 TcpLink::PendingBytes() const {
    return m_pSocket->bytesToWrite();
}

void TcpLink::Abort() {
    m_pSocket->abort();
}

} // namespace pellix::server
