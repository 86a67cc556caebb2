// The left button on the timeline: what a press starts in each region, what moving does while
// it runs, what the release ends; and which cursor shows where.
//
// Gestures: the track header column toggles a track's play and lock flags or selects tracks;
// the marker band drags the range marks; the ruler scrubs the time line; the track area selects
// materials (a rubber band when the press misses them). Trimming and the drag within the
// storyboard start here too, through the hooks of view_pending.cpp.
#include "dialog/sbedit_dlg.h"
#include "module/module_instance.h"
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

bool IsScrollContent(const CKelSBContentBaseObj* pContent) {
    return DYNAMIC_DOWNCAST(CKelSBContentScrollObj, pContent) != nullptr;
}

DWORD FrameAtLeastZero(int nFrame) {
    return static_cast<DWORD>(std::max(0, nFrame));
}

} // namespace

// ---- Presses.

void CKelSBEditView::OnLButtonDown(UINT nFlags, CPoint point) {
    CWnd::OnLButtonDown(nFlags, point);
    if (!GetCurSBBody())
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
        SetTimeLine(FrameAtLeastZero(ClientXToFrame(point.x)));
        m_bScrubbing = 1;
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
    if (m_trim.pContent) {
        if (IsLoaded()) {
            // The cursor is not followed while loaded, so the candidate may be older than the
            // load; only a press that is really on an edge is swallowed.
            KelSBTrimCandidate probe;
            if (EdgeTest(point, probe))
                return;
        } else if (!IsScrollContent(m_trim.pContent) && BeginTrim(point)) {
            // A scroll's length follows its text, so its edges are not trimmed: the press
            // selects it instead.
            return;
        }
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
        m_ptPress = point;
    } else {
        ClearMaterialSelection();
        CRect limit = GetTrackAreaRect();
        ClientToScreen(&limit);
        CKelMultiSelObj band(1);
        const CRect rect = band.DragRect(this, nFlags, point, limit);
        if (!rect.IsRectEmpty())
            SelectByRect(rect);
    }
    ShowSelectedSpan();
}

// ---- The range marks.

void CKelSBEditView::StartMarkerDrag(CPoint point) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    const CRect band = GetMarkerBandRect();
    const CRect outline = GetRangeOutlineRect();
    const CRect bar = GetRangeBarRect();
    CRect visible;
    if (!visible.IntersectRect(outline, band)) {
        // The range lies out of view: bring it to the press, keeping its length.
        const DWORD dwLength = pBody->GetRangeEnd() - pBody->GetRangeStart();
        const DWORD dwFrame = FrameAtLeastZero(ClientXToFrame(point.x));
        if (point.x < outline.left) {
            m_dwMarkerDragMode = 1;
            pBody->SetRange(dwFrame, dwFrame + dwLength);
        } else {
            m_dwMarkerDragMode = 2;
            // The press lies right of the whole range, so it is never less than the length.
            pBody->SetRange(dwFrame - std::min(dwFrame, dwLength), dwFrame);
        }
        m_nMarkerGrabOffset = 0;
        InvalidateRect(band, TRUE);
        UpdateWindow();
    } else if (GetRangeStartHandleRect().PtInRect(point)) {
        m_dwMarkerDragMode = 1;
        m_nMarkerGrabOffset = point.x - bar.left;
    } else if (GetRangeEndHandleRect().PtInRect(point)) {
        m_dwMarkerDragMode = 2;
        m_nMarkerGrabOffset = point.x - bar.right;
    } else if (point.x < outline.left) {
        m_dwMarkerDragMode = 1;
        m_nMarkerGrabOffset = 0;
    } else if (point.x < outline.right) {
        m_dwMarkerDragMode = 3;
        m_nMarkerGrabOffset = point.x - bar.left;
    } else {
        m_dwMarkerDragMode = 2;
        m_nMarkerGrabOffset = 0;
    }
    DrawMarkerFeedback();
}

void CKelSBEditView::MoveMarkerDrag(CPoint point) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return;
    DrawMarkerFeedback();
    const CRect rcOld = GetRangeOutlineRect();
    const DWORD dwFrame = FrameAtLeastZero(ClientXToFrame(point.x - m_nMarkerGrabOffset));
    const DWORD dwStart = pBody->GetRangeStart();
    const DWORD dwEnd = pBody->GetRangeEnd();
    switch (m_dwMarkerDragMode) {
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

void CKelSBEditView::EndMarkerDrag(int bRelease) {
    if (m_dwMarkerDragMode == 0)
        return;
    DrawMarkerFeedback();
    m_dwMarkerDragMode = 0;
    if (bRelease)
        ReleaseCapture();
}

// ---- Scrubbing.

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
    } else if (m_dwMarkerDragMode != 0) {
        MoveMarkerDrag(point);
    } else if (m_bScrubbing) {
        ScrubTo(point);
    } else if (!IsLoaded()) {
        if (m_bTrimming) {
            MoveTrim(point);
        } else if (m_ptPress != CPoint(0, 0)) {
            if (!(nFlags & MK_LBUTTON)) {
                // The button went up somewhere the view did not see: the press is over.
                m_ptPress = CPoint(0, 0);
                m_ptDrop = CPoint(-1, -1);
            } else if (std::abs(point.x - m_ptPress.x) >= kDragThreshold ||
                       std::abs(point.y - m_ptPress.y) >= kDragThreshold) {
                m_ptPress = CPoint(0, 0);
                m_ptDrop = CPoint(-1, -1);
                BeginDragWithinSB(point, nFlags);
            }
        }
    }
}

void CKelSBEditView::OnLButtonUp(UINT nFlags, CPoint point) {
    CWnd::OnLButtonUp(nFlags, point);
    if (m_dwMarkerDragMode != 0) {
        EndMarkerDrag(TRUE);
    } else if (m_bScrubbing) {
        m_bScrubbing = 0;
        ReleaseCapture();
    } else if (m_bTrimming && !IsLoaded()) {
        ReleaseTrim(point);
        ReleaseCapture();
    }
}

// Another window took the mouse (a message box, a switch of application): the marks and the
// time line stay where the drag left them.
void CKelSBEditView::OnCaptureChanged(CWnd* pWnd) {
    CWnd::OnCaptureChanged(pWnd);
    EndMarkerDrag(FALSE);
    m_bScrubbing = 0;
}

int CKelSBEditView::OnMouseActivate(CWnd* pTopParent, UINT nHitTest, UINT message) {
    SetFocus();
    return CWnd::OnMouseActivate(pTopParent, nHitTest, message);
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
    KelSBHitResult hit;
    HitTest(point, hit);
    if (hit.pTrack && hit.pTrack->IsLocked() && hit.rcTrackRow.PtInRect(point))
        return IDC_CURSOR_LOCKED;
    if (m_bTrimming)
        return IDC_CURSOR_TRIM;
    // The candidate is what a press here would trim; away from every edge there is none.
    m_trim = KelSBTrimCandidate{};
    return EdgeTest(point, m_trim) ? IDC_CURSOR_TRIM : 0;
}
