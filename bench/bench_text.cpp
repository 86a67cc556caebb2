// Text layout of the device context: a caption cut with an ellipsis, by the length of the
// text. The cut costs one measure of the whole text and a search over what can show.
#include "platform/dc.h"
#include "platform/headless_backend.h"
#include "platform/recording_dc.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

void BM_CaptionEllipsis(benchmark::State& state) {
    kel::platform::ResetHeadless();
    const CString caption(std::string(static_cast<std::size_t>(state.range(0)), 'x'));
    CRecordingDC dc(CRect(0, 0, 1200, 30));
    for (auto _ : state) {
        dc.DrawText(caption, CRect(0, 0, 1200, 30), DT_SINGLELINE | DT_END_ELLIPSIS);
        dc.ClearOperations();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CaptionEllipsis)->RangeMultiplier(10)->Range(100, 1000000)->Complexity();

} // namespace

BENCHMARK_MAIN();
