#include "ClientTls.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslSocket>

Q_LOGGING_CATEGORY(lcClientTls, "pellix.client.tls")

namespace ClientTls {

namespace {

std::optional<QList<QSslCertificate>> ReadCertificates(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("CA file %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxCaFileBytes) {
        error = QStringLiteral("CA file %1: larger than %2 bytes").arg(path).arg(kMaxCaFileBytes);
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxCaFileBytes);
    QList<QSslCertificate> certificates = QSslCertificate::fromData(bytes, QSsl::Pem);
    if (certificates.isEmpty())
        certificates = QSslCertificate::fromData(bytes, QSsl::Der);
    if (certificates.isEmpty()) {
        error = QStringLiteral("CA file %1: no certificate in it").arg(path);
        return std::nullopt;
    }
    return certificates;
}

} // namespace

std::optional<QSslConfiguration> MakeConfiguration(const QString& caFile, QString& error) {
    if (!QSslSocket::supportsSsl()) {
        error = QStringLiteral("this system offers Qt no TLS library");
        return std::nullopt;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    // Qt keeps a connection's session ticket only when asked; the connection offers it to the same
    // server next time, which then resumes the session without a certificate or a signature.
    configuration.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    if (caFile.isEmpty())
        return configuration;
    const std::optional<QList<QSslCertificate>> extra = ReadCertificates(caFile, error);
    if (!extra)
        return std::nullopt;
    // Setting a list replaces the trust store the default configuration would consult, so the
    // system's certificates go in first.
    configuration.setCaCertificates(QSslConfiguration::systemCaCertificates() + *extra);
    return configuration;
}

} // namespace ClientTls
