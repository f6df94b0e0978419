#include "DataTestSupport.h"

#include "data/Binding.h"
#include "data/Exception.h"
#include "data/Extraction.h"
#include "data/Statement.h"

#include <cstdint>
#include <string>

using namespace QxDataModule;

namespace {

class StatementTest : public DataFileTest {
protected:
    void SetUp() override {
        DataFileTest::SetUp();
        m_session = Open(PathOf("statements.db"));
        m_session << "CREATE TABLE t (a INTEGER, b TEXT, c INTEGER)", now;
    }

    void Insert(int32_t a, const std::string& b, int64_t c) {
        m_session << "INSERT INTO t VALUES (?, ?, ?)", use(a), use(b), use(c), now;
    }

    int32_t Count() {
        int32_t count = -1;
        m_session << "SELECT COUNT(*) FROM t", into(count), now;
        return count;
    }

    Session m_session;
};

} // namespace

TEST_F(StatementTest, ValuesReachPlaceholdersByPositionForBothStyles) {
    Insert(7, "seven", int64_t{1} << 40);
    // Named placeholders take the values in the order they are bound, not by name.
    const int32_t first = 8;
    const std::string second = "eight";
    const int64_t third = -5;
    m_session << "INSERT INTO t VALUES (:zz, :aa, :mm)", use(first), use(second), use(third), now;

    int32_t a = 0;
    std::string b;
    int64_t c = 0;
    const int32_t wanted = 7;
    m_session << "SELECT a, b, c FROM t WHERE a = :a", into(a), into(b), into(c), use(wanted), now;
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, "seven");
    EXPECT_EQ(c, int64_t{1} << 40);

    const int32_t other = 8;
    m_session << "SELECT a, b, c FROM t WHERE a = ?", into(a), into(b), into(c), use(other), now;
    EXPECT_EQ(b, "eight");
    EXPECT_EQ(c, -5);
}

TEST_F(StatementTest, EveryPlaceholderMustBeBound) {
    const int32_t only = 1;
    EXPECT_THROW((m_session << "INSERT INTO t VALUES (?, ?, ?)", use(only), now), DataException);
    EXPECT_THROW((m_session << "INSERT INTO t (a) VALUES (?)", use(only), use(only), now),
                 DataException);
    EXPECT_EQ(Count(), 0);
}

TEST_F(StatementTest, SingleValueTargetRefusesASecondRowUnlessLimited) {
    Insert(1, "one", 0);
    Insert(2, "two", 0);
    int32_t a = 0;
    try {
        m_session << "SELECT a FROM t", into(a), now;
        FAIL() << "a second row was taken silently";
    } catch (const ExtractException& e) {
        EXPECT_EQ(e.message(), "value already extracted");
    }
    a = 0;
    Statement select(m_session);
    select << "SELECT a FROM t", into(a), Limit(1, false, false);
    EXPECT_EQ(select.execute(), 1u);
    EXPECT_EQ(a, 1);
    // The same statement runs again with fresh targets.
    a = 0;
    EXPECT_EQ(select.execute(), 1u);
    EXPECT_EQ(a, 1);
}

TEST_F(StatementTest, NullColumnsGiveTheTargetsDefault) {
    m_session << "INSERT INTO t VALUES (NULL, NULL, NULL)", now;
    int32_t a = 0;
    std::string b = "untouched";
    int64_t c = 0;
    m_session << "SELECT a, b, c FROM t", into(a, -1), into(b, std::string("none")), into(c, 9),
        now;
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, "none");
    EXPECT_EQ(c, 9);
}

TEST_F(StatementTest, ErrorsCarryTheDatabasesText) {
    try {
        m_session << "SELECT * FROM missing", now;
        FAIL() << "no exception";
    } catch (const DataException& e) {
        EXPECT_EQ(e.displayText(), "Data error: no such table: missing");
    }
    int32_t a = 0;
    std::string b;
    // A target asking for more columns than the result has fails before any row is read.
    EXPECT_THROW((m_session << "SELECT a FROM t", into(a), into(b), now), DataException);
    EXPECT_THROW((m_session << "DELETE FROM t; DROP TABLE t", now), DataException);
    EXPECT_EQ(Count(), 0);
}

TEST_F(StatementTest, SessionWithoutConnectionThrowsNullPointer) {
    Session empty;
    EXPECT_THROW((empty << "SELECT 1", now), QxBaseModule::NullPointerException);
    EXPECT_THROW(SessionFactory::instance().create("no such connector", PathOf("x.db")),
                 DataException);
}

TEST_F(StatementTest, UncommittedTransactionsLeaveNothingBehind) {
    {
        Transaction transaction(m_session);
        Insert(1, "lost", 0);
        EXPECT_TRUE(m_session.isTransaction());
    }
    EXPECT_FALSE(m_session.isTransaction());
    EXPECT_EQ(Count(), 0);

    {
        Transaction transaction(m_session);
        Insert(2, "kept", 0);
        transaction.commit();
    }
    EXPECT_EQ(Count(), 1);

    // A session that ends inside a transaction gives the connection back rolled back.
    const std::string path = PathOf("statements.db");
    {
        Session other = Open(path);
        other.begin();
        const int32_t a = 3;
        other << "INSERT INTO t (a) VALUES (?)", use(a), now;
    }
    Session again = Open(path);
    EXPECT_FALSE(again.isTransaction());
    int32_t count = 0;
    again << "SELECT COUNT(*) FROM t", into(count), now;
    EXPECT_EQ(count, 1);
}
