// Trimming: an edge of a material dragged with the mouse and, when let go, the material's new
// length recorded as one undoable step ("Change Materials Size", view_trim.cpp).
//
// While the edge moves nothing changes but an XOR line and the caption: the edge stops at the
// neighbouring materials, at the material's minimum length and at its earliest story in, and a
// material too narrow to grab either edge on purpose turns to the other edge when the cursor
// passes its far side. A storyboard loaded meanwhile is not changed: the release cancels.
#include "dialog/sbedit_dlg.h"
#include "view/gestures/gesture_handler.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_content.h"

#include <algorithm>

namespace {

// A material this narrow (in pixels) offers no edge of its own: both its neighbours and both
// bounds hold, and the edge follows the side the cursor leaves it on.
constexpr int kNarrowWidth = 3;

bool IsScrollContent(const CKelSBContentBaseObj* pContent) {
    return DYNAMIC_DOWNCAST(CKelSBContentScrollObj, pContent) != nullptr;
}

// The frame the trimmed edge has now.
DWORD OwnFrame(const KelSBTrimCandidate& trim) {
    return trim.dwEdge == 1 ? trim.pContent->GetStoryIn() : trim.pContent->GetStoryOut();
}

class TrimHandler final : public KelSBGestureHandler {
public:
    // Starts only when the press is on an edge of a material of an unlocked track.
    bool Begin(CKelSBEditView& view, UINT /*nFlags*/, CPoint point) override {
        CKelSBBodyObj* pBody = view.GetCurSBBody();
        if (view.IsLoaded() || !pBody)
            return false;
        // Only the press decides: an edge the cursor showed earlier may have gone since.
        KelSBTrimCandidate trim;
        if (!view.Geometry().EdgeTest(point, trim))
            return false;
        // A scroll's length follows its text, so its edges are not trimmed: the press selects
        // it.
        if (IsScrollContent(trim.pContent))
            return false;
        const CKelSBTrackObj* pTrack = pBody->GetTrackObj(trim.pContent->GetTrackIndex());
        if (!pTrack)
            return false;
        const CObList& list = pTrack->GetContentList();
        const POSITION pos = list.Find(trim.pContent);
        auto neighbour = [&](bool bNext) -> CKelSBContentBaseObj* {
            POSITION at = pos;
            if (at == nullptr)
                return nullptr;
            if (bNext)
                list.GetNext(at);
            else
                list.GetPrev(at);
            return at ? DYNAMIC_DOWNCAST(CKelSBContentBaseObj, list.GetAt(at)) : nullptr;
        };
        // The edge is where the material ends, not where its hit area does (a pixel further),
        // and it stands at the material's own frame while the cursor is at the press: a click
        // on an edge changes nothing, whatever frame the scale rounds its pixel to.
        if (trim.dwEdge == 2)
            trim.nGrabOffset = trim.rcMaterial.right - point.x;
        trim.nPressX = point.x;
        trim.dwEdgeFrame = OwnFrame(trim);
        const bool bNarrow = trim.rcMaterial.Width() <= kNarrowWidth;
        if (bNarrow || trim.dwEdge == 1) {
            trim.dwLowerBound = trim.pContent->GetMinStoryIn();
            trim.pPrevContent = neighbour(false);
        }
        if (bNarrow || trim.dwEdge == 2) {
            trim.dwUpperBound = kel::edit::TrimUpperLimit();
            trim.pNextContent = neighbour(true);
        }
        Record(view).Candidate() = trim;
        Record(view).ToTrim();
        view.SetCapture();
        DrawTrimFeedback(view);
        return true;
    }

    void Move(CKelSBEditView& view, UINT /*nFlags*/, CPoint point) override {
        KelSBTrimCandidate& trim = Record(view).Candidate();
        if (view.IsLoaded() || !trim.pContent)
            return;
        DrawTrimFeedback(view);
        if (trim.rcMaterial.Width() <= kNarrowWidth) {
            if (trim.dwEdge == 1 && point.x > trim.rcMaterial.right)
                trim.dwEdge = 2;
            else if (trim.dwEdge == 2 && point.x < trim.rcMaterial.left)
                trim.dwEdge = 1;
        }
        const kel::edit::TrimRange range = kel::edit::TrimEdgeRange(trim.Edge());
        const int nLowX = view.Geometry().FrameToClientX(static_cast<int>(range.nLow));
        const int nHighX = view.Geometry().FrameToClientX(static_cast<int>(range.nHigh));
        trim.ptPoint.x =
            std::max(std::min(point.x, nHighX - trim.nGrabOffset), nLowX - trim.nGrabOffset);
        trim.dwEdgeFrame = trim.ptPoint.x == trim.nPressX
                               ? OwnFrame(trim)
                               : FrameAtLeastZero(view.Geometry().ClientXToFrame(trim.ptPoint.x +
                                                                                 trim.nGrabOffset));
        DrawTrimFeedback(view);

        const CKelSBContentBaseObj& content = *trim.pContent;
        const DWORD dwIn = trim.dwEdge == 1 ? trim.dwEdgeFrame : content.GetStoryIn();
        const DWORD dwOut = trim.dwEdge == 1 ? content.GetStoryOut() : trim.dwEdgeFrame;
        if (CKelSBEditDlg* pDlg = view.GetParentDlg())
            pDlg->UpdateCaption(dwIn, dwOut, dwOut >= dwIn ? dwOut - dwIn : 0, 1);
    }

    void Release(CKelSBEditView& view) override {
        // Loaded meanwhile: the storyboard on the output may not change.
        if (view.IsLoaded()) {
            Cancel(view);
            return;
        }
        const KelSBTrimCandidate trim = Record(view).Candidate();
        DrawTrimFeedback(view);
        End(view);
        if (trim.pContent)
            ApplyTrim(view, trim);
    }

    void Cancel(CKelSBEditView& view) override {
        DrawTrimFeedback(view);
        End(view);
        if (CKelSBEditDlg* pDlg = view.GetParentDlg())
            pDlg->UpdateCaption(view.Selection().GetCurContent());
    }

    bool CancelsWhenMouseLost() const override { return true; }
};

} // namespace

KelSBGestureHandler& KelSBTrimHandler() {
    static TrimHandler handler;
    return handler;
}
