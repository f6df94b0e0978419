#include "FriendService.h"

#include "ApplicationWindow.h"
#include "SignedInUser.h"
#include "client/StringUtility.h"
#include "data/SQLite/Connector.h"
#include "protocol/FriendCommands.h"
#include "skin/SkinMessageBox.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/manager/FriendWindowManager.h"

namespace {

constexpr unsigned short FRIEND_SERVER_PORT = 5500;

} // namespace

CFriendService::CFriendService() : CClientService("CFriendService") {
    m_nTipFriendID = 0;
    m_pFriendHost = nullptr;
    QxDataModule::SQLite::Connector::registerConnector();
    m_bServiceOption = 1;
    m_pContactManager = std::make_unique<CContactManager>();
    m_pChatHistoryManager = std::make_unique<CChatHistoryManager>();
    m_pWindowManager = std::make_unique<CFriendWindowManager>();
    m_pFriendOptionManager = std::make_unique<CFriendOptionManager>();
    m_Font = std::make_unique<QFont>(QString::fromUtf8("宋体"));
    m_Font->setPixelSize(12);
    m_Font->setWeight(QFont::Normal);
    m_Font->setItalic(false);
    m_Font->setUnderline(false);
    m_Font->setStrikeOut(false);
    m_Font->setStyleStrategy(QFont::PreferQuality);
}

CFriendService::~CFriendService() {
    CloseFriendWindows();
    m_pWindowManager.reset();
    m_pFriendOptionManager.reset();
    m_pContactManager.reset();
    m_pChatHistoryManager.reset();
    m_Font.reset();
}

bool CFriendService::StartFriendService(const std::string& host, int32_t, tagProxyInfo& proxy) {
    StopService();
    if (m_pContactManager)
        m_pContactManager->Clear();
    if (m_pWindowManager)
        m_pWindowManager->EnsureMainWindow();
    if (m_pFriendOptionManager)
        m_pFriendOptionManager->Load();
    SetProxy(proxy);
    return StartService(host, FRIEND_SERVER_PORT);
}

void CFriendService::ShowFriendWindow(bool toggle) {
    if (m_pWindowManager)
        m_pWindowManager->ShowMainWindow(toggle);
}

void CFriendService::HideFriendWindow() {
    if (m_pWindowManager)
        m_pWindowManager->HideMainWindow();
}

void CFriendService::CloseFriendWindows() {
    if (m_pWindowManager)
        m_pWindowManager->CloseAllWindows();
}

bool CFriendService::AddFriend(int userID, const std::string& nickName) {
    const ContactInfo* contact =
        m_pContactManager ? m_pContactManager->FindContact(userID) : nullptr;
    if (contact != nullptr && contact->groupID == GROUP_FRIEND) {
        ShowSkinMessageBox(ApplicationMainWindow(),
                           StringUtility::UTF8ToAnsi("对方已经是您的好友了..."),
                           StringUtility::UTF8ToAnsi("好友服务"), MB_STYLE_PLAIN, 5);
        return false;
    }
    OpenAddRequestWindow(userID, nickName);
    return true;
}

bool CFriendService::AddToBlacklist(int userID, int showID, int gender, int32_t,
                                    const std::string& userName, const std::string& nickName) {
    const ContactInfo* contact =
        m_pContactManager ? m_pContactManager->FindContact(userID) : nullptr;
    if (contact == nullptr)
        return false;
    switch (contact->groupID) {
    case GROUP_BLACKLIST:
        ShowTip(StringUtility::UTF8ToAnsi("对方已经在您的黑名单中了..."));
        return false;
    case GROUP_FRIEND:
    case GROUP_STRANGER:
        if (!m_pContactManager->MoveToBlacklist(userID))
            return false;
        SendMoveRequest(GetUserInfo().userID, userID, MOVE_TO_BLACKLIST);
        return true;
    default:
        // Not stored and not sent: the server knows nothing of this contact yet.
        m_pContactManager->AddOrUpdateContact(userID, showID, 0, static_cast<uint8_t>(gender),
                                              userName, nickName, GROUP_BLACKLIST);
        return true;
    }
}

void CFriendService::OpenAddRequestWindow(int userID, const std::string& nickName) {
    if (m_pWindowManager)
        m_pWindowManager->OpenAddRequestWindow(userID, nickName);
}

void CFriendService::ShowTip(const std::string& text) {
    if (m_pWindowManager)
        m_pWindowManager->ShowTip(text);
}

void CFriendService::SetFriendHost(IFriendHost* host) {
    m_pFriendHost = host;
}

void CFriendService::SetUserInfo(const tagUserInfo& info, const std::string& logonToken) {
    CopyUserInfo(GetUserInfo(), info);
    GetUserInfo().logonToken = logonToken;
}

bool CFriendService::OnServerConnected() {
    int32_t version = -1;
    if (m_pContactManager) {
        m_pContactManager->LoadVersion();
        version = m_pContactManager->GetVersion();
    }
    const SignedInUser& user = GetUserInfo();
    SendLogonRequest(user.userID, user.logonToken, version);
    return true;
}

bool CFriendService::OnServiceNotify(int) {
    return true;
}
