#include "NatsServer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace pellix {

namespace {

constexpr int kStartWaitMs = 10000;

} // namespace

NatsServer::NatsServer() {
    // Port -1: the server picks a free one and says which in the ports file, so no other
    // program can take it between a probe and the start.
    m_Process.setProcessChannelMode(QProcess::MergedChannels);
    m_Process.start(QStringLiteral("nats-server"),
                    {QStringLiteral("-a"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                     QStringLiteral("-1"), QStringLiteral("--ports_file_dir"), m_Dir.path()});
}

NatsServer::~NatsServer() {
    m_Process.kill();
    m_Process.waitForFinished();
}

QString NatsServer::Url() {
    if (!m_Url.isEmpty())
        return m_Url;
    const QString portsFile =
        QDir(m_Dir.path())
            .filePath(QStringLiteral("nats-server_%1.ports").arg(m_Process.processId()));
    auto readUrl = [this, &portsFile] {
        QFile file(portsFile);
        if (m_Process.state() == QProcess::NotRunning || !file.open(QIODevice::ReadOnly))
            return false;
        const QJsonArray urls = QJsonDocument::fromJson(file.readAll()).object()[u"nats"].toArray();
        if (urls.isEmpty())
            return false;
        m_Url = urls.first().toString();
        return true;
    };
    static_cast<void>(QTest::qWaitFor(readUrl, kStartWaitMs));
    return m_Url;
}

QString NatsServer::ErrorOutput() {
    return QString::fromUtf8(m_Process.readAll());
}

} // namespace pellix
