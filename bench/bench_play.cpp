// Playing at 500, 5,000 and 51,000 materials: one frame of a play, the pieces on the air found
// and their picture composed on the output raster, as the host's play does it every frame.
#include "bench_report.h"
#include "storyboard_generator.h"

#include "host/base/kel_memblock.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_frames.h"
#include "host/scene/play_scene.h"
#include "host/services/video_std.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace kel::bench {

namespace {

void BM_PlayedFrame(benchmark::State& state) {
    StoryboardSize size{};
    for (const StoryboardSize& s : kSizes) {
        if (s.materials == state.range(0))
            size = s;
    }
    std::unique_ptr<CKelPlaySceneObj> scene = MakeStoryboardScene(size);
    CKelSBBodyObj& body = *scene->GetSBEditObj()->GetCurSBBodyObj();
    CKelPlayFrameRenderer frames(*scene, body);
    CKelMemBlock out;
    const CRect raster = CKelVideoStd::GetResRect();
    out.Init(raster.Width(), raster.Height());
    // The middle of the storyboard, where every track has something on the air; the frames
    // follow each other as in a play.
    const DWORD first = body.GetDuration() / 10;
    const DWORD last = body.GetDuration() * 9 / 10;
    DWORD frame = first;
    frames.Seek(frame);
    frames.Render(out);
    for (auto _ : state) {
        if (++frame == last) {
            state.PauseTiming();
            frame = first;
            frames.Seek(frame);
            frames.Render(out);
            state.ResumeTiming();
        }
        frames.Seek(frame);
        benchmark::DoNotOptimize(frames.OnAir());
        if (frames.PictureChanged())
            frames.Render(out);
        benchmark::DoNotOptimize(out.GetBits());
    }
}

BENCHMARK(BM_PlayedFrame)->Apply(AtEverySize);

} // namespace

} // namespace kel::bench

int main(int argc, char** argv) {
    using kel::bench::Goal;
    return kel::bench::RunMeasures(
        argc, argv,
        {
            Goal{"BM_PlayedFrame", "Play: one frame on the air, its picture composed", 5, false},
        });
}
