#pragma once
// How the client connection secures a tls:// address: TLS 1.2 or later, the server's certificate
// verified against the system's trust store (plus the CA file the address names) and the host
// name, always. Nothing here relaxes a check: a certificate that does not verify ends the attempt.
// A reconnect to the same server offers the session ticket of the last handshake with it
// (ClientConnection): only a server that verified before can resume.

#include <QLoggingCategory>
#include <QSslConfiguration>

#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcClientTls)

namespace ClientTls {

// A CA file larger than this is not read: it would be no CA bundle.
constexpr qint64 kMaxCaFileBytes = 4 * 1024 * 1024;

// The configuration of every connection to a tls:// address. caFile, when not empty, holds PEM
// (or a DER) certificates trusted besides the system's. Nothing, with error set, when the file
// cannot be read or holds no certificate, or when Qt has no TLS library to use.
std::optional<QSslConfiguration> MakeConfiguration(const QString& caFile, QString& error);

} // namespace ClientTls
