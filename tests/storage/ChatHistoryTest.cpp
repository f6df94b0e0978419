#include "StorageTestSupport.h"

#include "storage/ChatHistoryManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <cstdint>

namespace pellix {

namespace {

class ChatHistoryTest : public StorageTest {
protected:
    void SetUp() override {
        StorageTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(QStringLiteral("Profile/501")));
    }

    static bool Exists(const std::string& path) {
        return QFileInfo::exists(QString::fromStdString(path));
    }

    CChatHistoryManager history;
};

} // namespace

TEST_F(ChatHistoryTest, CountingANewPeerCreatesAnEmptyHistory) {
    EXPECT_EQ(CChatHistoryManager::GetInstance(), &history);
    EXPECT_EQ(history.GetMessageCount(502), 0);
    EXPECT_TRUE(Exists(HistoryFile(502)));
    EXPECT_TRUE(RawRows(HistoryFile(502), "SELECT * FROM chat_history").empty());
    EXPECT_TRUE(m_notices.notices.empty());
}

TEST_F(ChatHistoryTest, LastPageHoldsTheLastRowsInInsertionOrder) {
    for (int i = 0; i < 45; ++i)
        history.AddMessage(502, "me", "you", 1000 + i, "message " + std::to_string(i));
    EXPECT_EQ(history.GetMessageCount(502), 45);

    const std::vector<ChatHistoryRecord>& page = history.GetMessages(502, 20, 40);
    ASSERT_EQ(page.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(page[i].strMessage, "message " + std::to_string(40 + i));
        EXPECT_EQ(page[i].nTime, 1040 + i);
        EXPECT_EQ(page[i].strFrom, "me");
        EXPECT_EQ(page[i].strTo, "you");
    }
    EXPECT_EQ(history.GetMessages(502, 20, 0).size(), 20u);
    EXPECT_TRUE(history.GetMessages(502, 20, 60).empty());
}

TEST_F(ChatHistoryTest, TimesKeepAllSixtyFourBitsAndTextsRoundTrip) {
    const int64_t farFuture = (int64_t{1} << 33) + 5;
    const std::string nick = "\xBA\xC3\xD3\xD1"; // "好友" in GBK
    history.AddMessage(503, nick, nick, farFuture, "hi " + nick);
    history.AddMessage(503, "a", "b", -1, "before 1970");
    history.CommitPending();

    EXPECT_EQ(RawRows(HistoryFile(503), "SELECT [From], [To], Time, Message FROM chat_history"),
              (std::vector<std::string>{"\xE5\xA5\xBD\xE5\x8F\x8B|\xE5\xA5\xBD\xE5\x8F\x8B|"
                                        "8589934597|hi \xE5\xA5\xBD\xE5\x8F\x8B",
                                        "a|b|-1|before 1970"}));
    const std::vector<ChatHistoryRecord>& page = history.GetMessages(503, 20, 0);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0].nTime, farFuture);
    EXPECT_EQ(page[0].strFrom, nick);
    EXPECT_EQ(page[0].strTo, nick);
    EXPECT_EQ(page[0].strMessage, "hi " + nick);
    EXPECT_EQ(page[1].nTime, -1);
}

TEST_F(ChatHistoryTest, DeletingStartsAfreshAndDeletingAllKeepsTheDirectory) {
    history.AddMessage(502, "a", "b", 1, "x");
    history.AddMessage(503, "a", "b", 1, "y");
    history.DeleteHistory(502);
    EXPECT_FALSE(Exists(HistoryFile(502)));
    EXPECT_FALSE(Exists(HistoryFile(502) + "-wal"));
    history.DeleteHistory(504);
    history.AddMessage(502, "a", "b", 2, "z");
    EXPECT_EQ(history.GetMessageCount(502), 1);

    history.DeleteAllHistory();
    EXPECT_TRUE(QDir(QStringLiteral("Profile/501/ChatHistory")).exists());
    EXPECT_TRUE(QDir(QStringLiteral("Profile/501/ChatHistory"))
                    .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
                    .isEmpty());
    EXPECT_EQ(history.GetMessageCount(503), 0);
    EXPECT_TRUE(m_notices.notices.empty());
}

TEST_F(ChatHistoryTest, ATurnsMessagesAreStoredAtItsEndAndOutliveAKillAfterIt) {
    history.AddMessage(502, "a", "b", 1, "one");
    history.AddMessage(503, "a", "b", 2, "two");
    history.AddMessage(502, "a", "b", 3, "three");
    QCoreApplication::processEvents();
    EXPECT_EQ(RawRows(HistoryFile(502), "SELECT Message FROM chat_history"),
              (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(RawRows(HistoryFile(503), "SELECT Message FROM chat_history"),
              (std::vector<std::string>{"two"}));

    // Another program stores 500 more in one turn and is killed once the turn is over.
    QProcess writer;
    writer.setWorkingDirectory(QString::fromStdString(WorkPath("")));
    writer.start(QStringLiteral(HISTORY_WRITER_PATH), {QStringLiteral("500")});
    ASSERT_TRUE(writer.waitForReadyRead(60000));
    EXPECT_EQ(writer.readLine().trimmed(), "stored");
    writer.kill();
    ASSERT_TRUE(writer.waitForFinished(60000));

    QProcess dump;
    dump.start(QStringLiteral(HISTORY_DUMP_PATH), {QString::fromStdString(HistoryFile(502))});
    ASSERT_TRUE(dump.waitForFinished(60000));
    const QList<QByteArray> lines = dump.readAllStandardOutput().split('\n');
    ASSERT_GE(lines.size(), 503);
    EXPECT_TRUE(lines[0].endsWith(": 502 rows")) << lines[0].toStdString();
    EXPECT_EQ(lines[502], "  me -> you: message 499");
    EXPECT_EQ(history.GetMessageCount(502), 502);
}

TEST_F(ChatHistoryTest, UnusableHistoryFileIsReportedAndEverythingGoesOn) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(HistoryFile(502))));
    history.AddMessage(502, "a", "b", 1, "lost");
    EXPECT_EQ(history.GetMessageCount(502), 0);
    EXPECT_TRUE(history.GetMessages(502, 20, 0).empty());
    // Read again and again, a broken file is reported once.
    ASSERT_EQ(m_notices.notices.size(), 1u);
    EXPECT_EQ(m_notices.notices[0].text,
              QString::fromStdString("Data error: not a regular file" + HistoryFile(502)));

    // A history cut short in the middle of its pages.
    const std::string whole = WorkPath("whole.data");
    RawExec(whole, "CREATE TABLE chat_history ([From], [To], [Time], [Message]);"
                   "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)"
                   "INSERT INTO chat_history SELECT 'a', 'b', i, hex(randomblob(40)) FROM n;");
    const std::string cut = FileBytes(whole).substr(0, 40000);
    WriteFile(HistoryFile(503), cut);
    EXPECT_EQ(history.GetMessageCount(503), 0);
    ASSERT_EQ(m_notices.notices.size(), 2u);
    EXPECT_TRUE(m_notices.notices[1].text.endsWith(QString::fromStdString(HistoryFile(503))));
    EXPECT_EQ(FileBytes(HistoryFile(503)), cut);
}

} // namespace pellix
