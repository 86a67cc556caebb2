// The whole repaint of the timeline view at 1920 x 1080 on the Qt backend: the editor's drawing
// rendered with QPainter into the window's raster surface and shown, at 500, 5,000 and 51,000
// materials.
#include "bench_host.h"
#include "bench_report.h"
#include "qt/qt_backend.h"

#include "platform/wnd.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace kel::bench {

namespace {

void BM_RepaintQt(benchmark::State& state) {
    BenchHost::Get().Show(static_cast<int>(state.range(0)));
    CWnd& view = BenchHost::Get().View();
    for (auto _ : state) {
        view.Invalidate(FALSE);
        view.UpdateWindow();
        // The widget shows what was drawn on its next paint.
        QApplication::processEvents();
    }
}

BENCHMARK(BM_RepaintQt)->Apply(AtEverySize);

} // namespace

} // namespace kel::bench

int main(int argc, char** argv) {
    // Without a display the windows live on Qt's offscreen platform; rendering is the same.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());
    const int result = kel::bench::RunMeasures(
        argc, argv, {{"BM_RepaintQt", "Repaint 1920x1080, Qt raster", 2, true}});
    kel::bench::BenchHost::Close(); // the windows go before the application
    return result;
}
