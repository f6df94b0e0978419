// The demo game client: loads the friend module beside it and signs the user on.

#include "HostOptions.h"
#include "HostWindow.h"
#include "ModuleLoader.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTextStream err(stderr);
    QString error;
    const auto options = ParseHostOptions(app.arguments(), error);
    if (!options) {
        err << "pellix-host: " << error << "\n";
        return 2;
    }
    ModuleLoader module;
    if (!module.Load(ModuleLoader::DefaultPath())) {
        err << "pellix-host: cannot load the friend module: " << module.errorString() << "\n";
        return 1;
    }
    IFriendClient* client = module.Create();
    if (client == nullptr) {
        err << "pellix-host: the friend module could not create its service\n";
        return 1;
    }
    int result = 0;
    {
        HostWindow window(*options, client);
        window.show();
        window.SignOn();
        result = app.exec();
        module.Destroy(&client);
    }
    return result;
}
