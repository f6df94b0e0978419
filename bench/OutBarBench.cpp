// The friend list control with thousands of contacts: filling it the way the friend list window
// does (online at the top, offline at the end), with and without faces and in one batch,
// re-filing one contact, the memory an item holds, and painting it.

#include "skin/SkinOutBarCtrlEx.h"

#include <QApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <vector>

namespace pellix {

namespace {

std::unique_ptr<CSkinOutBarCtrlEx> MakeBar() {
    auto bar = std::make_unique<CSkinOutBarCtrlEx>();
    bar->resize(148, 585);
    for (int tab = 0; tab < 3; ++tab)
        bar->InsertTabPannel(QStringLiteral("tab"), tab, QString());
    bar->SetSelTab(0);
    return bar;
}

// One face per contact, owned by the caller as the host owns its portraits.
std::vector<QPixmap> MakeFaces(int count) {
    std::vector<QPixmap> faces;
    faces.reserve(static_cast<size_t>(count));
    for (int id = 1; id <= count; ++id) {
        QPixmap face(32, 32);
        face.fill(QColor::fromHsl(id % 360, 150, 120));
        faces.push_back(face);
    }
    return faces;
}

// Contacts 1..count; faces, when given, hold one pixmap per contact.
void Fill(CSkinOutBarCtrlEx& bar, int count, const std::vector<QPixmap>* faces = nullptr) {
    for (int id = 1; id <= count; ++id) {
        const bool online = id % 3 == 0;
        const QPixmap* face = faces != nullptr ? &(*faces)[static_cast<size_t>(id - 1)] : nullptr;
        bar.InsertItem(0, online ? 0 : bar.GetItemCount(0), QStringLiteral("friend %1").arg(id),
                       QString::number(id), face, !online, id);
    }
}

void BM_FillFriendList(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto bar = MakeBar();
        Fill(*bar, count);
        benchmark::DoNotOptimize(bar->GetItemCount(0));
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_FillFriendList)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_FillFriendListWithFaces(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<QPixmap> faces = MakeFaces(count);
    for (auto _ : state) {
        auto bar = MakeBar();
        Fill(*bar, count, &faces);
        benchmark::DoNotOptimize(bar->GetItemCount(0));
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_FillFriendListWithFaces)->Arg(2000)->Unit(benchmark::kMillisecond);

// Everything the control holds for its items, faces shared with their owner: strings, rows,
// index and image table, measured from the empty control.
void BM_MemoryPerItem(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::vector<QPixmap> faces = MakeFaces(count);
    double bytes = 0;
    for (auto _ : state) {
        auto bar = MakeBar();
        const auto empty = mallinfo2().uordblks;
        Fill(*bar, count, &faces);
        bytes = static_cast<double>(mallinfo2().uordblks) - static_cast<double>(empty);
    }
    state.counters["bytes_per_item"] = bytes / count;
}
BENCHMARK(BM_MemoryPerItem)->Arg(2000)->Iterations(3)->Unit(benchmark::kMillisecond);

// One presence change: the contact's items leave all three tabs and it comes back on top.
void BM_RefileOneContact(benchmark::State& state) {
    auto bar = MakeBar();
    Fill(*bar, static_cast<int>(state.range(0)));
    int id = 1;
    for (auto _ : state) {
        for (int tab = 0; tab < 3; ++tab)
            bar->RemoveItemByUserData(tab, id);
        bar->InsertItem(0, 0, QStringLiteral("friend"), QString::number(id), nullptr, false, id);
        id = id % static_cast<int>(state.range(0)) + 1;
    }
}
BENCHMARK(BM_RefileOneContact)->Arg(2000)->Unit(benchmark::kMicrosecond);

// The refill the friend list window does when it is shown, as one batch: one reset per tab.
void BM_FillFriendListBatched(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto bar = MakeBar();
        bar->BeginBatch();
        Fill(*bar, count);
        bar->EndBatch();
        benchmark::DoNotOptimize(bar->GetItemCount(0));
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_FillFriendListBatched)->Arg(2000)->Unit(benchmark::kMillisecond);

// The same presence change re-filed in place: the item leaves the other tabs (it is in none) and
// moves to the top of its own with its new values, going online and offline by turns.
void BM_RefileItemInPlace(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    auto bar = MakeBar();
    Fill(*bar, count);
    int id = 1;
    bool online = true;
    for (auto _ : state) {
        for (int tab = 1; tab < 3; ++tab)
            bar->RemoveItemByUserData(tab, id);
        bar->RefileItem(0, online ? 0 : count, QStringLiteral("friend"), QString::number(id),
                        nullptr, !online, id);
        id = id % count + 1;
        online = id % 2 == 0;
    }
}
BENCHMARK(BM_RefileItemInPlace)->Arg(2000)->Unit(benchmark::kMicrosecond);

void BM_MoveItemToTop(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    auto bar = MakeBar();
    Fill(*bar, count);
    int id = 1;
    for (auto _ : state) {
        bar->MoveItem(0, id, 0);
        id = id % count + 1;
    }
}
BENCHMARK(BM_MoveItemToTop)->Arg(2000)->Unit(benchmark::kMicrosecond);

void BM_PaintFriendList(benchmark::State& state) {
    auto bar = MakeBar();
    Fill(*bar, static_cast<int>(state.range(0)));
    QPixmap canvas(bar->size());
    for (auto _ : state)
        bar->render(&canvas);
}
BENCHMARK(BM_PaintFriendList)->Arg(20)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace pellix
