#pragma once
// Where the client service connects: one server node or several that serve any user alike,
// "NODE[,NODE...]", tried in turn (see NodeRotation.h). A node is a host name or address,
// optionally with its own port ("host:port", "[v6-address]:port"), which then overrides the
// default port. "tls://" before the first node asks for TLS to every node; a TLS address may end
// in a CA file to trust besides the system's, for every node: "tls://a:5500,b?ca=PATH" (the path
// percent-encoded where it holds '%', '&' or '#').

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// More would be a mistake rather than a cluster, and each round of attempts tries every node.
constexpr std::size_t kMaxServerNodes = 16;

struct ServerNode {
    QString host;
    uint16_t port = 0;

    bool operator==(const ServerNode&) const = default;
};

struct ServerAddress {
    // In the order given: at least one, at most kMaxServerNodes.
    std::vector<ServerNode> nodes;
    bool tls = false;
    // Empty when the address names no CA file.
    QString caFile;
};

// Nothing when a node's host is empty, its port is missing, zero or not a number below 65536,
// the address has a scheme other than tls:// or one anywhere but at the front, more than
// kMaxServerNodes nodes, or a query other than one non-empty ca= on a TLS address. Blanks around
// a node are ignored. The host part is GBK like every text of the module; the CA path is
// file-system bytes.
std::optional<ServerAddress> ParseServerAddress(const std::string& host, uint16_t defaultPort);
