#pragma once
// The byte stream under a ClientSession: a TCP connection in the server (TcpLink), memory where
// the server is driven without sockets (the fuzz target). Owned by its session.

#include <QObject>

class QByteArray;

namespace pellix::server {

class SessionLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Copies up to maxSize received bytes into data; returns how many, 0 when none are waiting.
    virtual qint64 Read(char* data, qint64 maxSize) = 0;
    // Queues bytes to be sent.
    virtual void Write(const QByteArray& bytes) = 0;
    // Hands what is queued to the system now, without waiting for the event loop (or blocking).
    virtual void SendQueuedNow() {}
    // Bytes queued that have not been handed to the system yet.
    virtual qint64 PendingBytes() const = 0;
    // Ends the stream at once, dropping what was not sent.
    virtual void Abort() = 0;

Q_SIGNALS:
    void readyRead();
    // That many queued bytes have been handed to the system.
    void bytesWritten(qint64 bytes);
    // The peer closed, or the stream failed.
    void ended();
};

} // namespace pellix::server
