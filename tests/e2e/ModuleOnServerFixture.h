#pragma once
// The whole module against the reference friend server on loopback: a real CFriendService with
// its own connection, signed in as user 601 ("我自己") in a fresh working directory, a server in
// the same process over a SQLite file that outlives server restarts, and scripted users (TestPeer)
// as the other side. Message boxes are recorded; the screen is 1024 x 768.

#include "FriendServer.h"
#include "FriendTestData.h"
#include "ManualKeepAliveClock.h"
#include "RecordingMessageBox.h"
#include "SqliteAccountStore.h"
#include "TestCertificates.h"
#include "TestPeer.h"
#include "module/FriendService.h"
#include "storage/ChatHistoryRecord.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pellix {

class CContactManager;

class ModuleOnServerFixture : public ::testing::Test {
protected:
    ModuleOnServerFixture();
    ~ModuleOnServerFixture() override;

    static constexpr int32_t kOwnID = 601;
    static constexpr int32_t kFriendID = 602;
    static constexpr int32_t kStrangerID = 603;

    // Starts the server over the same database; the first start picks a free port (unless one was
    // given), later ones take that port again.
    void StartServer(quint16 port = 0);
    // Destroys the server and closes its database, as a killed server would leave them.
    void StopServer();
    quint16 ServerPort() const { return m_nServerPort; }
    pellix::server::AccountStore& ServerStore() { return *m_pStore; }
    int32_t ServerListVersion(int32_t userID) { return m_pStore->ListVersion(userID); }
    std::size_t ServerOnlineCount() const { return m_pServer ? m_pServer->OnlineCount() : 0; }
    std::string ServerAddress() const { return AddressOf(m_nServerPort); }
    // The module's address of a server on this loopback port: tls:// with the CA under UseTls.
    std::string AddressOf(quint16 port) const;
    // The servers started from now on speak TLS with this certificate, the scripted users connect
    // over TLS, and the module's addresses are tls:// ones that name the certificates' CA. The
    // certificates must outlive the fixture.
    void UseTls(const TestCertificates& certificates, TestCertificates::Server certificate);

    // Accounts: the signed-in user, a friend ("小明") and a stranger ("小红").
    void AddAccount(int32_t userID, const char* utf8NickName);
    void Befriend(int32_t userID, int32_t otherID);
    void AddStandardAccounts();
    static std::string Token(int32_t userID) { return "token-" + std::to_string(userID); }

    // Creates the service when there is none and (re)starts it on the address. A receive limit
    // (0: the library's 75 s) also makes the module ping four times within it.
    void StartModule(const std::string& address, int receiveIdleMs = 0);
    // StartModule hands the module this proxy from now on.
    void UseProxy(const tagProxyInfo& proxy) { m_Proxy = proxy; }
    // Destroys the service as DestroyFriendClient does; what it stored stays.
    void DestroyModule();
    // The service StartModule creates next times its keep-alive on a clock the test moves.
    void UseManualKeepAliveClock() { m_bManualKeepAlive = true; }
    ManualKeepAliveClock& KeepAliveClock() { return m_KeepAliveClock; }
    CFriendService& Service() { return *m_pService; }
    CContactManager& Contacts();

    // A scripted user logged on to the server with version -1, its friend list taken, that has
    // answered the server's announcement taking no extension.
    TestPeer& LogOnPeer(int32_t userID);
    void DropPeers() { m_Peers.clear(); }

    static bool WaitUntil(const std::function<bool()>& ready) {
        return QTest::qWaitFor(ready, kWaitMs);
    }
    // The model holds the user with this group.
    bool HasContact(int32_t userID, int32_t groupID);
    int ContactsWithID(int32_t userID);

    // Every stored message with the partner, oldest first.
    std::vector<ChatHistoryRecord> History(int32_t peerID);
    QStringList HistoryFiles() const;
    QString HistoryDirectory() const;

    RecordingMessageBox m_Boxes;

private:
    QTemporaryDir m_WorkDir;
    QString m_PreviousDir;
    QTemporaryDir m_ServerDir;
    quint16 m_nServerPort = 0;
    std::unique_ptr<pellix::server::AccountStore> m_pStore;
    std::unique_ptr<pellix::server::FriendServer> m_pServer;
    std::vector<std::unique_ptr<TestPeer>> m_Peers;
    const TestCertificates* m_pCertificates = nullptr;
    TestCertificates::Server m_ServerCertificate = TestCertificates::Server::Good;
    ManualKeepAliveClock m_KeepAliveClock;
    bool m_bManualKeepAlive = false;
    tagProxyInfo m_Proxy;
    std::unique_ptr<CFriendService> m_pService;
};

// The next chat a peer receives: the sender's id and the text; nothing when none came.
struct RelayedChat {
    int32_t senderID = 0;
    std::string text;
};
std::optional<RelayedChat> WaitForChat(TestPeer& peer);

} // namespace pellix
