// The editor's interactive steps and the scene files at 500, 5,000 and 51,000 materials, through
// the real module and view on the headless backend. Its device contexts count the drawing
// operations instead of recording them, so a repaint costs what the editor and the framework
// spend and nothing else. A step's cost must not grow with what the storyboard stores.
#include "bench_host.h"
#include "bench_report.h"

#include "host/base/kel_item.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/scene/scene_file.h"
#include "host/services/drag_data.h"
#include "platform/dc.h"
#include "platform/headless_backend.h"
#include "platform/ole.h"
#include "platform/wnd.h"
#include "res/resource.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <functional>
#include <memory>

namespace kel::bench {

namespace {

// A device context that resolves every drawing call as any other and then only counts it.
class CountingDC : public CDC {
public:
    CountingDC(const CRect& client, const CRect& paintClip, long long& count) : m_count(count) {
        SetDeviceBounds(client & paintClip);
    }

protected:
    void Render(const kel::platform::DrawRecord& /*record*/) override { ++m_count; }

private:
    long long& m_count;
};

class CountingBackend : public kel::platform::HeadlessBackend {
public:
    long long drawn = 0;
    // While set, a drag the editor starts runs this instead of a scripted drag: a measure then
    // moves the drag and drops it itself.
    std::function<DWORD(kel::platform::DragLoop&)> drag;

    DWORD DoDragDrop(const kel::platform::DragPayload& data, DWORD allowedEffects) override {
        if (!drag)
            return HeadlessBackend::DoDragDrop(data, allowedEffects);
        kel::platform::DragLoop loop(data, allowedEffects);
        return drag(loop);
    }

    // Every context menu is dismissed, as a person pressing Escape does; nothing is recorded.
    UINT TrackPopupMenu(const CMenu& /*popup*/, UINT /*flags*/, CPoint /*screen*/,
                        CWnd* /*owner*/) override {
        return 0;
    }

    std::unique_ptr<CDC> CreatePaintDC(CWnd& wnd) override {
        CRect client;
        wnd.GetClientRect(&client);
        return std::make_unique<CountingDC>(client, wnd.GetPaintBox(), drawn);
    }
    std::unique_ptr<CDC> CreateClientDC(CWnd& wnd) override {
        CRect client;
        wnd.GetClientRect(&client);
        return std::make_unique<CountingDC>(client, client, drawn);
    }
};

CountingBackend* g_backend = nullptr;

BenchHost& Host() {
    return BenchHost::Get();
}

int Materials(const benchmark::State& state) {
    return static_cast<int>(state.range(0));
}

// A mouse move over the lowest row: the cursor (hit test, edge test) and the move itself.
void BM_MouseMove(benchmark::State& state) {
    Host().Show(Materials(state));
    const std::vector<CPoint> points = Host().PointsOnLowestRow();
    std::size_t i = 0;
    for (auto _ : state)
        Host().Hover(points[i++ % points.size()]);
}

// A click that selects another material of the lowest row, with what it repaints.
void BM_ClickSelect(benchmark::State& state) {
    Host().Show(Materials(state));
    const std::vector<CPoint> materials = Host().MaterialsOnLowestRow();
    std::size_t i = 0;
    for (auto _ : state)
        Host().Click(materials[i++ % materials.size()]);
}

// One step of dragging the play range along the marker band: feedback lines down every row
// and the range repainted.
void BM_DragOverStep(benchmark::State& state) {
    Host().Show(Materials(state));
    const automation::EditorState editor = Host().State();
    const CRect band = editor.regions[automation::kMarkerBand];
    const DWORD framesPerUnit = Host().Body().GetFramesPerUnit();
    const auto frameAt = [&](int x) {
        return static_cast<DWORD>(x - band.left + editor.hscroll) * framesPerUnit / 25;
    };
    Host().Body().SetRange(frameAt(band.left + 600), frameAt(band.left + 900));
    const int y = band.CenterPoint().y;
    Host().Press(CPoint(band.left + 700, y)); // inside the range: the whole range moves
    int step = 0;
    for (auto _ : state)
        Host().Drag(CPoint(band.left + 700 + (++step % 2 ? 9 : -9), y));
    Host().Release(CPoint(band.left + 700, y));
}

// One step of scrubbing the time line along the ruler: the host seeks, the time line moves
// and the caption follows.
void BM_ScrubStep(benchmark::State& state) {
    Host().Show(Materials(state));
    const CRect ruler = Host().State().regions[automation::kRuler];
    const int y = ruler.CenterPoint().y;
    Host().Press(CPoint(ruler.left + 500, y));
    int step = 0;
    for (auto _ : state)
        Host().Drag(CPoint(ruler.left + 500 + (++step % 2 ? 40 : -40), y));
    Host().Release(CPoint(ruler.left + 500, y));
}

// The zoom buttons, in and out in turn, with the time area repainted at each scale.
void BM_ZoomStep(benchmark::State& state) {
    Host().Show(Materials(state));
    int step = 0;
    for (auto _ : state)
        Host().Command(++step % 2 ? IDC_VIEW_TOOL_ZOOM_IN : IDC_VIEW_TOOL_ZOOM_OUT);
    if (step % 2)
        Host().Command(IDC_VIEW_TOOL_ZOOM_OUT);
}

// The whole view painted; the counter says how many drawing operations that took.
void BM_Repaint(benchmark::State& state) {
    Host().Show(Materials(state));
    CWnd& view = Host().View();
    const long long before = g_backend->drawn;
    for (auto _ : state) {
        view.Invalidate(FALSE);
        view.UpdateWindow();
    }
    state.counters["ops"] = benchmark::Counter(static_cast<double>(g_backend->drawn - before),
                                               benchmark::Counter::kAvgIterations);
}

// Select All of the storyboard menu and the repaint it asks for; between the steps a click
// selects one material again.
void BM_SelectAll(benchmark::State& state) {
    Host().Show(Materials(state));
    const CPoint material = Host().MaterialsOnLowestRow().front();
    for (auto _ : state) {
        Host().Command(ID_SB_SELECT_ALL);
        state.PauseTiming();
        Host().Click(material);
        state.ResumeTiming();
    }
}

// One step of trimming the outlet of a material of the lowest row: the XOR line, its limits
// and the caption. The edge goes back to where it was before the release, so nothing commits.
void BM_TrimStep(benchmark::State& state) {
    Host().Show(Materials(state));
    const CPoint edge = Host().OutletsOnLowestRow().front();
    Host().Hover(edge);
    Host().Press(edge);
    int step = 0;
    for (auto _ : state)
        Host().Drag(CPoint(edge.x + (++step % 2 ? 9 : -9), edge.y));
    Host().Drag(edge);
    Host().Release(edge);
}

// A material of the lowest row pressed and dragged three pixels: the view's own drag of the
// selection starts there and runs `drag` (the drag loop positioned where it started); the
// drag's drop effect.
DWORD DragMaterial(const std::function<DWORD(kel::platform::DragLoop&, CPoint)>& drag) {
    const CPoint middle = Host().MaterialsOnLowestRow().front();
    const CPoint start(middle.x + 4, middle.y);
    DWORD effect = DROPEFFECT_NONE;
    Host().Press(middle);
    g_backend->drag = [&](kel::platform::DragLoop& loop) {
        loop.MoveTo(Host().Screen(start), MK_LBUTTON);
        effect = drag(loop, start);
        return effect;
    };
    Host().Drag(start);
    g_backend->drag = nullptr;
    kel::platform::Headless().SetKeyDown(VK_LBUTTON, false);
    return effect;
}

// One step of moving the selected material along the lowest row: the placement tested where
// it would land, the outline and the caption.
void BM_MoveOverStep(benchmark::State& state) {
    Host().Show(Materials(state));
    DragMaterial([&](kel::platform::DragLoop& loop, CPoint start) {
        int step = 0;
        for (auto _ : state) {
            loop.MoveTo(Host().Screen(CPoint(start.x + (++step % 2 ? 9 : -9), start.y)),
                        MK_LBUTTON);
            Host().PaintInvalid();
        }
        loop.Cancel();
        return DWORD(DROPEFFECT_NONE);
    });
}

// The drop of a material moved a few frames along the lowest row, pushing what follows on the
// track: placed, recorded, repainted. Undone between the steps.
void BM_MoveDrop(benchmark::State& state) {
    Host().Show(Materials(state));
    for (auto _ : state) {
        state.PauseTiming();
        const DWORD effect = DragMaterial([&](kel::platform::DragLoop& loop, CPoint start) {
            const CPoint target = Host().Screen(CPoint(start.x + 9, start.y));
            loop.MoveTo(target, MK_LBUTTON);
            state.ResumeTiming();
            const DWORD dropped = loop.Drop(target, 0);
            Host().PaintInvalid();
            state.PauseTiming();
            return dropped;
        });
        if (effect != DROPEFFECT_MOVE) {
            state.SkipWithError("the move was refused");
            break;
        }
        Host().Undo();
        state.ResumeTiming();
    }
}

// A group piece dragged in from a host panel and dropped between the materials of the lowest
// row: built, placed, pushing what follows, recorded, repainted. Undone between the steps.
void BM_DragInDrop(benchmark::State& state) {
    Host().Show(Materials(state));
    KelPieceDragData piece;
    piece.guid = static_cast<CKelItemBaseObj*>(Host().Scene().GetPieceList()->GetHead())->GetGUID();
    piece.dwType = KelPieceDragData::kInStayOut;
    const auto bytes = piece.Encode();
    const kel::platform::DragPayload payload{KelPieceDragData::kFormat, bytes.data(), bytes.size()};
    const std::vector<CPoint> gaps = Host().GapsOnLowestRow();
    if (gaps.empty()) {
        state.SkipWithError("no gap on the lowest row");
        return;
    }
    const CPoint target = Host().Screen(gaps.front());
    for (auto _ : state) {
        state.PauseTiming();
        kel::platform::DragLoop loop(payload, DROPEFFECT_COPY | DROPEFFECT_MOVE);
        loop.MoveTo(target, MK_LBUTTON);
        state.ResumeTiming();
        const DWORD effect = loop.Drop(target, 0);
        Host().PaintInvalid();
        state.PauseTiming();
        if (effect != DROPEFFECT_MOVE) {
            state.SkipWithError("the piece was refused");
            break;
        }
        Host().Undo();
        state.ResumeTiming();
    }
}

// Appending a track from the track menu, then undoing it from the history: one step each way.
// The largest storyboard already holds the most tracks there may be, so its materials are
// spread over one track less.
void BM_AppendTrackAndUndo(benchmark::State& state) {
    const int materials = Materials(state);
    const auto* size =
        std::find_if(std::begin(kSizes), std::end(kSizes),
                     [&](const StoryboardSize& s) { return s.materials == materials; });
    Host().Show(
        StoryboardSize{materials, std::min(size->tracks, CKelSBBodyObj::kMaxTrackCount - 1)});
    for (auto _ : state) {
        Host().Command(ID_TRACK_APPEND);
        Host().Undo();
    }
    if (Host().Body().GetTrackCount() == CKelSBBodyObj::kMaxTrackCount)
        state.SkipWithError("the appended track is still there");
}

// Switching from the storyboard to another one in the selector and back: each switch re-reads
// the storyboard that becomes current.
void BM_SwitchStoryboard(benchmark::State& state) {
    Host().Show(Materials(state));
    CKelSBEditObj& document = *Host().Scene().GetSBEditObj();
    if (document.GetSBBodyCount() < 2) {
        document.AppendSBBody(); // an empty second storyboard; the generated one stays current
        document.SetCurSBBodyIndex(0);
        Host().StoryboardsChanged();
    }
    for (auto _ : state) {
        Host().ChooseStoryboard(1);
        Host().ChooseStoryboard(0);
    }
    if (document.GetCurSBBodyIndex() != 0)
        state.SkipWithError("the storyboard did not switch back");
}

// A shortcut key as the user presses it: the right arrow to the next key editing point and the
// left one back, each moving the time line through the edit dialog's command table and
// repainting what it moved over.
void BM_KeyPress(benchmark::State& state) {
    Host().Show(Materials(state));
    std::size_t i = 0;
    for (auto _ : state)
        Host().Key(i++ % 2 == 0 ? VK_RIGHT : VK_LEFT);
}

// A right click on a material of the lowest row: the hit test, the selection, the materials
// menu loaded and grayed for it, shown and dismissed.
void BM_ContextMenu(benchmark::State& state) {
    Host().Show(Materials(state));
    const std::vector<CPoint> materials = Host().MaterialsOnLowestRow();
    std::size_t i = 0;
    for (auto _ : state)
        Host().RightClick(materials[i++ % materials.size()]);
}

void BM_SceneSave(benchmark::State& state) {
    Host().Show(Materials(state));
    for (auto _ : state) {
        if (KelSaveSceneFile(Host().Scene(), BenchHost::SceneFile()).nResult != KEL_SCENE_OK)
            state.SkipWithError("the scene could not be saved");
    }
}

void BM_SceneLoad(benchmark::State& state) {
    Host().Show(Materials(state));
    KelSaveSceneFile(Host().Scene(), BenchHost::SceneFile());
    for (auto _ : state) {
        KelSceneFileStatus status;
        std::unique_ptr<CKelPlaySceneObj> scene = KelLoadSceneFile(BenchHost::SceneFile(), &status);
        if (!scene)
            state.SkipWithError("the scene could not be loaded");
        state.PauseTiming();
        scene.reset(); // freeing it is not part of loading
        state.ResumeTiming();
    }
}

BENCHMARK(BM_MouseMove)->Apply(AtEverySize);
BENCHMARK(BM_ClickSelect)->Apply(AtEverySize);
BENCHMARK(BM_DragOverStep)->Apply(AtEverySize);
BENCHMARK(BM_ScrubStep)->Apply(AtEverySize);
BENCHMARK(BM_ZoomStep)->Apply(AtEverySize);
BENCHMARK(BM_Repaint)->Apply(AtEverySize);
BENCHMARK(BM_SelectAll)->Apply(AtEverySize);
BENCHMARK(BM_TrimStep)->Apply(AtEverySize);
BENCHMARK(BM_MoveOverStep)->Apply(AtEverySize);
BENCHMARK(BM_MoveDrop)->Apply(AtEverySize);
BENCHMARK(BM_DragInDrop)->Apply(AtEverySize);
BENCHMARK(BM_AppendTrackAndUndo)->Apply(AtEverySize);
BENCHMARK(BM_SwitchStoryboard)->Apply(AtEverySize);
BENCHMARK(BM_KeyPress)->Apply(AtEverySize);
BENCHMARK(BM_ContextMenu)->Apply(AtEverySize);
BENCHMARK(BM_SceneSave)->Apply(AtEverySize);
BENCHMARK(BM_SceneLoad)->Apply(AtEverySize);

} // namespace

} // namespace kel::bench

int main(int argc, char** argv) {
    auto backend = std::make_unique<kel::bench::CountingBackend>();
    kel::bench::g_backend = backend.get();
    kel::platform::SetBackend(std::move(backend));
    using kel::bench::Goal;
    const int result = kel::bench::RunMeasures(
        argc, argv,
        {
            Goal{"BM_MouseMove", "Mouse move (cursor, hit and edge test)", 2, true},
            Goal{"BM_ClickSelect", "Click that selects", 2, true},
            Goal{"BM_DragOverStep", "Drag-over step (range drag)", 2, true},
            Goal{"BM_ScrubStep", "Scrub step", 2, true},
            Goal{"BM_ZoomStep", "Zoom step", 2, true},
            Goal{"BM_Repaint", "Repaint 1920x1080, counting DC", 2, true},
            Goal{"BM_SelectAll", "Select all", 20, false},
            Goal{"BM_TrimStep", "Trim step (edge dragged)", 2, true},
            Goal{"BM_MoveOverStep", "Move drag-over step (placement tested)", 2, true},
            Goal{"BM_MoveDrop", "Move drop (placed, pushed, recorded)", 50, false},
            Goal{"BM_DragInDrop", "Piece dropped from a host panel", 50, false},
            Goal{"BM_AppendTrackAndUndo", "Append a track and undo it", 100, false},
            Goal{"BM_SwitchStoryboard", "Switch storyboards there and back", 100, false},
            Goal{"BM_KeyPress", "Key press (arrow to the next key point)", 2, true},
            Goal{"BM_ContextMenu", "Right click: materials menu, dismissed", 2, true},
            Goal{"BM_SceneSave", "Scene save", 200, false},
            Goal{"BM_SceneLoad", "Scene load", 200, false},
        });
    kel::bench::BenchHost::Close();
    return result;
}
