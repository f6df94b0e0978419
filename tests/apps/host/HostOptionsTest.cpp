// Where the demo host looks for the profile pages and the server's CA, and where it puts its
// windows.

#include "HostOptions.h"
#include "HostLayout.h"
#include "client/ServerAddress.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

std::optional<HostOptions> Parse(const QStringList& extra) {
    QStringList arguments = {QStringLiteral("pellix-host"), QStringLiteral("--user-id"),
                             QStringLiteral("10001"),       QStringLiteral("--user-name"),
                             QStringLiteral("alice"),       QStringLiteral("--token"),
                             QStringLiteral("demo")};
    QString error;
    auto options = ParseHostOptions(arguments + extra, error);
    EXPECT_TRUE(options) << error.toStdString();
    return options;
}

} // namespace

TEST(HostOptionsTest, TheProfilePagesDefaultToTheFriendServersHost) {
    EXPECT_EQ(Parse({})->profileUrl, QStringLiteral("http://127.0.0.1:8080"));
    EXPECT_EQ(Parse({QStringLiteral("--server"), QStringLiteral("10.1.2.3:5600")})->profileUrl,
              QStringLiteral("http://10.1.2.3:8080"));
    EXPECT_EQ(Parse({QStringLiteral("--server"), QStringLiteral("[::1]:5500")})->profileUrl,
              QStringLiteral("http://[::1]:8080"));
    EXPECT_EQ(
        Parse({QStringLiteral("--server"), QStringLiteral("[::1]:5500,10.1.2.3")})->profileUrl,
        QStringLiteral("http://[::1]:8080"))
        << "the first node's";
    EXPECT_EQ(Parse({QStringLiteral("--server"), QStringLiteral("")})->profileUrl, QString());

    EXPECT_EQ(Parse({QStringLiteral("--server"), QStringLiteral("127.0.0.1:5500"),
                     QStringLiteral("--profile-url"), QStringLiteral("http://127.0.0.1:41234")})
                  ->profileUrl,
              QStringLiteral("http://127.0.0.1:41234"));
    EXPECT_EQ(Parse({QStringLiteral("--profile-url"), QStringLiteral("")})->profileUrl, QString())
        << "empty turns the pages off";
}

TEST(HostOptionsTest, TheCaFileGoesIntoATlsAddressOnly) {
    const auto options = Parse({QStringLiteral("--server"), QStringLiteral("tls://127.0.0.1:5600"),
                                QStringLiteral("--ca"), QStringLiteral("/tmp/my ca&#.pem")});
    EXPECT_EQ(options->server, QStringLiteral("tls://127.0.0.1:5600?ca=/tmp/my%20ca%26%23.pem"));
    const std::optional<ServerAddress> address =
        ParseServerAddress(options->server.toStdString(), 5500);
    ASSERT_TRUE(address.has_value());
    EXPECT_TRUE(address->tls);
    EXPECT_EQ(address->caFile, QStringLiteral("/tmp/my ca&#.pem"));
    EXPECT_EQ(options->profileUrl, QStringLiteral("http://127.0.0.1:8080"));
    EXPECT_EQ(Parse({QStringLiteral("--server"), QStringLiteral("tls://a:5600, b"),
                     QStringLiteral("--ca"), QStringLiteral("/ca.pem")})
                  ->server,
              QStringLiteral("tls://a:5600, b?ca=/ca.pem"));

    for (const QStringList& bad :
         std::vector<QStringList>{{QStringLiteral("--server"), QStringLiteral("127.0.0.1:5600"),
                                   QStringLiteral("--ca"), QStringLiteral("ca.pem")},
                                  {QStringLiteral("--server"), QStringLiteral("tls://h?ca=a.pem"),
                                   QStringLiteral("--ca"), QStringLiteral("b.pem")},
                                  {QStringLiteral("--server"), QStringLiteral("tls://h"),
                                   QStringLiteral("--ca"), QString()}}) {
        QString error;
        QStringList arguments = {QStringLiteral("pellix-host"),
                                 QStringLiteral("--user-id"),
                                 QStringLiteral("1"),
                                 QStringLiteral("--user-name"),
                                 QStringLiteral("a"),
                                 QStringLiteral("--token"),
                                 QStringLiteral("t")};
        EXPECT_FALSE(ParseHostOptions(arguments + bad, error))
            << bad.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("--"))) << error.toStdString();
    }
}

TEST(HostLayoutTest, EachHostTakesItsColumnWithTheFriendListBesideIt) {
    EXPECT_FALSE(ParseWindowTile(QStringLiteral("2/2")));
    EXPECT_FALSE(ParseWindowTile(QStringLiteral("-1/2")));
    EXPECT_FALSE(ParseWindowTile(QStringLiteral("0/0")));
    EXPECT_FALSE(ParseWindowTile(QStringLiteral("0/99")));
    EXPECT_FALSE(ParseWindowTile(QStringLiteral("1")));
    const std::optional<WindowTile> second = ParseWindowTile(QStringLiteral("1/2"));
    ASSERT_TRUE(second);
    const QRect column = TileArea(QRect(0, 20, 1600, 880), *second);
    EXPECT_EQ(column, QRect(800, 20, 800, 880));

    QWidget host;
    host.setMinimumSize(300, 200);
    host.resize(640, 480);
    QWidget list;
    list.resize(150, 620);
    PlaceSideBySide(host, list, column);
    EXPECT_EQ(host.geometry(), QRect(800, 20, 642, 480));
    EXPECT_EQ(list.pos(), QPoint(800 + 642 + 8, 20));
    EXPECT_LE(list.geometry().right(), column.right());

    // A column too narrow for both keeps the host usable; the list goes past the column.
    PlaceSideBySide(host, list, QRect(0, 0, 400, 300));
    EXPECT_EQ(host.width(), 300);
    EXPECT_EQ(list.x(), 308);
    EXPECT_EQ(host.height(), 300);
}
