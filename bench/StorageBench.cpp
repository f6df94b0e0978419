// Speed of the storage layer on real SQLite files in a temporary working directory: a full friend
// list download, a reload of the stored list, a burst of chat messages and paging a long history.

#include "RecordingMessageBox.h"
#include "base/SignedInUser.h"
#include "data/Binding.h"
#include "data/SQLite/Connector.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "records/FriendRecords.h"
#include "skin/SkinMessageBox.h"
#include "storage/ChatHistoryManager.h"
#include "storage/ContactManager.h"
#include "storage/DatabaseAccess.h"
#include "storage/ProfilePaths.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace pellix;

namespace {

constexpr int FRIEND_COUNT = 2000;
constexpr int LONG_HISTORY_PEER = 900;
constexpr int LONG_HISTORY_SIZE = 100000;

// A working directory of its own, with user 501 signed in, for the whole run.
struct BenchProfile {
    BenchProfile() {
        QDir::setCurrent(dir.path());
        GetUserInfo().userID = 501;
        QxDataModule::SQLite::Connector::registerConnector();
    }
    QTemporaryDir dir;
    RecordingMessageBox boxes;
};

BenchProfile& Profile() {
    static BenchProfile profile;
    return profile;
}

std::vector<FriendEntry> Friends() {
    std::vector<FriendEntry> list(FRIEND_COUNT);
    for (int i = 0; i < FRIEND_COUNT; ++i) {
        list[i].userID = 10000 + i;
        list[i].userName = "user" + std::to_string(i);
        list[i].nickName = "\xBA\xC3\xD3\xD1 " + std::to_string(i);
        list[i].showID = i;
        list[i].online = i % 3 == 0;
    }
    return list;
}

void ReportBoxes(benchmark::State& state) {
    state.counters["error_boxes"] = static_cast<double>(Profile().boxes.boxes.size());
}

void BM_MergeAndCommitFriendList(benchmark::State& state) {
    Profile();
    CContactManager model;
    const std::vector<FriendEntry> friends = Friends();
    model.MergeFriendList(friends);
    model.CommitFriendList(FRIEND_COUNT, 1);
    int version = 2;
    for (auto _ : state) {
        state.PauseTiming();
        model.Clear();
        state.ResumeTiming();
        model.MergeFriendList(friends);
        model.CommitFriendList(FRIEND_COUNT, version++);
    }
    ReportBoxes(state);
}
BENCHMARK(BM_MergeAndCommitFriendList)->Unit(benchmark::kMillisecond);

void BM_ReloadAllFromStore(benchmark::State& state) {
    Profile();
    CContactManager model;
    model.MergeFriendList(Friends());
    model.CommitFriendList(FRIEND_COUNT, 1);
    for (auto _ : state) {
        model.ReloadAllFromStore();
        benchmark::DoNotOptimize(model.GetContacts().size());
    }
    state.counters["contacts"] = static_cast<double>(model.GetContacts().size());
    ReportBoxes(state);
}
BENCHMARK(BM_ReloadAllFromStore)->Unit(benchmark::kMillisecond);

void BM_AddMessageBurst500(benchmark::State& state) {
    Profile();
    CChatHistoryManager history;
    const std::string text = "\xC4\xE3\xBA\xC3, a message of ordinary length";
    int peer = 700;
    for (auto _ : state) {
        // Each burst starts a new conversation, so the file is created inside the burst.
        ++peer;
        for (int i = 0; i < 500; ++i)
            history.AddMessage(peer, "me", "you", 1700000000 + i, text);
        // What the end of the turn does.
        history.CommitPending();
    }
    ReportBoxes(state);
}
BENCHMARK(BM_AddMessageBurst500)->Unit(benchmark::kMillisecond);

// The data library alone, the way the storage code uses it: one session per message, the table
// made sure of each time, on a file that already exists.
void BM_SessionPerInsert500(benchmark::State& state) {
    Profile();
    const std::string path = "session-per-insert.db";
    const std::string text = "a message of ordinary length";
    for (auto _ : state) {
        for (int64_t i = 0; i < 500; ++i) {
            QxDataModule::Session session = OpenDatabase(path);
            session << "CREATE TABLE IF NOT EXISTS [m] ([Time] INTEGER, [Message] VARCHAR(512))",
                QxDataModule::now;
            session << "INSERT INTO [m] VALUES(?, ?)", QxDataModule::use(i),
                QxDataModule::use(text), QxDataModule::now;
        }
    }
}
BENCHMARK(BM_SessionPerInsert500)->Unit(benchmark::kMillisecond);

void FillLongHistory() {
    EnsureChatHistoryDirectory();
    QxDataModule::Session session =
        OpenDatabase(ChatHistoryDirectory() + ChatHistoryFileName(LONG_HISTORY_PEER));
    session << "CREATE TABLE IF NOT EXISTS [chat_history] ([From] VARCHAR(32), [To] "
               "VARCHAR(32), [Time] INTEGER default 0, [Message] VARCHAR(512))",
        QxDataModule::now;
    QxDataModule::Transaction transaction(session);
    const std::string from = "me";
    const std::string to = "you";
    const std::string message = "a message of ordinary length, stored for the pager";
    int64_t time = 1600000000;
    QxDataModule::Statement insert(session);
    insert << "INSERT INTO [chat_history] VALUES(?, ?, ?, ?)", QxDataModule::use(from),
        QxDataModule::use(to), QxDataModule::use(time), QxDataModule::use(message);
    for (int i = 0; i < LONG_HISTORY_SIZE; ++i, ++time)
        insert.execute();
    transaction.commit();
}

CChatHistoryManager& LongHistory() {
    static const bool filled = (Profile(), FillLongHistory(), true);
    static CChatHistoryManager history;
    benchmark::DoNotOptimize(filled);
    return history;
}

void BM_GetMessagesLastPage(benchmark::State& state) {
    CChatHistoryManager& history = LongHistory();
    const int pages = (history.GetMessageCount(LONG_HISTORY_PEER) + 19) / 20;
    for (auto _ : state) {
        const auto& page = history.GetMessages(LONG_HISTORY_PEER, 20, pages * 20 - 20);
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["rows"] =
        static_cast<double>(history.GetMessages(LONG_HISTORY_PEER, 20, pages * 20 - 20).size());
    ReportBoxes(state);
}
BENCHMARK(BM_GetMessagesLastPage)->Unit(benchmark::kMillisecond);

void BM_GetMessageCount(benchmark::State& state) {
    CChatHistoryManager& history = LongHistory();
    int count = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(count = history.GetMessageCount(LONG_HISTORY_PEER));
    state.counters["messages"] = count;
    ReportBoxes(state);
}
BENCHMARK(BM_GetMessageCount)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
