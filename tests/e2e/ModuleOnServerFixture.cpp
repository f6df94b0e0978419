#include "ModuleOnServerFixture.h"

#include "FriendRelations.h"
#include "skin/ScreenMetrics.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "text/StringUtility.h"

#include <QDir>
#include <QFile>

#include <cstring>

namespace pellix {

using pellix::server::Account;
using pellix::server::FriendRelations;
using pellix::server::FriendServer;
using pellix::server::SessionLimits;
using pellix::server::SqliteAccountStore;

std::optional<RelayedChat> WaitForChat(TestPeer& peer) {
    const std::optional<FrameCodec::Frame> frame = peer.WaitFor(SUB_S_CHAT_MESSAGE);
    if (!frame)
        return std::nullopt;
    CCommandStream body = BodyOf(*frame);
    RelayedChat chat;
    chat.senderID = body.ReadInt32();
    body.ReadString(chat.text);
    return chat;
}

ModuleOnServerFixture::ModuleOnServerFixture() : m_PreviousDir(QDir::currentPath()) {
    QDir::setCurrent(m_WorkDir.path());
    ScreenMetrics::SetOverride(QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 728));
}

ModuleOnServerFixture::~ModuleOnServerFixture() {
    m_pService.reset();
    m_Peers.clear();
    m_pServer.reset();
    m_pStore.reset();
    ScreenMetrics::ClearOverride();
    QDir::setCurrent(m_PreviousDir);
}

void ModuleOnServerFixture::StartServer(quint16 port) {
    StopServer();
    if (port != 0)
        m_nServerPort = port;
    const QString path = m_ServerDir.filePath(QStringLiteral("friends.db"));
    m_pStore = std::make_unique<SqliteAccountStore>(path.toStdString());
    m_pServer = std::make_unique<FriendServer>(*m_pStore, SessionLimits{});
    if (m_pCertificates != nullptr) {
        ASSERT_TRUE(m_pServer->UseTls(m_pCertificates->ServerConfiguration(m_ServerCertificate)));
    }
    ASSERT_TRUE(m_pServer->Listen(QHostAddress::LocalHost, m_nServerPort))
        << m_pServer->ErrorString().toStdString();
    m_nServerPort = m_pServer->Port();
}

std::string ModuleOnServerFixture::AddressOf(quint16 port) const {
    const std::string address = "127.0.0.1:" + std::to_string(port);
    if (m_pCertificates == nullptr)
        return address;
    return "tls://" + address + "?ca=" + QFile::encodeName(m_pCertificates->CaFile()).toStdString();
}

void ModuleOnServerFixture::UseTls(const TestCertificates& certificates,
                                   TestCertificates::Server certificate) {
    m_pCertificates = &certificates;
    m_ServerCertificate = certificate;
}

void ModuleOnServerFixture::StopServer() {
    m_pServer.reset();
    m_pStore.reset();
}

void ModuleOnServerFixture::AddAccount(int32_t userID, const char* utf8NickName) {
    Account account;
    account.userID = userID;
    account.userName = "user" + std::to_string(userID);
    account.nickName = Gbk(utf8NickName);
    account.showID = 9000 + userID;
    account.gender = static_cast<uint8_t>(userID % 2);
    account.token = Token(userID);
    FriendRelations(*m_pStore).SaveAccount(account);
}

void ModuleOnServerFixture::Befriend(int32_t userID, int32_t otherID) {
    ASSERT_TRUE(FriendRelations(*m_pStore).MakeFriends(userID, otherID));
}

void ModuleOnServerFixture::AddStandardAccounts() {
    AddAccount(kOwnID, "我自己");
    AddAccount(kFriendID, "小明");
    AddAccount(kStrangerID, "小红");
    Befriend(kOwnID, kFriendID);
}

void ModuleOnServerFixture::StartModule(const std::string& address, int receiveIdleMs) {
    if (!m_pService) {
        m_pService = std::make_unique<CFriendService>();
        tagUserInfo info{};
        info.userID = kOwnID;
        const std::string nick = Gbk("我自己");
        std::memcpy(info.nickName, nick.data(), nick.size());
        std::memcpy(info.userName, "user601", 7);
        m_pService->SetUserInfo(info, Token(kOwnID));
        // A lost connection is made again within a fraction of a second.
        m_pService->SetReconnectDelays(20, 200);
        if (m_bManualKeepAlive)
            m_pService->SetKeepAliveClock(&m_KeepAliveClock);
    }
    if (receiveIdleMs > 0)
        m_pService->SetKeepAliveTimes(receiveIdleMs / 4, receiveIdleMs);
    ASSERT_TRUE(m_pService->StartFriendService(address, 0, m_Proxy));
}

void ModuleOnServerFixture::DestroyModule() {
    m_pService.reset();
}

CContactManager& ModuleOnServerFixture::Contacts() {
    return *CContactManager::GetInstance();
}

TestPeer& ModuleOnServerFixture::LogOnPeer(int32_t userID) {
    m_Peers.push_back(
        m_pCertificates != nullptr
            ? std::make_unique<TestPeer>(m_nServerPort, m_pCertificates->ClientConfiguration())
            : std::make_unique<TestPeer>(m_nServerPort));
    TestPeer& peer = *m_Peers.back();
    peer.LogOn(userID, Token(userID), -1);
    EXPECT_TRUE(peer.WaitFor(SUB_S_FRIEND_LIST).has_value()) << "user " << userID;
    // Taking no extension: chats reach it at once, as plain ones.
    CCommandStream noExtensions;
    noExtensions.WriteUInt32(0);
    peer.Send(CMD_FRIEND, SUB_C_EXTENSIONS, noExtensions);
    return peer;
}

bool ModuleOnServerFixture::HasContact(int32_t userID, int32_t groupID) {
    const ContactInfo* contact = Contacts().FindContact(userID);
    return contact != nullptr && contact->groupID == groupID;
}

int ModuleOnServerFixture::ContactsWithID(int32_t userID) {
    int count = 0;
    for (const auto& contact : Contacts().GetContacts())
        count += contact->userID == userID ? 1 : 0;
    return count;
}

std::vector<ChatHistoryRecord> ModuleOnServerFixture::History(int32_t peerID) {
    CChatHistoryManager& history = *CChatHistoryManager::GetInstance();
    return history.GetMessages(peerID, history.GetMessageCount(peerID), 0);
}

QString ModuleOnServerFixture::HistoryDirectory() const {
    return m_WorkDir.filePath(QStringLiteral("Profile/%1/ChatHistory").arg(kOwnID));
}

QStringList ModuleOnServerFixture::HistoryFiles() const {
    return QDir(HistoryDirectory()).entryList(QDir::Files);
}

} // namespace pellix
