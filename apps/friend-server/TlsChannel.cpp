#include "TlsChannel.h"

#include <QByteArray>
#include <QTcpSocket>
#include <QVarLengthArray>

#include <openssl/err.h>
#include <openssl/ssl.h>

namespace pellix::server {

namespace {

// What one Feed or Flush moves at most; the socket's read buffer holds one frame's worth anyway.
constexpr qint64 kChunkBytes = 16 * 1024;

} // namespace

TlsChannel::TlsChannel(const ServerTlsContext& context, QTcpSocket& socket)
    : TlsChannel(SSL_new(context.get()), socket) {
    SSL_set_accept_state(m_ssl);
}

TlsChannel::TlsChannel(ssl_st* ssl, QTcpSocket& socket)
    : m_socket(socket), m_ssl(ssl), m_received(BIO_new(BIO_s_mem())),
      m_toSend(BIO_new(BIO_s_mem())) {
    // A buffer that runs dry asks for more instead of reporting the end of the stream.
    BIO_set_mem_eof_return(m_received, -1);
    SSL_set_bio(m_ssl, m_received, m_toSend);
}

TlsChannel::~TlsChannel() {
    SSL_free(m_ssl);
}

TlsChannel::Handshake TlsChannel::ContinueHandshake() {
    Feed();
    while (true) {
        ERR_clear_error();
        const int result = SSL_do_handshake(m_ssl);
        // The server's flight, or the alert that ends a failed handshake.
        Flush();
        if (result == 1)
            return Handshake::Done;
        if (SSL_get_error(m_ssl, result) != SSL_ERROR_WANT_READ) {
            Fail(result);
            return Handshake::Failed;
        }
        if (!Feed())
            return Handshake::Pending;
    }
}

bool TlsChannel::Resumed() const {
    return SSL_session_reused(m_ssl) == 1;
}

bool TlsChannel::HasBufferedInput() const {
    return BIO_ctrl_pending(m_received) > 0 || SSL_has_pending(m_ssl) == 1;
}

qint64 TlsChannel::Read(char* data, qint64 maxSize) {
    while (true) {
        ERR_clear_error();
        std::size_t got = 0;
        const int result = SSL_read_ex(m_ssl, data, static_cast<std::size_t>(maxSize), &got);
        // Reading may answer the peer (a key update).
        Flush();
        if (result == 1)
            return static_cast<qint64>(got);
        if (SSL_get_error(m_ssl, result) != SSL_ERROR_WANT_READ) {
            Fail(result);
            return -1;
        }
        if (!Feed())
            return 0;
    }
}

bool TlsChannel::Write(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return true;
    ERR_clear_error();
    std::size_t written = 0;
    // The memory buffer takes everything: a write is whole or fails.
    const int result =
        SSL_write_ex(m_ssl, bytes.constData(), static_cast<std::size_t>(bytes.size()), &written);
    Flush();
    if (result != 1)
        Fail(result);
    return result == 1;
}

bool TlsChannel::Feed() {
    bool fed = false;
    QVarLengthArray<char, kChunkBytes> chunk(kChunkBytes);
    while (m_socket.bytesAvailable() > 0) {
        const qint64 got = m_socket.read(chunk.data(), kChunkBytes);
        if (got <= 0)
            break;
        BIO_write(m_received, chunk.constData(), static_cast<int>(got));
        fed = true;
    }
    return fed;
}

void TlsChannel::Flush() {
    QVarLengthArray<char, kChunkBytes> chunk(kChunkBytes);
    while (BIO_ctrl_pending(m_toSend) > 0) {
        const int got = BIO_read(m_toSend, chunk.data(), static_cast<int>(kChunkBytes));
        if (got <= 0)
            return;
        m_socket.write(chunk.constData(), got);
    }
}

void TlsChannel::Fail(int result) {
    const int code = SSL_get_error(m_ssl, result);
    const QString queued = TakeOpensslErrors();
    if (code == SSL_ERROR_ZERO_RETURN)
        m_error = QStringLiteral("closed by the peer");
    else if (!queued.isEmpty())
        m_error = queued;
    else if (code == SSL_ERROR_SYSCALL)
        m_error = QStringLiteral("the stream ended");
    else
        m_error = QStringLiteral("TLS error %1").arg(code);
}

} // namespace pellix::server
