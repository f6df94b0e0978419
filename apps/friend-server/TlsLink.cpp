#include "TlsLink.h"

#include "client/FrameCodec.h"

#include <QSslSocket>
#include <QTimer>

namespace pellix::server {

TlsLink::TlsLink(QSslSocket* socket, QObject* parent) : SessionLink(parent), m_pSocket(socket) {
    m_pSocket->setParent(this);
    m_pSocket->setReadBufferSize(static_cast<qint64>(FrameCodec::kMaxFrameSize));
    m_pSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_pSocket, &QSslSocket::readyRead, this, &SessionLink::readyRead);
    // The TLS layer reports plain bytes as written when it has encrypted them; their encrypted
    // form goes to the system afterwards.
    connect(m_pSocket, &QSslSocket::bytesWritten, this,
            [this](qint64 bytes) { m_nTaken += bytes; });
    connect(m_pSocket, &QSslSocket::encryptedBytesWritten, this, &TlsLink::OnEncryptedBytesWritten);
    connect(m_pSocket, &QSslSocket::disconnected, this, &SessionLink::ended);
    connect(m_pSocket, &QSslSocket::errorOccurred, this, &SessionLink::ended);
    // Bytes that came with the end of the handshake were announced before anyone listened.
    if (m_pSocket->bytesAvailable() > 0)
        QTimer::singleShot(0, this, [this] { Q_EMIT readyRead(); });
}

qint64 TlsLink::Read(char* data, qint64 maxSize) {
    return m_pSocket->read(data, maxSize);
}

void TlsLink::Write(const QByteArray& bytes) {
    m_pSocket->write(bytes);
}

void TlsLink::SendQueuedNow() {
    m_pSocket->flush();
}

qint64 TlsLink::PendingBytes() const {
    return m_pSocket->bytesToWrite() + m_pSocket->encryptedBytesToWrite();
}

void TlsLink::Abort() {
    m_pSocket->abort();
}

// The TLS layer queues the encrypted form of the bytes it takes in the same call that counts them,
// so once no encrypted byte waits after a write to the system, every byte taken has reached it.
void TlsLink::OnEncryptedBytesWritten() {
    if (m_pSocket->encryptedBytesToWrite() > 0 || m_nTaken == m_nReported)
        return;
    const qint64 written = m_nTaken - m_nReported;
    m_nReported = m_nTaken;
    Q_EMIT bytesWritten(written);
}

} // namespace pellix::server
