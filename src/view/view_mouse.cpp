// The mouse on the timeline: which gesture a press starts in each region, and the events of a
// running gesture passed to its handler (gestures/); which cursor shows where; the header
// column's buttons, the double click and the right button.
//
// The left button's gestures are the states of view_gesture.h: the track header column toggles
// a track's play and lock flags or selects tracks at once; the marker band drags the range
// marks; the ruler scrubs the time line; an edge of a material trims it (view_trim.cpp); a
// material is pressed and, moved far enough, dragged (view_drag.cpp); empty track space runs a
// rubber band.
#include "dialog/module_instance.h"
#include "dialog/sbedit_dlg.h"
#include "view/gestures/gesture_handler.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "res/resource.h"

namespace {

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
    if (Geometry().GetHeaderColumnRect().PtInRect(point)) {
        PressHeaderColumn(point);
        return;
    }
    if (Geometry().GetMarkerBandRect().PtInRect(point)) {
        KelSBMarkerDragHandler().Begin(*this, nFlags, point);
        return;
    }
    if (Geometry().GetRulerRect().PtInRect(point)) {
        KelSBScrubHandler().Begin(*this, nFlags, point);
        return;
    }
    if (m_dwToolMode != kToolNormal) {
        KelSBHitResult hit;
        Geometry().HitTest(point, hit);
        if (hit.pTrack && hit.pTrack->IsLocked())
            return;
        if (m_dwToolMode == kToolDeleteSpace) {
            DeleteSpaceAt(point);
            if (m_pParentDlg)
                m_pParentDlg->UpdateCaption(m_selection.GetCurContent());
        } else {
            FixedPointPasteAt(point);
        }
        return;
    }
    if (IsLoaded()) {
        // The cursor is not followed while loaded, so no edge is known; only a press that is
        // really on an edge is swallowed.
        KelSBTrimCandidate probe;
        if (Geometry().EdgeTest(point, probe))
            return;
    } else if (KelSBTrimHandler().Begin(*this, nFlags, point)) {
        return;
    }
    KelSBPressHandler().Begin(*this, nFlags, point);
}

void CKelSBEditView::PressHeaderColumn(CPoint point) {
    int nButton = 0;
    const int nTrack = Geometry().HeaderButtonTest(point, nButton);
    if (nTrack >= 0) {
        ToggleTrackFlag(nTrack, nButton);
        return;
    }
    const bool bModifier = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0;
    Selection().SelectTrackAt(point, bModifier ? FALSE : TRUE);
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

// ---- Moves and releases.

void CKelSBEditView::OnMouseMove(UINT nFlags, CPoint point) {
    CWnd::OnMouseMove(nFlags, point);
    if (!GetCurSBBody())
        return;
    if (Geometry().GetHeaderColumnRect().PtInRect(point)) {
        UpdateHeaderTip(point);
        return;
    }
    if (KelSBGestureHandler* pHandler = KelSBGestureHandlerOf(m_gesture.GetState()))
        pHandler->Move(*this, nFlags, point);
}

void CKelSBEditView::OnLButtonUp(UINT nFlags, CPoint point) {
    CWnd::OnLButtonUp(nFlags, point);
    if (KelSBGestureHandler* pHandler = KelSBGestureHandlerOf(m_gesture.GetState()))
        pHandler->Release(*this);
}

// Another window took the mouse (a message box, a switch of application, the history panel):
// what the gesture was doing is taken back, since the user did not finish it.
void CKelSBEditView::OnCaptureChanged(CWnd* pWnd) {
    CWnd::OnCaptureChanged(pWnd);
    if (pWnd == this)
        return;
    KelSBGestureHandler* pHandler = KelSBGestureHandlerOf(m_gesture.GetState());
    if (pHandler && pHandler->CancelsWhenMouseLost())
        pHandler->Cancel(*this);
}

// Ends the running gesture without finishing it: the range marks and the time line go back
// to where the press found them, a trim commits nothing, a move drops nothing; the capture
// is released and the feedback erased. Nothing happens when no gesture runs.
void CKelSBEditView::CancelGesture() {
    if (KelSBGestureHandler* pHandler = KelSBGestureHandlerOf(m_gesture.GetState()))
        pHandler->Cancel(*this);
}

// Escape cancels a running gesture; TRUE when the key was taken for that. Called for every
// key message of the view and of its dialog before anything else sees it.
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
    Geometry().HitTest(point, hit);
    ModifyPlayProperties();
}

void CKelSBEditView::OnRButtonDown(UINT nFlags, CPoint point) {
    CWnd::OnRButtonDown(nFlags, point);
    if (!GetCurSBBody() || !m_gesture.IsIdle())
        return;
    if (Geometry().GetHeaderColumnRect().PtInRect(point)) {
        Selection().SelectTrackAt(point, TRUE);
        ShowTrackMenu(point);
        return;
    }
    m_gesture.SetRightClickPoint(point);
    KelSBHitResult hit;
    Geometry().HitTest(point, hit);
    if (hit.nTrackIndex < 0) {
        ClearTrackSelection();
        ShowStoryboardMenu(point);
        return;
    }
    Selection().SelectTrackAt(point, TRUE);
    Selection().SelectMaterialAt(point, TRUE);
    if (hit.pTrack && hit.pTrack->IsLocked())
        return;
    if (hit.pContent)
        ShowMaterialsMenu(point);
    else
        ShowTrackAreaMenu(point);
}

// ---- Cursor.

// The module cursor for a client point, 0 for the default one. Refreshes the trim
// candidate on the way, so that a press finds the edge the cursor showed.
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
    Geometry().HitTest(point, hit);
    if (hit.pTrack && hit.pTrack->IsLocked() && hit.rcTrackRow.PtInRect(point))
        return IDC_CURSOR_LOCKED;
    if (bTrimming)
        return IDC_CURSOR_TRIM;
    return Geometry().EdgeTest(point, candidate) ? IDC_CURSOR_TRIM : 0;
}
