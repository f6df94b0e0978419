#include "TestCertificates.h"

#include "ServerTls.h"

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QStandardPaths>

namespace pellix {

namespace {

// Sections for every certificate; -subj gives the names, so the request's name section is empty.
constexpr const char* kConfig = R"(
[req]
distinguished_name = name
[name]
[ca]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[local]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = IP:127.0.0.1, DNS:localhost
[other]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = DNS:other.example
)";

// openssl runs for a fraction of a second; this only keeps a broken tool from hanging a test.
constexpr int kOpensslLimitMs = 30000;

QString CertificateName(TestCertificates::Server server) {
    switch (server) {
    case TestCertificates::Server::Expired:
        return QStringLiteral("expired.pem");
    case TestCertificates::Server::OtherHost:
        return QStringLiteral("other-host.pem");
    case TestCertificates::Server::UnknownCa:
        return QStringLiteral("unknown-ca.pem");
    case TestCertificates::Server::Good:
        break;
    }
    return QStringLiteral("good.pem");
}

} // namespace

TestCertificates::TestCertificates()
    : m_strOpenssl(QStandardPaths::findExecutable(QStringLiteral("openssl"))) {
    if (!m_Dir.isValid())
        m_strError = QStringLiteral("no temporary folder: %1").arg(m_Dir.errorString());
    else if (m_strOpenssl.isEmpty())
        m_strError = QStringLiteral("the openssl tool is not installed (scripts/bootstrap)");
    else
        MakeAll();
}

QString TestCertificates::CertificateFile(Server server) const {
    return Path(CertificateName(server));
}

bool TestCertificates::MakeAll() {
    QFile config(Path(QStringLiteral("openssl.cnf")));
    if (!config.open(QIODevice::WriteOnly) || config.write(kConfig) < 0) {
        m_strError = QStringLiteral("cannot write %1").arg(config.fileName());
        return false;
    }
    config.close();
    const QStringList request = {QStringLiteral("req"),
                                 QStringLiteral("-new"),
                                 QStringLiteral("-newkey"),
                                 QStringLiteral("ec"),
                                 QStringLiteral("-pkeyopt"),
                                 QStringLiteral("ec_paramgen_curve:prime256v1"),
                                 QStringLiteral("-nodes"),
                                 QStringLiteral("-keyout"),
                                 KeyFile(),
                                 QStringLiteral("-out"),
                                 Path(QStringLiteral("server.csr")),
                                 QStringLiteral("-subj"),
                                 QStringLiteral("/CN=localhost"),
                                 QStringLiteral("-config"),
                                 config.fileName()};
    return MakeCa(QStringLiteral("ca"), QStringLiteral("/CN=Pellix Test CA")) &&
           MakeCa(QStringLiteral("rogue-ca"), QStringLiteral("/CN=Pellix Rogue CA")) &&
           RunOpenssl(request) &&
           Sign({QStringLiteral("good.pem"), QStringLiteral("ca"), QStringLiteral("local"), 30,
                 1}) &&
           Sign({QStringLiteral("expired.pem"), QStringLiteral("ca"), QStringLiteral("local"), -1,
                 2}) &&
           Sign({QStringLiteral("other-host.pem"), QStringLiteral("ca"), QStringLiteral("other"),
                 30, 3}) &&
           Sign({QStringLiteral("unknown-ca.pem"), QStringLiteral("rogue-ca"),
                 QStringLiteral("local"), 30, 4});
}

bool TestCertificates::MakeCa(const QString& name, const QString& subject) {
    return RunOpenssl({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                       QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                       QStringLiteral("-keyout"), Path(name + QStringLiteral(".key")),
                       QStringLiteral("-out"), Path(name + QStringLiteral(".pem")),
                       QStringLiteral("-days"), QStringLiteral("30"), QStringLiteral("-subj"),
                       subject, QStringLiteral("-config"), Path(QStringLiteral("openssl.cnf")),
                       QStringLiteral("-extensions"), QStringLiteral("ca")});
}

bool TestCertificates::Sign(const Signing& signing) {
    return RunOpenssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                       Path(QStringLiteral("server.csr")), QStringLiteral("-CA"),
                       Path(signing.caName + QStringLiteral(".pem")), QStringLiteral("-CAkey"),
                       Path(signing.caName + QStringLiteral(".key")), QStringLiteral("-set_serial"),
                       QString::number(signing.serial), QStringLiteral("-days"),
                       QString::number(signing.days), QStringLiteral("-out"), Path(signing.name),
                       QStringLiteral("-extfile"), Path(QStringLiteral("openssl.cnf")),
                       QStringLiteral("-extensions"), signing.extensions});
}

bool TestCertificates::RunOpenssl(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(m_strOpenssl, arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(kOpensslLimitMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        m_strError =
            QStringLiteral("openssl %1 failed: %2")
                .arg(arguments.join(QLatin1Char(' ')), QString::fromUtf8(process.readAll()));
        process.kill();
        process.waitForFinished();
        return false;
    }
    return true;
}

QSslConfiguration TestCertificates::ServerConfiguration(Server server) const {
    QString error;
    const auto configuration =
        pellix::server::LoadServerTls(CertificateFile(server), KeyFile(), error);
    return configuration ? *configuration : QSslConfiguration();
}

QSslConfiguration TestCertificates::ClientConfiguration() const {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setCaCertificates(QSslCertificate::fromPath(CaFile()));
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    return configuration;
}

} // namespace pellix
