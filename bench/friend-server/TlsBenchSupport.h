#pragma once
// What both parts of tls_bench share: the test certificates, made once per run, and a friend
// server in this process over its own store of users, plain or TLS.

#include "BenchAccounts.h"
#include "FriendRelations.h"
#include "FriendServer.h"
#include "MemoryAccountStore.h"
#include "TestCertificates.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <functional>
#include <string>

namespace pellix::bench {

inline const TestCertificates& Certificates() {
    static const TestCertificates certificates;
    return certificates;
}

inline void RunUntil(const std::function<bool()>& ready) {
    while (!ready())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Users 1..count, each a friend of the next; TLS with the test CA's certificate when asked.
struct BenchServer {
    BenchServer(int32_t count, bool tls) : server(store, server::SessionLimits{}) {
        server::FriendRelations relations(store);
        SaveChainOfFriends(relations, count);
        if (tls)
            server.UseTls(Certificates().ServerConfiguration(TestCertificates::Server::Good));
        server.Listen(QHostAddress::LocalHost, 0);
    }
    std::string Address() const {
        const std::string address = "127.0.0.1:" + std::to_string(server.Port());
        if (!server.IsTls())
            return address;
        return "tls://" + address + "?ca=" + Certificates().CaFile().toStdString();
    }
    server::MemoryAccountStore store;
    server::FriendServer server;
};

} // namespace pellix::bench
