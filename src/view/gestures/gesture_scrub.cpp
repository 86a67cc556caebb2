// Scrubbing in the ruler: the time line follows the cursor and the output seeks with it; near
// the ruler's ends the view scrolls. A cancel puts the time line back where the press found it.
#include "view/gestures/gesture_handler.h"
#include "view/sbedit_view.h"

#include "host/scene/play_scene.h"

namespace {

// How close to the ruler's ends scrubbing starts to scroll.
constexpr int kScrubScrollMargin = 10;

class ScrubHandler final : public KelSBGestureHandler {
public:
    bool Begin(CKelSBEditView& view, UINT /*nFlags*/, CPoint point) override {
        view.SetCapture();
        Record(view).ToScrub(view.GetTimeLinePos());
        view.SetTimeLine(FrameAtLeastZero(view.Geometry().ClientXToFrame(point.x)));
        return true;
    }

    void Move(CKelSBEditView& view, UINT /*nFlags*/, CPoint point) override {
        const DWORD dwFrame = FrameAtLeastZero(view.Geometry().ClientXToFrame(point.x));
        CKelCGSBServer::Seek(dwFrame);
        view.SetTimeLine(dwFrame);
        CRect ruler = view.Geometry().GetRulerRect();
        ruler.DeflateRect(kScrubScrollMargin, 0);
        if (point.x < ruler.left)
            view.Scroll().ScrollHorz(point.x - ruler.left);
        else if (point.x > ruler.right)
            view.Scroll().ScrollHorz(point.x - ruler.right);
    }

    void Release(CKelSBEditView& view) override { End(view); }

    void Cancel(CKelSBEditView& view) override {
        const DWORD dwBefore = Record(view).GetTimeLineBefore();
        End(view);
        if (view.GetCurSBBody()) {
            CKelCGSBServer::Seek(dwBefore);
            view.SetTimeLine(dwBefore);
        }
    }

    bool CancelsWhenMouseLost() const override { return true; }
};

} // namespace

KelSBGestureHandler& KelSBScrubHandler() {
    static ScrubHandler handler;
    return handler;
}
