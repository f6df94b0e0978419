#pragma once
// A session link in memory, for driving the friend server without sockets: bytes handed to
// Receive() are what the session reads, what it writes is kept, and Flush() plays the system
// taking every pending byte.

#include "SessionLink.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace pellix {

class MemoryLink final : public pellix::server::SessionLink {
public:
    void Receive(const char* data, qint64 size) {
        if (m_bEnded)
            return;
        m_Incoming.append(data, static_cast<qsizetype>(size));
        Q_EMIT readyRead();
    }
    // True when there was something to take; taking it may make the session write more.
    bool Flush() {
        if (m_bEnded || m_nPending == 0)
            return false;
        const qint64 taken = m_nPending;
        m_nPending = 0;
        Q_EMIT bytesWritten(taken);
        return true;
    }
    QByteArray TakeWritten() {
        QByteArray written;
        written.swap(m_Written);
        return written;
    }
    bool Ended() const { return m_bEnded; }

    qint64 Read(char* data, qint64 maxSize) override {
        const qint64 size = std::min<qint64>(maxSize, m_Incoming.size() - m_nReadPos);
        if (size <= 0)
            return 0;
        std::memcpy(data, m_Incoming.constData() + m_nReadPos, static_cast<std::size_t>(size));
        m_nReadPos += size;
        if (m_nReadPos == m_Incoming.size()) {
            m_Incoming.clear();
            m_nReadPos = 0;
        }
        return size;
    }
    void Write(const QByteArray& bytes) override {
        if (m_bEnded)
            return;
        m_Written.append(bytes);
        m_nPending += bytes.size();
    }
    qint64 PendingBytes() const override { return m_nPending; }
    void Abort() override {
        if (m_bEnded)
            return;
        m_bEnded = true;
        m_nPending = 0;
        Q_EMIT ended();
    }

private:
    QByteArray m_Incoming;
    qint64 m_nReadPos = 0;
    QByteArray m_Written;
    qint64 m_nPending = 0;
    bool m_bEnded = false;
};

} // namespace pellix
