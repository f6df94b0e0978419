#pragma once
// TLS certificates made at run time with the openssl tool, for tests and benchmarks, in a
// temporary folder that goes with the object: a CA, certificates it signed for 127.0.0.1 and
// localhost (valid, expired) and for another host name only, and one for 127.0.0.1 signed by a
// CA nobody trusts. All of them share one EC P-256 key. No key ever lives in the repository.

#include <QSslConfiguration>
#include <QString>
#include <QTemporaryDir>

namespace pellix {

class TestCertificates {
public:
    // The server certificates, each signed for the key in KeyFile().
    enum class Server { Good, Expired, OtherHost, UnknownCa };

    // Makes every file; check IsValid().
    TestCertificates();

    bool IsValid() const { return m_strError.isEmpty(); }
    const QString& Error() const { return m_strError; }

    // The trusted CA's certificate, for clients.
    QString CaFile() const { return Path(QStringLiteral("ca.pem")); }
    QString CertificateFile(Server server) const;
    QString KeyFile() const { return Path(QStringLiteral("server.key")); }

    // A friend server's TLS settings with that certificate, as the server loads them.
    QSslConfiguration ServerConfiguration(Server server) const;
    // A client's settings that trust the CA, for scripted peers.
    QSslConfiguration ClientConfiguration() const;

private:
    QString Path(const QString& name) const { return m_Dir.filePath(name); }
    bool MakeAll();
    bool MakeCa(const QString& name, const QString& subject);
    struct Signing {
        QString name;
        QString caName;
        // The section of the configuration with the certificate's extensions.
        QString extensions;
        // Below 0: a certificate that expired that many days ago.
        int days = 0;
        int serial = 0;
    };
    bool Sign(const Signing& signing);
    bool RunOpenssl(const QStringList& arguments);

    QTemporaryDir m_Dir;
    QString m_strOpenssl;
    QString m_strError;
};

} // namespace pellix
