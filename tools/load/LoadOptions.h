#pragma once
// The command line of pellix-load: the servers, the users to log on, how long to hold them and how
// many chats a second to send among them.

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pellix::load {

struct Endpoint {
    QHostAddress host;
    quint16 port = 0;
};

struct LoadOptions {
    std::vector<Endpoint> servers;
    int32_t firstUser = 0;
    int32_t lastUser = 0;
    // GBK, as the log-on carries it.
    std::string token;
    int holdSeconds = 10;
    int chatsPerSecond = 0;
    // Log-ons under way at once: connected, or connecting, and still waiting for the list.
    int logonsInFlight = 512;
    bool showHelp = false;

    int32_t UserCount() const { return lastUser - firstUser + 1; }
};

// Parses the arguments (program name first). On a bad argument returns nothing and sets error to
// a message naming it.
std::optional<LoadOptions> ParseLoadOptions(const QStringList& arguments, QString& error);

QString LoadOptionsHelp();

} // namespace pellix::load
