#pragma once
// The friend server's TLS settings: its certificate chain and private key from PEM files, TLS 1.2
// or later, no client certificates asked for.

#include <QLoggingCategory>
#include <QSslConfiguration>
#include <QString>

#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcServerTls)

namespace pellix::server {

// A certificate or key file larger than this is refused unread.
constexpr qint64 kMaxTlsFileBytes = 1024 * 1024;

// certificateFile holds the server's certificate first, then any intermediate CA certificates;
// keyFile its unencrypted RSA or EC private key. Nothing, with error set, when either cannot be
// read or holds no certificate or key.
std::optional<QSslConfiguration> LoadServerTls(const QString& certificateFile,
                                               const QString& keyFile, QString& error);

// A warning when the certificate is not valid now (expired, or not yet valid); empty otherwise.
QString CertificateDateWarning(const QSslConfiguration& configuration);

} // namespace pellix::server
