// A user's program that stores chat history and is then killed: adds COUNT messages for peer 502
// of user 501 under the working directory in one turn of the event loop, says "stored" two turns
// later and waits to be killed. Usage: history_writer COUNT

#include "base/SignedInUser.h"
#include "data/SQLite/Connector.h"
#include "storage/ChatHistoryManager.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <string>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::stoi(argv[1]) : 0;
    pellix::GetUserInfo().userID = 501;
    QxDataModule::SQLite::Connector::registerConnector();
    pellix::CChatHistoryManager history;
    QTimer::singleShot(0, [&] {
        for (int i = 0; i < count; ++i)
            history.AddMessage(502, "me", "you", 1700000000 + i, "message " + std::to_string(i));
        QTimer::singleShot(0, [] {
            QTimer::singleShot(0, [] {
                std::puts("stored");
                std::fflush(stdout);
            });
        });
    });
    return app.exec();
}
