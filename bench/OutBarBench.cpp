// The friend list control with thousands of contacts: filling it the way the friend list window
// does (online at the top, offline at the end), re-filing one contact, and painting it.

#include "skin/SkinOutBarCtrlEx.h"

#include <QApplication>
#include <QPixmap>
#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<CSkinOutBarCtrlEx> MakeBar() {
    auto bar = std::make_unique<CSkinOutBarCtrlEx>();
    bar->resize(148, 585);
    for (int tab = 0; tab < 3; ++tab)
        bar->InsertTabPannel(QStringLiteral("tab"), tab, QString());
    bar->SetSelTab(0);
    return bar;
}

void Fill(CSkinOutBarCtrlEx& bar, int count) {
    for (int id = 1; id <= count; ++id) {
        const bool online = id % 3 == 0;
        bar.InsertItem(0, online ? 0 : bar.GetItemCount(0), QStringLiteral("friend %1").arg(id),
                       QString::number(id), nullptr, !online, id);
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

void BM_PaintFriendList(benchmark::State& state) {
    auto bar = MakeBar();
    Fill(*bar, static_cast<int>(state.range(0)));
    QPixmap canvas(bar->size());
    for (auto _ : state)
        bar->render(&canvas);
}
BENCHMARK(BM_PaintFriendList)->Arg(20)->Arg(2000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
