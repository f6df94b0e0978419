#include "FriendService.h"

#include "SignedInUser.h"

namespace {

constexpr unsigned short FRIEND_SERVER_PORT = 5500;

} // namespace

CFriendService::CFriendService() : CClientService("CFriendService") {
    m_nTipFriendID = 0;
    m_pFriendHost = nullptr;
    m_bServiceOption = 1;
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
    m_Font.reset();
}

bool CFriendService::StartFriendService(const std::string& host, int32_t, tagProxyInfo& proxy) {
    StopService();
    SetProxy(proxy);
    return StartService(host, FRIEND_SERVER_PORT);
}

void CFriendService::ShowFriendWindow(bool) {}

void CFriendService::HideFriendWindow() {}

void CFriendService::CloseFriendWindows() {}

bool CFriendService::AddFriend(int, const std::string&) { return false; }

bool CFriendService::AddToBlacklist(int, int, int, int32_t, const std::string&,
                                    const std::string&) {
    return false;
}

void CFriendService::SetFriendHost(IFriendHost* host) { m_pFriendHost = host; }

void CFriendService::SetUserInfo(const tagUserInfo& info, const std::string& logonToken) {
    CopyUserInfo(GetUserInfo(), info);
    GetUserInfo().logonToken = logonToken;
}

bool CFriendService::OnServerConnected() {
    const SignedInUser& user = GetUserInfo();
    SendLogonRequest(user.userID, user.logonToken, -1);
    return true;
}

bool CFriendService::OnServiceNotify(int) { return true; }
