#include "ClientSession.h"

#include "SessionLink.h"
#include "client/CommandStream.h"

#include <QTimer>

#include <array>

namespace pellix::server {

ClientSession::ClientSession(SessionLink* link, const SessionLimits& limits, QObject* parent)
    : QObject(parent), m_pLink(link), m_pReceiveTimer(new QTimer(this)), m_Limits(limits) {
    m_pLink->setParent(this);
    m_pReceiveTimer->setSingleShot(true);
    m_LastFrameAt = std::chrono::steady_clock::now();
    m_pReceiveTimer->start(m_Limits.receiveTimeout);
    connect(m_pReceiveTimer, &QTimer::timeout, this, &ClientSession::OnReceiveDeadline);
    connect(m_pLink, &SessionLink::readyRead, this, &ClientSession::OnReadyRead);
    connect(m_pLink, &SessionLink::bytesWritten, this, &ClientSession::OnBytesWritten);
    connect(m_pLink, &SessionLink::ended, this, &ClientSession::Close);
}

ClientSession::~ClientSession() {
    m_pLink->disconnect(this);
}

bool ClientSession::Send(uint16_t mainCmd, uint16_t subCmd, const CCommandStream& body,
                         WriteNotice onWritten, WriteNotice onLost) {
    const QByteArray frame =
        FrameCodec::EncodeFrame(mainCmd, subCmd, body.SendBuffer(), body.SendSize());
    return SendBytes(frame, std::move(onWritten), std::move(onLost));
}

bool ClientSession::SendEmpty(uint16_t mainCmd, uint16_t subCmd) {
    return SendBytes(FrameCodec::EncodeFrame(mainCmd, subCmd, nullptr, 0), {}, {});
}

bool ClientSession::SendBytes(const QByteArray& frame, WriteNotice onWritten, WriteNotice onLost) {
    if (m_bClosed || frame.isEmpty()) {
        if (onLost)
            onLost();
        return false;
    }
    m_nQueuedBytes += frame.size();
    if (onWritten || onLost)
        m_Notices.push_back({m_nQueuedBytes, std::move(onWritten), std::move(onLost)});
    m_pLink->Write(frame);
    if (m_pLink->PendingBytes() > m_Limits.maxPendingBytes) {
        Drop();
        return false;
    }
    return true;
}

void ClientSession::SendQueuedNow() {
    m_pLink->SendQueuedNow();
}

void ClientSession::Drop() {
    if (m_bClosed)
        return;
    Close();
    m_pLink->Abort();
}

void ClientSession::OnReadyRead() {
    std::array<char, 16384> chunk;
    while (!m_bClosed) {
        const qint64 wanted =
            std::min<qint64>(static_cast<qint64>(m_Reader.Missing()), chunk.size());
        const qint64 got = m_pLink->Read(chunk.data(), wanted);
        if (got <= 0)
            return;
        m_Reader.Feed(chunk.data(), static_cast<std::size_t>(got));
        if (!m_Reader.HasFrame())
            continue;
        const std::optional<FrameCodec::Frame> frame = m_Reader.TakeFrame();
        // The timer is not restarted for every frame: with thousands of sessions that would
        // search the list of every timer each time. It checks the time of the last frame when it
        // fires instead.
        m_LastFrameAt = std::chrono::steady_clock::now();
        Q_EMIT frameReceived(this, *frame);
    }
}

void ClientSession::OnReceiveDeadline() {
    using namespace std::chrono;
    const steady_clock::duration idle = steady_clock::now() - m_LastFrameAt;
    if (idle >= m_Limits.receiveTimeout) {
        Drop();
        return;
    }
    m_pReceiveTimer->start(ceil<milliseconds>(m_Limits.receiveTimeout - idle));
}

void ClientSession::OnBytesWritten(qint64 bytes) {
    m_nWrittenBytes += bytes;
    while (!m_Notices.empty() && m_Notices.front().mark <= m_nWrittenBytes) {
        const WriteNotice onWritten = std::move(m_Notices.front().onWritten);
        m_Notices.pop_front();
        if (onWritten)
            onWritten();
    }
}

void ClientSession::Close() {
    if (m_bClosed)
        return;
    m_bClosed = true;
    m_pReceiveTimer->stop();
    Q_EMIT closed(this);
    // Reported after closed(), so that whoever re-routes what was lost no longer finds this
    // session among the online ones.
    std::deque<PendingNotice> notices;
    notices.swap(m_Notices);
    for (PendingNotice& notice : notices) {
        if (notice.onLost)
            notice.onLost();
    }
}

} // namespace pellix::server
