// The demo game client: loads the friend module beside it and signs the user on. With
// --show-friends it opens the friend list beside its window (and, without a scenario, prints each
// friend the list shows going online or offline); with --scenario it then plays a script of user
// actions against the friend windows and exits with the script's result.

#include "FriendPresenceLog.h"
#include "HostOptions.h"
#include "HostWindow.h"
#include "ModuleLoader.h"
#include "ScenarioPlayer.h"
#include "ScenarioScript.h"
#include "WindowFinder.h"
#include "client/UrlFactory.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTextStream>

#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString error;
    const auto options = ParseHostOptions(app.arguments(), error);
    std::optional<std::vector<ScenarioStep>> scenario;
    if (options && !options->scenario.isEmpty())
        scenario = ReadScenarioFile(options->scenario, error);
    if (!options || (!options->scenario.isEmpty() && !scenario)) {
        err << "pellix-host: " << error << Qt::endl;
        return 2;
    }
    // The client library makes the profile addresses the friend windows open.
    if (!CUrlFactory::getSingletonPtr()->SetBaseUrl(options->profileUrl.toStdString())) {
        err << "pellix-host: --profile-url needs an http or https address, got \""
            << options->profileUrl << "\"" << Qt::endl;
        return 2;
    }
    ModuleLoader module;
    if (!module.Load(ModuleLoader::DefaultPath())) {
        err << "pellix-host: cannot load the friend module: " << module.errorString() << Qt::endl;
        return 1;
    }
    IFriendClient* client = module.Create();
    if (client == nullptr) {
        err << "pellix-host: the friend module could not create its service" << Qt::endl;
        return 1;
    }
    int result = 0;
    {
        HostWindow window(*options, client);
        window.MoveToTile();
        window.show();
        const QString label = options->userName;
        out << label << ": signing on to " << options->server << " as " << options->nickName << " ("
            << options->userID << ")" << Qt::endl;
        const bool started = window.SignOn();
        if (started && options->showFriends && window.ShowFriendListBeside() != nullptr &&
            !scenario) {
            // Owned by the list it watches.
            if (QAbstractItemView* view = WindowFinder::FriendListView())
                new FriendPresenceLog(*view, label, out);
        }
        std::unique_ptr<ScenarioPlayer> player;
        if (scenario && !started) {
            err << "pellix-host: the friend service did not start" << Qt::endl;
            result = 1;
        } else if (scenario) {
            player = std::make_unique<ScenarioPlayer>(
                std::move(*scenario),
                ScenarioPlayer::Context{label, &window, options->screenshotDir}, out, err);
            QObject::connect(player.get(), &ScenarioPlayer::finished, &app,
                             [](int code) { QCoreApplication::exit(code); });
            player->Start();
        }
        if (result == 0)
            result = app.exec();
        module.Destroy(&client);
    }
    return result;
}
