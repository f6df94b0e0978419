// The friend list window with 2,000 contacts: filling it from the model, re-filing one contact
// after a presence change, and the memory the filled window holds.

#include "module/FriendService.h"
#include "records/FriendRecords.h"
#include "storage/ContactManager.h"
#include "ui/friendlist/FriendMainDlg.h"
#include "ui/manager/FriendWindowManager.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <malloc.h>

using namespace pellix;

namespace {

constexpr int kContacts = 2000;

// A service in a scratch folder with 2,000 contacts: most friends, a few strangers and blacklisted.
class FilledService {
public:
    FilledService() {
        QDir::setCurrent(m_dir.path());
        tagUserInfo info{};
        info.userID = 1;
        m_service.SetUserInfo(info, "t");
        tagProxyInfo proxy;
        m_service.StartFriendService("127.0.0.1:1", 0, proxy);
        m_service.StopService();
        auto& contacts = *CContactManager::GetInstance();
        for (int i = 0; i < kContacts; ++i) {
            const int id = 100000 + i;
            const int group = i % 20 == 0   ? GROUP_STRANGER
                              : i % 50 == 1 ? GROUP_BLACKLIST
                                            : GROUP_FRIEND;
            contacts.AddOrUpdateContact(id, id, i % 3 == 0, static_cast<uint8_t>(i % 2),
                                        "user" + std::to_string(i),
                                        "\xD0\xA1\xC3\xF7" + std::to_string(i), group);
        }
        Windows().EnsureMainWindow()->show();
    }
    CFriendWindowManager& Windows() { return *CFriendWindowManager::GetInstance(); }
    CContactManager& Contacts() { return *CContactManager::GetInstance(); }

private:
    QTemporaryDir m_dir;
    CFriendService m_service;
};

// Built in main, after the application object and before the benchmarks run.
FilledService* g_pService = nullptr;

FilledService& Service() {
    return *g_pService;
}

void BM_RefreshListener(benchmark::State& state) {
    auto& service = Service();
    for (auto _ : state)
        service.Contacts().RefreshListener();
}

void BM_PresenceRefilesOneContact(benchmark::State& state) {
    auto& service = Service();
    service.Contacts().RefreshListener();
    uint8_t presence = STATE_ONLINE;
    for (auto _ : state) {
        service.Contacts().SetOnlineState(100000 + 998, presence);
        presence = presence == STATE_ONLINE ? STATE_OFFLINE : STATE_ONLINE;
    }
}

void BM_MemoryOfTheFilledList(benchmark::State& state) {
    auto& service = Service();
    double bytes = 0;
    for (auto _ : state) {
        service.Contacts().RefreshListener();
        const auto filled = mallinfo2().uordblks;
        service.Windows().GetMainWindow()->OnContactsReset();
        const auto empty = mallinfo2().uordblks;
        bytes = static_cast<double>(filled) - static_cast<double>(empty);
    }
    state.counters["bytes_held"] = bytes;
    state.counters["bytes_per_contact"] = bytes / kContacts;
}

} // namespace

BENCHMARK(BM_RefreshListener)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PresenceRefilesOneContact)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemoryOfTheFilledList)->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FilledService service;
    g_pService = &service;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
