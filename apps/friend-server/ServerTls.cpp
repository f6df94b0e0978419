#include "ServerTls.h"

#include <QDateTime>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QStringList>

#include <array>

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>

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

// X25519 is what clients offer first; P-256 for those that offer nothing else.
constexpr const char* kGroups = "X25519:P-256";
// Forward secrecy and authenticated encryption only, for a certificate with either kind of key.
constexpr const char* kTls12Ciphers =
    "ECDHE-ECDSA-AES128-GCM-SHA256:ECDHE-ECDSA-AES256-GCM-SHA384:ECDHE-ECDSA-CHACHA20-POLY1305:"
    "ECDHE-RSA-AES128-GCM-SHA256:ECDHE-RSA-AES256-GCM-SHA384:ECDHE-RSA-CHACHA20-POLY1305";
// A client keeps the ticket of its last connection only.
constexpr std::size_t kTicketsPerHandshake = 1;

struct X509Free {
    void operator()(X509* certificate) const { X509_free(certificate); }
};
using X509Ptr = std::unique_ptr<X509, X509Free>;

X509Ptr ToX509(const QSslCertificate& certificate) {
    const QByteArray der = certificate.toDer();
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.constData());
    return X509Ptr(d2i_X509(nullptr, &bytes, der.size()));
}

bool UsePrivateKey(SSL_CTX* context, const QSslKey& key) {
    const QByteArray pem = key.toPem();
    BIO* bio = BIO_new_mem_buf(pem.constData(), static_cast<int>(pem.size()));
    EVP_PKEY* privateKey = PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    const bool used = privateKey != nullptr && SSL_CTX_use_PrivateKey(context, privateKey) == 1;
    EVP_PKEY_free(privateKey);
    return used && SSL_CTX_check_private_key(context) == 1;
}

bool UseCertificateChain(SSL_CTX* context, const QList<QSslCertificate>& chain) {
    if (chain.isEmpty())
        return false;
    const X509Ptr leaf = ToX509(chain.first());
    if (!leaf || SSL_CTX_use_certificate(context, leaf.get()) != 1)
        return false;
    for (qsizetype i = 1; i < chain.size(); ++i) {
        X509Ptr intermediate = ToX509(chain[i]);
        if (!intermediate || SSL_CTX_add0_chain_cert(context, intermediate.get()) != 1)
            return false;
        // The context owns it now.
        intermediate.release();
    }
    return true;
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

QString TakeOpensslErrors() {
    QStringList errors;
    while (const unsigned long code = ERR_get_error()) {
        std::array<char, 256> text{};
        ERR_error_string_n(code, text.data(), text.size());
        errors << QString::fromLatin1(text.data());
    }
    return errors.join(QStringLiteral("; "));
}

ServerTlsContext MakeServerTlsContext(const QSslConfiguration& configuration, QString& error) {
    ERR_clear_error();
    ServerTlsContext context(SSL_CTX_new(TLS_server_method()), &SSL_CTX_free);
    SSL_CTX* handle = context.get();
    const bool made = handle != nullptr &&
                      SSL_CTX_set_min_proto_version(handle, TLS1_2_VERSION) == 1 &&
                      SSL_CTX_set1_groups_list(handle, kGroups) == 1 &&
                      SSL_CTX_set_cipher_list(handle, kTls12Ciphers) == 1 &&
                      UseCertificateChain(handle, configuration.localCertificateChain()) &&
                      UsePrivateKey(handle, configuration.privateKey());
    if (!made) {
        error = QStringLiteral("OpenSSL refused the TLS settings: %1").arg(TakeOpensslErrors());
        return nullptr;
    }
    SSL_CTX_set_options(handle, SSL_OP_CIPHER_SERVER_PREFERENCE | SSL_OP_NO_RENEGOTIATION);
    // Idle connections hold no record buffers; a server holds thousands of them.
    SSL_CTX_set_mode(handle, SSL_MODE_RELEASE_BUFFERS);
    SSL_CTX_set_num_tickets(handle, kTicketsPerHandshake);
    // Resumption rests on the tickets alone: the server keeps nothing per session.
    SSL_CTX_set_session_cache_mode(handle, SSL_SESS_CACHE_OFF);
    return context;
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
