#pragma once
// The friend server's TLS settings: its certificate chain and private key from PEM files, TLS 1.2
// or later, no client certificates asked for; and the one OpenSSL context all its TLS connections
// share.

#include <QLoggingCategory>
#include <QSslConfiguration>
#include <QString>

#include <memory>
#include <optional>

struct ssl_ctx_st;

Q_DECLARE_LOGGING_CATEGORY(lcServerTls)

namespace pellix::server {

// A certificate or key file larger than this is refused unread.
constexpr qint64 kMaxTlsFileBytes = 1024 * 1024;

// certificateFile holds the server's certificate first, then any intermediate CA certificates;
// keyFile its unencrypted RSA or EC private key. Nothing, with error set, when either cannot be
// read or holds no certificate or key.
std::optional<QSslConfiguration> LoadServerTls(const QString& certificateFile,
                                               const QString& keyFile, QString& error);

// Every TLS connection of a server is made from one context, so that they share the key that seals
// session tickets: a client that comes back with the ticket of its last connection resumes that
// session, with no certificate and no signature. The key lives as long as the context; tickets
// from before a restart are refused and the client does a full handshake.
using ServerTlsContext = std::shared_ptr<ssl_ctx_st>;

// The context for settings from LoadServerTls: X25519 (or P-256) for the key exchange, TLS 1.2
// suites with forward secrecy only, one session ticket after each full handshake. Null, with
// error set, when OpenSSL refuses the certificate chain or the key.
ServerTlsContext MakeServerTlsContext(const QSslConfiguration& configuration, QString& error);

// The errors OpenSSL queued on this thread, oldest first, in one line; the queue is left empty,
// as every TLS connection of the process, the client library's included, reads it.
QString TakeOpensslErrors();

// A warning when the certificate is not valid now (expired, or not yet valid); empty otherwise.
QString CertificateDateWarning(const QSslConfiguration& configuration);

} // namespace pellix::server
