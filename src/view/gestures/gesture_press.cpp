// A press on a material: it selects the material (with Shift or Ctrl, adds to the selection)
// and waits. Moved far enough with the button down it becomes a move of the selection; released,
// or moved without the button (it came up where the view did not see it), it ends as a click.
// A press on empty track space selects nothing and runs a rubber band instead.
#include "view/gestures/gesture_handler.h"
#include "view/sbedit_view.h"

#include <cstdlib>

namespace {

// A material moves only once the cursor has gone this far from the press, so that a click
// with a trembling hand stays a click.
constexpr int kDragThreshold = 3;

class PressHandler final : public KelSBGestureHandler {
public:
    bool Begin(CKelSBEditView& view, UINT nFlags, CPoint point) override {
        const int bExclusive = (nFlags & (MK_SHIFT | MK_CONTROL)) == 0;
        if (!view.Selection().SelectTrackAt(point, bExclusive))
            view.Selection().ClearTrackSelection();
        if (view.Selection().SelectMaterialAt(point, bExclusive)) {
            Record(view).ToPressed(point);
        } else {
            view.Selection().ClearMaterialSelection();
            KelSBRubberBandHandler().Begin(view, nFlags, point);
        }
        view.Selection().ShowSelectedSpan();
        return true;
    }

    void Move(CKelSBEditView& view, UINT nFlags, CPoint point) override {
        if (view.IsLoaded())
            return;
        const CPoint press = Record(view).GetPressPoint();
        if (!(nFlags & MK_LBUTTON)) {
            // The button went up somewhere the view did not see: the press is over.
            Record(view).ToIdle();
        } else if (std::abs(point.x - press.x) >= kDragThreshold ||
                   std::abs(point.y - press.y) >= kDragThreshold) {
            KelSBMoveHandler().Begin(view, nFlags, point);
        }
    }

    void Release(CKelSBEditView& view) override { Record(view).ToIdle(); }

    void Cancel(CKelSBEditView& view) override { Record(view).ToIdle(); }
};

} // namespace

KelSBGestureHandler& KelSBPressHandler() {
    static PressHandler handler;
    return handler;
}
