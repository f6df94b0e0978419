// One user of the chaos test in a process of its own (the module is one per process): signs on
// at the given address, types numbered chats to one friend in the chat window at a steady pace,
// and ends once everything it typed has left its outbox and the friend's chats have come in.
// What the chat window showed goes to --shown; the numbers typed while the user was not signed
// on go to --typed-offline. Exit code 0 when it finished, 1 when --timeout ran out first.
//
// chaos_client --work DIR --user ID --friend ID --server ADDRESS --count N --interval-ms MS
//              --shown FILE --typed-offline FILE [--timeout-s S] [--idle-s S]

#include "base/SignedInUser.h"
#include "module/FriendService.h"
#include "skin/SkinEdit.h"
#include "skin/SkinRichEdit.h"
#include "storage/ChatHistoryManager.h"
#include "storage/FriendOptionManager.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <string>

namespace pellix {

namespace {

struct Options {
    QString work;
    int user = 0;
    int friendID = 0;
    QString server;
    int count = 0;
    int intervalMs = 10;
    QString shownFile;
    QString typedOfflineFile;
    int timeoutS = 120;
    // With a server that confirms nothing, chats written just before a cut may never arrive:
    // after this long without a new chat from the friend the client stops waiting.
    int idleS = 0;
};

bool Parse(const QStringList& arguments, Options& options) {
    QCommandLineParser parser;
    const QStringList names{QStringLiteral("work"),      QStringLiteral("user"),
                            QStringLiteral("friend"),    QStringLiteral("server"),
                            QStringLiteral("count"),     QStringLiteral("interval-ms"),
                            QStringLiteral("shown"),     QStringLiteral("typed-offline"),
                            QStringLiteral("timeout-s"), QStringLiteral("idle-s")};
    for (const QString& name : names)
        parser.addOption(QCommandLineOption(name, name, name));
    if (!parser.parse(arguments))
        return false;
    options.work = parser.value(QStringLiteral("work"));
    options.user = parser.value(QStringLiteral("user")).toInt();
    options.friendID = parser.value(QStringLiteral("friend")).toInt();
    options.server = parser.value(QStringLiteral("server"));
    options.count = parser.value(QStringLiteral("count")).toInt();
    options.intervalMs = parser.value(QStringLiteral("interval-ms")).toInt();
    options.shownFile = parser.value(QStringLiteral("shown"));
    options.typedOfflineFile = parser.value(QStringLiteral("typed-offline"));
    if (parser.isSet(QStringLiteral("timeout-s")))
        options.timeoutS = parser.value(QStringLiteral("timeout-s")).toInt();
    options.idleS = parser.value(QStringLiteral("idle-s")).toInt();
    return !options.work.isEmpty() && options.user != 0 && options.friendID != 0 &&
           !options.server.isEmpty() && options.count > 0;
}

class ChaosUser {
public:
    explicit ChaosUser(const Options& options) : m_Options(options) {}

    void Start() {
        QDir().mkpath(m_Options.work);
        QDir::setCurrent(m_Options.work);
        tagUserInfo info{};
        info.userID = m_Options.user;
        const std::string name = "user" + std::to_string(m_Options.user);
        std::memcpy(info.nickName, name.data(), name.size());
        std::memcpy(info.userName, name.data(), name.size());
        m_Service.SetUserInfo(info, "token-" + std::to_string(m_Options.user));
        m_Service.SetReconnectDelays(20, 200);
        tagProxyInfo proxy;
        m_Service.StartFriendService(m_Options.server.toStdString(), 0, proxy);
        // Thousands of chats would each play the message sound.
        CFriendOptionManager::GetInstance()->GetFriendOption().bOpenFriendSound = false;
        m_pChat = CFriendWindowManager::GetInstance()->OpenChatWindow(m_Options.friendID);
        QObject::connect(&m_TypeTimer, &QTimer::timeout, [this] { TypeNext(); });
        QObject::connect(&m_CheckTimer, &QTimer::timeout, [this] { Check(); });
        m_TypeTimer.start(m_Options.intervalMs);
        m_CheckTimer.start(100);
        m_Clock.start();
        m_LastArrival.start();
    }

private:
    void TypeNext() {
        if (m_nTyped == m_Options.count) {
            m_TypeTimer.stop();
            return;
        }
        ++m_nTyped;
        const QString text =
            QStringLiteral("#%1-%2").arg(m_Options.user).arg(m_nTyped, 5, 10, QLatin1Char('0'));
        if (!m_Service.Delivery().IsSignedOn())
            m_TypedOffline += text + QLatin1Char('\n');
        m_pChat->InputBox()->setPlainText(text);
        m_pChat->SendChatMessage();
    }

    int Arrived() {
        // Own chats are stored as they are typed; the rest came from the friend.
        return CChatHistoryManager::GetInstance()->GetMessageCount(m_Options.friendID) - m_nTyped;
    }

    void Check() {
        const int arrived = Arrived();
        if (arrived != m_nLastArrived) {
            m_nLastArrived = arrived;
            m_LastArrival.restart();
        }
        const bool sent = m_nTyped == m_Options.count && m_Service.Delivery().Outbox().IsEmpty();
        const bool received =
            arrived >= m_Options.count ||
            (m_Options.idleS > 0 && m_LastArrival.elapsed() > m_Options.idleS * 1000);
        if (sent && received)
            Finish(0);
        else if (m_Clock.elapsed() > m_Options.timeoutS * 1000)
            Finish(1);
    }

    void Finish(int code) {
        m_CheckTimer.stop();
        m_TypeTimer.stop();
        Write(m_Options.shownFile, m_pChat->DisplayView()->toPlainText());
        Write(m_Options.typedOfflineFile, m_TypedOffline);
        std::printf("chaos_client %d: typed %d, arrived %d, outbox %zu\n", m_Options.user, m_nTyped,
                    Arrived(), m_Service.Delivery().Outbox().Pending().size());
        std::fflush(stdout);
        QCoreApplication::exit(code);
    }

    static void Write(const QString& path, const QString& text) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(text.toUtf8());
    }

    const Options& m_Options;
    CFriendService m_Service;
    CFriendChatDlg* m_pChat = nullptr;
    QTimer m_TypeTimer;
    QTimer m_CheckTimer;
    QElapsedTimer m_Clock;
    QElapsedTimer m_LastArrival;
    int m_nTyped = 0;
    int m_nLastArrived = -1;
    QString m_TypedOffline;
};

} // namespace

} // namespace pellix

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    pellix::Options options;
    if (!pellix::Parse(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr, "chaos_client: bad arguments\n");
        return 2;
    }
    pellix::ChaosUser user(options);
    user.Start();
    return QApplication::exec();
}
