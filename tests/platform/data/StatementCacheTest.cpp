// Prepared statements kept per connection: what a kept statement must never carry from one use to
// the next (bindings, a half-read result, the schema it was prepared against), and the bound on
// how many are kept.

#include "DataTestSupport.h"

#include "data/Binding.h"
#include "data/Exception.h"
#include "data/Extraction.h"
#include "data/SQLite/StatementCache.h"
#include "data/Statement.h"

#include <memory>
#include <sqlite3.h>
#include <string>

using namespace QxDataModule;

namespace {

// Runs SQL through a connection of its own, outside the library, as another program would.
void RawExecute(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const std::string message = error != nullptr ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

// Fills one placeholder but never binds it.
class UnboundValue final : public AbstractBinding {
public:
    std::size_t numOfColumnsHandled() const override { return 1; }
    std::size_t numOfRowsHandled() const override { return 1; }
    bool canBind() const override { return false; }
    void bind(std::size_t, AbstractBinder&) override {}
    void reset() override {}
};

class StatementCacheTest : public DataFileTest {
protected:
    void SetUp() override {
        DataFileTest::SetUp();
        m_path = PathOf("cache.db");
    }

    // The storage code's pattern: one session per operation, the schema made sure of each time.
    void Append(int32_t value) {
        Session session = Open(m_path);
        session << "CREATE TABLE IF NOT EXISTS t (v INTEGER)", now;
        session << "INSERT INTO t (v) VALUES (?)", use(value), now;
    }

    int32_t Count() {
        Session session = Open(m_path);
        int32_t count = -1;
        session << "SELECT COUNT(*) FROM t", into(count), now;
        return count;
    }

    std::string m_path;
};

} // namespace

TEST_F(StatementCacheTest, TablesDroppedBetweenUsesAreMadeAgain) {
    Append(1);
    Append(2);
    // Dropped through the library's own connection...
    {
        Session session = Open(m_path);
        session << "DROP TABLE t", now;
    }
    Append(3);
    EXPECT_EQ(Count(), 1);
    // ...and by another program, with a different shape.
    RawExecute(m_path, "DROP TABLE t; CREATE TABLE t (note TEXT, v INTEGER)");
    Append(4);
    EXPECT_EQ(Count(), 1);
    Session session = Open(m_path);
    std::string note = "untouched";
    int32_t v = 0;
    session << "SELECT note, v FROM t", into(note, std::string("none")), into(v), now;
    EXPECT_EQ(note, "none");
    EXPECT_EQ(v, 4);
}

TEST_F(StatementCacheTest, SelectStarFollowsTheColumnsTheTableHasNow) {
    Append(5);
    int32_t first = 0;
    std::string second;
    {
        Session session = Open(m_path);
        session << "SELECT * FROM t", into(first), now;
        EXPECT_EQ(first, 5);
    }
    RawExecute(m_path, "ALTER TABLE t ADD COLUMN label TEXT DEFAULT 'five'");
    {
        Session session = Open(m_path);
        session << "SELECT * FROM t", into(first), into(second), now;
        EXPECT_EQ(first, 5);
        EXPECT_EQ(second, "five");
    }
    // Columns in another order: the values come from the columns as they are now.
    RawExecute(m_path, "DROP TABLE t; CREATE TABLE t (label TEXT, v INTEGER);"
                       "INSERT INTO t VALUES ('six', 6)");
    {
        Session session = Open(m_path);
        std::string label;
        int32_t v = 0;
        session << "SELECT * FROM t", into(label), into(v), now;
        EXPECT_EQ(label, "six");
        EXPECT_EQ(v, 6);
    }
    // Fewer columns than targets is an error, and the statement stays usable.
    RawExecute(m_path, "DROP TABLE t; CREATE TABLE t (v INTEGER); INSERT INTO t VALUES (7)");
    Session session = Open(m_path);
    EXPECT_THROW((session << "SELECT * FROM t", into(first), into(second), now), DataException);
    session << "SELECT * FROM t", into(first), now;
    EXPECT_EQ(first, 7);
}

// A result left half-read would keep the connection's read snapshot into the next session.
TEST_F(StatementCacheTest, AHalfReadResultIsResetBeforeTheConnectionIsUsedAgain) {
    Append(1);
    Append(2);
    {
        Session session = Open(m_path);
        int32_t v = 0;
        EXPECT_THROW((session << "SELECT v FROM t ORDER BY v", into(v), now), ExtractException);
    }
    RawExecute(m_path, "INSERT INTO t VALUES (3)");
    EXPECT_EQ(Count(), 3);
    Session session = Open(m_path);
    int32_t v = 0;
    session << "SELECT v FROM t ORDER BY v", into(v), Limit(1), now;
    EXPECT_EQ(v, 1) << "the next use starts at the first row";
}

TEST_F(StatementCacheTest, BindingsNeverCarryOverToTheNextUse) {
    Session session = Open(m_path);
    session << "CREATE TABLE t (a INTEGER, b TEXT)", now;
    const int32_t one = 1;
    const int32_t two = 2;
    const std::string text = "first";
    session << "INSERT INTO t (a, b) VALUES (?, ?)", use(one), use(text), now;
    session << "INSERT INTO t (a, b) VALUES (?, ?)", use(two), std::make_unique<UnboundValue>(),
        now;
    std::string b;
    session << "SELECT b FROM t WHERE a = ?", into(b, std::string("NULL")), use(two), now;
    EXPECT_EQ(b, "NULL");
}

// Two live statements of the same text each get their own prepared statement.
TEST_F(StatementCacheTest, StatementsOfTheSameTextInUseTogetherStayApart) {
    Session session = Open(m_path);
    session << "CREATE TABLE t (a INTEGER, b TEXT)", now;
    session << "INSERT INTO t VALUES (1, 'one'), (2, 'two')", now;
    const int32_t firstKey = 1;
    const int32_t secondKey = 2;
    std::string first;
    std::string second;
    Statement byFirst(session);
    byFirst << "SELECT b FROM t WHERE a = ?", use(firstKey), into(first);
    Statement bySecond(session);
    bySecond << "SELECT b FROM t WHERE a = ?", use(secondKey), into(second);
    for (int round = 0; round < 3; ++round) {
        first.clear();
        second.clear();
        EXPECT_EQ(byFirst.execute(), 1u);
        EXPECT_EQ(bySecond.execute(), 1u);
        EXPECT_EQ(first, "one");
        EXPECT_EQ(second, "two");
    }
    std::string third;
    session << "SELECT b FROM t WHERE a = ?", use(secondKey), into(third), now;
    EXPECT_EQ(third, "two");
    EXPECT_EQ(byFirst.execute(), 1u);
    EXPECT_EQ(first, "one");
}

TEST(StatementCacheBound, KeepsTheMostRecentlyUsedAndNoMore) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    {
        SQLite::StatementCache cache(db);
        const auto text = [](int n) { return "SELECT " + std::to_string(n); };
        for (int n = 0; n < 40; ++n) {
            const auto lease = cache.Acquire(text(n));
            EXPECT_FALSE(lease.reused);
            cache.Release(text(n), lease);
        }
        EXPECT_EQ(cache.IdleCount(), SQLite::StatementCache::MAX_IDLE);
        const auto recent = cache.Acquire(text(39));
        EXPECT_TRUE(recent.reused);
        const auto evicted = cache.Acquire(text(0));
        EXPECT_FALSE(evicted.reused);
        // The same text while its kept statement is out: another statement, given back finalized.
        const auto again = cache.Acquire(text(39));
        EXPECT_FALSE(again.reused);
        EXPECT_NE(again.stmt, recent.stmt);
        cache.Release(text(39), again);
        cache.Release(text(39), recent);
        cache.Release(text(0), evicted);
        EXPECT_EQ(cache.IdleCount(), SQLite::StatementCache::MAX_IDLE);
        EXPECT_THROW(cache.Acquire("SELECT 1; SELECT 2"), DataException);
        EXPECT_THROW(cache.Acquire("SELEKT 1"), DataException);
    }
    // Every statement was finalized: the connection closes at once.
    EXPECT_EQ(sqlite3_close(db), SQLITE_OK);
}
