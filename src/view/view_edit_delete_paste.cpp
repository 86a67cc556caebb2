// Taking materials off the storyboard and the material clipboard: delete, cut, copy, delete
// space; the pastes place copies of the clipboard's materials again.
//
// Delete and cut disable the host's panels while they run. A delete that cannot keep what it
// removes (every container is saved before anything changes) deletes nothing; a cut that
// deleted nothing leaves the clipboard as it was.
#include "edit/edit_paste.h"
#include "operations/op_materials.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_edit.h"
#include "res/resource.h"

#include <algorithm>

namespace {

// The host's panels stay disabled for as long as it lives.
class HostPanelsDisabled {
public:
    explicit HostPanelsDisabled(CKelSBEditView& view) : m_view(view) {
        m_view.EnableHostPanels(FALSE);
    }
    ~HostPanelsDisabled() { m_view.EnableHostPanels(TRUE); }
    HostPanelsDisabled(const HostPanelsDisabled&) = delete;
    HostPanelsDisabled& operator=(const HostPanelsDisabled&) = delete;

private:
    CKelSBEditView& m_view;
};

// The placement of groups from outside runs only while the view's from-outside flag is set.
// A paste sets it for as long as this lives, so that every way out clears it again: a flag
// left set would refuse every later move and align.
class FromOutsidePlacement {
public:
    explicit FromOutsidePlacement(CKelSBEditView& view) : m_view(view) {
        m_view.DragDrop().SetFromOutside(1);
    }
    ~FromOutsidePlacement() { m_view.DragDrop().SetFromOutside(0); }
    FromOutsidePlacement(const FromOutsidePlacement&) = delete;
    FromOutsidePlacement& operator=(const FromOutsidePlacement&) = delete;

private:
    CKelSBEditView& m_view;
};

// Replaces what the clipboard owns with what `copies` owns.
void ReplaceClipboard(CKelObList& clipboard, CKelObList& copies) {
    clipboard.DeleteAll();
    clipboard.AddTail(&copies);
    copies.RemoveAll(); // the clipboard owns them now
}

} // namespace

// Deletes the selected containers, closing up behind them in Ripple delete mode. Refused
// when a selected material lies on a locked track.
int CKelSBEditView::DeleteSelectedMaterials() {
    return DeleteSelection(IDS_HIST_DELETE);
}

// Delete and cut: the selected containers go under this history text.
int CKelSBEditView::DeleteSelection(UINT nTitleId) {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr || m_selection.GetSelContainerList().IsEmpty())
        return 0;
    HostPanelsDisabled panels(*this);
    if (!Selection().IsSelectionOnUnlockedTracks())
        return 0;
    const auto touchedTracks = kel::operations::DeleteContainers(
        *this, nTitleId, *pBody, Selection().GetCurFocus(), Selection().GetSelContainerIndices());
    if (!touchedTracks)
        return 0;
    NotifyNavigatorContent(nullptr);
    InvalidateTrackRows(*touchedTracks);
    ClearStatusLine();
    MarkModified();
    EnsureCurContentVisible();
    return 1;
}

// Deletes as above, titled "Cut Objects", and only when that deleted something replaces
// the material clipboard with copies of the deleted materials.
int CKelSBEditView::CutMaterials() {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (GetEditableBody() == nullptr || pDoc == nullptr ||
        m_selection.GetSelContainerList().IsEmpty())
        return 0;
    HostPanelsDisabled panels(*this);
    if (!Selection().IsSelectionOnUnlockedTracks())
        return 0;
    // The copies are taken while the materials are still where they are drawn, and reach the
    // clipboard only once the materials are gone.
    CKelObList copies(CKelObList::kQuiet);
    Selection().CollectSelectedMaterials(copies);
    const int bDeleted = DeleteSelection(IDS_HIST_CUT);
    if (bDeleted)
        ReplaceClipboard(pDoc->GetMaterialClipboard(), copies);
    return bDeleted;
}

// Replaces the material clipboard with copies of the selected materials.
int CKelSBEditView::CopyMaterials() {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (GetEditableBody() == nullptr || pDoc == nullptr ||
        m_selection.GetSelContainerList().IsEmpty())
        return 0;
    CKelObList copies(CKelObList::kQuiet);
    Selection().CollectSelectedMaterials(copies);
    ReplaceClipboard(pDoc->GetMaterialClipboard(), copies);
    return 1;
}

// Tool mode Delete Space, a click at a client point on an empty place of an unlocked
// track: the next material of the track and all after it close up to the one before.
int CKelSBEditView::DeleteSpaceAt(CPoint point) {
    CKelSBBodyObj* pBody = GetEditableBody();
    if (pBody == nullptr)
        return 0;
    KelSBHitResult hit;
    Geometry().HitTest(point, hit);
    if (hit.pTrack == nullptr || hit.pTrack->IsLocked() || hit.pContent != nullptr)
        return 0;
    if (!kel::operations::DeleteSpace(*this, IDS_HIST_DELETE_SPACE, *pBody, hit.nTrackIndex,
                                      Geometry().ClientXToFrame(point.x)))
        return 0;
    EnsureCurContentVisible();
    InvalidateTrackRows({hit.nTrackIndex});
    MarkModified();
    return 1;
}

// Pastes copies of the material clipboard, one undoable step per track they came from:
// - at a client point (tool mode Fixed Point Paste, a click): the first material lands at
//   the point, the others keep their layout around it as it was drawn when copied; with
//   nothing to paste the tool mode falls back to Normal;
// - at the point where the context menu was opened;
// - at the time line, each material on the track it was copied from and as many frames
//   from the time line as it was from the first; the time line then moves to the end of
//   what was pasted, so that pasting again pastes behind it.
// Each group is tried before any is placed; when one cannot be placed (refused groups: a
// locked or missing track, a material in the way), the user is told and the groups placed
// before it stay placed.
int CKelSBEditView::FixedPointPasteAt(CPoint point) {
    return PasteClipboard(
        [point](const CObList& copies) { return kel::edit::PasteGroupsAtPoint(copies, point); },
        nullptr);
}

int CKelSBEditView::PasteMaterialsAtMenuPoint() {
    return FixedPointPasteAt(m_gesture.GetRightClickPoint());
}

int CKelSBEditView::PasteMaterials() {
    const DWORD dwTimeLine = GetTimeLinePos();
    DWORD dwEnd = 0;
    const int bPasted = PasteClipboard(
        [dwTimeLine](const CObList& copies) {
            return kel::edit::PasteGroupsAtFrame(copies, dwTimeLine);
        },
        &dwEnd);
    if (bPasted)
        SetTimeLine(dwEnd);
    return bPasted;
}

// A paste of the clipboard's copies in the groups `makeGroups` splits them into.
int CKelSBEditView::PasteClipboard(
    const std::function<kel::edit::PlacementGroups(const CObList& copies)>& makeGroups,
    DWORD* pdwPastedOut) {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (GetEditableBody() == nullptr || pDoc == nullptr || RefreshPasteState() == 0)
        return 0;
    // The clipboard keeps its materials: the placements put copies of these copies on the
    // storyboard, so that the same clipboard can be pasted again.
    CKelObList copies(pDoc->GetMaterialClipboard());
    CKelSBContainerObj::MakeOrder(copies, 0);
    kel::edit::PlacementGroups groups = makeGroups(copies);
    int bPlaced = 0;
    {
        FromOutsidePlacement placement(*this);
        bPlaced = PlaceGroupsInTurn(groups, IDS_HIST_FIXED_PASTE);
    }
    if (pdwPastedOut != nullptr) {
        for (const auto& pRecord : groups)
            *pdwPastedOut = std::max(*pdwPastedOut, pRecord->dwNewStoryOut);
    }
    groups.clear(); // they point at the copies
    if (!bPlaced)
        ShowMessage(IDS_PASTE_IMPOSSIBLE);
    return bPlaced;
}
