// Two users chat through a proxy that cuts every connection at random moments, at frame
// boundaries and inside frames, while the friend server is killed with SIGKILL and started again.
// Each user is a chaos_client process. With the acknowledged-chat extension every chat is shown
// and stored exactly once on both sides, in its sender's order, and both outboxes end empty.
// With a server that confirms nothing, every chat typed while the user was not signed on still
// arrives; what can be lost is a chat written just before a cut.

#include "FaultProxy.h"
#include "ServerProcess.h"
#include "StorageTestSupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace pellix {

namespace {

constexpr int kUserA = 701;
constexpr int kUserB = 702;

struct ChaosRun {
    int chatsPerUser = 0;
    int intervalMs = 0;
    int serverKills = 0;
    int killEveryMs = 0;
    bool acknowledged = true;
    // A server that confirms nothing loses a chat written just before a cut: that run has its
    // server killed but no connection cut at random.
    bool cutConnections = true;
};

class Chaos : public ::testing::Test {
protected:
    void Run(const ChaosRun& run) {
        ASSERT_TRUE(m_Dir.isValid());
        StartServer(0, run.acknowledged);
        ASSERT_NE(m_nServerPort, 0);
        ASSERT_TRUE(m_Proxy.Listen(m_nServerPort));
        if (run.cutConnections)
            StartCutting();
        StartUser(kUserA, kUserB, run);
        StartUser(kUserB, kUserA, run);
        int kills = 0;
        QTimer killer;
        killer.setInterval(run.killEveryMs);
        QObject::connect(&killer, &QTimer::timeout, [&] {
            if (kills++ == run.serverKills) {
                killer.stop();
                return;
            }
            m_pServer->Kill();
            QTimer::singleShot(300, [&] { StartServer(m_nServerPort, run.acknowledged); });
        });
        killer.start();
        const bool finished = QTest::qWaitFor(
            [&] {
                return !killer.isActive() &&
                       std::all_of(m_Users.begin(), m_Users.end(), [](const auto& user) {
                           return user->state() == QProcess::NotRunning;
                       });
            },
            600'000);
        m_CutTimer.stop();
        ASSERT_TRUE(finished);
        // Every user connected again after the server's deaths (and the proxy's cuts).
        EXPECT_GT(m_Proxy.AcceptedCount(), 2 * (run.serverKills + 1));
        for (const auto& user : m_Users) {
            EXPECT_EQ(user->exitCode(), 0) << user->readAllStandardOutput().toStdString();
        }
    }

    // The texts of one side's history with the other, oldest first: those the side typed and
    // those it received.
    struct SideHistory {
        std::vector<std::string> typed;
        std::vector<std::string> received;
    };
    SideHistory HistoryOf(int userID, int friendID) const {
        SideHistory history;
        const std::string own = "user" + std::to_string(userID);
        for (const std::string& row :
             RawRows(UserFile(userID, "ChatHistory/" + std::to_string(friendID) + ".data"),
                     "SELECT [From] || '|' || [Message] FROM chat_history ORDER BY rowid")) {
            const std::size_t bar = row.find('|');
            (row.substr(0, bar) == own ? history.typed : history.received)
                .push_back(row.substr(bar + 1));
        }
        return history;
    }
    static std::vector<std::string> Numbered(int userID, int count) {
        std::vector<std::string> texts;
        for (int i = 1; i <= count; ++i)
            texts.push_back(
                QStringLiteral("#%1-%2").arg(userID).arg(i, 5, 10, QLatin1Char('0')).toStdString());
        return texts;
    }
    int OutboxSize(int userID) const {
        const std::vector<std::string> rows =
            RawRows(UserFile(userID, "delivery.data"), "SELECT COUNT(*) FROM outbox");
        return rows.empty() ? -1 : std::stoi(rows[0]);
    }
    QString Shown(int userID) const { return ReadText(ShownFile(userID)); }
    std::vector<std::string> TypedOffline(int userID) const {
        std::vector<std::string> texts;
        for (const QString& line :
             ReadText(TypedOfflineFile(userID)).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            texts.push_back(line.toStdString());
        return texts;
    }

private:
    void StartServer(quint16 port, bool acknowledged) {
        QStringList arguments{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port),
                              QStringLiteral("--db"), m_Dir.filePath(QStringLiteral("friends.db"))};
        for (const int userID : {kUserA, kUserB})
            arguments << QStringLiteral("--add-user")
                      << QStringLiteral("%1,user%1,user%1,%1,1,token-%1").arg(userID);
        arguments << QStringLiteral("--befriend")
                  << QStringLiteral("%1,%2").arg(kUserA).arg(kUserB);
        if (!acknowledged)
            arguments << QStringLiteral("--no-extensions");
        m_pServer = std::make_unique<ServerProcess>(arguments);
        m_nServerPort = m_pServer->WaitListening();
    }
    void StartCutting() {
        m_CutTimer.setSingleShot(true);
        QObject::connect(&m_CutTimer, &QTimer::timeout, [this] {
            static constexpr FaultProxy::Cut kCuts[] = {
                FaultProxy::Cut::AtFrameBoundary, FaultProxy::Cut::MidFrame, FaultProxy::Cut::Now};
            m_Proxy.CutAll(kCuts[QRandomGenerator::global()->bounded(3)]);
            m_CutTimer.start(QRandomGenerator::global()->bounded(200, 2001));
        });
        m_CutTimer.start(QRandomGenerator::global()->bounded(200, 2001));
    }
    void StartUser(int userID, int friendID, const ChaosRun& run) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString work = m_Dir.filePath(QStringLiteral("user%1").arg(userID));
        process->start(QStringLiteral(CHAOS_CLIENT_PATH),
                       {QStringLiteral("--work"),
                        work,
                        QStringLiteral("--user"),
                        QString::number(userID),
                        QStringLiteral("--friend"),
                        QString::number(friendID),
                        QStringLiteral("--server"),
                        QStringLiteral("127.0.0.1:%1").arg(m_Proxy.Port()),
                        QStringLiteral("--count"),
                        QString::number(run.chatsPerUser),
                        QStringLiteral("--interval-ms"),
                        QString::number(run.intervalMs),
                        QStringLiteral("--shown"),
                        ShownFile(userID),
                        QStringLiteral("--typed-offline"),
                        TypedOfflineFile(userID),
                        QStringLiteral("--timeout-s"),
                        QStringLiteral("500"),
                        QStringLiteral("--idle-s"),
                        run.acknowledged ? QStringLiteral("0") : QStringLiteral("5")});
        m_Users.push_back(std::move(process));
    }
    std::string UserFile(int userID, const std::string& name) const {
        return m_Dir.filePath(QStringLiteral("user%1/Profile/%1/").arg(userID)).toStdString() +
               name;
    }
    QString ShownFile(int userID) const {
        return m_Dir.filePath(QStringLiteral("shown-%1.txt").arg(userID));
    }
    QString TypedOfflineFile(int userID) const {
        return m_Dir.filePath(QStringLiteral("typed-offline-%1.txt").arg(userID));
    }
    static QString ReadText(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir m_Dir;
    std::unique_ptr<ServerProcess> m_pServer;
    quint16 m_nServerPort = 0;
    FaultProxy m_Proxy;
    QTimer m_CutTimer;
    std::vector<std::unique_ptr<QProcess>> m_Users;
};

void ExpectEachShownOnce(const QString& shown, const std::vector<std::string>& texts) {
    for (const std::string& text : texts)
        EXPECT_EQ(shown.count(QString::fromStdString(text)), 1) << text;
}

} // namespace

class ChaosWith : public Chaos, public ::testing::WithParamInterface<ChaosRun> {};

constexpr std::pair<int, int> kSides[] = {{kUserA, kUserB}, {kUserB, kUserA}};

TEST_P(ChaosWith, EveryChatIsShownAndStoredOnceInItsSendersOrderAndEveryOutboxEndsEmpty) {
    const ChaosRun run = GetParam();
    Run(run);
    for (const auto& [userID, friendID] : kSides) {
        const SideHistory history = HistoryOf(userID, friendID);
        EXPECT_EQ(history.typed, Numbered(userID, run.chatsPerUser)) << "user " << userID;
        EXPECT_EQ(history.received, Numbered(friendID, run.chatsPerUser)) << "user " << userID;
        EXPECT_EQ(OutboxSize(userID), 0) << "user " << userID;
        ExpectEachShownOnce(Shown(userID), Numbered(friendID, run.chatsPerUser));
        ExpectEachShownOnce(Shown(userID), Numbered(userID, run.chatsPerUser));
    }
}

class ChaosWithoutAcknowledgements : public Chaos,
                                     public ::testing::WithParamInterface<ChaosRun> {};

TEST_P(ChaosWithoutAcknowledgements, NothingTypedWhileTheConnectionWasDownIsLost) {
    ChaosRun run = GetParam();
    run.acknowledged = false;
    run.cutConnections = false;
    Run(run);
    for (const auto& [userID, friendID] : kSides) {
        const SideHistory history = HistoryOf(userID, friendID);
        EXPECT_EQ(history.typed, Numbered(userID, run.chatsPerUser)) << "user " << userID;
        EXPECT_EQ(OutboxSize(userID), 0) << "user " << userID;
        const std::vector<std::string> typedOffline = TypedOffline(friendID);
        EXPECT_FALSE(typedOffline.empty()) << "the server was never seen down by " << friendID;
        for (const std::string& text : typedOffline) {
            EXPECT_NE(std::find(history.received.begin(), history.received.end(), text),
                      history.received.end())
                << text << " typed by " << friendID << " while down never reached " << userID;
        }
    }
}

// Sized for every CI run (and the sanitizers), and the whole campaign (label chaos-full).
const ChaosRun kCiSized{100, 40, 2, 1000};
const ChaosRun kFull{1000, 10, 5, 2000};

std::string RunName(const ::testing::TestParamInfo<ChaosRun>& info) {
    return info.param.chatsPerUser == kFull.chatsPerUser ? "Full" : "CiSized";
}

INSTANTIATE_TEST_SUITE_P(Chaos, ChaosWith, ::testing::Values(kCiSized, kFull), RunName);
INSTANTIATE_TEST_SUITE_P(Chaos, ChaosWithoutAcknowledgements, ::testing::Values(kCiSized, kFull),
                         RunName);

} // namespace pellix
