#include "NetworkProxy.h"

#include "text/StringUtility.h"

QNetworkProxy ToNetworkProxy(const tagProxyInfo& proxy) {
    QNetworkProxy::ProxyType type = QNetworkProxy::NoProxy;
    switch (proxy.type) {
    case ProxyType::HttpConnect:
        type = QNetworkProxy::HttpProxy;
        break;
    case ProxyType::Socks5:
        type = QNetworkProxy::Socks5Proxy;
        break;
    case ProxyType::None:
        break;
    }
    if (type == QNetworkProxy::NoProxy)
        return QNetworkProxy(QNetworkProxy::NoProxy);
    return QNetworkProxy(type, StringUtility::AnsiToQString(proxy.host), proxy.port,
                         StringUtility::AnsiToQString(proxy.user),
                         StringUtility::AnsiToQString(proxy.password));
}
