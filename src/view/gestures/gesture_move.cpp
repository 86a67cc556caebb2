// Moving the selected materials: the view's own drag and drop (view_drag.cpp), whose loop holds
// the mouse until the button comes up. A cancel cannot stop that loop; it forgets the drag, so
// that the drop is refused and nothing moves.
#include "view/gestures/gesture_handler.h"

namespace {

class MoveHandler final : public KelSBGestureHandler {
public:
    bool Begin(CKelSBEditView& view, UINT nFlags, CPoint point) override {
        Record(view).ToMove();
        DragSelection(view, point, nFlags);
        Record(view).ToIdle();
        return true;
    }

    void Cancel(CKelSBEditView& view) override { ForgetDrag(view); }
};

} // namespace

KelSBGestureHandler& KelSBMoveHandler() {
    static MoveHandler handler;
    return handler;
}
