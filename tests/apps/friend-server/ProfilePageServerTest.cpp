// The profile pages served on loopback beside the friend server: pages with presence, answers to
// other requests, and clients that send too much, too little or nothing.

#include "ProfilePageServer.h"
#include "ServerFixture.h"

#include "text/StringUtility.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>

#include <memory>

using namespace pellix;
using namespace pellix::server;

using namespace std::chrono_literals;

namespace {

// A web client that writes its request as given and keeps all it receives until the server
// closes the connection.
class HttpClient {
public:
    explicit HttpClient(quint16 port) {
        QObject::connect(&m_Socket, &QTcpSocket::readyRead,
                         [this] { m_Received += m_Socket.readAll(); });
        m_Socket.connectToHost(QHostAddress::LocalHost, port);
    }
    void Send(const QByteArray& bytes) { m_Socket.write(bytes); }
    bool IsOpen() const { return m_Socket.state() == QAbstractSocket::ConnectedState; }
    bool WaitConnected() {
        return QTest::qWaitFor([this] { return IsOpen(); }, kWaitMs);
    }
    bool WaitClosed() {
        return QTest::qWaitFor(
            [this] { return m_Socket.state() == QAbstractSocket::UnconnectedState; }, kWaitMs);
    }
    const QByteArray& Received() const { return m_Received; }

private:
    QTcpSocket m_Socket;
    QByteArray m_Received;
};

QByteArray Fetch(quint16 port, const QByteArray& request) {
    HttpClient client(port);
    client.Send(request);
    EXPECT_TRUE(client.WaitClosed()) << "the server closes after its answer";
    return client.Received();
}

QString Page(quint16 port, int32_t userID) {
    const QByteArray response = Fetch(port, "GET /user/" + QByteArray::number(userID) +
                                                " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_TRUE(response.startsWith("HTTP/1.1 200 OK\r\n")) << response.left(40).toStdString();
    return QString::fromUtf8(response.mid(response.indexOf("\r\n\r\n") + 4));
}

class ProfilePageServerTest : public ServerFixture {
protected:
    void StartPages(const ProfilePageLimits& limits = {}) {
        StartServer();
        m_pPages = std::make_unique<ProfilePageServer>(
            Store(), [this](int32_t userID) { return Server().IsOnline(userID); }, limits);
        ASSERT_TRUE(m_pPages->Listen(QHostAddress::LocalHost, 0));
    }
    void TearDown() override {
        m_pPages.reset();
        ServerFixture::TearDown();
    }
    quint16 Port() const { return m_pPages->Port(); }
    ProfilePageServer& Pages() { return *m_pPages; }

private:
    std::unique_ptr<ProfilePageServer> m_pPages;
};

} // namespace

TEST_F(ProfilePageServerTest, APageShowsTheAccountAndItsPresence) {
    StartPages();
    AddAccount(10001, StringUtility::QStringToAnsi(QStringLiteral("小明")));
    AddAccount(10002, "<script>&\"");

    const QString alice = Page(Port(), 10001);
    EXPECT_TRUE(alice.contains(QStringLiteral("<h3>小明</h3>"))) << alice.toStdString();
    EXPECT_TRUE(alice.contains(QStringLiteral("<td>10002</td>"))) << "the show id";
    EXPECT_TRUE(alice.contains(QStringLiteral("<td>离线</td>")));
    EXPECT_FALSE(alice.contains(QStringLiteral("token"))) << "the log-on token stays secret";

    TestPeer& online = LogOn(10001);
    EXPECT_TRUE(Page(Port(), 10001).contains(QStringLiteral("<td>在线</td>")));
    online.Socket().disconnectFromHost();
    ASSERT_TRUE(online.WaitDisconnected());
    QTRY_COMPARE_WITH_TIMEOUT(Server().OnlineCount(), 0u, kWaitMs);
    EXPECT_TRUE(Page(Port(), 10001).contains(QStringLiteral("<td>离线</td>")));

    const QString hostile = Page(Port(), 10002);
    EXPECT_TRUE(hostile.contains(QStringLiteral("&lt;script&gt;&amp;&quot;")));
    EXPECT_FALSE(hostile.contains(QStringLiteral("<script>")));
}

TEST_F(ProfilePageServerTest, OtherRequestsAreAnsweredAndClosed) {
    StartPages();
    AddAccount(10001);
    const std::vector<std::pair<QByteArray, QByteArray>> cases = {
        {"GET /user/10009 HTTP/1.1\r\n\r\n", "HTTP/1.1 404 Not Found\r\n"},
        {"GET /friend-server.db HTTP/1.1\r\n\r\n", "HTTP/1.1 404 Not Found\r\n"},
        {"POST /user/10001 HTTP/1.1\r\nContent-Length: 2\r\n\r\nab",
         "HTTP/1.1 405 Method Not Allowed\r\n"},
        {"HELLO\r\n\r\n", "HTTP/1.1 400 Bad Request\r\n"},
        // One request a connection: what follows the first is not answered.
        {"GET /user/10009 HTTP/1.1\r\n\r\nGET /user/10001 HTTP/1.1\r\n\r\n",
         "HTTP/1.1 404 Not Found\r\n"},
    };
    for (const auto& [request, status] : cases) {
        const QByteArray response = Fetch(Port(), request);
        EXPECT_TRUE(response.startsWith(status)) << request.toStdString();
        EXPECT_EQ(response.count("HTTP/1.1 "), 1) << request.toStdString();
    }
    EXPECT_TRUE(
        Fetch(Port(), "DELETE /user/10001 HTTP/1.1\r\n\r\n").contains("\r\nAllow: GET\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(Pages().ConnectionCount(), 0u, kWaitMs);
}

TEST_F(ProfilePageServerTest, OversizedHeadsAndSlowClientsCannotHoldTheServer) {
    ProfilePageLimits limits;
    limits.requestTimeout = 200ms;
    StartPages(limits);
    AddAccount(10001);

    // Exactly what the server reads before it gives up: the refusal arrives whole.
    const QByteArray start = "GET /user/10001 HTTP/1.1\r\nX-Padding: ";
    const QByteArray oversized =
        Fetch(Port(), start + QByteArray(limits.maxHeadBytes + 1 - start.size(), 'a'));
    EXPECT_TRUE(oversized.startsWith("HTTP/1.1 431 ")) << oversized.left(40).toStdString();

    // Far more than that: dropped, whatever the peer may still see of the refusal.
    EXPECT_FALSE(Fetch(Port(), start + QByteArray(1024 * 1024, 'a')).contains("200 OK"));

    HttpClient silent(Port());
    HttpClient halfway(Port());
    ASSERT_TRUE(silent.WaitConnected());
    halfway.Send("GET /user/10001 HTTP/1.1\r\nHost: x\r\n");
    EXPECT_TRUE(silent.WaitClosed());
    EXPECT_TRUE(halfway.WaitClosed());
    EXPECT_TRUE(silent.Received().isEmpty());
    EXPECT_TRUE(halfway.Received().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(Pages().ConnectionCount(), 0u, kWaitMs);
    EXPECT_TRUE(Page(Port(), 10001).contains(QStringLiteral("user10001")));
}

TEST_F(ProfilePageServerTest, ConnectionsBeyondTheLimitAreClosedAtOnce) {
    ProfilePageLimits limits;
    limits.maxConnections = 2;
    StartPages(limits);
    AddAccount(10001);
    HttpClient first(Port());
    HttpClient second(Port());
    QTRY_COMPARE_WITH_TIMEOUT(Pages().ConnectionCount(), 2u, kWaitMs);
    HttpClient third(Port());
    EXPECT_TRUE(third.WaitClosed());
    EXPECT_TRUE(third.Received().isEmpty());
    EXPECT_TRUE(first.IsOpen());

    first.Send("GET /user/10001 HTTP/1.1\r\n\r\n");
    EXPECT_TRUE(first.WaitClosed());
    EXPECT_TRUE(first.Received().startsWith("HTTP/1.1 200 OK"));
    QTRY_COMPARE_WITH_TIMEOUT(Pages().ConnectionCount(), 1u, kWaitMs);
    EXPECT_FALSE(Page(Port(), 10001).isEmpty()) << "a freed place is taken again";
}

TEST(ProfilePageBinaryTest, TheServerPrintsWhereItServesThePages) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess server;
    server.start(QStringLiteral(FRIEND_SERVER_PATH),
                 {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--db"),
                  dir.filePath(QStringLiteral("server.db")), QStringLiteral("--seed-demo"),
                  QStringLiteral("--http"), QStringLiteral("127.0.0.1:0")});
    QStringList lines;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            while (server.canReadLine())
                lines << QString::fromUtf8(server.readLine()).trimmed();
            return lines.size() >= 2 || server.state() == QProcess::NotRunning;
        },
        kWaitMs));
    ASSERT_EQ(lines.size(), 2) << QString::fromUtf8(server.readAllStandardError()).toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("listening on 127.0.0.1:")));
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^profile pages on 127\\.0\\.0\\.1:(\\d+)$"))
            .match(lines[1]);
    ASSERT_TRUE(match.hasMatch()) << lines[1].toStdString();
    const auto port = static_cast<quint16>(match.captured(1).toUInt());
    ASSERT_NE(port, 0);
    EXPECT_TRUE(Page(port, 10001).contains(QStringLiteral("<h3>小明</h3>")));
    server.terminate();
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.state() == QProcess::NotRunning; }, kWaitMs));
    EXPECT_EQ(server.exitCode(), 0);
}
