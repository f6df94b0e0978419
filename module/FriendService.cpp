#include "FriendService.h"

#include "base/AnsiText.h"
#include "base/SignedInUser.h"
#include "base/UserNotice.h"
#include "data/SQLite/Connector.h"
#include "protocol/FriendCommandHandler.h"
#include "records/FriendCommands.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/FriendOptionManager.h"
#include "storage/ProfilePaths.h"
#include "ui/manager/FriendWindowManager.h"
#include "ui/manager/WindowContext.h"

#include <new>

namespace pellix {

namespace {

constexpr unsigned short FRIEND_SERVER_PORT = 5500;

// A manager whose allocation fails stays absent, and construction goes on.
template <typename Manager, typename... Args>
std::unique_ptr<Manager> CreateManager(bool absent, Args&... args) {
    return std::unique_ptr<Manager>(absent ? nullptr : new (std::nothrow) Manager(args...));
}

} // namespace

CFriendService::CFriendService(AbsentManagers absent) : CClientService("CFriendService") {
    m_nTipFriendID = 0;
    m_pFriendHost = nullptr;
    QxDataModule::SQLite::Connector::registerConnector();
    m_bServiceOption = 1;
    SetUserNoticePresenter(&m_NoticeBoxes);
    m_pContactManager = CreateManager<CContactManager>(absent.contacts);
    m_pChatHistoryManager = CreateManager<CChatHistoryManager>(absent.history);
    m_pWindowContext = std::make_unique<WindowContext>(
        WindowContext{*this, *this, m_pContactManager.get(), m_pChatHistoryManager.get()});
    m_pWindowManager = CreateManager<CFriendWindowManager>(absent.windows, *m_pWindowContext);
    m_pFriendOptionManager = CreateManager<CFriendOptionManager>(absent.options);
    m_pChatDelivery = std::make_unique<CChatDelivery>(static_cast<IChatWire&>(*this));
    m_pChatDelivery->SetWindows(m_pWindowManager.get());
    m_pChatDelivery->SetHistory(m_pChatHistoryManager.get());
    // The windows are made later, with every manager there is.
    m_pWindowContext->options = m_pFriendOptionManager.get();
    m_pWindowContext->windows = m_pWindowManager.get();
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
    m_pChatDelivery->SetWindows(nullptr);
    m_pChatDelivery->SetHistory(nullptr);
    m_pWindowManager.reset();
    m_pFriendOptionManager.reset();
    m_pContactManager.reset();
    m_pChatHistoryManager.reset();
    m_Font.reset();
    if (GetUserNoticePresenter() == &m_NoticeBoxes)
        SetUserNoticePresenter(nullptr);
}

bool CFriendService::StartFriendService(const std::string& host, int32_t, tagProxyInfo& proxy) {
    StopService();
    if (m_pContactManager)
        m_pContactManager->Clear();
    if (m_pWindowManager)
        m_pWindowManager->EnsureMainWindow();
    if (m_pFriendOptionManager)
        m_pFriendOptionManager->Load();
    OpenDeliveryFile();
    m_pChatDelivery->OnConnectionLost();
    if (m_pWindowManager)
        m_pWindowManager->OnConnectionChanged(false);
    m_Proxy = proxy;
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
        ShowServiceNotice(AnsiText("对方已经是您的好友了..."), NOTICE_PLAIN, 5);
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
        ShowTip(AnsiText("对方已经在您的黑名单中了..."));
        return false;
    case GROUP_FRIEND:
    case GROUP_STRANGER:
        if (!m_pContactManager->MoveToBlacklist(userID))
            return false;
        SendMoveRequest(userID, MOVE_TO_BLACKLIST);
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

void CFriendService::OpenDeliveryFile() {
    if (GetUserInfo().userID == 0 || !EnsureDirectory(ProfileDirectory()))
        return;
    m_pChatDelivery->Open(DeliveryDatabasePath());
}

bool CFriendService::OnSocketClose(IClientSocket* socket, bool closedByServer) {
    m_pChatDelivery->OnConnectionLost();
    if (m_pContactManager)
        m_pContactManager->SetAllOffline();
    return CClientService::OnSocketClose(socket, closedByServer);
}

bool CFriendService::OnServerConnected() {
    // A new connection: nothing goes out before its sign-on, and the extensions are asked anew.
    m_pChatDelivery->OnConnectionLost();
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

bool CFriendService::OnServiceCommand(CMD_Command command, const void* body,
                                      unsigned short length) {
    const FriendCommandContext context{*this,
                                       *this,
                                       m_pWindowManager.get(),
                                       m_pContactManager.get(),
                                       m_pChatHistoryManager.get(),
                                       m_pFriendOptionManager.get(),
                                       m_nTipFriendID,
                                       m_bServerFlag,
                                       m_pChatDelivery.get()};
    return CFriendCommandHandler(context).Dispatch(command, body, length);
}

} // namespace pellix
