#include "TlsLink.h"

#include "TlsChannel.h"
#include "client/FrameCodec.h"

#include <QTcpSocket>
#include <QTimer>

#include <utility>

namespace pellix::server {

TlsLink::TlsLink(QTcpSocket* socket, std::shared_ptr<TlsChannel> channel, QObject* parent)
    : SessionLink(parent), m_pSocket(socket), m_pChannel(std::move(channel)) {
    m_pSocket->setParent(this);
    m_pSocket->setReadBufferSize(static_cast<qint64>(FrameCodec::kMaxFrameSize));
    connect(m_pSocket, &QTcpSocket::readyRead, this, &SessionLink::readyRead);
    connect(m_pSocket, &QTcpSocket::bytesWritten, this, &TlsLink::OnSocketBytesWritten);
    connect(m_pSocket, &QTcpSocket::disconnected, this, &SessionLink::ended);
    connect(m_pSocket, &QTcpSocket::errorOccurred, this, &SessionLink::ended);
    // Records that came with the end of the handshake were taken in before anyone listened.
    if (m_pChannel->HasBufferedInput())
        QTimer::singleShot(0, this, [this] { Q_EMIT readyRead(); });
}

qint64 TlsLink::Read(char* data, qint64 maxSize) {
    // A record at a time, until the room or what has arrived runs out: a session takes a read
    // shorter than asked for as an empty link.
    qint64 total = 0;
    while (total < maxSize) {
        const qint64 got = m_pChannel->Read(data + total, maxSize - total);
        if (got < 0)
            EndLater();
        if (got <= 0)
            break;
        total += got;
    }
    return total;
}

void TlsLink::Write(const QByteArray& bytes) {
    if (!m_pChannel->Write(bytes)) {
        EndLater();
        return;
    }
    m_nTaken += bytes.size();
}

void TlsLink::SendQueuedNow() {
    m_pSocket->flush();
}

qint64 TlsLink::PendingBytes() const {
    return m_pSocket->bytesToWrite();
}

void TlsLink::Abort() {
    m_pSocket->abort();
}

// Encrypted bytes go to the socket in the same call that takes their plain form, so once no byte
// waits in the socket, every plain byte taken has reached the system.
void TlsLink::OnSocketBytesWritten() {
    if (m_pSocket->bytesToWrite() > 0 || m_nTaken == m_nReported)
        return;
    const qint64 written = m_nTaken - m_nReported;
    m_nReported = m_nTaken;
    Q_EMIT bytesWritten(written);
}

void TlsLink::EndLater() {
    if (std::exchange(m_bEnded, true))
        return;
    QTimer::singleShot(0, this, [this] { Q_EMIT ended(); });
}

} // namespace pellix::server
