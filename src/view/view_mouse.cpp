// The mouse on the timeline: what a press starts in each region, what moving does while it
// runs, what the release ends, what cancels it; which cursor shows where; the double click and
// the right button.
//
// The left button's gestures are the states of view_gesture.h: the track header column toggles
// a track's play and lock flags or selects tracks at once; the marker band drags the range
// marks; the ruler scrubs the time line; an edge of a material trims it (view_trim.cpp); a
// material is pressed and, moved far enough, dragged (view_drag.cpp); empty track space runs a
// rubber band.
#include "dialog/module_instance.h"
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"
#include "host/services/drag_data.h"
#include "host/services/module_rc.h"
#include "res/resource.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A material moves only once the cursor has gone this far from the press, so that a click
// with a trembling hand stays a click.
constexpr int kDragThreshold = 3;
// How close to the ruler's ends scrubbing starts to scroll.
constexpr int kScrubScrollMargin = 10;

DWORD FrameAtLeastZero(int nFrame) {
    return static_cast<DWORD>(std::max(0, nFrame));
}

using State = KelSBGestureState;

} // namespace

// ---- Presses.

void CKelSBEditView::OnLButtonDown(UINT nFlags, CPoint point) {
    CWnd::OnLButtonDown(nFlags, point);
    if (!GetCurSBBody())
        return;
    // A press the view never saw released (the button came up elsewhere) ends with this one.
    if (m_gesture.Is(State::kPressed))
        m_gesture.ToIdle();
    else if (!m_gesture.IsIdle())
        return;
    if (GetHeaderColumnRect().PtInRect(point)) {
        PressHeaderColumn(point);
        return;
    }
    if (GetMarkerBandRect().PtInRect(point)) {
        SetCapture();
        StartMarkerDrag(point);
        return;
    }
    if (GetRulerRect().PtInRect(point)) {
        SetCapture();
        StartScrub(point);
        return;
    }
    if (m_dwToolMode != kToolNormal) {
        KelSBHitResult hit;
        HitTest(point, hit);
        if (hit.pTrack && hit.pTrack->IsLocked())
            return;
        if (m_dwToolMode == kToolDeleteSpace) {
            DeleteSpaceAt(point);
            if (m_pParentDlg)
                m_pParentDlg->UpdateCaption(m_pCurContent);
        } else {
            FixedPointPasteAt(point);
        }
        return;
    }
    if (IsLoaded()) {
        // The cursor is not followed while loaded, so no edge is known; only a press that is
        // really on an edge is swallowed.
        KelSBTrimCandidate probe;
        if (EdgeTest(point, probe))
            return;
    } else if (BeginTrim(point)) {
        return;
    }
    PressSelect(nFlags, point);
}

void CKelSBEditView::PressHeaderColumn(CPoint point) {
    int nButton = 0;
    const int nTrack = HeaderButtonTest(point, nButton);
    if (nTrack >= 0) {
        ToggleTrackFlag(nTrack, nButton);
        return;
    }
    const bool bModifier = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0;
    SelectTrackAt(point, bModifier ? FALSE : TRUE);
}

void CKelSBEditView::ToggleTrackFlag(int nTrack, int nButton) {
    CKelSBTrackObj* pTrack = GetCurSBBody()->GetTrackObj(nTrack);
    if (!pTrack)
        return;
    if (nButton == 0)
        pTrack->SetPlayAllowed(!pTrack->IsPlayAllowed());
    else
        pTrack->SetLocked(!pTrack->IsLocked());
    // Locking changes what may be selected and edited, so the view starts over.
    RefreshView(nullptr);
    CPoint cursor;
    GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    UpdateHeaderTip(cursor);
}

void CKelSBEditView::PressSelect(UINT nFlags, CPoint point) {
    const int bExclusive = (nFlags & (MK_SHIFT | MK_CONTROL)) == 0;
    if (!SelectTrackAt(point, bExclusive))
        ClearTrackSelection();
    if (SelectMaterialAt(point, bExclusive)) {
        m_gesture.ToPressed(point);
    } else {
        ClearMaterialSelection();
        CRect limit = GetTrackAreaRect();
        ClientToScreen(&limit);
        CKelMultiSelObj band(1);
        m_gesture.ToRubberBand();
        const CRect rect = band.DragRect(this, nFlags, point, limit);
        m_gesture.ToIdle();
        if (!rect.IsRectEmpty())
            SelectByRect(rect);
    }
    ShowSelectedSpan();
}

// ---- The range marks.

void CKelSBEditView::StartMarkerDrag(CPoint point) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    const DWORD dwStartBefore = pBody->GetRangeStart();
    const DWORD dwEndBefore = pBody->GetRangeEnd();
    const CRect band = GetMarkerBandRect();
    const CRect outline = GetRangeOutlineRect();
    const CRect bar = GetRangeBarRect();
    DWORD dwMode = 0;
    int nGrabOffset = 0;
    CRect visible;
    if (!visible.IntersectRect(outline, band)) {
        // The range lies out of view: bring it to the press, keeping its length.
        const DWORD dwLength = dwEndBefore - dwStartBefore;
        const DWORD dwFrame = FrameAtLeastZero(ClientXToFrame(point.x));
        if (point.x < outline.left) {
            dwMode = 1;
            pBody->SetRange(dwFrame, dwFrame + dwLength);
        } else {
            dwMode = 2;
            // The press lies right of the whole range, so it is never less than the length.
            pBody->SetRange(dwFrame - std::min(dwFrame, dwLength), dwFrame);
        }
        InvalidateRect(band, TRUE);
        UpdateWindow();
    } else if (GetRangeStartHandleRect().PtInRect(point)) {
        dwMode = 1;
        nGrabOffset = point.x - bar.left;
    } else if (GetRangeEndHandleRect().PtInRect(point)) {
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
    m_gesture.ToMarkerDrag(dwMode, nGrabOffset, dwStartBefore, dwEndBefore);
    DrawMarkerFeedback();
}

void CKelSBEditView::MoveMarkerDrag(CPoint point) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return;
    DrawMarkerFeedback();
    const CRect rcOld = GetRangeOutlineRect();
    const DWORD dwFrame =
        FrameAtLeastZero(ClientXToFrame(point.x - m_gesture.GetMarkerGrabOffset()));
    const DWORD dwStart = pBody->GetRangeStart();
    const DWORD dwEnd = pBody->GetRangeEnd();
    switch (m_gesture.GetMarkerMode()) {
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
    rcBoth.UnionRect(rcOld, GetRangeOutlineRect());
    InvalidateRect(rcBoth, FALSE);
    UpdateWindow();
    DrawMarkerFeedback();
}

void CKelSBEditView::EndMarkerDrag() {
    DrawMarkerFeedback();
    EndGesture();
}

// ---- Scrubbing.

void CKelSBEditView::StartScrub(CPoint point) {
    m_gesture.ToScrub(GetTimeLinePos());
    SetTimeLine(FrameAtLeastZero(ClientXToFrame(point.x)));
}

void CKelSBEditView::ScrubTo(CPoint point) {
    const DWORD dwFrame = FrameAtLeastZero(ClientXToFrame(point.x));
    CKelCGSBServer::Seek(dwFrame);
    SetTimeLine(dwFrame);
    CRect ruler = GetRulerRect();
    ruler.DeflateRect(kScrubScrollMargin, 0);
    if (point.x < ruler.left)
        ScrollHorz(point.x - ruler.left);
    else if (point.x > ruler.right)
        ScrollHorz(point.x - ruler.right);
}

// ---- Moves and releases.

void CKelSBEditView::OnMouseMove(UINT nFlags, CPoint point) {
    CWnd::OnMouseMove(nFlags, point);
    if (!GetCurSBBody())
        return;
    if (GetHeaderColumnRect().PtInRect(point)) {
        UpdateHeaderTip(point);
        return;
    }
    switch (m_gesture.GetState()) {
    case State::kMarkerDrag:
        MoveMarkerDrag(point);
        break;
    case State::kScrub:
        ScrubTo(point);
        break;
    case State::kTrim:
        if (!IsLoaded())
            MoveTrim(point);
        break;
    case State::kPressed: {
        if (IsLoaded())
            break;
        const CPoint press = m_gesture.GetPressPoint();
        if (!(nFlags & MK_LBUTTON)) {
            // The button went up somewhere the view did not see: the press is over.
            m_gesture.ToIdle();
        } else if (std::abs(point.x - press.x) >= kDragThreshold ||
                   std::abs(point.y - press.y) >= kDragThreshold) {
            m_gesture.ToMove();
            BeginDragWithinSB(point, nFlags);
            m_gesture.ToIdle();
        }
        break;
    }
    default:
        break;
    }
}

void CKelSBEditView::OnLButtonUp(UINT nFlags, CPoint point) {
    CWnd::OnLButtonUp(nFlags, point);
    switch (m_gesture.GetState()) {
    case State::kMarkerDrag:
        EndMarkerDrag();
        break;
    case State::kScrub:
        EndGesture();
        break;
    case State::kTrim:
        // Loaded meanwhile: the storyboard on the output may not change.
        if (IsLoaded())
            CancelTrim();
        else
            ReleaseTrim();
        break;
    case State::kPressed:
        m_gesture.ToIdle();
        break;
    default:
        break;
    }
}

void CKelSBEditView::EndGesture() {
    m_gesture.ToIdle();
    if (GetCapture() == this)
        ReleaseCapture();
}

// Another window took the mouse (a message box, a switch of application, the history panel):
// what the gesture was doing is taken back, since the user did not finish it.
void CKelSBEditView::OnCaptureChanged(CWnd* pWnd) {
    CWnd::OnCaptureChanged(pWnd);
    if (pWnd == this)
        return;
    switch (m_gesture.GetState()) {
    case State::kMarkerDrag:
    case State::kScrub:
    case State::kTrim:
        CancelGesture();
        break;
    default:
        break;
    }
}

void CKelSBEditView::CancelGesture() {
    CKelSBBodyObj* pBody = GetCurSBBody();
    switch (m_gesture.GetState()) {
    case State::kMarkerDrag: {
        DrawMarkerFeedback();
        const CRect rcOld = GetRangeOutlineRect();
        if (pBody)
            pBody->SetRange(m_gesture.GetRangeStartBefore(), m_gesture.GetRangeEndBefore());
        CRect rcBoth;
        rcBoth.UnionRect(rcOld, GetRangeOutlineRect());
        if (GetSafeHwnd())
            InvalidateRect(rcBoth, TRUE);
        EndGesture();
        break;
    }
    case State::kScrub: {
        const DWORD dwBefore = m_gesture.GetTimeLineBefore();
        EndGesture();
        if (pBody) {
            CKelCGSBServer::Seek(dwBefore);
            SetTimeLine(dwBefore);
        }
        break;
    }
    case State::kTrim:
        CancelTrim();
        break;
    case State::kMove:
        // The drag loop runs on until the button comes up; its drop is refused.
        ResetDrag();
        break;
    case State::kPressed:
        m_gesture.ToIdle();
        break;
    default:
        break;
    }
}

BOOL CKelSBEditView::CancelGestureOnEscape(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_ESCAPE || m_gesture.IsIdle())
        return FALSE;
    CancelGesture();
    return TRUE;
}

int CKelSBEditView::OnMouseActivate(CWnd* pTopParent, UINT nHitTest, UINT message) {
    SetFocus();
    return CWnd::OnMouseActivate(pTopParent, nHitTest, message);
}

// ---- Double click and the right button.

void CKelSBEditView::OnLButtonDblClk(UINT nFlags, CPoint point) {
    CWnd::OnLButtonDblClk(nFlags, point);
    if (!GetCurSBBody() || !m_gesture.IsIdle())
        return;
    KelSBHitResult hit;
    HitTest(point, hit);
    ModifyPlayProperties();
}

void CKelSBEditView::OnRButtonDown(UINT nFlags, CPoint point) {
    CWnd::OnRButtonDown(nFlags, point);
    if (!GetCurSBBody() || !m_gesture.IsIdle())
        return;
    if (GetHeaderColumnRect().PtInRect(point)) {
        SelectTrackAt(point, TRUE);
        ShowTrackMenu(point);
        return;
    }
    m_ptRightClick = point;
    KelSBHitResult hit;
    HitTest(point, hit);
    if (hit.nTrackIndex < 0) {
        ClearTrackSelection();
        ShowStoryboardMenu(point);
        return;
    }
    SelectTrackAt(point, TRUE);
    SelectMaterialAt(point, TRUE);
    if (hit.pTrack && hit.pTrack->IsLocked())
        return;
    if (hit.pContent)
        ShowMaterialsMenu(point);
    else
        ShowTrackAreaMenu(point);
}

// ---- Cursor.

UINT CKelSBEditView::CursorIdAt(CPoint point) {
    switch (m_dwToolMode) {
    case kToolDeleteSpace:
        return IDC_CURSOR_DELETE_SPACE;
    case kToolFixedPaste:
        return IDC_CURSOR_FIXED_PASTE;
    default:
        break;
    }
    // The candidate is what a press here would trim: away from every edge there is none (a
    // running trim keeps its own).
    const bool bTrimming = m_gesture.Is(State::kTrim);
    KelSBTrimCandidate& candidate = m_gesture.Candidate();
    if (!bTrimming)
        candidate = KelSBTrimCandidate{};
    KelSBHitResult hit;
    HitTest(point, hit);
    if (hit.pTrack && hit.pTrack->IsLocked() && hit.rcTrackRow.PtInRect(point))
        return IDC_CURSOR_LOCKED;
    if (bTrimming)
        return IDC_CURSOR_TRIM;
    return EdgeTest(point, candidate) ? IDC_CURSOR_TRIM : 0;
}
