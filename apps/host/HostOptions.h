#pragma once
// What the demo host is told on its command line: the signed-in user and the friend server.

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
    QString scenario;
    QString screenshotDir;
};

// Parses the arguments (program name first); on a bad or missing argument returns nothing and
// sets error to a message naming it.
std::optional<HostOptions> ParseHostOptions(const QStringList& arguments, QString& error);
