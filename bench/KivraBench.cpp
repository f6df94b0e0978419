// The chat display: appending one line of display markup into a chat view that already holds 100
// or 10,000 lines, with and without emoticons. Each line is laid out and painted before the next,
// as in a chat window on screen. Runs in the build's runtime folder, where the pictures are.

#include "EmotionTable.h"
#include "MessageProxy.h"
#include "skin/SkinRichEdit.h"
#include "text/StringUtility.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace {

constexpr int kViewWidth = 350;
constexpr int kViewHeight = 152;

// A header and a body line by turns, as the chat window writes them.
class Conversation {
public:
    explicit Conversation(bool emoticons)
        : m_header(StringUtility::UTF8ToAnsi("/<c=#0000FF> 小明 20:15:07   ")),
          m_body(StringUtility::UTF8ToAnsi(
              emoticons ? "/<c=#000000>今晚一起打牌吧[微笑]八点老地方见[强]带上[骰子]"
                        : "/<c=#000000>今晚一起打牌吧，八点老地方见，别忘了带上骰子。")) {}

    const std::string& Next() { return (m_nLine++ % 2 == 0) ? m_header : m_body; }

private:
    std::string m_header;
    std::string m_body;
    long m_nLine = 0;
};

void BM_AppendLine(benchmark::State& state) {
    const auto linesBefore = static_cast<int>(state.range(0));
    Conversation conversation(state.range(1) != 0);
    CSkinRichEdit view;
    view.resize(kViewWidth, kViewHeight);
    view.show();
    CMessageProxy proxy;
    proxy.Attach(&view);
    proxy.SetupA(1);
    proxy.SetupB(1);
    for (int i = 0; i < linesBefore; ++i)
        proxy.AppendText(conversation.Next().c_str(), 1, 0, 1, 0);
    QApplication::processEvents();

    for (auto _ : state) {
        proxy.AppendText(conversation.Next().c_str(), 1, 0, 1, 0);
        if (state.range(2) != 0)
            QApplication::processEvents();
    }
    state.counters["lines_in_view"] = view.document()->blockCount();
}

BENCHMARK(BM_AppendLine)
    ->ArgNames({"lines_before", "emoticons", "paint"})
    ->Args({100, 0, 0})
    ->Args({100, 1, 0})
    ->Args({10000, 0, 0})
    ->Args({10000, 1, 0})
    ->Args({100, 0, 1})
    ->Args({10000, 0, 1})
    ->Iterations(400)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDir::setCurrent(QStringLiteral(KIVRA_BENCH_RUNTIME_DIR));
    if (!QFile::exists(EmotionTable::ImagePath(0)))
        std::fprintf(stderr, "no emoticon pictures in %s: codes are shown as text\n",
                     KIVRA_BENCH_RUNTIME_DIR);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
