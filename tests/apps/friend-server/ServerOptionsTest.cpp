// The command line of the friend server and the database it names.

#include "ServerOptions.h"
#include "StoreLocation.h"

#include "text/StringUtility.h"

#include <gtest/gtest.h>

using namespace pellix;
using namespace pellix::server;

namespace {

std::optional<ServerOptions> Parse(QStringList arguments, QString& error) {
    arguments.prepend(QStringLiteral("pellix-friend-server"));
    return ParseServerOptions(arguments, error);
}

} // namespace

TEST(ServerOptionsTest, DefaultsAndEveryOption) {
    QString error;
    const auto defaults = Parse({}, error);
    ASSERT_TRUE(defaults) << error.toStdString();
    EXPECT_EQ(defaults->listenPort, 5500);
    EXPECT_EQ(defaults->receiveTimeoutMs, 75000);

    const auto options =
        Parse({QStringLiteral("--listen"),    QStringLiteral("[::1]:0"),
               QStringLiteral("--db"),        QStringLiteral("x.db"),
               QStringLiteral("--add-user"),  QStringLiteral("10001,alice,小明,7,1,to,ken"),
               QStringLiteral("--add-user"),  QStringLiteral("5,bob,,0,0,"),
               QStringLiteral("--befriend"),  QStringLiteral("10001,5"),
               QStringLiteral("--add-users"), QStringLiteral("200000-200009,bench,4"),
               QStringLiteral("--add-users"), QStringLiteral("1-4,t,3"),
               QStringLiteral("--add-users"), QStringLiteral("7-7,"),
               QStringLiteral("--seed-demo"), QStringLiteral("--receive-timeout"),
               QStringLiteral("2"),           QStringLiteral("--tls-cert"),
               QStringLiteral("server.pem"),  QStringLiteral("--tls-key"),
               QStringLiteral("server.key")},
              error);
    ASSERT_TRUE(options) << error.toStdString();
    EXPECT_EQ(options->listenHost, QStringLiteral("::1"));
    EXPECT_EQ(options->listenPort, 0);
    EXPECT_EQ(options->database, QStringLiteral("x.db"));
    EXPECT_TRUE(options->seedDemo);
    EXPECT_EQ(options->receiveTimeoutMs, 2000);
    EXPECT_EQ(options->tlsCertificateFile, QStringLiteral("server.pem"));
    EXPECT_EQ(options->tlsKeyFile, QStringLiteral("server.key"));
    ASSERT_EQ(options->users.size(), 2u);
    const Account& alice = options->users[0];
    EXPECT_EQ(alice.userID, 10001);
    EXPECT_EQ(alice.nickName, StringUtility::QStringToAnsi(QStringLiteral("小明")));
    EXPECT_EQ(alice.nickName.size(), 4u) << "GBK, two bytes a character";
    EXPECT_EQ(alice.showID, 7);
    EXPECT_EQ(alice.token, "to,ken");
    EXPECT_EQ(options->users[1].token, "");
    ASSERT_EQ(options->friendships.size(), 1u);
    EXPECT_EQ(options->friendships[0], std::make_pair(10001, 5));
    ASSERT_EQ(options->userRanges.size(), 3u);
    const UserRange& bench = options->userRanges[0];
    EXPECT_EQ(bench.first, 200000);
    EXPECT_EQ(bench.last, 200009);
    EXPECT_EQ(bench.token, "bench");
    EXPECT_EQ(bench.friends, 4);
    EXPECT_EQ(options->userRanges[1].friends, 3) << "an odd number among an even number of users";
    EXPECT_EQ(options->userRanges[2].Count(), 1);
    EXPECT_EQ(options->userRanges[2].friends, 0);
}

TEST(ServerOptionsTest, BadArgumentsAreNamed) {
    const std::vector<QStringList> bad = {
        {QStringLiteral("--listen"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:65536")},
        {QStringLiteral("--listen"), QStringLiteral("nowhere:5500")},
        {QStringLiteral("--add-user"), QStringLiteral("1,alice,A,0,0")},
        {QStringLiteral("--add-user"), QStringLiteral("0,alice,A,0,0,t")},
        {QStringLiteral("--add-user"), QStringLiteral("1,,A,0,0,t")},
        {QStringLiteral("--add-user"), QStringLiteral("1,alice,A,0,256,t")},
        {QStringLiteral("--add-user"), QStringLiteral("x,alice,A,0,0,t")},
        {QStringLiteral("--add-user"),
         QStringLiteral("1,alice,一二三四五六七八九十一二三四五六,0,0,t")},
        {QStringLiteral("--add-users"), QStringLiteral("5-4,t")},
        {QStringLiteral("--add-users"), QStringLiteral("0-4,t")},
        {QStringLiteral("--add-users"), QStringLiteral("1-4")},
        {QStringLiteral("--add-users"), QStringLiteral("1-4,t,2,2")},
        {QStringLiteral("--add-users"), QStringLiteral("1-4,t,x")},
        {QStringLiteral("--add-users"), QStringLiteral("1-4,t,4")},
        {QStringLiteral("--add-users"), QStringLiteral("1-5,t,3")},
        {QStringLiteral("--add-users"), QStringLiteral("1-2000,t,802")},
        {QStringLiteral("--add-users"), QStringLiteral("1-2000000,t")},
        {QStringLiteral("--add-users"), QStringLiteral("1-10,t"), QStringLiteral("--add-users"),
         QStringLiteral("10-20,t")},
        {QStringLiteral("--befriend"), QStringLiteral("3,3")},
        {QStringLiteral("--befriend"), QStringLiteral("3")},
        {QStringLiteral("--receive-timeout"), QStringLiteral("0")},
        {QStringLiteral("--db"), QStringLiteral("")},
        // A cluster's nodes share a PostgreSQL database, and NATS is reached as nats://.
        {QStringLiteral("--nats"), QStringLiteral("nats://127.0.0.1:4222")},
        {QStringLiteral("--db"), QStringLiteral("postgresql://u@h/db"), QStringLiteral("--nats"),
         QStringLiteral("nats://h:4222,h2:4222")},
        {QStringLiteral("--node-lease"), QStringLiteral("0")},
        {QStringLiteral("--tls-cert"), QStringLiteral("server.pem")},
        {QStringLiteral("--tls-key"), QStringLiteral("server.key")},
        {QStringLiteral("--tls-cert"), QStringLiteral(""), QStringLiteral("--tls-key"),
         QStringLiteral("server.key")},
        {QStringLiteral("--unknown")},
        {QStringLiteral("stray")},
    };
    for (const QStringList& arguments : bad) {
        QString error;
        EXPECT_FALSE(Parse(arguments, error)) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(error.isEmpty());
        if (arguments.first() == QStringLiteral("--add-users")) {
            EXPECT_TRUE(error.contains(arguments.last())) << error.toStdString();
        }
    }
    // Fifteen Chinese characters are 30 GBK bytes: still a name.
    QString error;
    EXPECT_TRUE(Parse({QStringLiteral("--add-user"),
                       QStringLiteral("1,alice,一二三四五六七八九十一二三四五,0,0,t")},
                      error));
}

TEST(ServerOptionsTest, ADatabaseIsPostgresByItsSchemeAndIsShownWithoutItsPassword) {
    EXPECT_TRUE(IsPostgresUri(QStringLiteral("postgresql://u@h:5432/db")));
    EXPECT_TRUE(IsPostgresUri(QStringLiteral("postgres://u@h/db")));
    EXPECT_FALSE(IsPostgresUri(QStringLiteral("postgres.db")));
    EXPECT_EQ(DatabaseForDisplay(QStringLiteral("postgres.db")), QStringLiteral("postgres.db"));
    for (const QString& uri : {QStringLiteral("postgresql://u:secret@h:5432/db"),
                               QStringLiteral("postgresql://u@h/db?password=secret"),
                               QStringLiteral("postgresql://u:secret@h1:5432,h2:5432/db")}) {
        const QString shown = DatabaseForDisplay(uri);
        EXPECT_FALSE(shown.contains(QStringLiteral("secret"))) << shown.toStdString();
        EXPECT_FALSE(shown.isEmpty());
    }
}
