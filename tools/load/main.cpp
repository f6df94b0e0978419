// pellix-load: logs many users on to friend servers over plain TCP, holds them while they chat
// among their friends, and prints one JSON line of what it measured. Bad arguments exit with
// code 2.

#include "FileLimit.h"
#include "LoadOptions.h"
#include "LoadReport.h"
#include "LoadRun.h"

#include <QCoreApplication>

#include <cstdio>

namespace pellix::load {
namespace {

constexpr int kExitBadArguments = 2;

int Run(int argc, char** argv) {
    server::UseEpollEventLoop();
    QCoreApplication app(argc, argv);
    QString error;
    const std::optional<LoadOptions> options = ParseLoadOptions(app.arguments(), error);
    if (!options) {
        std::fprintf(stderr, "pellix-load: %s (see --help)\n", error.toUtf8().constData());
        return kExitBadArguments;
    }
    if (options->showHelp) {
        std::fputs(LoadOptionsHelp().toUtf8().constData(), stdout);
        return 0;
    }
    // Every user holds a connection, and every connection a descriptor.
    server::RaiseOpenFileLimit();
    LoadRun run(*options, [&app](const LoadReport& report) {
        std::printf("%s\n", ReportJson(report).c_str());
        std::fflush(stdout);
        app.quit();
    });
    run.Start();
    return app.exec();
}

} // namespace
} // namespace pellix::load

int main(int argc, char** argv) {
    return pellix::load::Run(argc, argv);
}
