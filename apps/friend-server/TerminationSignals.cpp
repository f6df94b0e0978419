#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace pellix::server {

namespace {

int g_SignalPipe[2] = {-1, -1};

void OnSignal(int) {
    // Only async-signal-safe calls here: one byte wakes the event loop.
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(g_SignalPipe[1], &byte, 1);
}

} // namespace

bool QuitOnTerminationSignals(QCoreApplication& app) {
    if (pipe2(g_SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    auto* notifier = new QSocketNotifier(g_SignalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

} // namespace pellix::server
