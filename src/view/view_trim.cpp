// Trimming: an edge of a material dragged with the mouse and, when let go, the material's new
// length recorded as one undoable step ("Change Materials Size").
//
// While the edge moves nothing changes but an XOR line and the caption: the edge stops at the
// neighbouring materials, at the material's minimum length and at its earliest story in, and a
// material too narrow to grab either edge on purpose turns to the other edge when the cursor
// passes its far side.
#include "dialog/sbedit_dlg.h"
#include "edit/edit_trim.h"
#include "undo/material_cmds.h"
#include "undo/ur_register.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "res/resource.h"

#include <algorithm>

namespace {

// A material this narrow (in pixels) offers no edge of its own: both its neighbours and both
// bounds hold, and the edge follows the side the cursor leaves it on.
constexpr int kNarrowWidth = 3;

bool IsScrollContent(const CKelSBContentBaseObj* pContent) {
    return DYNAMIC_DOWNCAST(CKelSBContentScrollObj, pContent) != nullptr;
}

kel::edit::TrimEdge EdgeOf(const KelSBTrimCandidate& trim) {
    return {trim.pContent, trim.pPrevContent, trim.pNextContent,
            trim.dwEdge,   trim.dwLowerBound, trim.dwUpperBound};
}

// The frame the trimmed edge has now.
DWORD OwnFrame(const KelSBTrimCandidate& trim) {
    return trim.dwEdge == 1 ? trim.pContent->GetStoryIn() : trim.pContent->GetStoryOut();
}

} // namespace

int CKelSBEditView::BeginTrim(CPoint point) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (IsLoaded() || !pBody)
        return 0;
    // Only the press decides: an edge the cursor showed earlier may have gone since.
    KelSBTrimCandidate trim;
    if (!EdgeTest(point, trim))
        return 0;
    // A scroll's length follows its text, so its edges are not trimmed: the press selects it.
    if (IsScrollContent(trim.pContent))
        return 0;
    const CKelSBTrackObj* pTrack = pBody->GetTrackObj(trim.pContent->GetTrackIndex());
    if (!pTrack)
        return 0;
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
    // The edge is where the material ends, not where its hit area does (a pixel further), and
    // it stands at the material's own frame while the cursor is at the press: a click on an
    // edge changes nothing, whatever frame the scale rounds its pixel to.
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
    m_gesture.Candidate() = trim;
    m_gesture.ToTrim();
    SetCapture();
    DrawTrimFeedback();
    return 1;
}

void CKelSBEditView::MoveTrim(CPoint point) {
    KelSBTrimCandidate& trim = m_gesture.Candidate();
    if (!trim.pContent)
        return;
    DrawTrimFeedback();
    if (trim.rcMaterial.Width() <= kNarrowWidth) {
        if (trim.dwEdge == 1 && point.x > trim.rcMaterial.right)
            trim.dwEdge = 2;
        else if (trim.dwEdge == 2 && point.x < trim.rcMaterial.left)
            trim.dwEdge = 1;
    }
    const kel::edit::TrimRange range = kel::edit::TrimEdgeRange(EdgeOf(trim));
    const int nLowX = FrameToClientX(static_cast<int>(range.nLow));
    const int nHighX = FrameToClientX(static_cast<int>(range.nHigh));
    trim.ptPoint.x =
        std::max(std::min(point.x, nHighX - trim.nGrabOffset), nLowX - trim.nGrabOffset);
    trim.dwEdgeFrame =
        trim.ptPoint.x == trim.nPressX
            ? OwnFrame(trim)
            : static_cast<DWORD>(std::max(0, ClientXToFrame(trim.ptPoint.x + trim.nGrabOffset)));
    DrawTrimFeedback();

    const CKelSBContentBaseObj& content = *trim.pContent;
    const DWORD dwIn = trim.dwEdge == 1 ? trim.dwEdgeFrame : content.GetStoryIn();
    const DWORD dwOut = trim.dwEdge == 1 ? content.GetStoryOut() : trim.dwEdgeFrame;
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(dwIn, dwOut, dwOut >= dwIn ? dwOut - dwIn : 0, 1);
}

void CKelSBEditView::ReleaseTrim() {
    const KelSBTrimCandidate trim = m_gesture.Candidate();
    DrawTrimFeedback();
    EndGesture();
    if (!trim.pContent)
        return;
    // The trimmed material becomes the current one, with its container selected.
    std::vector<CRect> rects;
    CollectSelectionRects(rects);
    CKelSBContainerObj* pContainer = FindContainerOf(trim.pContent);
    if (pContainer && !m_lstSelContainers.Find(pContainer)) {
        m_lstSelContainers.RemoveAll();
        m_lstSelContainers.AddTail(pContainer);
    }
    m_pCurContent = pContainer ? trim.pContent : m_pCurContent;
    NotifyNavigatorContent(m_pCurContent);
    ChangeLength(trim);
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(m_pCurContent);
    CollectSelectionRects(rects);
    rects.push_back(trim.rcMaterial);
    InvalidateRects(rects);
}

void CKelSBEditView::CancelTrim() {
    DrawTrimFeedback();
    EndGesture();
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(m_pCurContent);
}

void CKelSBEditView::ChangeLength(const KelSBTrimCandidate& trim) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (IsLoaded() || !pBody || !trim.pContent)
        return;
    KelSBEditScope scope(*this);
    const std::optional<kel::edit::LengthChange> change =
        kel::edit::ChangeLength(EdgeOf(trim), trim.dwEdgeFrame);
    if (!change)
        return;
    auto pCmd = KelSBNewCommand<CKelURSBChangeLengthCmd>(this, IDS_HIST_CHANGE_LENGTH);
    pCmd->m_nTrackIndex = change->nTrack;
    pCmd->m_nSide = static_cast<int>(change->dwEdge);
    pCmd->m_dwOldFrame = change->dwOld;
    pCmd->m_dwNewFrame = change->dwNew;
    KelSBRegisterCommand(this, std::move(pCmd));
    pBody->ResetAllTrackContentList();
    // A longer last material may have made the storyboard longer than the view scrolls.
    UpdateHRange();
    if (change->dwEdge == 2 && !trim.pNextContent)
        EnsureCurContentVisible();
    CRect rcBoth;
    rcBoth.UnionRect(trim.rcMaterial, GetMaterialRect(trim.pContent));
    InvalidateRect(rcBoth, TRUE);
    MarkModified();
}
