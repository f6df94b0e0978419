// The profile pages' request reading and answers, without sockets.

#include "ProfilePage.h"
#include "HttpRequestHead.h"

#include "text/StringUtility.h"

#include <QString>
#include <gtest/gtest.h>

using namespace pellix;
using namespace pellix::server;

namespace {

using Status = HeadReading::Status;

ProfileFacts Profile(const QString& nickName, uint8_t gender, bool online) {
    ProfileFacts profile;
    profile.account.userID = 10001;
    profile.account.userName = "alice";
    profile.account.nickName = StringUtility::QStringToAnsi(nickName);
    profile.account.showID = 77;
    profile.account.gender = gender;
    profile.online = online;
    return profile;
}

} // namespace

TEST(ProfilePageTest, OnlyUnsignedDecimalIdsNameAUser) {
    EXPECT_EQ(ProfileUserID("/user/10001"), 10001);
    EXPECT_EQ(ProfileUserID("/user/10001?from=menu"), 10001);
    EXPECT_EQ(ProfileUserID("/user/0"), 0);
    // The client writes a negative id as its unsigned value.
    EXPECT_EQ(ProfileUserID("/user/4294967295"), -1);
    EXPECT_EQ(ProfileUserID("/user/2147483648"), INT32_MIN);
    for (const char* bad :
         {"/user/4294967296", "/user/99999999999", "/user/", "/user/-1", "/user/+1", "/user/1a",
          "/user/%31", "/user/1/", "/user/1/x", "/users/1", "/USER/1", "/", "/user"})
        EXPECT_FALSE(ProfileUserID(bad).has_value()) << bad;
}

TEST(ProfilePageTest, RequestHeadsAreReadWithinTheLimit) {
    const HeadReading get = ReadRequestHead("GET /user/1 HTTP/1.1\r\nHost: x\r\n\r\n", 8192);
    ASSERT_EQ(get.status, Status::Complete);
    EXPECT_EQ(get.head.method, "GET");
    EXPECT_EQ(get.head.target, "/user/1");
    EXPECT_EQ(ReadRequestHead("GET / HTTP/1.0\n\n", 8192).status, Status::Complete);
    EXPECT_EQ(ReadRequestHead("GET /user/1 HTTP/1.1\r\nHost: x\r\n", 8192).status,
              Status::Incomplete);
    EXPECT_EQ(ReadRequestHead("", 8192).status, Status::Incomplete);

    for (const QByteArray bad :
         {"GET /user/1\r\n\r\n", "get /user/1 HTTP/1.1\r\n\r\n", "GET /user/1 HTTP/2.0\r\n\r\n",
          "GET user/1 HTTP/1.1\r\n\r\n", "GET  /user/1 HTTP/1.1\r\n\r\n",
          "GET /user/1 HTTP/1.1 x\r\n\r\n", "\r\n\r\n", "GET /a\x01 HTTP/1.1\r\n\r\n"})
        EXPECT_EQ(ReadRequestHead(bad, 8192).status, Status::Malformed) << bad.toStdString();

    // The limit counts the head up to its blank line.
    const QByteArray line = "GET / HTTP/1.1\r\nX: ";
    const QByteArray atLimit = line + QByteArray(100 - line.size(), 'a') + "\r\n\r\n";
    EXPECT_EQ(ReadRequestHead(atLimit, 100).status, Status::Complete);
    EXPECT_EQ(ReadRequestHead(atLimit, 99).status, Status::TooLarge);
    EXPECT_EQ(ReadRequestHead(QByteArray(101, 'a'), 100).status, Status::TooLarge);
    EXPECT_EQ(ReadRequestHead(QByteArray(100, 'a'), 100).status, Status::Incomplete);
}

TEST(ProfilePageTest, ThePageShowsEveryValueEscaped) {
    const ProfileFacts hostile = Profile(QStringLiteral("<script>&\"%2"), 0, true);
    const HttpResponse response = AnswerProfileRequest({"GET", "/user/10001"}, [&](int32_t id) {
        return id == 10001 ? std::optional(hostile) : std::nullopt;
    });
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.contentType, "text/html; charset=utf-8");
    const QString page = QString::fromUtf8(response.body);
    EXPECT_TRUE(page.contains(QStringLiteral("<h3>&lt;script&gt;&amp;&quot;%2</h3>")))
        << page.toStdString();
    EXPECT_FALSE(page.contains(QStringLiteral("<script>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<td>77</td>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<td>女</td>")));
    EXPECT_TRUE(page.contains(QStringLiteral("<td>在线</td>")));

    const QString other =
        QString::fromUtf8(RenderProfilePage(Profile(QStringLiteral("小明"), 1, false)));
    EXPECT_TRUE(other.contains(QStringLiteral("<h3>小明</h3>")));
    EXPECT_TRUE(other.contains(QStringLiteral("<td>男</td>")));
    EXPECT_TRUE(other.contains(QStringLiteral("<td>离线</td>")));
    EXPECT_TRUE(QString::fromUtf8(RenderProfilePage(Profile({}, 9, false)))
                    .contains(QStringLiteral("<h3>alice</h3>")))
        << "without a nickname the user name stands";
}
