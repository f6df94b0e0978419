// pellix-load against the server binary: every user logs on, chats among friends arrive, and a
// server that is not there ends the run instead of holding it.

#include "ServerProcess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pellix {

namespace {

constexpr int kRunWaitMs = 60000;

struct LoadRun {
    int exitCode = -1;
    QJsonObject result;
    QString errors;
};

LoadRun RunLoad(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(PELLIX_LOAD_PATH), arguments);
    LoadRun run;
    if (!QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; },
                         kRunWaitMs)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    const QList<QByteArray> lines = process.readAllStandardOutput().trimmed().split('\n');
    if (lines.size() == 1)
        run.result = QJsonDocument::fromJson(lines.first()).object();
    return run;
}

QStringList LoadArguments(quint16 port) {
    return {QStringLiteral("--server"),    QStringLiteral("127.0.0.1:%1").arg(port),
            QStringLiteral("--users"),     QStringLiteral("500-529"),
            QStringLiteral("--token"),     QStringLiteral("load"),
            QStringLiteral("--hold"),      QStringLiteral("1"),
            QStringLiteral("--chat-rate"), QStringLiteral("50")};
}

} // namespace

TEST(LoadToolTest, EveryUserLogsOnAndChatsAmongFriendsArrive) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ServerProcess server({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                          QStringLiteral("--db"), dir.filePath(QStringLiteral("server.db")),
                          QStringLiteral("--add-users"), QStringLiteral("500-529,load,4")});
    const quint16 port = server.WaitListening();
    ASSERT_NE(port, 0) << server.ErrorOutput().toStdString();

    const LoadRun run = RunLoad(LoadArguments(port));
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    for (const char* key : {"connected", "logons_per_s", "chats_sent", "chats_received",
                            "chat_p50_us", "chat_p99_us"})
        EXPECT_TRUE(run.result.value(QLatin1String(key)).isDouble()) << key;
    EXPECT_EQ(run.result.value(QStringLiteral("connected")).toInt(), 30);
    EXPECT_GT(run.result.value(QStringLiteral("logons_per_s")).toDouble(), 0);
    const int sent = run.result.value(QStringLiteral("chats_sent")).toInt();
    const int received = run.result.value(QStringLiteral("chats_received")).toInt();
    EXPECT_GT(received, 0);
    EXPECT_LE(received, sent);
    EXPECT_GT(run.result.value(QStringLiteral("chat_p99_us")).toInt(), 0);
}

TEST(LoadToolTest, BadArgumentsExitWithTwoAndNoServerMeansNoneConnected) {
    const LoadRun bad = RunLoad({QStringLiteral("--server"), QStringLiteral("127.0.0.1:1"),
                                 QStringLiteral("--users"), QStringLiteral("9-3"),
                                 QStringLiteral("--token"), QStringLiteral("t")});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.errors.contains(QStringLiteral("--users"))) << bad.errors.toStdString();

    // A port that was free a moment ago: every connection is refused.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    const LoadRun absent = RunLoad(LoadArguments(port));
    ASSERT_EQ(absent.exitCode, 0) << absent.errors.toStdString();
    EXPECT_EQ(absent.result.value(QStringLiteral("connected")).toInt(-1), 0);
    EXPECT_EQ(absent.result.value(QStringLiteral("chats_sent")).toInt(-1), 0);
}

} // namespace pellix
