#include "DataTestSupport.h"

#include "data/Binding.h"
#include "data/Exception.h"
#include "data/Extraction.h"
#include "data/Statement.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace QxDataModule;

namespace {

void WriteBytes(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Values of column v of table t, read through a connection of its own, outside the library.
std::vector<int> RawValues(const std::string& path) {
    sqlite3* db = nullptr;
    std::vector<int> values;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT v FROM t ORDER BY rowid", -1, &stmt, nullptr) ==
            SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW)
                values.push_back(sqlite3_column_int(stmt, 0));
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return values;
}

class SessionFileTest : public DataFileTest {
protected:
    // One short session that makes sure the table exists and appends value.
    static void Append(const std::string& path, int32_t value) {
        Session session = Open(path);
        session << "CREATE TABLE IF NOT EXISTS t (v INTEGER)", now;
        session << "INSERT INTO t VALUES (?)", use(value), now;
    }

    static int32_t CountRows(const std::string& path) {
        Session session = Open(path);
        session << "CREATE TABLE IF NOT EXISTS t (v INTEGER)", now;
        int32_t count = -1;
        session << "SELECT COUNT(*) FROM t", into(count), now;
        return count;
    }

    static std::string DisplayTextOfOpening(const std::string& path) {
        try {
            CountRows(path);
        } catch (const DataException& e) {
            return e.displayText();
        }
        return "opened";
    }
};

} // namespace

TEST_F(SessionFileTest, OpeningCreatesAnOwnerOnlyFileWhateverTheUmask) {
    const std::string path = PathOf("new.db");
    const mode_t previous = ::umask(0);
    Append(path, 1);
    ::umask(previous);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    // The journal beside it gets the same mode.
    if (::stat((path + "-wal").c_str(), &info) == 0) {
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
    EXPECT_EQ(RawValues(path), std::vector<int>{1});
}

TEST_F(SessionFileTest, FilesThatAreNoDatabaseRaiseDataExceptionAndStayAsTheyWere) {
    const std::string text = PathOf("notes.txt");
    const QByteArray content = QByteArray("these are not the pages of a database\n").repeated(40);
    WriteBytes(text, content);
    EXPECT_EQ(DisplayTextOfOpening(text), "Data error: file is not a database");
    EXPECT_EQ(ReadBytes(text), content);

    // A database cut short after its first page.
    const std::string cut = PathOf("cut.db");
    for (int v = 0; v < 2000; ++v)
        Append(cut, v);
    QFile::copy(QString::fromStdString(cut), QString::fromStdString(PathOf("whole.db")));
    const QByteArray whole = ReadBytes(PathOf("whole.db"));
    ASSERT_GT(whole.size(), 8192);
    const std::string truncated = PathOf("truncated.db");
    WriteBytes(truncated, whole.left(5000));
    EXPECT_NE(DisplayTextOfOpening(truncated), "opened");

    const std::string directory = PathOf("folder.db");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(directory)));
    EXPECT_EQ(DisplayTextOfOpening(directory), "Data error: not a regular file");
}

TEST_F(SessionFileTest, FileDeletedBetweenSessionsIsRecreatedEmpty) {
    const std::string path = PathOf("history.db");
    Append(path, 1);
    Append(path, 2);
    ASSERT_EQ(std::remove(path.c_str()), 0);

    EXPECT_EQ(CountRows(path), 0);
    Append(path, 3);
    // The new row is in the file the path names now, read without the library's connections.
    EXPECT_EQ(RawValues(path), std::vector<int>{3});
}

// The statements kept for the old file go with its connection: the same texts run on the new
// file, whatever its tables look like now.
TEST_F(SessionFileTest, KeptStatementsFollowTheFileThePathNamesNow) {
    const std::string path = PathOf("options.db");
    Append(path, 1);
    int32_t v = 0;
    {
        Session session = Open(path);
        session << "SELECT * FROM t", into(v), now;
        EXPECT_EQ(v, 1);
    }
    ASSERT_EQ(std::remove(path.c_str()), 0);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE t (note TEXT, v INTEGER); INSERT INTO t VALUES ('n', 2)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    Session session = Open(path);
    std::string note;
    session << "SELECT * FROM t", into(note), into(v), now;
    EXPECT_EQ(note, "n");
    EXPECT_EQ(v, 2);
}

// A session still open when its file is deleted keeps writing to the file it opened; once it
// ends, nothing of it reaches the file created at the path afterwards.
TEST_F(SessionFileTest, AStatementHeldAcrossTheDeletionNeverReachesTheNewFile) {
    const std::string path = PathOf("chat.db");
    Append(path, 1);
    {
        Session session = Open(path);
        int32_t value = 2;
        Statement insert(session);
        insert << "INSERT INTO t VALUES (?)", use(value);
        insert.execute();
        ASSERT_EQ(std::remove(path.c_str()), 0);
        value = 3;
        insert.execute();
        Append(path, 10);
        value = 4;
        insert.execute();
    }
    Append(path, 11);
    EXPECT_EQ(CountRows(path), 2);
    EXPECT_EQ(RawValues(path), (std::vector<int>{10, 11}));
}

TEST_F(SessionFileTest, FileReplacedBetweenSessionsIsReadAsReplaced) {
    const std::string path = PathOf("contacts.db");
    const std::string replacement = PathOf("replacement.db");
    Append(path, 1);
    // A database made elsewhere and moved over the path.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(replacement.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t (v INTEGER); INSERT INTO t VALUES (10), (11);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ASSERT_EQ(std::rename(replacement.c_str(), path.c_str()), 0);

    EXPECT_EQ(CountRows(path), 2);
    Append(path, 12);
    EXPECT_EQ(RawValues(path), (std::vector<int>{10, 11, 12}));
}
