// The editor on the sample at one frame a pixel (see view/view_input_fixture.h), with what the
// undo tests bring (the scene's saved bytes, the consistency check, undo and redo as the history
// panel asks), and the drags a user makes: a material dragged within the view, a piece dragged
// in from a host panel.
//
// Storyboard "News" of the sample, containers by index (frame f at x 100 + f, track i's row
// centred at y 64 + 30 i):
//   0 [Headline In 0-10]  1 [Headline Stay 10-85]  2 [Headline Out 85-95]      (track 0)
//   3 [Logo In 100-112, Logo Stay 112-212]                                      (track 0)
//   4 [Opening 0-125]  5 [Ticker 150-350]                                       (track 1, locked)
//   6 [Lower Third In 20-28, Lower Third Out 60-68]                             (track 2)
//   7 [Stay 30-80 of a piece the scene lacks]                                   (track 3)
//   8 [Lower Third Stay 140-190, Lower Third Out 190-198]                       (track 4)
#pragma once

#include "undo/undo_fixture.h"
#include "view/view_input_fixture.h"

#include "host/scene/sample_scene.h"
#include "host/services/drag_data.h"

#include <vector>

namespace kel::test {

class GestureTest : public ViewInputFixture<UndoTest> {
protected:
    using ViewInputFixture<UndoTest>::Content;

    int Steps() const { return History().GetStepCount(); }

    // The cursor passes over `from` (the view sets its cursor and finds the edge there), the
    // button goes down, the edge is dragged to x and let go.
    void Trim(CPoint from, int x) {
        Move(from.x, from.y, false);
        Down(from.x, from.y);
        Move(x, from.y);
        Up(x, from.y);
    }

    // A press on a material, then the cursor on to `to` in steps of about three pixels: the
    // view starts its drag at the first step and drops where the cursor ends.
    DWORD DragMaterial(CPoint from, CPoint to, bool bDrop = true) {
        const int steps =
            std::max(1, std::max(std::abs(to.x - from.x), std::abs(to.y - from.y)) / 3);
        std::vector<CPoint> path;
        for (int i = 1; i <= steps; ++i)
            path.emplace_back(from.x + (to.x - from.x) * i / steps,
                              from.y + (to.y - from.y) * i / steps);
        std::vector<CPoint> screen;
        for (const CPoint& p : path)
            screen.push_back(Screen(p));
        Down(from.x, from.y);
        const std::size_t nDrags = headless->Drags().size();
        headless->QueueDrag({screen, bDrop, 0});
        Move(path.front().x, path.front().y);
        headless->SetKeyDown(VK_LBUTTON, false);
        if (headless->Drags().size() == nDrags) {
            headless->ClearQueues(); // no drag started: the queued one must not serve another
            Up(to.x, to.y);
            return DROPEFFECT_NONE;
        }
        return headless->Drags().back().result;
    }

    // A host panel drags `bytes` (in the format `format`) onto the view, entering at `from` and
    // dropping at `to`; the drop effect.
    DWORD DragIn(const std::vector<BYTE>& bytes, CPoint from, CPoint to,
                 const char* format = KelPieceDragData::kFormat) {
        headless->SetCursorPosition(Screen(from));
        headless->QueueDrag({{Screen(from), Screen(to)}, true, 0});
        CKelOleDataSource* source =
            CKelDDPieceData::CreateKelDataSource(format, bytes.data(), bytes.size());
        const DWORD effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
        source->Release();
        return effect;
    }
    DWORD DragInPiece(unsigned nPiece, DWORD dwType, CPoint at) {
        const auto bytes = KelPieceDragData{KelSampleGUID(nPiece), dwType}.Encode();
        return DragIn({bytes.begin(), bytes.end()}, at, at);
    }
};

} // namespace kel::test
