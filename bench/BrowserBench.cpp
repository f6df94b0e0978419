// The profile window loading and painting pages from a web server on loopback: a profile page,
// and the largest page it takes, in short lines and as one long word. Beside it, a plain text
// browser wrapping one long word at word boundaries, which is why the window breaks lines anywhere.

#include "TestHttpServer.h"

#include "client/BrowserDialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QTextBrowser>
#include <benchmark/benchmark.h>

namespace pellix {

namespace {

QByteArray Lines(qsizetype size) {
    QByteArray line(63, 'a');
    line += '\n';
    return line.repeated(size / line.size() + 1).left(size);
}

const QByteArray kProfile = QStringLiteral("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                                           "</head><body><h3>小明</h3><table>"
                                           "<tr><td>号码：</td><td>10001</td></tr>"
                                           "<tr><td>性别：</td><td>男</td></tr>"
                                           "<tr><td>状态：</td><td>在线</td></tr>"
                                           "</table></body></html>")
                                .toUtf8();

void LoadPages(benchmark::State& state, const QByteArray& body, const QByteArray& type) {
    TestHttpServer server(
        [&](const QByteArray&) { return TestHttpServer::Response("200 OK", type, body); });
    for (auto _ : state) {
        CBrowserDialog dialog(nullptr);
        dialog.SetURL(server.Url(QStringLiteral("/user/10001")));
        QEventLoop loop;
        bool ok = false;
        QObject::connect(&dialog, &CBrowserDialog::loadFinished, &loop, [&](bool loaded) {
            ok = loaded;
            loop.quit();
        });
        dialog.SetUpLoad();
        loop.exec();
        if (!ok)
            state.SkipWithError("the page did not load");
        // Painting lays the text out, as showing the window would.
        benchmark::DoNotOptimize(dialog.grab());
    }
    state.SetBytesProcessed(state.iterations() * body.size());
}

void BM_LoadProfilePage(benchmark::State& state) {
    LoadPages(state, kProfile, "text/html; charset=utf-8");
}
BENCHMARK(BM_LoadProfilePage)->Unit(benchmark::kMillisecond);

void BM_LoadLargestPageInLines(benchmark::State& state) {
    LoadPages(state, Lines(CPageFetch::kMaxPageBytes), "text/plain");
}
BENCHMARK(BM_LoadLargestPageInLines)->Unit(benchmark::kMillisecond);

void BM_LoadLargestPageAsOneWord(benchmark::State& state) {
    LoadPages(state, QByteArray(CPageFetch::kMaxPageBytes, 'a'), "text/plain");
}
BENCHMARK(BM_LoadLargestPageAsOneWord)->Unit(benchmark::kMillisecond)->Iterations(3);

// Qt's default wrapping, for comparison; its cost grows with the square of the word's length.
void BM_WordBoundaryWrapOfOneWord(benchmark::State& state) {
    const QString word(state.range(0), QLatin1Char('a'));
    for (auto _ : state) {
        QTextBrowser view;
        view.setFixedSize(CBrowserDialog::kPageWidth, CBrowserDialog::kPageHeight);
        view.setPlainText(word);
        benchmark::DoNotOptimize(view.grab());
    }
}
BENCHMARK(BM_WordBoundaryWrapOfOneWord)
    ->Arg(16 * 1024)
    ->Arg(64 * 1024)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

} // namespace pellix
