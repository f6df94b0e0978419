#pragma once
// The friend module's interface: the one service object a host drives.

#include "pellix/IFriendHost.h"
#include "pellix/ProxyInfo.h"
#include "pellix/UserInfo.h"

#include <cstdint>
#include <string>

class IFriendClient {
public:
    virtual bool StartFriendService(const std::string& host, int32_t ignored,
                                    tagProxyInfo& proxy) = 0;
    virtual void ShowFriendWindow(bool toggle) = 0;
    virtual void HideFriendWindow() = 0;
    virtual void CloseFriendWindows() = 0;
    virtual bool AddFriend(int userID, const std::string& nickName) = 0;
    virtual bool AddToBlacklist(int userID, int showID, int gender, int32_t ignored,
                                const std::string& userName, const std::string& nickName) = 0;
    virtual void SetFriendHost(IFriendHost* host) = 0;
    virtual void SetUserInfo(const tagUserInfo& info, const std::string& logonToken) = 0;

protected:
    // Released through DestroyFriendClient only.
    ~IFriendClient() = default;
};
