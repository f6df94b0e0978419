#pragma once
// What the demo host is told on its command line: the signed-in user, the friend server and where
// the platform's profile pages are.

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
    QString server;
    // Base address of the profile pages; empty for none.
    QString profileUrl;
    QString scenario;
    QString screenshotDir;
};

// Port of the profile pages when --profile-url is not given, on the friend server's host.
constexpr quint16 kDefaultProfilePort = 8080;

// "http://HOST:8080" for the host of a --server value, or empty when it names none.
QString DefaultProfileUrl(const QString& server);

// Parses the arguments (program name first); on a bad or missing argument returns nothing and
// sets error to a message naming it.
std::optional<HostOptions> ParseHostOptions(const QStringList& arguments, QString& error);
