// Opening a chat window until it has been laid out and painted: the first one of a session, when
// the chat component library is not loaded yet and the chat skin images are not cached; a second
// one for another friend, the library loaded; and one that was closed, shown again. Runs in a
// scratch folder whose data/ is the build's runtime data.

#include "RecordingMessageBox.h"
#include "module/FriendService.h"
#include "records/FriendRecords.h"
#include "skin/ScreenMetrics.h"
#include "skin/SkinImageManager.h"
#include "storage/ContactManager.h"
#include "ui/chat/ChatComponentLibraries.h"
#include "ui/chat/FriendChatDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <memory>

using namespace pellix;

namespace {

constexpr int kFirstFriend = 2001;
constexpr int kSecondFriend = 2002;

bool KivraLoaded() {
    const std::string path = ChatComponentLibraries::Directory() + "/libkivra.so";
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle != nullptr)
        dlclose(handle);
    return handle != nullptr;
}

// A signed-on service with two friends and its friend list shown, as a host has it before the
// user opens a chat.
class SignedOnService {
public:
    SignedOnService() {
        tagUserInfo info{};
        info.userID = 1;
        m_service.SetUserInfo(info, "t");
        tagProxyInfo proxy;
        m_service.StartFriendService("127.0.0.1:1", 0, proxy);
        m_service.StopService();
        auto& contacts = *CContactManager::GetInstance();
        for (int id : {kFirstFriend, kSecondFriend})
            contacts.AddOrUpdateContact(id, id, 1, 0, "user" + std::to_string(id),
                                        "nick" + std::to_string(id), GROUP_FRIEND);
        Windows().ShowMainWindow(false);
        QApplication::processEvents();
    }
    CFriendWindowManager& Windows() { return *CFriendWindowManager::GetInstance(); }

    // Opens the friend's chat window and lets it lay out and paint.
    CFriendChatDlg* Open(int friendID) {
        CFriendChatDlg* chat = Windows().OpenChatWindow(friendID);
        QApplication::processEvents();
        return chat;
    }

private:
    CFriendService m_service;
};

void BM_FirstChatWindowOfASession(benchmark::State& state) {
    int libraryWasLoaded = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto service = std::make_unique<SignedOnService>();
        // No component object is alive: the library is closed and opened again by the window.
        ChatComponentLibraries::Release();
        CSkinImageManager::Instance().Clear();
        libraryWasLoaded += KivraLoaded() ? 1 : 0;
        state.ResumeTiming();

        benchmark::DoNotOptimize(service->Open(kFirstFriend));

        state.PauseTiming();
        service.reset();
        state.ResumeTiming();
    }
    state.counters["library_was_loaded"] = libraryWasLoaded;
}

void BM_SecondChatWindow(benchmark::State& state) {
    SignedOnService service;
    for (auto _ : state) {
        state.PauseTiming();
        service.Windows().CloseAllWindows();
        service.Open(kFirstFriend);
        state.ResumeTiming();

        benchmark::DoNotOptimize(service.Open(kSecondFriend));
    }
    state.counters["library_loaded"] = KivraLoaded() ? 1 : 0;
}

void BM_ClosedChatWindowShownAgain(benchmark::State& state) {
    SignedOnService service;
    CFriendChatDlg* chat = service.Open(kFirstFriend);
    for (auto _ : state) {
        state.PauseTiming();
        chat->CancelChat();
        QApplication::processEvents();
        state.ResumeTiming();

        benchmark::DoNotOptimize(service.Open(kFirstFriend));
    }
}

BENCHMARK(BM_FirstChatWindowOfASession)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondChatWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClosedChatWindowShownAgain)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    RecordingMessageBox boxes;
    ScreenMetrics::SetOverride(QRect(0, 0, 1280, 800), QRect(0, 0, 1280, 760));
    QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());
    QFile::link(QStringLiteral(CHAT_BENCH_RUNTIME_DIR "/data"), QStringLiteral("data"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
