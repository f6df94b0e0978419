// The chat history viewer on a history of 100,000 messages: opening it (first page shown and
// painted), going to the last page and back one page, finding a word that only the oldest page
// holds, and exporting the whole history, with the heap's and the resident set's growth during
// the export. Skin images come from the build's runtime folder; the profile is temporary.

#include "FakeWindowEnvironment.h"
#include "RecordingMessageBox.h"
#include "RecordingRequests.h"
#include "base/SignedInUser.h"
#include "data/Binding.h"
#include "data/SQLite/Connector.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "skin/SkinImageManager.h"
#include "storage/ChatHistoryManager.h"
#include "storage/DatabaseAccess.h"
#include "storage/ProfilePaths.h"
#include "ui/chat/ChatHistoryExporter.h"
#include "ui/chat/FriendChatHistoryViewerDlg.h"
#include "ui/manager/WindowContext.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>

using namespace pellix;

namespace {

constexpr int kPeer = 900;
constexpr int kMessages = 100000;
constexpr int kOldestWordIndex = 7;
const QString kOldestWord = QStringLiteral("oldestword");

struct BenchProfile {
    BenchProfile() {
        QDir::setCurrent(dir.path());
        GetUserInfo().userID = 501;
        QxDataModule::SQLite::Connector::registerConnector();
        CSkinImageManager::Instance().SetResourceRoot(QStringLiteral(HISTORY_BENCH_RUNTIME_DIR));
        Fill();
    }

    // One transaction of 100,000 rows, as months of chatting would leave them.
    static void Fill() {
        EnsureChatHistoryDirectory();
        QxDataModule::Session session =
            OpenDatabase(ChatHistoryDirectory() + ChatHistoryFileName(kPeer));
        session << "CREATE TABLE IF NOT EXISTS [chat_history] ([From] VARCHAR(32), [To] "
                   "VARCHAR(32), [Time] INTEGER default 0, [Message] VARCHAR(512))",
            QxDataModule::now;
        QxDataModule::Transaction transaction(session);
        // The file holds UTF-8, as the store writes it.
        const std::string me = "我自己";
        const std::string friendName = "小明";
        std::string from, to, message;
        int64_t time = 1600000000;
        QxDataModule::Statement insert(session);
        insert << "INSERT INTO [chat_history] VALUES(?, ?, ?, ?)", QxDataModule::use(from),
            QxDataModule::use(to), QxDataModule::use(time), QxDataModule::use(message);
        for (int i = 0; i < kMessages; ++i, time += 37) {
            from = i % 2 == 0 ? me : friendName;
            to = i % 2 == 0 ? friendName : me;
            message = "今晚一起打牌吗？ message " + std::to_string(i) +
                      (i == kOldestWordIndex ? " oldestword" : "");
            insert.execute();
        }
        transaction.commit();
    }

    QTemporaryDir dir;
    RecordingMessageBox boxes;
    CChatHistoryManager history;
    RecordingRequests requests;
    FakeWindowEnvironment environment;
    WindowContext context{requests, environment, nullptr, &history};
};

BenchProfile& Profile() {
    static BenchProfile profile;
    return profile;
}

std::unique_ptr<CFriendChatHistoryViewerDlg> OpenViewer() {
    auto viewer = std::make_unique<CFriendChatHistoryViewerDlg>(Profile().context);
    viewer->SetFriend(kPeer);
    viewer->show();
    // Laid out and painted, as the user sees it.
    QApplication::processEvents();
    return viewer;
}

void Report(benchmark::State& state, const CFriendChatHistoryViewerDlg& viewer) {
    state.counters["page"] = viewer.CurrentPage();
    state.counters["pages"] = viewer.PageCount();
    state.counters["error_boxes"] = static_cast<double>(Profile().boxes.boxes.size());
}

void BM_OpenViewerFirstPage(benchmark::State& state) {
    Profile();
    for (auto _ : state) {
        auto viewer = OpenViewer();
        state.PauseTiming();
        viewer.reset();
        state.ResumeTiming();
    }
    Report(state, *OpenViewer());
}
BENCHMARK(BM_OpenViewerFirstPage)->Unit(benchmark::kMillisecond);

void BM_LastPageFromFirst(benchmark::State& state) {
    Profile();
    auto viewer = OpenViewer();
    for (auto _ : state) {
        viewer->ShowLastPage();
        QApplication::processEvents();
        state.PauseTiming();
        viewer->ShowFirstPage();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    viewer->ShowLastPage();
    Report(state, *viewer);
}
BENCHMARK(BM_LastPageFromFirst)->Unit(benchmark::kMillisecond);

void BM_PreviousPageFromLast(benchmark::State& state) {
    Profile();
    auto viewer = OpenViewer();
    viewer->ShowLastPage();
    for (auto _ : state) {
        viewer->ShowPreviousPage();
        QApplication::processEvents();
        state.PauseTiming();
        viewer->ShowLastPage();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    viewer->ShowPreviousPage();
    Report(state, *viewer);
}
BENCHMARK(BM_PreviousPageFromLast)->Unit(benchmark::kMillisecond);

// From the last page the whole history lies between the start and the match.
void BM_FindWordInOldestPageFromLast(benchmark::State& state) {
    Profile();
    auto viewer = OpenViewer();
    bool found = true;
    for (auto _ : state) {
        state.PauseTiming();
        viewer->ShowLastPage();
        QApplication::processEvents();
        state.ResumeTiming();
        found = viewer->FindOlder(kOldestWord) && found;
        QApplication::processEvents();
    }
    state.counters["found"] = found ? 1 : 0;
    Report(state, *viewer);
}
BENCHMARK(BM_FindWordInOldestPageFromLast)->Unit(benchmark::kMillisecond);

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

double MiB(double bytes) {
    return bytes / (1024.0 * 1024.0);
}

// The export steps the way the viewer drives it, one part per step; the heap in use and the
// resident set are sampled after every step. The resident set includes the pages of the history
// file that its memory map brings in (the system's file cache, given back under pressure).
void BM_ExportWholeHistory(benchmark::State& state) {
    Profile();
    const auto format =
        state.range(0) == 0 ? ChatHistoryExportFormat::PlainText : ChatHistoryExportFormat::Html;
    const QString path = QDir::current().filePath(QStringLiteral("export.out"));
    double heapGrowth = 0;
    double residentGrowth = 0;
    int written = 0;
    bool finished = true;
    for (auto _ : state) {
        const auto heapBefore = static_cast<double>(mallinfo2().uordblks);
        const auto residentBefore = static_cast<double>(ResidentBytes());
        double heapPeak = heapBefore;
        double residentPeak = residentBefore;
        CChatHistoryExporter exporter(Profile().history.HistoryFilePath(kPeer), "\xD0\xA1\xC3\xF7",
                                      format, path);
        while (exporter.Step() == CChatHistoryExporter::Status::Running) {
            heapPeak = std::max(heapPeak, static_cast<double>(mallinfo2().uordblks));
            residentPeak = std::max(residentPeak, static_cast<double>(ResidentBytes()));
        }
        finished = exporter.GetStatus() == CChatHistoryExporter::Status::Finished && finished;
        written = exporter.MessagesWritten();
        heapGrowth = std::max(heapGrowth, heapPeak - heapBefore);
        residentGrowth = std::max(residentGrowth, residentPeak - residentBefore);
    }
    state.counters["messages"] = written;
    state.counters["finished"] = finished ? 1 : 0;
    state.counters["file_MiB"] = MiB(static_cast<double>(QFile(path).size()));
    state.counters["heap_peak_growth_MiB"] = MiB(heapGrowth);
    state.counters["rss_growth_MiB"] = MiB(residentGrowth);
}
BENCHMARK(BM_ExportWholeHistory)
    ->ArgName("html")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
