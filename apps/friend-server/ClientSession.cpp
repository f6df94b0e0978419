#include "ClientSession.h"

#include "SessionLink.h"
#include "client/CommandStream.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace pellix::server {

namespace {

// What one read takes at most: several frames, or part of one (the reader keeps the rest).
constexpr std::size_t kReadChunk = 16384;

} // namespace

ClientSession::ClientSession(SessionLink* link, const SessionLimits& limits,
                             ReceiveDeadlines& deadlines, QObject* parent)
    : QObject(parent), m_pLink(link), m_Deadlines(deadlines), m_Deadline(deadlines.Add(*this)),
      m_nMaxPendingBytes(limits.maxPendingBytes) {
    m_pLink->setParent(this);
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
    if (m_pLink->PendingBytes() > m_nMaxPendingBytes) {
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
    std::array<char, kReadChunk> chunk;
    while (!m_bClosed) {
        const qint64 got = m_pLink->Read(chunk.data(), chunk.size());
        if (got <= 0)
            return;
        const char* next = chunk.data();
        auto left = static_cast<std::size_t>(got);
        while (left > 0 && !m_bClosed) {
            const std::size_t taken = m_Reader.Feed(next, left);
            next += taken;
            left -= taken;
            if (!m_Reader.HasFrame())
                continue;
            const std::optional<FrameCodec::Frame> frame = m_Reader.TakeFrame();
            m_Deadlines.FrameCame(m_Deadline);
            Q_EMIT frameReceived(this, *frame);
        }
        // Less than asked for: the link has nothing more now, and says so when more comes.
        if (static_cast<std::size_t>(got) < chunk.size())
            return;
    }
}

void ClientSession::OnBytesWritten(qint64 bytes) {
    m_nWrittenBytes += bytes;
    const auto written = std::find_if(m_Notices.begin(), m_Notices.end(),
                                      [this](const auto& n) { return n.mark > m_nWrittenBytes; });
    // Most notices are only for a loss (a chat is routed elsewhere if its connection ends).
    const bool anyWritten = std::any_of(
        m_Notices.begin(), written, [](const auto& notice) { return notice.onWritten != nullptr; });
    if (!anyWritten) {
        m_Notices.erase(m_Notices.begin(), written);
        return;
    }
    // Taken out first: a notice may send, and so add notices.
    std::vector<PendingNotice> done(std::make_move_iterator(m_Notices.begin()),
                                    std::make_move_iterator(written));
    m_Notices.erase(m_Notices.begin(), written);
    for (PendingNotice& notice : done) {
        if (notice.onWritten)
            notice.onWritten();
    }
}

void ClientSession::Close() {
    if (m_bClosed)
        return;
    m_bClosed = true;
    m_Deadlines.Remove(m_Deadline);
    Q_EMIT closed(this);
    // Reported after closed(), so that whoever re-routes what was lost no longer finds this
    // session among the online ones.
    std::vector<PendingNotice> notices;
    notices.swap(m_Notices);
    for (PendingNotice& notice : notices) {
        if (notice.onLost)
            notice.onLost();
    }
}

} // namespace pellix::server
