// libFuzzer target for the dispatcher of server commands, input as DispatchInput.h reads it.
//
// One whole service, windows included, serves many inputs without a connection (what it sends is
// dropped). Its working directory is on tmpfs (/dev/shm when there is one), so the history and
// contact files it writes cost no disk. Every 50,000 inputs the service is built anew and
// the profile emptied, so that what the inputs leave in windows, contacts and history files stays
// bounded. Leaks are looked for when the process ends (scripts/fuzz), not after every input: the
// service keeps what an input gave it, which the check after each input would take for a leak.
// Corpus folders must be given as absolute paths: the target works in its profile folder.

#include "DispatchInput.h"
#include "RecordingMessageBox.h"
#include "RecordingSocket.h"
#include "client/ClientSocket.h"
#include "module/FriendService.h"
#include "records/FriendCommands.h"
#include "skin/SkinMessageBox.h"
#include "storage/FriendOptionManager.h"
#include "text/FileUtility.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sanitizer/common_interface_defs.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace pellix {

namespace {

constexpr int kInputsPerService = 50000;

struct Harness {
    Harness() : workDir(TmpfsWorkDirTemplate(QStringLiteral("dispatch-fuzz"))) {
        QDir::setCurrent(workDir.path());
        SetMessageBoxPresenter(&boxes);
    }

    CFriendService& Service() {
        if (!service || ++inputs % kInputsPerService == 0)
            Rebuild();
        return *service;
    }

    void Rebuild() {
        service.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The next service starts from an empty profile.
        FileUtility::EmptyDirectory(QFile::encodeName(workDir.path()).toStdString());
        service = std::make_unique<CFriendService>();
        tagUserInfo info{};
        info.userID = 501;
        std::memcpy(info.nickName, "me", 2);
        service->SetUserInfo(info, "token");
        tagProxyInfo proxy;
        service->StartFriendService("127.0.0.1:1", 0, proxy);
        service->StopService();
        service->AttachSocket(&socket);
        // No sound device is wanted for this.
        CFriendOptionManager::GetInstance()->GetFriendOption().bOpenFriendSound = false;
    }

    QTemporaryDir workDir;
    SilentMessageBox boxes;
    DiscardingSocket socket;
    std::unique_ptr<CFriendService> service;
    int inputs = 0;
};

// Qt's warnings about what the offscreen platform cannot do (window masks, raise) would be
// written for nearly every input.
void DropQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// Never destroyed: libFuzzer ends with exit(), after Qt's own globals are gone, when widgets can
// no longer be torn down. Both stay reachable, so no leak is reported.
QApplication* g_app = nullptr;
Harness* g_harness = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(DropQtMessages);
    g_app = new QApplication(*argc, *argv);
    g_harness = new Harness();
    // The profile on tmpfs takes memory until removed, after a finding too.
    std::atexit([] { g_harness->workDir.remove(); });
    __sanitizer_set_death_callback([] { g_harness->workDir.remove(); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::optional<DispatchInput> input = ReadDispatchInput(data, size);
    if (!input)
        return -1;
    CheckHandled(*input, g_harness->Service().OnServiceCommand({CMD_FRIEND, input->sub},
                                                               input->body.get(), input->length));
    return 0;
}

} // namespace pellix
