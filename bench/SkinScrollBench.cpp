// The skinned scroll bar while its thumb is dragged: one frame is a mouse move that scrolls the
// view and the repaint of the bar. Also the bar's paint alone, and a thumb assembled afresh (as
// when text arrives during a drag and the thumb's length changes).

#include "PanelImages.h"
#include "ui/controls/SkinScrollBar.h"
#include "ui/controls/SkinScrollPart.h"
#include "ui/controls/SkinScrollState.h"
#include "ui/controls/SkinScrollTiles.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QTextEdit>
#include <benchmark/benchmark.h>

namespace pellix {

namespace {

struct SkinnedView {
    SkinnedView() {
        QString text;
        for (int line = 0; line < 2000; ++line)
            text += QStringLiteral("第 %1 行：一段足够长的聊天记录，用来撑开滚动条。\n").arg(line);
        view.resize(350, 152);
        view.setPlainText(text);
        view.show();
        SkinScrollInstall(&view, QPixmap::fromImage(PanelImages::ScrollBar()));
        bar = view.findChild<SkinScrollPart*>(QStringLiteral("SkinScrollVertical"));
    }
    void Send(QEvent::Type type, int along) {
        const QPoint point(8, along);
        QMouseEvent event(type, point, bar->mapToGlobal(point), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(bar, &event);
    }

    QTextEdit view;
    SkinScrollPart* bar = nullptr;
};

void BM_DragFrame(benchmark::State& state) {
    SkinnedView skinned;
    const SkinScroll::BarLayout layout = SkinScrollFind(&skinned.view)->Layout(Qt::Vertical);
    const int grab = layout.thumbStart + 2;
    skinned.Send(QEvent::MouseButtonPress, grab);
    QPixmap canvas(skinned.bar->size());
    int64_t scrolls = 0;
    QObject::connect(SkinScrollFind(&skinned.view), &SkinScrollState::scrollSent,
                     [&scrolls] { ++scrolls; });
    int step = 0;
    for (auto _ : state) {
        // Back and forth over the track, so every frame moves the view.
        const int offset = step < 40 ? step : 80 - step;
        step = (step + 1) % 80;
        skinned.Send(QEvent::MouseMove, grab + offset);
        skinned.bar->render(&canvas);
    }
    skinned.Send(QEvent::MouseButtonRelease, grab);
    // Every frame should have moved the view.
    state.counters["scrolls_per_frame"] =
        static_cast<double>(scrolls) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DragFrame)->Unit(benchmark::kMicrosecond);

void BM_PaintBar(benchmark::State& state) {
    SkinnedView skinned;
    QPixmap canvas(skinned.bar->size());
    for (auto _ : state)
        skinned.bar->render(&canvas);
}
BENCHMARK(BM_PaintBar)->Unit(benchmark::kMicrosecond);

void BM_AssembleThumb(benchmark::State& state) {
    SkinScrollTiles tiles(QPixmap::fromImage(PanelImages::ScrollBar()));
    int length = 30;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tiles.Thumb(Qt::Vertical, 2, length).cacheKey());
        length = length == 30 ? 31 : 30;
    }
}
BENCHMARK(BM_AssembleThumb)->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace pellix
