// The friend server's TLS port against the client library and scripted peers: certificates the
// client refuses before a byte of its log-on leaves it, and peers that speak clear text to the
// port or stall its handshake, which are dropped while good clients go on; a client that comes
// back resumes its session.

#include "LoggingOnService.h"
#include "ManualKeepAliveClock.h"
#include "ServerFixture.h"
#include "ServerProcess.h"
#include "TestCertificates.h"
#include "TlsLogCapture.h"

#include <QSignalSpy>
#include <QSslError>

#include <algorithm>

using namespace pellix;
using namespace pellix::server;

namespace {

const TestCertificates& Certificates() {
    static const TestCertificates certificates;
    return certificates;
}

class TlsTest : public ServerFixture {
protected:
    void StartTls(TestCertificates::Server certificate, SessionLimits limits = {},
                  IKeepAliveClock* clock = nullptr) {
        ASSERT_TRUE(Certificates().IsValid()) << Certificates().Error().toStdString();
        const QSslConfiguration tls = Certificates().ServerConfiguration(certificate);
        ASSERT_FALSE(tls.isNull());
        StartServer(limits, &tls, clock);
        UseClientTls(Certificates().ClientConfiguration());
        AddAccount(1);
        AddAccount(2);
        Befriend(1, 2);
    }
    std::string Address(bool withCa = true) {
        std::string address = "tls://127.0.0.1:" + std::to_string(Server().Port());
        if (withCa)
            address += "?ca=" + Certificates().CaFile().toStdString();
        return address;
    }

    // Outlives the server, which TearDown destroys with the timers it made on it.
    ManualKeepAliveClock m_HandshakeClock;
};

struct Refusal {
    TestCertificates::Server certificate;
    bool caGiven;
    QSslError::SslError reason;
};

} // namespace

TEST_F(TlsTest, ACertificateThatDoesNotVerifyGetsNoLogOnAndTheClientKeepsTrying) {
    const Refusal refusals[] = {
        {TestCertificates::Server::OtherHost, true, QSslError::HostNameMismatch},
        {TestCertificates::Server::Expired, true, QSslError::CertificateExpired},
        {TestCertificates::Server::UnknownCa, true, QSslError::UnableToGetLocalIssuerCertificate},
        // Without the CA the test certificate is no better than one from an unknown CA.
        {TestCertificates::Server::Good, false, QSslError::UnableToGetLocalIssuerCertificate},
    };
    for (const Refusal& refusal : refusals) {
        const QString reason = QSslError(refusal.reason).errorString();
        SCOPED_TRACE(reason.toStdString());
        StartTls(refusal.certificate);
        QSignalSpy sessionsClosed(&Server(), &FriendServer::sessionClosed);
        const TlsLogCapture log;
        LoggingOnService service(1, Token(1));
        service.SetReconnectDelays(10, 40);
        ASSERT_TRUE(service.StartService(Address(refusal.caGiven), 5500));
        ASSERT_TRUE(QTest::qWaitFor([&] { return service.failedAttempts >= 3; }, kWaitMs));
        service.StopService();
        // The log-on goes out only from OnServerConnected; the server made no session, so not a
        // byte of any frame reached its command handler.
        EXPECT_EQ(service.connects, 0);
        EXPECT_EQ(Server().SessionCount(), 0u);
        EXPECT_EQ(sessionsClosed.count(), 0);
        EXPECT_EQ(Server().OnlineCount(), 0u);
        EXPECT_TRUE(TlsLogCapture::Holds(reason)) << TlsLogCapture::All().toStdString();
    }
}

TEST_F(TlsTest, AServiceThatComesBackResumesItsSessionWithTheTicketOfItsLastHandshake) {
    StartTls(TestCertificates::Server::Good);
    LoggingOnService service(1, Token(1));
    service.SetReconnectDelays(10, 40);
    const auto listsReceived = [&service](long count) {
        return QTest::qWaitFor(
            [&] { return std::ranges::count(service.received, SUB_S_FRIEND_LIST) == count; },
            kWaitMs);
    };
    ASSERT_TRUE(service.StartService(Address(), 5500));
    ASSERT_TRUE(listsReceived(1));
    // A log-on of the same user elsewhere (a full handshake: the peer has no ticket) ends the
    // service's connection, and the service comes back.
    LogOn(1);
    ASSERT_TRUE(listsReceived(2));
    EXPECT_EQ(Server().ResumedHandshakeCount(), 1u);

    // New TLS settings forget the ticket.
    service.RestartService();
    ASSERT_TRUE(listsReceived(3));
    EXPECT_EQ(Server().ResumedHandshakeCount(), 1u);
}

TEST_F(TlsTest, AnUnreadableCaFileStopsTheServiceFromStarting) {
    StartTls(TestCertificates::Server::Good);
    LoggingOnService service(1, Token(1));
    const std::string port = std::to_string(Server().Port());
    EXPECT_FALSE(service.StartService("tls://127.0.0.1:" + port + "?ca=/nonexistent/ca.pem", 1));
    EXPECT_FALSE(service.StartService(
        "tls://127.0.0.1:" + port + "?ca=" + Certificates().KeyFile().toStdString(), 1));
    EXPECT_FALSE(service.IsConnectionOpen());
    EXPECT_EQ(Server().SessionCount(), 0u);
}

TEST_F(TlsTest, PeersThatSpeakClearTextToTheTlsPortAreDroppedAndOthersGoOn) {
    StartTls(TestCertificates::Server::Good);
    TestPeer& one = LogOn(1);
    TestPeer& two = LogOn(2);
    ASSERT_TRUE(one.WaitFor(SUB_S_ONLINE_STATE));

    TestPeer plain(Server().Port());
    plain.LogOn(1, Token(1), -1);
    EXPECT_TRUE(plain.WaitDisconnected());
    // A TLS record header followed by nonsense fails the handshake.
    TestPeer garbled(Server().Port());
    garbled.SendRaw(QByteArray("\x16\x03\x01\x00\x05hello", 10));
    EXPECT_TRUE(garbled.WaitDisconnected());

    EXPECT_EQ(Server().OnlineCount(), 2u);
    EXPECT_EQ(Server().SessionCount(), 2u);
    one.Chat(2, "still here");
    EXPECT_TRUE(two.WaitFor(SUB_S_CHAT_MESSAGE));
}

TEST_F(TlsTest, StalledHandshakesHoldUpNoOneAndAreDroppedAfterTenSeconds) {
    StartTls(TestCertificates::Server::Good, {}, &m_HandshakeClock);
    // More than a listening socket would keep waiting by default.
    std::vector<std::unique_ptr<TestPeer>> stalled;
    for (int i = 0; i < 40; ++i)
        stalled.push_back(std::make_unique<TestPeer>(Server().Port()));
    stalled.front()->SendRaw(QByteArray("\x16\x03\x01\x00\x80", 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Server().HandshakeCount() == 40; }, kWaitMs));

    TestPeer& one = LogOn(1);
    TestPeer& two = LogOn(2);
    one.Chat(2, "past the stalled ones");
    EXPECT_TRUE(two.WaitFor(SUB_S_CHAT_MESSAGE));
    m_HandshakeClock.Advance(9999);
    EXPECT_EQ(Server().HandshakeCount(), 40u);
    m_HandshakeClock.Advance(1);
    EXPECT_EQ(Server().HandshakeCount(), 0u);
    for (const auto& peer : stalled)
        EXPECT_TRUE(peer->WaitDisconnected());
    EXPECT_EQ(Server().SessionCount(), 2u);
    two.Chat(1, "still here");
    EXPECT_TRUE(one.WaitFor(SUB_S_CHAT_MESSAGE));
}

TEST_F(TlsTest, TheServerBinarySpeaksTlsWithItsCertificateAndKey) {
    ASSERT_TRUE(Certificates().IsValid()) << Certificates().Error().toStdString();
    QTemporaryDir dir;
    const QString database = dir.filePath(QStringLiteral("server.db"));
    const QStringList common = {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                                QStringLiteral("--db"), database, QStringLiteral("--seed-demo")};
    ServerProcess server(common +
                         QStringList{QStringLiteral("--tls-cert"),
                                     Certificates().CertificateFile(TestCertificates::Server::Good),
                                     QStringLiteral("--tls-key"), Certificates().KeyFile()});
    const quint16 port = server.WaitListening(true);
    ASSERT_NE(port, 0) << server.ErrorOutput().toStdString();
    TestPeer peer(port, Certificates().ClientConfiguration());
    peer.LogOn(10001, "demo", -1);
    EXPECT_TRUE(peer.WaitFor(SUB_S_FRIEND_LIST));

    ServerProcess keyless(common +
                          QStringList{QStringLiteral("--tls-cert"), Certificates().CaFile()});
    EXPECT_EQ(keyless.WaitExitCode(), 2);
    ServerProcess swapped(common +
                          QStringList{QStringLiteral("--tls-cert"), Certificates().KeyFile(),
                                      QStringLiteral("--tls-key"), Certificates().CaFile()});
    EXPECT_EQ(swapped.WaitExitCode(), 1);
    EXPECT_TRUE(swapped.ErrorOutput().contains(QStringLiteral("no PEM certificate")));
}
