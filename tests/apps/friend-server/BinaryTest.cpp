// The built server binary, run as the demo script runs it.

#include "TestPeer.h"

#include "records/FriendRecords.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ServerProcess {
public:
    explicit ServerProcess(const QStringList& arguments) {
        m_Process.start(QStringLiteral(FRIEND_SERVER_PATH), arguments);
    }
    ~ServerProcess() {
        if (m_Process.state() != QProcess::NotRunning) {
            m_Process.kill();
            m_Process.waitForFinished();
        }
    }

    // The port from the "listening on HOST:PORT" line, or 0.
    quint16 WaitListening() {
        if (!QTest::qWaitFor([this] { return m_Process.canReadLine() || Finished(); }, kWaitMs))
            return 0;
        const QString line = QString::fromUtf8(m_Process.readLine()).trimmed();
        const QRegularExpression pattern(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$"));
        const QRegularExpressionMatch match = pattern.match(line);
        return match.hasMatch() ? static_cast<quint16>(match.captured(1).toUInt()) : 0;
    }
    bool Finished() const { return m_Process.state() == QProcess::NotRunning; }
    int WaitExitCode() {
        if (!QTest::qWaitFor([this] { return Finished(); }, kWaitMs))
            return -1;
        return m_Process.exitCode();
    }
    QString ErrorOutput() { return QString::fromUtf8(m_Process.readAllStandardError()); }

private:
    QProcess m_Process;
};

} // namespace

TEST(BinaryTest, ListensOnAFreePortAndServesTheDemoAccounts) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ServerProcess server({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                          QStringLiteral("--db"), dir.filePath(QStringLiteral("server.db")),
                          QStringLiteral("--seed-demo"), QStringLiteral("--befriend"),
                          QStringLiteral("10001,10002")});
    const quint16 port = server.WaitListening();
    ASSERT_NE(port, 0) << server.ErrorOutput().toStdString();

    TestPeer peer(port);
    peer.LogOn(10001, "demo", -1);
    const auto list = peer.WaitFor(SUB_S_FRIEND_LIST);
    ASSERT_TRUE(list);
    CCommandStream body = BodyOf(*list);
    body.ReadInt32();
    EXPECT_EQ(body.ReadInt32(), 1);
    std::vector<FriendEntry> friends;
    body.ReadList(friends, ReadFriendEntry);
    ASSERT_EQ(friends.size(), 1u);
    EXPECT_EQ(friends[0].userID, 10002);
    EXPECT_EQ(friends[0].nickName, "Bob");
}

TEST(BinaryTest, BadArgumentsExitWithCodeTwoAndSayWhy) {
    ServerProcess server({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:99999")});
    EXPECT_EQ(server.WaitExitCode(), 2);
    EXPECT_TRUE(server.ErrorOutput().contains(QStringLiteral("--listen")));

    QTemporaryDir dir;
    ServerProcess unknown({QStringLiteral("--db"), dir.filePath(QStringLiteral("s.db")),
                           QStringLiteral("--befriend"), QStringLiteral("1,2")});
    EXPECT_EQ(unknown.WaitExitCode(), 2);
    EXPECT_TRUE(unknown.ErrorOutput().contains(QStringLiteral("1,2")));
}
