// The PostgreSQL store's own life: its schema made once, everything kept for the next store on
// the same database (a restarted or another server), and a lost connection opened again.

#include "FriendRelations.h"
#include "PostgresAccountStore.h"
#include "PostgresCluster.h"
#include "PostgresSchema.h"

#include <QTest>
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace pellix;
using namespace pellix::server;

namespace {

constexpr int kWaitForBackendMs = 10000;

// The first column of every row of a query run from outside the store.
std::vector<std::string> Column(const std::string& uri, const char* sql) {
    std::unique_ptr<PGconn, decltype(&PQfinish)> connection(PQconnectdb(uri.c_str()), &PQfinish);
    if (PQstatus(connection.get()) != CONNECTION_OK)
        throw std::runtime_error(PQerrorMessage(connection.get()));
    std::unique_ptr<PGresult, decltype(&PQclear)> result(PQexec(connection.get(), sql), &PQclear);
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw std::runtime_error(PQresultErrorMessage(result.get()));
    std::vector<std::string> values;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        values.emplace_back(PQgetvalue(result.get(), row, 0));
    return values;
}

Account MakeAccount(int32_t userID) {
    Account account;
    account.userID = userID;
    account.userName = "user" + std::to_string(userID);
    account.token = "secret";
    return account;
}

} // namespace

TEST(PostgresStoreTest, TheSchemaIsMadeOnceAndTheNextStoreFindsEverythingKept) {
    const std::string uri = PostgresCluster::Shared().CreateDatabase();
    const char* const versions = "SELECT version || ' ' || applied_at FROM schema_version";
    int64_t lastQueueID = 0;
    {
        PostgresAccountStore store(uri);
        FriendRelations relations(store);
        relations.SaveAccount(MakeAccount(1));
        relations.SaveAccount(MakeAccount(2));
        ASSERT_TRUE(relations.MakeFriends(1, 2));
        QueuedMessage message;
        message.recipientID = 2;
        message.senderID = 1;
        message.text = "while away";
        lastQueueID = store.QueueMessage(message);
        message.messageID = 9;
        ASSERT_TRUE(store.QueueAckedMessage(message));
        store.SaveRequest({1, 2, "hello", false});
    }
    const std::vector<std::string> applied = Column(uri, versions);
    ASSERT_EQ(applied.size(), static_cast<std::size_t>(PostgresSchemaVersion()));

    PostgresAccountStore reopened(uri);
    EXPECT_EQ(Column(uri, versions), applied) << "no step ran again";
    EXPECT_TRUE(reopened.FindAccount(1).has_value());
    EXPECT_EQ(reopened.FriendsOf(2), (std::vector<int32_t>{1}));
    EXPECT_EQ(reopened.QueuedMessageCount(2), 2u);
    EXPECT_TRUE(reopened.HoldsAckedMessage(1, 9));
    EXPECT_TRUE(reopened.FindRequest(1, 2).has_value());
    EXPECT_GT(reopened.QueueMessage(QueuedMessage{}), lastQueueID);
}

TEST(PostgresStoreTest, ADatabaseOfANewerSchemaIsRefused) {
    const std::string uri = PostgresCluster::Shared().CreateDatabase();
    { PostgresAccountStore store(uri); }
    Column(uri, "INSERT INTO schema_version (version) VALUES (1000) RETURNING version");
    EXPECT_THROW(PostgresAccountStore refused(uri), PostgresError);
}

TEST(PostgresStoreTest, AStoreWhoseConnectionWasCutFailsOnceThenConnectsAgain) {
    const std::string uri = PostgresCluster::Shared().CreateDatabase();
    PostgresAccountStore store(uri);
    store.SaveAccount(MakeAccount(1), 1, {});
    ASSERT_EQ(Column(uri, "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                          "datname = current_database() AND pid <> pg_backend_pid()"),
              (std::vector<std::string>{"t"}));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return Column(uri, "SELECT pid FROM pg_stat_activity WHERE datname = "
                               "current_database() AND pid <> pg_backend_pid()")
                .empty();
        },
        kWaitForBackendMs));

    EXPECT_THROW(store.FindAccount(1), std::runtime_error);
    EXPECT_TRUE(store.FindAccount(1).has_value()) << "prepared again on the new connection";
}
