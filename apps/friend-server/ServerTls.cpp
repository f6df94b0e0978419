#include "ServerTls.h"

#include <QDateTime>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>

Q_LOGGING_CATEGORY(lcServerTls, "pellix.server.tls")

namespace pellix::server {

namespace {

std::optional<QByteArray> ReadSmallFile(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxTlsFileBytes) {
        error = QStringLiteral("%1: larger than %2 bytes").arg(path).arg(kMaxTlsFileBytes);
        return std::nullopt;
    }
    return file.read(kMaxTlsFileBytes);
}

QSslKey ParsePrivateKey(const QByteArray& pem) {
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec}) {
        QSslKey key(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            return key;
    }
    return {};
}

} // namespace

std::optional<QSslConfiguration> LoadServerTls(const QString& certificateFile,
                                               const QString& keyFile, QString& error) {
    if (!QSslSocket::supportsSsl()) {
        error = QStringLiteral("this system offers Qt no TLS library");
        return std::nullopt;
    }
    const std::optional<QByteArray> certificateBytes = ReadSmallFile(certificateFile, error);
    if (!certificateBytes)
        return std::nullopt;
    const QList<QSslCertificate> chain = QSslCertificate::fromData(*certificateBytes, QSsl::Pem);
    if (chain.isEmpty()) {
        error = QStringLiteral("%1: no PEM certificate in it").arg(certificateFile);
        return std::nullopt;
    }
    const std::optional<QByteArray> keyBytes = ReadSmallFile(keyFile, error);
    if (!keyBytes)
        return std::nullopt;
    const QSslKey key = ParsePrivateKey(*keyBytes);
    if (key.isNull()) {
        error = QStringLiteral("%1: no unencrypted RSA or EC private key in PEM form").arg(keyFile);
        return std::nullopt;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

QString CertificateDateWarning(const QSslConfiguration& configuration) {
    const QSslCertificate certificate = configuration.localCertificate();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (now > certificate.expiryDate())
        return QStringLiteral("the TLS certificate expired on %1; clients will refuse it")
            .arg(certificate.expiryDate().toString(Qt::ISODate));
    if (now < certificate.effectiveDate())
        return QStringLiteral("the TLS certificate is valid only from %1; clients will refuse it")
            .arg(certificate.effectiveDate().toString(Qt::ISODate));
    return {};
}

} // namespace pellix::server
