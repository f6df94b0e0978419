// Where the demo host looks for the profile pages.

#include "HostOptions.h"

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
    EXPECT_EQ(Parse({QStringLiteral("--server"), QStringLiteral("")})->profileUrl, QString());

    EXPECT_EQ(Parse({QStringLiteral("--server"), QStringLiteral("127.0.0.1:5500"),
                     QStringLiteral("--profile-url"), QStringLiteral("http://127.0.0.1:41234")})
                  ->profileUrl,
              QStringLiteral("http://127.0.0.1:41234"));
    EXPECT_EQ(Parse({QStringLiteral("--profile-url"), QStringLiteral("")})->profileUrl, QString())
        << "empty turns the pages off";
}
