#pragma once
// What the windows read from the friend service besides the managers: the host's callback
// object, the module's shared font, the proxy for their own web requests and the friend named by
// the last online tip.

#include <cstdint>

class IFriendHost;
class QFont;
struct tagProxyInfo;

class IWindowEnvironment {
public:
    // Null until the host registers one.
    virtual IFriendHost* GetFriendHost() const = 0;
    virtual const QFont& GetFont() const = 0;
    // The proxy of the last start of the service.
    virtual const tagProxyInfo& GetProxy() const = 0;
    // 0 after a tip that a friend went offline.
    virtual int32_t GetTipFriendID() const = 0;

protected:
    ~IWindowEnvironment() = default;
};
