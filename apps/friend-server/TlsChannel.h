#pragma once
// One TLS connection over a TCP socket: OpenSSL's state for it between two memory buffers, fed
// with what the socket received and handing what it produces to the socket at once. The server
// makes its side from its shared context (ServerTls), so that a client may resume its session.
// The socket is not owned and must outlive the channel.

#include "ServerTls.h"

#include <QString>

class QByteArray;
class QTcpSocket;
struct ssl_st;
struct bio_st;

namespace pellix::server {

class TlsChannel {
public:
    enum class Handshake { Pending, Done, Failed };

    // The server's side of a connection accepted on socket.
    TlsChannel(const ServerTlsContext& context, QTcpSocket& socket);
    // Takes ssl over, set up for either side already.
    TlsChannel(ssl_st* ssl, QTcpSocket& socket);
    ~TlsChannel();
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    // Takes what the socket received and goes as far as it allows.
    Handshake ContinueHandshake();
    // The session was resumed from a ticket rather than made with a full handshake.
    bool Resumed() const;
    // Received bytes not yet decrypted, or decrypted and not yet read.
    bool HasBufferedInput() const;

    // Up to maxSize plain bytes, taking from the socket what that needs; 0 when none wait, -1
    // when the stream ended (the peer's close or a record that does not decrypt).
    qint64 Read(char* data, qint64 maxSize);
    // Encrypts bytes and queues them on the socket; false when the stream failed.
    bool Write(const QByteArray& bytes);
    ssl_st* Handle() const { return m_ssl; }
    // Why the handshake or the stream failed.
    const QString& ErrorString() const { return m_error; }

private:
    // Moves what the socket received into OpenSSL; false when nothing was waiting.
    bool Feed();
    void Flush();
    void Fail(int result);

    QTcpSocket& m_socket;
    ssl_st* m_ssl;
    // Both owned by m_ssl.
    bio_st* m_received;
    bio_st* m_toSend;
    QString m_error;
};

} // namespace pellix::server
