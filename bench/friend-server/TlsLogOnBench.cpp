// 1,000 clients that connect and log on together until each holds its friend list: over plain TCP
// or TLS, with full handshakes or resumed ones (each client offers the ticket of its connection in
// an untimed round before), against a server in this process or the server binary as a child
// process, whose CPU time is then server_cpu_ms beside this process's client_cpu_ms.
//
// The clients are the bench's own: one OpenSSL context for all of them, as a load generator holds
// one, verifying the server's certificate and address. With qt:1 each is a QSslSocket set up as
// the client library sets one up, which makes an OpenSSL context of its own for every connection.

#include "ProcessCpu.h"
#include "TlsBenchSupport.h"
#include "TlsChannel.h"
#include "client/CommandStream.h"
#include "client/FrameCodec.h"
#include "records/FriendCommands.h"

#include <QFile>
#include <QProcess>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

using namespace pellix;
using namespace pellix::server;
using namespace pellix::bench;

namespace {

constexpr char kLoopback[] = "127.0.0.1";
// Long enough for the server binary to close a round's 1,000 sessions before the next round.
constexpr unsigned long kChildSettleMs = 1000;

struct SessionFree {
    void operator()(SSL_SESSION* session) const { SSL_SESSION_free(session); }
};
using SessionPtr = std::unique_ptr<SSL_SESSION, SessionFree>;

// What the clients share: the bench's OpenSSL context, the client library's settings, and the
// session each user kept from its last connection.
class ClientTls {
public:
    explicit ClientTls(int32_t users)
        : m_context(SSL_CTX_new(TLS_client_method()), &SSL_CTX_free), m_sessions(users + 1),
          m_tickets(users + 1) {
        SSL_CTX_set_min_proto_version(m_context.get(), TLS1_2_VERSION);
        SSL_CTX_set_verify(m_context.get(), SSL_VERIFY_PEER, nullptr);
        SSL_CTX_load_verify_locations(
            m_context.get(), QFile::encodeName(Certificates().CaFile()).constData(), nullptr);
        // As the client library's connection sets its sockets up (ClientTls).
        m_library = Certificates().ClientConfiguration();
        m_library.setSslOption(QSsl::SslOptionDisableSessionPersistence, false);
    }

    // A client's side of a connection to the loopback address, offering the user's session.
    SSL* NewConnection(int32_t userID) const {
        SSL* ssl = SSL_new(m_context.get());
        SSL_set_connect_state(ssl);
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), kLoopback);
        if (m_sessions[userID])
            SSL_set_session(ssl, m_sessions[userID].get());
        return ssl;
    }
    QSslConfiguration LibraryConfiguration(int32_t userID) const {
        QSslConfiguration configuration = m_library;
        configuration.setSessionTicket(m_tickets[userID]);
        return configuration;
    }
    void Keep(int32_t userID, SSL_SESSION* session) { m_sessions[userID].reset(session); }
    void Keep(int32_t userID, const QByteArray& ticket) { m_tickets[userID] = ticket; }

private:
    std::shared_ptr<SSL_CTX> m_context;
    QSslConfiguration m_library;
    std::vector<SessionPtr> m_sessions;
    std::vector<QByteArray> m_tickets;
};

enum class Transport { Plain, Tls, LibraryTls };

// Logs on as soon as it can (over TLS, once its handshake is done) and notes its friend list.
class LogOnClient {
public:
    struct Tally {
        int lists = 0;
        int resumed = 0;
    };

    LogOnClient(quint16 port, int32_t userID, Transport transport, ClientTls& tls, Tally& tally)
        : m_userID(userID), m_tls(tls), m_tally(tally) {
        CCommandStream body;
        body.WriteInt32(userID);
        body.WriteString("t");
        body.WriteInt32(-1);
        m_logOn =
            FrameCodec::EncodeFrame(CMD_FRIEND, SUB_C_LOGON, body.SendBuffer(), body.SendSize());
        if (transport == Transport::LibraryTls) {
            auto socket = std::make_unique<QSslSocket>();
            socket->setSslConfiguration(tls.LibraryConfiguration(userID));
            QSslSocket* secure = socket.get();
            QObject::connect(secure, &QSslSocket::newSessionTicketReceived, [this, secure] {
                m_tls.Keep(m_userID, secure->sslConfiguration().sessionTicket());
            });
            socket->connectToHostEncrypted(QString::fromLatin1(kLoopback), port);
            m_socket = std::move(socket);
        } else {
            m_socket = std::make_unique<QTcpSocket>();
            m_socket->connectToHost(QHostAddress::LocalHost, port);
        }
        QObject::connect(m_socket.get(), &QTcpSocket::readyRead, [this] { OnReadyRead(); });
        if (transport == Transport::Tls) {
            m_channel = std::make_unique<TlsChannel>(tls.NewConnection(userID), *m_socket);
            // The client's hello waits in the socket until it is connected.
            m_channel->ContinueHandshake();
            return;
        }
        // A TLS socket keeps what is written before its handshake until the handshake is done.
        m_socket->write(m_logOn);
    }

private:
    void OnReadyRead() {
        if (m_channel && !m_secured) {
            if (m_channel->ContinueHandshake() != TlsChannel::Handshake::Done)
                return;
            m_secured = true;
            m_tally.resumed += m_channel->Resumed() ? 1 : 0;
            m_channel->Write(m_logOn);
        }
        std::array<char, 16384> chunk;
        while (true) {
            const auto wanted =
                std::min<qint64>(static_cast<qint64>(m_reader.Missing()), chunk.size());
            const qint64 got = m_channel ? m_channel->Read(chunk.data(), wanted)
                                         : m_socket->read(chunk.data(), wanted);
            if (got <= 0)
                return;
            m_reader.Feed(chunk.data(), static_cast<std::size_t>(got));
            if (m_reader.HasFrame() && m_reader.TakeFrame()->header.subCmd == SUB_S_FRIEND_LIST)
                OnListed();
        }
    }
    // The session's ticket came before the list.
    void OnListed() {
        ++m_tally.lists;
        // A copy: freeing a connection that was not shut down marks its own session spent.
        if (m_channel)
            m_tls.Keep(m_userID, SSL_SESSION_dup(SSL_get0_session(m_channel->Handle())));
    }

    int32_t m_userID;
    ClientTls& m_tls;
    Tally& m_tally;
    QByteArray m_logOn;
    // Declared before the channel, which refers to it.
    std::unique_ptr<QTcpSocket> m_socket;
    std::unique_ptr<TlsChannel> m_channel;
    bool m_secured = false;
    FrameCodec::FrameReader m_reader;
};

// The server binary over a fresh SQLite file with users 1..count, two friends each.
class ChildServer {
public:
    ChildServer(int32_t count, bool tls) {
        QStringList arguments = {
            QStringLiteral("--listen"),    QStringLiteral("127.0.0.1:0"),
            QStringLiteral("--db"),        m_dir.filePath(QStringLiteral("tls.db")),
            QStringLiteral("--add-users"), QStringLiteral("1-%1,t,2").arg(count)};
        if (tls)
            arguments << QStringLiteral("--tls-cert")
                      << Certificates().CertificateFile(TestCertificates::Server::Good)
                      << QStringLiteral("--tls-key") << Certificates().KeyFile();
        m_process.start(QStringLiteral(FRIEND_SERVER_PATH), arguments);
        // It prints "listening on [tls://]127.0.0.1:PORT" once it listens.
        while (!m_process.canReadLine() && m_process.waitForReadyRead(30000)) {
        }
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        m_port = static_cast<quint16>(line.section(QLatin1Char(':'), -1).toUInt());
    }
    ~ChildServer() {
        m_process.kill();
        m_process.waitForFinished();
    }
    ChildServer(const ChildServer&) = delete;
    ChildServer& operator=(const ChildServer&) = delete;

    quint16 Port() const { return m_port; }
    double CpuMs() const { return ProcessCpuMs(m_process.processId()); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

// Every client connects and logs on; returns once each holds its list.
LogOnClient::Tally LogOnAll(quint16 port, int32_t users, Transport transport, ClientTls& tls) {
    LogOnClient::Tally tally;
    std::vector<std::unique_ptr<LogOnClient>> clients;
    clients.reserve(static_cast<std::size_t>(users));
    for (int32_t userID = 1; userID <= users; ++userID)
        clients.push_back(std::make_unique<LogOnClient>(port, userID, transport, tls, tally));
    RunUntil([&] { return tally.lists == users; });
    return tally;
}

void BM_ClientsLogOnTogether(benchmark::State& state) {
    const auto users = static_cast<int32_t>(state.range(0));
    const bool tls = state.range(1) != 0;
    const bool resumed = state.range(2) != 0;
    const bool child = state.range(3) != 0;
    const Transport transport =
        !tls ? Transport::Plain : (state.range(4) != 0 ? Transport::LibraryTls : Transport::Tls);
    double clientCpuMs = 0;
    double serverCpuMs = 0;
    LogOnClient::Tally tally;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<BenchServer> inProcess;
        std::unique_ptr<ChildServer> binary;
        if (child)
            binary = std::make_unique<ChildServer>(users, tls);
        else
            inProcess = std::make_unique<BenchServer>(users, tls);
        const quint16 port = child ? binary->Port() : inProcess->server.Port();
        ClientTls clientTls(users);
        if (resumed)
            LogOnAll(port, users, transport, clientTls);
        // The sessions of that round are closed before the round that counts.
        if (resumed && child)
            QThread::msleep(kChildSettleMs);
        else if (resumed)
            RunUntil([&] { return inProcess->server.SessionCount() == 0; });
        const double clientBefore = OwnCpuMs();
        const double serverBefore = child ? binary->CpuMs() : 0;
        state.ResumeTiming();
        tally = LogOnAll(port, users, transport, clientTls);
        state.PauseTiming();
        clientCpuMs += OwnCpuMs() - clientBefore;
        serverCpuMs += child ? binary->CpuMs() - serverBefore : 0;
        // The library's sockets do not tell; the server in this process does.
        if (!child && transport == Transport::LibraryTls)
            tally.resumed = static_cast<int>(inProcess->server.ResumedHandshakeCount());
        state.ResumeTiming();
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["client_cpu_ms"] = clientCpuMs / iterations;
    if (child)
        state.counters["server_cpu_ms"] = serverCpuMs / iterations;
    if (transport == Transport::Tls || (transport == Transport::LibraryTls && !child))
        state.counters["resumed"] = tally.resumed;
}
BENCHMARK(BM_ClientsLogOnTogether)
    ->ArgNames({"clients", "tls", "resumed", "child", "qt"})
    ->Args({1000, 0, 0, 0, 0})
    ->Args({1000, 1, 0, 0, 0})
    ->Args({1000, 1, 1, 0, 0})
    ->Args({1000, 0, 0, 1, 0})
    ->Args({1000, 1, 0, 1, 0})
    ->Args({1000, 1, 1, 1, 0})
    ->Args({1000, 1, 0, 1, 1})
    ->Args({1000, 1, 1, 1, 1})
    ->Args({1000, 1, 1, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
