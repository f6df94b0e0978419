#pragma once
// A friend server in the test process on 127.0.0.1 with an ephemeral port, over a SQLite file in
// a temporary directory or a database of the test PostgreSQL cluster, and scripted peers that log
// on to it.

#include "FriendRelations.h"
#include "FriendServer.h"
#include "TestPeer.h"
#include "TestStores.h"
#include "records/FriendRecords.h"

#include <QSslConfiguration>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace pellix::server {

class ServerFixture : public ::testing::Test {
protected:
    // The kind of store StartServer opens.
    virtual StoreKind Kind() const { return StoreKind::Sqlite; }
    // The store the server runs on; a test may watch what the server does with it.
    virtual std::unique_ptr<AccountStore> OpenStore(const StorePlace& place) {
        return place.Open();
    }

    void TearDown() override {
        m_Peers.clear();
        m_pServer.reset();
    }

    // Starts (or restarts) the server over the test's store, opened anew; with TLS
    // settings its port speaks only TLS, its handshakes timed on the clock given (Qt's when null).
    void StartServer(SessionLimits limits = {}, const QSslConfiguration* tls = nullptr,
                     IKeepAliveClock* handshakeClock = nullptr) {
        m_pServer.reset();
        m_pStore.reset();
        if (!m_pPlace)
            m_pPlace = std::make_unique<StorePlace>(Kind());
        m_pStore = OpenStore(*m_pPlace);
        m_pServer = std::make_unique<FriendServer>(*m_pStore, limits);
        if (tls != nullptr) {
            ASSERT_TRUE(m_pServer->UseTls(*tls, handshakeClock));
        }
        ASSERT_TRUE(m_pServer->Listen(QHostAddress::LocalHost, 0));
    }
    // Peers made by Connect and LogOn from now on speak TLS with these settings.
    void UseClientTls(const QSslConfiguration& tls) { m_ClientTls = tls; }

    void AddAccount(int32_t userID, const std::string& nickName = {}) {
        Account account;
        account.userID = userID;
        account.userName = "user" + std::to_string(userID);
        account.nickName = nickName.empty() ? account.userName : nickName;
        account.showID = userID + 1;
        account.gender = 1;
        account.token = Token(userID);
        FriendRelations(*m_pStore).SaveAccount(account);
    }
    void Befriend(int32_t userID, int32_t otherID) {
        ASSERT_TRUE(FriendRelations(*m_pStore).MakeFriends(userID, otherID));
    }
    static std::string Token(int32_t userID) { return "token-" + std::to_string(userID); }

    TestPeer& Connect() {
        m_Peers.push_back(m_ClientTls ? std::make_unique<TestPeer>(m_pServer->Port(), *m_ClientTls)
                                      : std::make_unique<TestPeer>(m_pServer->Port()));
        return *m_Peers.back();
    }
    // Connects, logs on with version -1 and takes the friend list that answers it.
    TestPeer& LogOn(int32_t userID) {
        TestPeer& peer = Connect();
        peer.LogOn(userID, Token(userID), -1);
        EXPECT_TRUE(peer.WaitFor(SUB_S_FRIEND_LIST).has_value()) << "user " << userID;
        return peer;
    }

    AccountStore& Store() { return *m_pStore; }
    const StorePlace& Place() const { return *m_pPlace; }
    FriendServer& Server() { return *m_pServer; }

private:
    std::unique_ptr<StorePlace> m_pPlace;
    std::unique_ptr<AccountStore> m_pStore;
    std::unique_ptr<FriendServer> m_pServer;
    std::vector<std::unique_ptr<TestPeer>> m_Peers;
    std::optional<QSslConfiguration> m_ClientTls;
};

// A ServerFixture test that runs once on each kind of store.
class ServerOnEachStore : public ServerFixture, public ::testing::WithParamInterface<StoreKind> {
protected:
    StoreKind Kind() const override { return GetParam(); }
};

struct FriendListBody {
    int32_t version = 0;
    int32_t count = 0;
    std::vector<FriendEntry> friends;
};

inline FriendListBody DecodeFriendList(const FrameCodec::Frame& frame) {
    CCommandStream body = BodyOf(frame);
    FriendListBody list;
    list.version = body.ReadInt32();
    list.count = body.ReadInt32();
    body.ReadList(list.friends, ReadFriendEntry);
    EXPECT_FALSE(body.IsTruncated());
    return list;
}

inline std::vector<OfflineMessageEntry> DecodeOffline(const FrameCodec::Frame& frame) {
    CCommandStream body = BodyOf(frame);
    body.ReadInt32();
    std::vector<OfflineMessageEntry> messages;
    body.ReadList(messages, ReadOfflineMessageEntry);
    EXPECT_FALSE(body.IsTruncated());
    return messages;
}

} // namespace pellix::server
