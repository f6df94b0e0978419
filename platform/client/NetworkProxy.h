#pragma once
// The Qt form of the proxy settings a host hands to the client service.

#include "pellix/ProxyInfo.h"

#include <QNetworkProxy>

// No proxy type (or an unknown one) gives an explicit direct connection, so that no
// application-wide or system proxy is picked up behind the host's back.
QNetworkProxy ToNetworkProxy(const tagProxyInfo& proxy);
