#pragma once
// What the demo host is told on its command line: the signed-in user, the friend server and where
// the platform's profile pages are, and where its windows go.

#include "HostLayout.h"

#include <QString>
#include <QStringList>

#include <optional>

struct HostOptions {
    int userID = 0;
    QString userName;
    QString nickName;
    int gender = 0;
    int showID = 0;
    QString token;
    // The address handed to the module as it is; --ca has been added to it as "?ca=PATH".
    QString server;
    // Base address of the profile pages; empty for none.
    QString profileUrl;
    QString scenario;
    QString screenshotDir;
    // The friend list opens at sign-on, beside the host's window.
    bool showFriends = false;
    // The host's column of the screen; nothing leaves the window where the system puts it.
    std::optional<WindowTile> tile;
};

// Port of the profile pages when --profile-url is not given, on the friend server's host.
constexpr quint16 kDefaultProfilePort = 8080;

// "http://HOST:8080" for the host of a --server value (its first node's), or empty when it names
// none.
QString DefaultProfileUrl(const QString& server);

// A tls:// server address that also trusts the CA certificates in caFile: "ADDRESS?ca=PATH", the
// path percent-encoded. Nothing, with error set, for a plain address or one that names a CA.
std::optional<QString> ServerWithCaFile(const QString& server, const QString& caFile,
                                        QString& error);

// Parses the arguments (program name first); on a bad or missing argument returns nothing and
// sets error to a message naming it.
std::optional<HostOptions> ParseHostOptions(const QStringList& arguments, QString& error);
