#include "TcpLink.h"

#include <cerrno>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pellix::server {

namespace {

bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

} // namespace

TcpLink::TcpLink(qintptr descriptor, QObject* parent)
    : SessionLink(parent), m_nFd(static_cast<int>(descriptor)),
      m_ReadNotifier(descriptor, QSocketNotifier::Read) {
    fcntl(m_nFd, F_SETFL, fcntl(m_nFd, F_GETFL) | O_NONBLOCK);
    // Commands are small and answered at once: no waiting to fill a segment.
    const int on = 1;
    setsockopt(m_nFd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    connect(&m_ReadNotifier, &QSocketNotifier::activated, this, &TcpLink::OnReadable);
}

TcpLink::~TcpLink() {
    CloseDescriptor();
}

qint64 TcpLink::Read(char* data, qint64 maxSize) {
    while (m_nFd >= 0 && !m_bPeerGone) {
        const ssize_t got = recv(m_nFd, data, static_cast<std::size_t>(maxSize), 0);
        if (got > 0)
            return got;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && WouldBlock())
            return 0;
        // Told once the session has taken what came before.
        m_bPeerGone = true;
    }
    return 0;
}

void TcpLink::OnReadable() {
    Q_EMIT readyRead();
    if (m_bPeerGone)
        End();
}

void TcpLink::Write(const QByteArray& bytes) {
    if (m_nFd < 0)
        return;
    // Shared, not copied, when nothing waits.
    m_Pending.append(bytes);
    if (m_bFlushQueued || (m_pWriteNotifier != nullptr && m_pWriteNotifier->isEnabled()))
        return;
    m_bFlushQueued = true;
    QMetaObject::invokeMethod(this, &TcpLink::Flush, Qt::QueuedConnection);
}

void TcpLink::SendQueuedNow() {
    Flush();
}

void TcpLink::Flush() {
    m_bFlushQueued = false;
    qint64 sent = 0;
    while (m_nFd >= 0 && sent < m_Pending.size()) {
        const ssize_t n = send(m_nFd, m_Pending.constData() + sent,
                               static_cast<std::size_t>(m_Pending.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno != EINTR) {
            if (WouldBlock())
                break;
            End();
            return;
        }
    }
    if (sent == m_Pending.size())
        m_Pending.clear(); // the buffer goes too
    else
        m_Pending.remove(0, sent);
    WatchWritable(!m_Pending.isEmpty());
    if (sent > 0)
        Q_EMIT bytesWritten(sent);
}

void TcpLink::WatchWritable(bool watch) {
    if (m_pWriteNotifier == nullptr) {
        if (!watch)
            return;
        m_pWriteNotifier = std::make_unique<QSocketNotifier>(m_nFd, QSocketNotifier::Write);
        connect(m_pWriteNotifier.get(), &QSocketNotifier::activated, this, &TcpLink::Flush);
    }
    m_pWriteNotifier->setEnabled(watch);
}

qint64 TcpLink::PendingBytes() const {
    return m_Pending.size();
}

void TcpLink::Abort() {
    CloseDescriptor();
}

void TcpLink::End() {
    if (m_nFd < 0)
        return;
    CloseDescriptor();
    Q_EMIT ended();
}

void TcpLink::CloseDescriptor() {
    if (m_nFd < 0)
        return;
    m_ReadNotifier.setEnabled(false);
    m_pWriteNotifier.reset();
    m_Pending.clear();
    close(m_nFd);
    m_nFd = -1;
}

} // namespace pellix::server
