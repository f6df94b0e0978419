#include "client/NetworkProxy.h"
#include "client/NodeRotation.h"
#include "client/ReconnectPolicy.h"
#include "client/ServerAddress.h"
#include "text/StringUtility.h"

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>
#include <vector>

void PrintTo(const ServerNode& node, std::ostream* out) {
    *out << node.host.toStdString() << " port " << node.port;
}

TEST(ReconnectPolicy, DoublesToTheCeilingWithJitterBelowTheNominalDelay) {
    ReconnectPolicy policy;
    const int expected[] = {1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000};
    for (int nominal : expected) {
        ASSERT_EQ(policy.NominalDelayMs(), nominal);
        const int delay = policy.NextDelayMs();
        EXPECT_LE(delay, nominal);
        EXPECT_GE(delay, nominal - nominal * ReconnectPolicy::kJitterPercent / 100);
    }
    policy.Reset();
    EXPECT_EQ(policy.NominalDelayMs(), 1000);

    policy.SetDelays(0, -5);
    EXPECT_EQ(policy.NextDelayMs(), 1);
    EXPECT_EQ(policy.NominalDelayMs(), 1);
}

TEST(NodeRotation, WaitsOnlyOnceEveryNodeOfARoundHasFailed) {
    NodeRotation rotation;
    rotation.Start(3);
    EXPECT_EQ(rotation.Current(), 0u);
    // Each failure: whether the next node goes at once, and which it is.
    const std::pair<bool, std::size_t> failures[] = {{true, 1}, {true, 2}, {false, 0}, {true, 1}};
    for (const auto& [atOnce, node] : failures) {
        EXPECT_EQ(rotation.MoveOnAfterFailure(), atOnce);
        EXPECT_EQ(rotation.Current(), node);
    }
    // Losing node 1 after its answer: a new round from node 2, with node 1 last.
    rotation.MoveOnAfterLoss();
    EXPECT_EQ(rotation.Current(), 2u);
    EXPECT_TRUE(rotation.MoveOnAfterFailure());
    EXPECT_TRUE(rotation.MoveOnAfterFailure());
    EXPECT_EQ(rotation.Current(), 1u);
    EXPECT_FALSE(rotation.MoveOnAfterFailure());

    // A single node waits after every failure, as it always did.
    rotation.Start(1);
    EXPECT_FALSE(rotation.MoveOnAfterFailure());
    EXPECT_EQ(rotation.Current(), 0u);
}

TEST(ServerAddress, PortInTheHostOverridesTheDefault) {
    const std::pair<const char*, std::vector<ServerNode>> good[] = {
        {"friend.example", {{QStringLiteral("friend.example"), 5500}}},
        {" 127.0.0.1:40123 ", {{QStringLiteral("127.0.0.1"), 40123}}},
        {"[::1]:7000", {{QStringLiteral("::1"), 7000}}},
        {"fe80::1", {{QStringLiteral("fe80::1"), 5500}}},
        {"a:5501,b", {{QStringLiteral("a"), 5501}, {QStringLiteral("b"), 5500}}},
        {" [::1]:7000 , fe80::1,10.0.0.9:5502 ",
         {{QStringLiteral("::1"), 7000},
          {QStringLiteral("fe80::1"), 5500},
          {QStringLiteral("10.0.0.9"), 5502}}},
        {"n,n,n,n,n,n,n,n,n,n,n,n,n,n,n,n",
         std::vector<ServerNode>(kMaxServerNodes, {QStringLiteral("n"), 5500})},
    };
    for (const auto& [text, nodes] : good) {
        const std::optional<ServerAddress> address = ParseServerAddress(text, 5500);
        ASSERT_TRUE(address.has_value()) << text;
        EXPECT_EQ(address->nodes, nodes) << text;
        EXPECT_FALSE(address->tls);
    }
    for (const char* bad :
         {"", "host:", "host:0", "host:65536", "host:5x", ":5500", "[::1", "[::1]7000", "a,", ",a",
          "a,,b", "a, ,b", "a,b:0", "a,[::1", "n,n,n,n,n,n,n,n,n,n,n,n,n,n,n,n,n"})
        EXPECT_FALSE(ParseServerAddress(bad, 5500).has_value()) << bad;
    EXPECT_FALSE(ParseServerAddress("host", 0).has_value());
    EXPECT_FALSE(ParseServerAddress("a:5500,b", 0).has_value()) << "b has no port";
}

TEST(ServerAddress, TlsSchemeAndItsCaFile) {
    const std::optional<ServerAddress> plain = ParseServerAddress("127.0.0.1:40123", 5500);
    ASSERT_TRUE(plain.has_value());
    EXPECT_FALSE(plain->tls);

    const std::optional<ServerAddress> bare = ParseServerAddress(" TLS://friend.example ", 5500);
    ASSERT_TRUE(bare.has_value());
    EXPECT_TRUE(bare->tls);
    EXPECT_EQ(bare->nodes, std::vector<ServerNode>({{QStringLiteral("friend.example"), 5500}}));
    EXPECT_TRUE(bare->caFile.isEmpty());

    const std::optional<ServerAddress> withCa =
        ParseServerAddress("tls://[::1]:7000?ca=/tmp/my%20ca%25.pem", 5500);
    ASSERT_TRUE(withCa.has_value());
    EXPECT_TRUE(withCa->tls);
    EXPECT_EQ(withCa->nodes, std::vector<ServerNode>({{QStringLiteral("::1"), 7000}}));
    EXPECT_EQ(withCa->caFile, QStringLiteral("/tmp/my ca%.pem"));

    // Scheme and CA apply to every node; a comma after the '?' belongs to the path.
    const std::optional<ServerAddress> cluster =
        ParseServerAddress("tls://a:5501,b?ca=/tmp/a,b.pem", 5500);
    ASSERT_TRUE(cluster.has_value());
    EXPECT_TRUE(cluster->tls);
    EXPECT_EQ(cluster->nodes,
              std::vector<ServerNode>({{QStringLiteral("a"), 5501}, {QStringLiteral("b"), 5500}}));
    EXPECT_EQ(cluster->caFile, QStringLiteral("/tmp/a,b.pem"));

    // A plain address never carries TLS settings, and a TLS one no other query: either would be
    // a setting silently ignored.
    for (const char* bad : {"host?ca=/x.pem", "tcp://host", "https://host:443", "tls://",
                            "tls://:5500", "tls://host?", "tls://host?ca=", "tls://host?cert=/x",
                            "tls://host?ca=/x&ca=/y", "tls://host?ca=%00", "a,b?ca=/x.pem",
                            "tls://a,tls://b:5500", "a,tls://b", "tls://a,b:5500,tls://[::1]"})
        EXPECT_FALSE(ParseServerAddress(bad, 5500).has_value()) << bad;
}

TEST(NetworkProxy, HostSettingsMapToTheQtProxy) {
    const std::string user = StringUtility::QStringToAnsi(QStringLiteral("玩家"));
    const tagProxyInfo socks{ProxyType::Socks5, "10.0.0.2", 1080, user, "secret"};
    const QNetworkProxy mapped = ToNetworkProxy(socks);
    EXPECT_EQ(mapped.type(), QNetworkProxy::Socks5Proxy);
    EXPECT_EQ(mapped.hostName(), QStringLiteral("10.0.0.2"));
    EXPECT_EQ(mapped.port(), 1080);
    EXPECT_EQ(mapped.user(), QStringLiteral("玩家"));
    EXPECT_EQ(mapped.password(), QStringLiteral("secret"));

    const tagProxyInfo http{ProxyType::HttpConnect, "proxy.example", 3128, "", ""};
    EXPECT_EQ(ToNetworkProxy(http).type(), QNetworkProxy::HttpProxy);

    const tagProxyInfo none{ProxyType::None, "ignored", 1, "", ""};
    EXPECT_EQ(ToNetworkProxy(none).type(), QNetworkProxy::NoProxy);
    tagProxyInfo unknown = http;
    unknown.type = static_cast<ProxyType>(9);
    EXPECT_EQ(ToNetworkProxy(unknown).type(), QNetworkProxy::NoProxy);
}
