// The rubber band on empty track space: a loop of its own draws the band within the track area
// until the button comes up, and the materials it touched are selected.
#include "view/gestures/gesture_handler.h"
#include "view/sbedit_view.h"

#include "host/services/drag_data.h"

namespace {

class RubberBandHandler final : public KelSBGestureHandler {
public:
    bool Begin(CKelSBEditView& view, UINT nFlags, CPoint point) override {
        CRect limit = view.Geometry().GetTrackAreaRect();
        view.ClientToScreen(&limit);
        CKelMultiSelObj band(1);
        Record(view).ToRubberBand();
        const CRect rect = band.DragRect(&view, nFlags, point, limit);
        Record(view).ToIdle();
        if (!rect.IsRectEmpty())
            view.Selection().SelectByRect(rect);
        return true;
    }
};

} // namespace

KelSBGestureHandler& KelSBRubberBandHandler() {
    static RubberBandHandler handler;
    return handler;
}
