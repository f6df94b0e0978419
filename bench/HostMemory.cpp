// Prints the resident memory of the demo host with 2,000 friends signed on and ten chat windows
// open. The program is the host's friend server: it answers the log-on with 2,000 friends (ten
// online) and sends one chat from each of those ten, while pellix-host, started from its runtime
// folder, shows the friend list, waits for all of it and for the ten chats, and prints its VmRSS.
// Usage: host_memory [friends]   (2,000 unless given)

#include "ScriptedPeer.h"
#include "client/CommandStream.h"
#include "records/FriendCommands.h"
#include "records/FriendRecords.h"
#include "text/StringUtility.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <vector>

using namespace pellix;

namespace {

constexpr int kOwnID = 1;
constexpr int kOnlineFriends = 10;

QString NickName(int userID) {
    return QStringLiteral("好友%1").arg(userID);
}

QByteArray Body(const CCommandStream& stream) {
    return {reinterpret_cast<const char*>(stream.SendBuffer()),
            static_cast<qsizetype>(stream.SendSize())};
}

QByteArray FriendListBody(int friends) {
    std::vector<FriendEntry> entries;
    for (int id = kOwnID + 1; id <= kOwnID + friends; ++id)
        entries.push_back({id, "u" + std::to_string(id), StringUtility::QStringToAnsi(NickName(id)),
                           id, static_cast<uint8_t>(id % 2), id <= kOwnID + kOnlineFriends});
    CCommandStream stream;
    stream.WriteInt32(1);
    stream.WriteInt32(friends);
    WriteList(stream, entries, WriteFriendEntry);
    return Body(stream);
}

QByteArray ChatBody(int senderID) {
    CCommandStream stream;
    stream.WriteInt32(senderID);
    stream.WriteString(StringUtility::QStringToAnsi(QStringLiteral("在吗？")));
    return Body(stream);
}

QString Scenario(int friends) {
    QString script = QStringLiteral("show-friends\nwait-friend %1\n").arg(NickName(friends + 1));
    for (int id = kOwnID + 1; id <= kOwnID + kOnlineFriends; ++id)
        script += QStringLiteral("wait-chat %1\n").arg(NickName(id));
    return script + QStringLiteral("print-memory\nquit\n");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int friends = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    QTemporaryDir work;
    const QString scenario = work.filePath(QStringLiteral("memory.scenario"));
    QFile file(scenario);
    if (!file.open(QIODevice::WriteOnly) || file.write(Scenario(friends).toUtf8()) < 0)
        return 1;
    file.close();
    // The host keeps its profile in its working directory, a copy of the runtime folder.
    const QString runtime = work.filePath(QStringLiteral("runtime"));
    QProcess::execute(QStringLiteral("cp"),
                      {QStringLiteral("-r"), QStringLiteral(PELLIX_RUNTIME_DIR), runtime});

    ScriptedPeer server;
    QProcess host;
    host.setWorkingDirectory(runtime);
    host.setProcessChannelMode(QProcess::MergedChannels);
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    host.setProcessEnvironment(environment);
    // HOST_MEMORY_WRAPPER runs the host under a profiler: "heaptrack -o FILE", say.
    QStringList command = QString::fromLocal8Bit(qgetenv("HOST_MEMORY_WRAPPER"))
                              .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    command << QStringLiteral(PELLIX_HOST_PATH);
    const QString program = command.takeFirst();
    host.start(program, command + QStringList{QStringLiteral("--user-id"), QString::number(kOwnID),
                                              QStringLiteral("--user-name"), QStringLiteral("me"),
                                              QStringLiteral("--nickname"), QStringLiteral("我"),
                                              QStringLiteral("--token"), QStringLiteral("token"),
                                              QStringLiteral("--server"),
                                              QStringLiteral("127.0.0.1:%1").arg(server.Port()),
                                              QStringLiteral("--scenario"), scenario});

    // The log-on is answered with the list and the ten chats, once.
    bool answered = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (answered || server.FramesWith(CMD_FRIEND, SUB_C_LOGON) == 0)
            return;
        answered = true;
        server.Send(CMD_FRIEND, SUB_S_FRIEND_LIST, FriendListBody(friends));
        for (int id = kOwnID + 1; id <= kOwnID + kOnlineFriends; ++id)
            server.Send(CMD_FRIEND, SUB_S_CHAT_MESSAGE, ChatBody(id));
    });
    poll.start(20);
    QObject::connect(&host, &QProcess::finished, &app, [&app] { app.quit(); });
    QTimer::singleShot(300000, &app, [&app] { app.exit(1); });
    if (app.exec() != 0 || host.exitCode() != 0) {
        out << "host_memory: the host did not finish its scenario:\n"
            << QString::fromUtf8(host.readAll()) << Qt::endl;
        return 1;
    }
    const QString log = QString::fromUtf8(host.readAll());
    const auto found = QRegularExpression(QStringLiteral("resident memory (\\d+) kB")).match(log);
    if (!found.hasMatch()) {
        out << "host_memory: the host printed no memory figure:\n" << log << Qt::endl;
        return 1;
    }
    const qint64 kb = found.captured(1).toLongLong();
    out << "host_memory: " << friends << " friends signed on, " << kOnlineFriends
        << " chat windows open: resident memory " << kb << " kB (" << kb / 1024 << " MiB)"
        << Qt::endl;
    return 0;
}
