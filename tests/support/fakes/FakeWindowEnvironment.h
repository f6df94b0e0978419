#pragma once
// The windows' environment as a test sets it: the module's font, no proxy, and a host and a tip
// friend of the test's choice.

#include "pellix/ProxyInfo.h"
#include "ui/manager/WindowEnvironment.h"

#include <QFont>
#include <cstdint>

namespace pellix {

class FakeWindowEnvironment final : public IWindowEnvironment {
public:
    FakeWindowEnvironment() : m_font(QStringLiteral("宋体")) { m_font.setPixelSize(12); }

    IFriendHost* GetFriendHost() const override { return host; }
    const QFont& GetFont() const override { return m_font; }
    const tagProxyInfo& GetProxy() const override { return m_proxy; }
    int32_t GetTipFriendID() const override { return tipFriendID; }

    IFriendHost* host = nullptr;
    int32_t tipFriendID = 0;

private:
    QFont m_font;
    tagProxyInfo m_proxy;
};

} // namespace pellix
