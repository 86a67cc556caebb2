// The placements behind a drop: where the view's geometry puts a dragged group, the rules of
// kel::edit::PlaceGroup and kel::edit::PlaceFromOutside applied to it, and, when performed, the
// undo step, the selection, the repaint and the host told.
#include "dialog/module_instance.h"
#include "dialog/sbedit_dlg.h"
#include "edit/edit_place.h"
#include "operations/op_place.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"
#include "host/services/module_rc.h"
#include "platform/cursor.h"
#include "res/resource.h"

#include <optional>

namespace {

bool IsPhasePiece(const CKelSBContentBaseObj* pContent) {
    return DYNAMIC_DOWNCAST(CKelSBContentPieceInObj, pContent) != nullptr ||
           DYNAMIC_DOWNCAST(CKelSBContentPieceStayObj, pContent) != nullptr ||
           DYNAMIC_DOWNCAST(CKelSBContentPieceOutObj, pContent) != nullptr;
}

// Movies and scrolls (a scroll is a movie of its own kind).
bool IsMediaFile(const CKelSBContentBaseObj* pContent) {
    return DYNAMIC_DOWNCAST(CKelSBContentMovieObj, pContent) != nullptr;
}

} // namespace

// ---- Moving materials of the storyboard.

// The placement of materials of the storyboard (kind 0): a drag within the view, and each
// track group of an align. The group moves by the frames between the record's start and
// current x (or by its nDeltaFrames), each material onto the track under its rectangle
// moved by the points' difference; see kel::edit::PlaceGroup for the rules. Performing
// registers one step under the pending undo title (34837 "Move Objects", 34842 "Align
// Left" or 34843 "Align Right"; with any other title nothing changes), marks the document
// modified and repaints. Refused (0) while loaded, without a storyboard, with the
// from-outside flag set, for another kind, when no unlocked track lies under the current
// point, or for an empty group. The record's new story in and out are set, and the
// caption shows them, in every case.
int CKelSBEditView::PlaceGroup(CONTAINER_INSERT_PARAM& record, int bPerform) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (IsLoaded() || !pBody || m_dragDrop.IsFromOutside() ||
        record.dwKind != CONTAINER_INSERT_PARAM::kMove)
        return 0;
    CObList& group = record.group.GetContentList();
    const auto trackOf = [&](const CKelSBContentBaseObj* pContent, CSize offset) {
        if (record.bKeepTracks)
            return static_cast<int>(pContent->GetTrackIndex());
        CRect rect = GetMaterialRect(pContent);
        rect.OffsetRect(offset);
        return Geometry().TrackIndexAt(
            CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    };
    const int nTrack =
        record.bKeepTracks
            ? (group.IsEmpty()
                   ? -1
                   : trackOf(static_cast<CKelSBContentBaseObj*>(group.GetHead()), CSize(0, 0)))
            : Geometry().TrackIndexAt(record.ptCurrent);
    const CKelSBTrackObj* pTrack = pBody->GetTrackObj(nTrack);
    // A performed move is recorded under its title, or not made at all.
    if (nTrack < 0 || !pTrack || pTrack->IsLocked() || group.IsEmpty() ||
        (bPerform && !m_dragDrop.MayPerformUnder(record.dwKind)))
        return 0;

    // Each material lands on the track under its own rectangle, moved as the cursor moved.
    const CSize offset = record.ptCurrent - record.ptStart;
    const long nDelta = record.nDeltaFrames
                            ? *record.nDeltaFrames
                            : static_cast<long>(Geometry().ClientXToFrame(record.ptCurrent.x)) -
                                  Geometry().ClientXToFrame(record.ptStart.x);
    std::vector<kel::edit::GroupTarget> targets;
    for (POSITION pos = group.GetHeadPosition(); pos;) {
        const int nTarget = trackOf(static_cast<CKelSBContentBaseObj*>(group.GetNext(pos)), offset);
        const CKelSBTrackObj* pTarget = pBody->GetTrackObj(nTarget);
        targets.push_back({nTarget, pTarget != nullptr && pTarget->IsLocked()});
    }

    // Testing runs at every step of a drag; only the real move waits, and records.
    kel::edit::PlaceGroupResult placed;
    int nResult = 0;
    if (bPerform) {
        CWaitCursor wait;
        std::vector<CRect> rects;
        nResult = kel::operations::MoveGroup(
            *this, m_dragDrop.GetPendingUndoTitle(), *pBody, group, targets, nDelta,
            {Selection().GetCurFocus(), Selection().GetSelContainerIndices()}, placed,
            [&](const CKelSBContentBaseObj& content) {
                rects.push_back(GetMaterialRect(&content));
            });
        if (nResult) {
            InvalidateRects(rects);
            Scroll().UpdateHRange(); // pushes may have made the storyboard longer
            EnsureCurContentVisible();
            UpdateWindow();
            MarkModified();
        }
        NotifyNavigatorContent(GetCurContent());
    } else {
        nResult = kel::edit::PlaceGroup(*pBody, group, targets, nDelta, false, placed);
    }
    record.dwNewStoryIn = placed.dwNewStoryIn;
    record.dwNewStoryOut = placed.dwNewStoryOut;
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(placed.dwNewStoryIn, placed.dwNewStoryOut,
                                    record.group.GetDuration(), 1);
    return nResult;
}

// ---- Materials from outside.

// The placement of groups from outside (kind 1, a drag in; kind 2, each track group of a
// fixed point paste) at the record's current point, with the from-outside flag set; see
// kel::edit::PlanFromOutside and kel::edit::PlaceFromOutside for the rules. Testing shows
// the prospective entry point, outlet point and length in the caption. Performing under the
// pending undo title (34833 "Drag In Materials" or 34839 "Fixed Point Paste"; with any
// other nothing changes) registers one step, selects the new materials and marks the
// document modified. A single piece dragged onto a piece asks whether to replace that
// piece's play piece instead, one undoable step of its own.
int CKelSBEditView::PlaceFromOutside(CONTAINER_INSERT_PARAM& record, int bPerform) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (IsLoaded() || !pBody || !m_dragDrop.IsFromOutside() ||
        (record.dwKind != CONTAINER_INSERT_PARAM::kDragIn &&
         record.dwKind != CONTAINER_INSERT_PARAM::kFixedPaste))
        return 0;
    kel::edit::OutsideTarget target;
    if (record.at) {
        target = kel::edit::OutsideTargetAt(*pBody, record.at->nTrack, record.at->nFrame);
    } else {
        KelSBHitResult hit;
        Geometry().HitTest(record.ptCurrent, hit);
        target.nTrack = hit.nTrackIndex;
        target.bLocked = hit.pTrack != nullptr && hit.pTrack->IsLocked();
        target.pUnder = hit.pContent;
        target.nFrame = Geometry().ClientXToFrame(record.ptCurrent.x);
    }
    const kel::edit::OutsidePlan plan =
        kel::edit::PlanFromOutside(*pBody, record.group, record.dwKind, record.dwLeadIn, target);
    if (plan.verdict == kel::edit::OutsideVerdict::kRefused)
        return 0;
    if (plan.verdict == kel::edit::OutsideVerdict::kReplace)
        return bPerform ? ReplaceMaterial(target.pUnder, record.group.GetContentObj(0)) : 1;

    record.dwNewStoryIn = plan.dwNewStoryIn;
    record.dwNewStoryOut = plan.dwNewStoryOut;
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(plan.dwNewStoryIn, plan.dwNewStoryOut,
                                    record.group.GetDuration(), 1);
    if (!bPerform)
        return 1;
    // A placement is recorded under its title, or not made at all.
    if (!m_dragDrop.MayPerformUnder(record.dwKind))
        return 0;

    std::vector<CRect> rects;
    const auto added = kel::operations::PlaceFromOutside(
        *this, m_dragDrop.GetPendingUndoTitle(), *pBody, m_pCurScene, record.group, target.nTrack,
        plan.dwNewStoryIn, record.dwKind == CONTAINER_INSERT_PARAM::kDragIn,
        {Selection().GetCurFocus(), Selection().GetSelContainerIndices()},
        [&](const CKelSBContentBaseObj& content) { rects.push_back(GetMaterialRect(&content)); });
    if (!added)
        return 0;
    NotifyNavigatorContent(GetCurContent());
    Scroll().UpdateHRange();
    for (const CKelSBContainerObj* pContainer : *added)
        rects.push_back(GetMaterialRect(pContainer->GetContentObj(0)));
    InvalidateRects(rects);
    MarkModified();
    return 1;
}

int CKelSBEditView::ReplaceMaterial(CKelSBContentBaseObj* pTarget,
                                    const CKelSBContentBaseObj* pDropped) {
    if (!pTarget || !pDropped)
        return 0;
    const HINSTANCE inst = kel::sbedit::ModuleInstance();
    const auto ask = [&](UINT nTextId, UINT nStyle) {
        SetHistorySync(0);
        const int nAnswer = CKelModuleRC::MessageBoxW(inst, nTextId, nStyle, this);
        SetHistorySync(1);
        return nAnswer;
    };
    if (IsMediaFile(pDropped) && IsPhasePiece(pTarget)) {
        ask(IDS_CANNOT_REPLACE_FILE, MB_OK);
        return 1;
    }
    if (ask(IDS_ASK_REPLACE, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 1;
    if (IsMediaFile(pTarget)) {
        ask(IDS_CANNOT_REPLACE_FILE, MB_OK);
        InvalidateRect(GetMaterialRect(pTarget), TRUE);
        return 1;
    }
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (pBody == nullptr)
        return 0;
    // A material that shows the dropped piece already: no change, no step.
    if (!kel::operations::ReplacePiece(*this, IDS_HIST_REPLACE_PIECE, *pBody,
                                       m_pCurScene ? m_pCurScene->GetPieceList() : nullptr,
                                       *pTarget, pDropped->GetGUID()))
        return 1;
    InvalidateRect(GetMaterialRect(pTarget), TRUE);
    MarkModified();
    return 1;
}
