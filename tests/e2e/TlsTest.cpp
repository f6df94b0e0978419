// The whole module over TLS: presence, chat both ways and the messages that waited for the log-on
// work as over plain TCP, nothing readable crosses the wire, and an HTTP proxy's tunnel carries it.

#include "ModuleOnServerFixture.h"
#include "WireTap.h"
#include "records/FriendCommands.h"
#include "skin/SkinEdit.h"
#include "storage/ContactManager.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/manager/FriendWindowManager.h"

namespace pellix {

namespace {

const TestCertificates& Certificates() {
    static const TestCertificates certificates;
    return certificates;
}

class OverTls : public ModuleOnServerFixture {
protected:
    void Start(TestCertificates::Server certificate) {
        ASSERT_TRUE(Certificates().IsValid()) << Certificates().Error().toStdString();
        UseTls(Certificates(), certificate);
        StartServer();
        AddStandardAccounts();
    }
};

} // namespace

TEST_F(OverTls, PresenceChatAndWaitingMessagesWorkAsOverPlainTcp) {
    Start(TestCertificates::Server::Good);
    TestPeer& peer = LogOnPeer(kFriendID);
    peer.Chat(kOwnID, Gbk("等你上线"));
    ASSERT_TRUE(peer.Sync());

    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return History(kFriendID).size() == 1; }));
    EXPECT_EQ(History(kFriendID)[0].strMessage, Gbk("等你上线"));
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineFriendCount() == 1; }));
    EXPECT_TRUE(peer.WaitFor(SUB_S_ONLINE_STATE).has_value());

    CFriendChatDlg* chat = CFriendWindowManager::GetInstance()->GetChatWindow(kFriendID);
    ASSERT_NE(chat, nullptr);
    chat->InputBox()->setPlainText(QString::fromUtf8("加密的回复"));
    chat->SendChatMessage();
    const std::optional<RelayedChat> relayed = WaitForChat(peer);
    ASSERT_TRUE(relayed.has_value());
    EXPECT_EQ(relayed->senderID, kOwnID);
    EXPECT_EQ(relayed->text, Gbk("加密的回复"));

    DropPeers();
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineFriendCount() == 0; }));
    LogOnPeer(kFriendID).Chat(kOwnID, Gbk("又上线了"));
    ASSERT_TRUE(WaitUntil([&] { return History(kFriendID).size() == 3; }));
    EXPECT_EQ(History(kFriendID)[2].strMessage, Gbk("又上线了"));
    EXPECT_EQ(Contacts().GetOnlineFriendCount(), 1);
    EXPECT_TRUE(m_Boxes.boxes.empty());
}

TEST_F(OverTls, TheTokenAndTheChatNeverCrossTheWireReadably) {
    Start(TestCertificates::Server::Good);
    WireTap tap(ServerPort());
    TestPeer& peer = LogOnPeer(kFriendID);
    StartModule(AddressOf(tap.Port()));
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineFriendCount() == 1; }));
    CFriendChatDlg* chat = CFriendWindowManager::GetInstance()->OpenChatWindow(kFriendID);
    ASSERT_NE(chat, nullptr);
    chat->InputBox()->setPlainText(QStringLiteral("secret-words"));
    chat->SendChatMessage();
    ASSERT_TRUE(peer.WaitFor(SUB_S_CHAT_MESSAGE).has_value());

    const QByteArray& wire = tap.SentBytes();
    ASSERT_GT(wire.size(), 0);
    // A TLS handshake record opens the stream.
    EXPECT_EQ(wire.at(0), '\x16');
    EXPECT_FALSE(wire.contains(QByteArray::fromStdString(Token(kOwnID))));
    EXPECT_FALSE(wire.contains("secret-words"));
    EXPECT_TRUE(tap.Sent(SUB_C_LOGON).empty());
}

TEST_F(OverTls, TheHandshakeAndEverythingAfterGoThroughAnHttpProxysTunnel) {
    Start(TestCertificates::Server::Good);
    TestPeer& peer = LogOnPeer(kFriendID);
    WireTap proxy(ServerPort());
    proxy.ActAsHttpProxy();
    UseProxy({ProxyType::HttpConnect, "127.0.0.1", proxy.Port(), "", ""});
    StartModule(ServerAddress());
    ASSERT_TRUE(WaitUntil([&] { return Contacts().GetOnlineFriendCount() == 1; }));
    peer.Chat(kOwnID, Gbk("经过代理"));
    ASSERT_TRUE(WaitUntil([&] { return History(kFriendID).size() == 1; }));

    ASSERT_EQ(proxy.ProxyRequests().size(), 1u);
    const QByteArray target = "CONNECT 127.0.0.1:" + QByteArray::number(ServerPort());
    EXPECT_TRUE(proxy.ProxyRequests()[0].startsWith(target)) << proxy.ProxyRequests()[0].data();
    EXPECT_FALSE(proxy.SentBytes().contains(QByteArray::fromStdString(Token(kOwnID))));
}

} // namespace pellix
