// The whole repaint of the timeline view at 1920 x 1080 on the Qt backend: the editor's drawing
// rendered with QPainter into the window's raster surface and shown, at 500, 5,000 and 51,000
// materials. Two parts of it are measured on their own, as what no drawing can go below: Qt
// showing the finished picture, and writing each of its pixels once.
#include "bench_host.h"
#include "bench_report.h"
#include "qt/qt_backend.h"
#include "qt/qt_window.h"

#include "platform/wnd.h"

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

namespace kel::bench {

namespace {

using kel::qt::QtWindow;

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

QtWindow& ViewWindow() {
    auto& backend = static_cast<kel::qt::QtBackend&>(kel::platform::GetBackend());
    return *static_cast<QtWindow*>(backend.WidgetFor(&BenchHost::Get().View()));
}

// The part of a repaint that is Qt's: the finished picture shown, nothing drawn.
void BM_ShowQt(benchmark::State& state) {
    BenchHost::Get().Show(static_cast<int>(state.range(0)));
    QtWindow& window = ViewWindow();
    const QRect client(window.ClientOffset(), window.Surface()->size());
    for (auto _ : state) {
        window.update(client); // as a repaint of the view asks, without the frame around it
        QApplication::processEvents();
    }
}

BENCHMARK(BM_ShowQt)->Apply(AtEverySize);

// What writing every pixel of the view once costs at least, on the view's own surface: rows
// of material-wide runs, a new colour each time, and no drawing.
void BM_WritePixels(benchmark::State& state) {
    BenchHost::Get().Show(static_cast<int>(state.range(0)));
    CWnd& view = BenchHost::Get().View();
    const std::shared_ptr<QImage> surface = ViewWindow().Surface();
    uchar* const pixels = surface->bits();
    const qsizetype bytesPerLine = surface->bytesPerLine();
    const int width = surface->width();
    constexpr int kRun = 100;
    QRgb colour = 0xff000000u;
    for (auto _ : state) {
        ++colour;
        for (int y = 0; y < surface->height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(pixels + y * bytesPerLine);
            for (int x = 0; x < width; x += kRun) {
                std::fill_n(line + x, std::min(kRun, width - x), colour);
            }
        }
        benchmark::DoNotOptimize(pixels);
        benchmark::ClobberMemory();
    }
    view.Invalidate(FALSE); // what the editor drew is gone
    view.UpdateWindow();
}

BENCHMARK(BM_WritePixels)->Apply(AtEverySize);

} // namespace

} // namespace kel::bench

int main(int argc, char** argv) {
    // Without a display the windows live on Qt's offscreen platform; rendering is the same.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());
    const int result = kel::bench::RunMeasures(
        argc, argv,
        {{"BM_RepaintQt", "Repaint 1920x1080, Qt raster", 2, true},
         {"BM_ShowQt", "Its part: Qt showing the finished picture", 0, false,
          "none: a part of the repaint"},
         {"BM_WritePixels", "Its floor: each pixel of the picture written once", 0, false,
          "none: this machine's floor"}});
    kel::bench::BenchHost::Close(); // the windows go before the application
    return result;
}
