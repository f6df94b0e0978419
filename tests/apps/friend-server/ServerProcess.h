#pragma once
// The built server binary as a child process, started as the demo script starts it.

#include "TestPeer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace pellix {

class ServerProcess {
public:
    explicit ServerProcess(const QStringList& arguments) {
        m_Process.start(QStringLiteral(FRIEND_SERVER_PATH), arguments);
    }
    ~ServerProcess() { Kill(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // The port from the "listening on HOST:PORT" line (with tls:// before the host when asked
    // for), or 0.
    quint16 WaitListening(bool tls = false) {
        return WaitPortLine(tls ? QStringLiteral("listening on tls://")
                                : QStringLiteral("listening on "));
    }
    // With --http, after WaitListening: the port from the "profile pages on HOST:PORT" line.
    quint16 WaitProfilePages() { return WaitPortLine(QStringLiteral("profile pages on ")); }
    bool Finished() const { return m_Process.state() == QProcess::NotRunning; }
    int WaitExitCode() {
        if (!QTest::qWaitFor([this] { return Finished(); }, kWaitMs))
            return -1;
        return m_Process.exitCode();
    }
    // SIGKILL: the server gets no chance to finish anything.
    void Kill() {
        if (Finished())
            return;
        m_Process.kill();
        m_Process.waitForFinished();
    }
    QString ErrorOutput() { return QString::fromUtf8(m_Process.readAllStandardError()); }

private:
    // The port of the next line on stdout when it is prefix followed by 127.0.0.1:PORT, or 0.
    quint16 WaitPortLine(const QString& prefix) {
        if (!QTest::qWaitFor([this] { return m_Process.canReadLine() || Finished(); }, kWaitMs))
            return 0;
        const QString line = QString::fromUtf8(m_Process.readLine()).trimmed();
        const QRegularExpression pattern(QLatin1Char('^') + QRegularExpression::escape(prefix) +
                                         QStringLiteral("127\\.0\\.0\\.1:(\\d+)$"));
        const QRegularExpressionMatch match = pattern.match(line);
        return match.hasMatch() ? static_cast<quint16>(match.captured(1).toUInt()) : 0;
    }

    QProcess m_Process;
};

} // namespace pellix
