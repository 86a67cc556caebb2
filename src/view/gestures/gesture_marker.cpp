// Dragging the range marks in the marker band: the start mark, the end mark, or the whole range
// keeping its length, whichever the press was nearest. A press beside a range out of view brings
// the range to the press first. A cancel puts both marks back where the press found them.
#include "view/gestures/gesture_handler.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"

#include <algorithm>

namespace {

class MarkerDragHandler final : public KelSBGestureHandler {
public:
    bool Begin(CKelSBEditView& view, UINT /*nFlags*/, CPoint point) override {
        CKelSBBodyObj* pBody = view.GetCurSBBody();
        if (!pBody)
            return false;
        view.SetCapture();
        const DWORD dwStartBefore = pBody->GetRangeStart();
        const DWORD dwEndBefore = pBody->GetRangeEnd();
        const CRect band = view.Geometry().GetMarkerBandRect();
        const CRect outline = view.Geometry().GetRangeOutlineRect();
        const CRect bar = view.Geometry().GetRangeBarRect();
        DWORD dwMode = 0;
        int nGrabOffset = 0;
        CRect visible;
        if (!visible.IntersectRect(outline, band)) {
            // The range lies out of view: bring it to the press, keeping its length.
            const DWORD dwLength = dwEndBefore - dwStartBefore;
            const DWORD dwFrame = FrameAtLeastZero(view.Geometry().ClientXToFrame(point.x));
            if (point.x < outline.left) {
                dwMode = 1;
                pBody->SetRange(dwFrame, dwFrame + dwLength);
            } else {
                dwMode = 2;
                // The press lies right of the whole range, so it is never less than the length.
                pBody->SetRange(dwFrame - std::min(dwFrame, dwLength), dwFrame);
            }
            view.InvalidateRect(band, TRUE);
            view.UpdateWindow();
        } else if (view.Geometry().GetRangeStartHandleRect().PtInRect(point)) {
            dwMode = 1;
            nGrabOffset = point.x - bar.left;
        } else if (view.Geometry().GetRangeEndHandleRect().PtInRect(point)) {
            dwMode = 2;
            nGrabOffset = point.x - bar.right;
        } else if (point.x < outline.left) {
            dwMode = 1;
        } else if (point.x < outline.right) {
            dwMode = 3;
            nGrabOffset = point.x - bar.left;
        } else {
            dwMode = 2;
        }
        Record(view).ToMarkerDrag(dwMode, nGrabOffset, dwStartBefore, dwEndBefore);
        DrawMarkerFeedback(view);
        return true;
    }

    void Move(CKelSBEditView& view, UINT /*nFlags*/, CPoint point) override {
        CKelSBBodyObj* pBody = view.GetCurSBBody();
        if (!pBody)
            return;
        const KelSBGesture& gesture = Record(view);
        DrawMarkerFeedback(view);
        const CRect rcOld = view.Geometry().GetRangeOutlineRect();
        const DWORD dwFrame = FrameAtLeastZero(
            view.Geometry().ClientXToFrame(point.x - gesture.GetMarkerGrabOffset()));
        const DWORD dwStart = pBody->GetRangeStart();
        const DWORD dwEnd = pBody->GetRangeEnd();
        switch (gesture.GetMarkerMode()) {
        case 1:
            pBody->SetRange(std::min(dwFrame, dwEnd), dwEnd);
            break;
        case 2:
            pBody->SetRange(dwStart, std::max(dwStart, dwFrame));
            break;
        default:
            pBody->SetRange(dwFrame, dwFrame + (dwEnd - dwStart));
            break;
        }
        CRect rcBoth;
        rcBoth.UnionRect(rcOld, view.Geometry().GetRangeOutlineRect());
        view.InvalidateRect(rcBoth, FALSE);
        view.UpdateWindow();
        DrawMarkerFeedback(view);
    }

    void Release(CKelSBEditView& view) override {
        DrawMarkerFeedback(view);
        End(view);
    }

    void Cancel(CKelSBEditView& view) override {
        const KelSBGesture& gesture = Record(view);
        DrawMarkerFeedback(view);
        const CRect rcOld = view.Geometry().GetRangeOutlineRect();
        if (CKelSBBodyObj* pBody = view.GetCurSBBody())
            pBody->SetRange(gesture.GetRangeStartBefore(), gesture.GetRangeEndBefore());
        CRect rcBoth;
        rcBoth.UnionRect(rcOld, view.Geometry().GetRangeOutlineRect());
        if (view.GetSafeHwnd())
            view.InvalidateRect(rcBoth, TRUE);
        End(view);
    }

    bool CancelsWhenMouseLost() const override { return true; }
};

} // namespace

KelSBGestureHandler& KelSBMarkerDragHandler() {
    static MarkerDragHandler handler;
    return handler;
}
