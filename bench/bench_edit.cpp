// The editing operations at 500, 5,000 and 51,000 materials, each run as the user runs it (a
// command of the view's buttons and menus) with the repaint it asks for, on materials of the
// lowest row on screen, whose containers come last. Between the steps, outside the time taken,
// the step is undone and the selection made again. An edit must cost what it touches, not what
// the storyboard stores.
#include "bench_host.h"
#include "bench_report.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/undo/ur_manager.h"
#include "res/resource.h"

#include <benchmark/benchmark.h>

namespace kel::bench {

namespace {

BenchHost& Host() {
    return BenchHost::Get();
}

// Runs `command` once a step on the selection `select` makes, undoing it between the steps.
template <class Select>
void RunUndone(benchmark::State& state, UINT command, Select select) {
    const int nMaterials = static_cast<int>(state.range(0));
    Host().Show(nMaterials);
    CKelURBase& history = *Host().Body().GetURBase();
    for (auto _ : state) {
        state.PauseTiming();
        Host().Show(nMaterials); // an undo that starts the view over scrolls it to the top
        select();
        const int nSteps = history.GetUndoStepCount();
        state.ResumeTiming();
        Host().Command(command);
        state.PauseTiming();
        if (history.GetUndoStepCount() != nSteps + 1) {
            state.SkipWithError("the operation recorded no step");
            break;
        }
        Host().Command(IDC_BTN_UNDO);
        state.ResumeTiming();
    }
    history.ClearHistory();
}

// The first material on screen of the lowest row selected and current.
void SelectFirst() {
    Host().Click(Host().MaterialsOnLowestRow().front());
}

// The first two containers on screen of the lowest row selected; the second's material is
// current.
void SelectFirstTwo() {
    const auto [first, second] = Host().TwoContainersOnLowestRow();
    Host().Click(first);
    Host().ShiftClick(second);
}

void BM_Delete(benchmark::State& state) {
    RunUndone(state, ID_MAT_DELETE, SelectFirst);
}

// The rest of the row closes up behind the deleted material.
void BM_RippleDelete(benchmark::State& state) {
    Host().Show(static_cast<int>(state.range(0)));
    Host().Body().SetDeleteMode(1);
    RunUndone(state, ID_MAT_DELETE, SelectFirst);
    Host().Body().SetDeleteMode(0);
}

void BM_Merge(benchmark::State& state) {
    RunUndone(state, ID_MAT_MERGE, SelectFirstTwo);
}

// The first material takes the second's length and pushes the rest of the row.
void BM_SameLength(benchmark::State& state) {
    RunUndone(state, ID_MAT_SAME_LENGTH, SelectFirstTwo);
}

// The material under the time line cut on every track, the time line in the middle of the
// screen.
void BM_ClipAtTimeLine(benchmark::State& state) {
    Host().Show(static_cast<int>(state.range(0)));
    const automation::EditorState editor = Host().State();
    const CRect area = editor.regions[automation::kTrackArea];
    const DWORD framesPerUnit = Host().Body().GetFramesPerUnit();
    Host().Body().SetTimeLinePos(static_cast<DWORD>(editor.hscroll + area.Width() / 2) *
                                 framesPerUnit / 25);
    RunUndone(state, IDC_BTN_ENTRY_POINT, [] {});
}

BENCHMARK(BM_Delete)->Apply(AtEverySize);
BENCHMARK(BM_RippleDelete)->Apply(AtEverySize);
BENCHMARK(BM_Merge)->Apply(AtEverySize);
BENCHMARK(BM_SameLength)->Apply(AtEverySize);
BENCHMARK(BM_ClipAtTimeLine)->Apply(AtEverySize);

} // namespace

} // namespace kel::bench

int main(int argc, char** argv) {
    using kel::bench::Goal;
    const int result = kel::bench::RunMeasures(
        argc, argv,
        {
            Goal{"BM_Delete", "Delete a material", 50, false},
            Goal{"BM_RippleDelete", "Ripple delete a material", 50, false},
            Goal{"BM_Merge", "Merge two materials", 50, false},
            Goal{"BM_SameLength", "Same length for two materials", 50, false},
            Goal{"BM_ClipAtTimeLine", "Clip at the time line, every track", 50, false},
        });
    kel::bench::BenchHost::Close();
    return result;
}
