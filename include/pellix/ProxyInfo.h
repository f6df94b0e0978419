#pragma once
// Proxy settings a host hands to the client library; applied to the next connection.

#include <cstdint>
#include <string>

enum class ProxyType : uint8_t { None = 0, HttpConnect = 1, Socks5 = 2 };

struct tagProxyInfo {
    ProxyType type = ProxyType::None;
    std::string host;
    uint16_t port = 0;
    std::string user;
    std::string password;
};
