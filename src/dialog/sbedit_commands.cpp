#include "dialog/sbedit_commands.h"

#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "platform/cursor.h"
#include "res/resource.h"

#include <algorithm>
#include <array>

namespace {

using Dlg = CKelSBEditDlg;
using View = CKelSBEditView;
using Needs = KelSBCommandNeeds;

constexpr unsigned kLocked = kKelSBRefusedWhileLoaded;
constexpr unsigned kEdits = kKelSBRefusedWhileLoaded | kKelSBEditsDocument;
constexpr unsigned kWait = kKelSBWaitCursor;

void SelectAll(View& view) {
    // The status line shows the whole selection's span, not the material that had the focus.
    view.SelectAllMaterials();
    view.ShowSelectedSpan();
}

// The rows below name a member of the dialog or of the view, with its arguments.
template <auto Member, auto... Args>
void DlgOp(Dlg& dlg, View& /*view*/, UINT /*nId*/) {
    (dlg.*Member)(Args...);
}
template <auto Member, auto... Args>
void ViewOp(Dlg& /*dlg*/, View& view, UINT /*nId*/) {
    (view.*Member)(Args...);
}

constexpr std::array kCommands = {
    // ---- The dialog's buttons, in the order of the strip.
    KelSBCommandEntry{IDC_BTN_NORMAL, IDC_BTN_NORMAL, 0, Needs::kNothing,
                      &DlgOp<&Dlg::OnToolMode, View::kToolNormal>},
    KelSBCommandEntry{IDC_BTN_DELETE_SPACE, IDC_BTN_DELETE_SPACE, kLocked, Needs::kNothing,
                      &DlgOp<&Dlg::OnToolMode, View::kToolDeleteSpace>},
    KelSBCommandEntry{IDC_BTN_FIXED_PASTE, IDC_BTN_FIXED_PASTE, kLocked | kWait, Needs::kNothing,
                      &DlgOp<&Dlg::OnToolMode, View::kToolFixedPaste>},
    KelSBCommandEntry{IDC_BTN_UNDO, IDC_BTN_UNDO, kEdits | kWait, Needs::kNothing,
                      &DlgOp<&Dlg::OnUndo>},
    KelSBCommandEntry{IDC_BTN_REDO, IDC_BTN_REDO, kEdits | kWait, Needs::kNothing,
                      &DlgOp<&Dlg::OnRedo>},
    KelSBCommandEntry{IDC_BTN_CUT, IDC_BTN_CUT, kEdits | kWait, Needs::kNothing,
                      &ViewOp<&View::CutMaterials>},
    KelSBCommandEntry{IDC_BTN_COPY, IDC_BTN_COPY, kLocked | kWait, Needs::kNothing,
                      &ViewOp<&View::CopyMaterials>},
    KelSBCommandEntry{IDC_BTN_PASTE, IDC_BTN_PASTE, kEdits | kWait, Needs::kNothing,
                      &ViewOp<&View::PasteMaterials>},
    // Asks first, and shows the wait cursor only once the answer is Yes.
    KelSBCommandEntry{IDC_BTN_DELETE, IDC_BTN_DELETE, kEdits, Needs::kNothing,
                      &DlgOp<&Dlg::OnDelete>},
    KelSBCommandEntry{IDC_BTN_SELECT_ALL, IDC_BTN_SELECT_ALL, 0, Needs::kNothing,
                      [](Dlg&, View& view, UINT) { SelectAll(view); }},
    KelSBCommandEntry{IDC_BTN_COPY_FX, IDC_BTN_COPY_FX, kLocked | kWait, Needs::kNothing,
                      &ViewOp<&View::CopyFX>},
    KelSBCommandEntry{IDC_BTN_PASTE_FX, IDC_BTN_PASTE_FX, kEdits | kWait, Needs::kNothing,
                      &ViewOp<&View::PasteFX>},
    KelSBCommandEntry{IDC_BTN_SAME_LENGTH, IDC_BTN_SAME_LENGTH, kEdits, Needs::kNothing,
                      &ViewOp<&View::SameLength>},
    KelSBCommandEntry{IDC_BTN_ALIGN_LEFT, IDC_BTN_ALIGN_LEFT, kEdits, Needs::kNothing,
                      &ViewOp<&View::AlignMaterials, 1>},
    KelSBCommandEntry{IDC_BTN_ALIGN_RIGHT, IDC_BTN_ALIGN_RIGHT, kEdits, Needs::kNothing,
                      &ViewOp<&View::AlignMaterials, 0>},
    KelSBCommandEntry{IDC_BTN_MERGE, IDC_BTN_MERGE, kEdits, Needs::kNothing,
                      &ViewOp<&View::MergeMaterials>},
    KelSBCommandEntry{IDC_BTN_SPLIT, IDC_BTN_SPLIT, kEdits, Needs::kNothing,
                      &ViewOp<&View::SplitMaterials>},
    KelSBCommandEntry{IDC_BTN_ENTRY_POINT, IDC_BTN_ENTRY_POINT, kEdits, Needs::kNothing,
                      &ViewOp<&View::ClipAtTimeLine, 1>},
    KelSBCommandEntry{IDC_BTN_OUTLET_POINT, IDC_BTN_OUTLET_POINT, kEdits, Needs::kNothing,
                      &ViewOp<&View::ClipAtTimeLine, 0>},
    KelSBCommandEntry{IDC_BTN_SB_HEAD, IDC_BTN_SB_HEAD, 0, Needs::kNothing,
                      &DlgOp<&Dlg::OnStoryboardHead>},
    KelSBCommandEntry{IDC_BTN_PREV_KEY, IDC_BTN_PREV_KEY, 0, Needs::kNothing,
                      &DlgOp<&Dlg::OnPrevKeyPoint>},
    KelSBCommandEntry{IDC_BTN_NEXT_KEY, IDC_BTN_NEXT_KEY, 0, Needs::kNothing,
                      &DlgOp<&Dlg::OnNextKeyPoint>},
    KelSBCommandEntry{IDC_BTN_SB_TAIL, IDC_BTN_SB_TAIL, 0, Needs::kNothing,
                      &DlgOp<&Dlg::OnStoryboardTail>},
    KelSBCommandEntry{IDC_BTN_IO_MODE, IDC_BTN_IO_MODE, kEdits, Needs::kNothing,
                      &ViewOp<&View::IOModeCurContent>},
    KelSBCommandEntry{IDC_BTN_UPLOAD, IDC_BTN_UPLOAD, kLocked, Needs::kNothing,
                      &DlgOp<&Dlg::OnUpload>},
    KelSBCommandEntry{IDC_BTN_PLAY, IDC_BTN_PLAY, kLocked, Needs::kNothing,
                      [](Dlg& dlg, View& view, UINT) { view.PlayStoryBoard(&dlg); }},
    KelSBCommandEntry{IDC_BTN_GENERATE, IDC_BTN_GENERATE, kLocked, Needs::kNothing,
                      [](Dlg& dlg, View& view, UINT) { view.CompileStoryBoard(&dlg); }},
    // Acts only while loaded; the operation itself looks.
    KelSBCommandEntry{IDC_BTN_DOWNLOAD, IDC_BTN_DOWNLOAD, 0, Needs::kNothing,
                      &DlgOp<&Dlg::OnDownload>},

    // ---- The view's tool buttons and the zoom menu.
    KelSBCommandEntry{IDC_VIEW_TOOL_FIT, IDC_VIEW_TOOL_FIT, 0, Needs::kNothing,
                      &ViewOp<&View::FitToWindow>},
    KelSBCommandEntry{IDC_VIEW_TOOL_ZOOM_IN, IDC_VIEW_TOOL_ZOOM_IN, 0, Needs::kNothing,
                      &ViewOp<&View::ZoomStep, TRUE>},
    KelSBCommandEntry{IDC_VIEW_TOOL_ZOOM_OUT, IDC_VIEW_TOOL_ZOOM_OUT, 0, Needs::kNothing,
                      &ViewOp<&View::ZoomStep, FALSE>},
    KelSBCommandEntry{ID_ZOOM_FIRST, ID_ZOOM_LAST, 0, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) {
                          view.ZoomToIndex(static_cast<int>(nId - ID_ZOOM_FIRST));
                      }},

    // ---- The storyboard menu and the track area menu.
    KelSBCommandEntry{ID_SB_SELECT_ALL, ID_SB_SELECT_ALL, 0, Needs::kNothing,
                      [](Dlg&, View& view, UINT) { SelectAll(view); }},
    KelSBCommandEntry{ID_AREA_SELECT_ALL, ID_AREA_SELECT_ALL, kWait, Needs::kCurrentTrack,
                      [](Dlg&, View& view, UINT) { SelectAll(view); }},
    KelSBCommandEntry{
        ID_AREA_SELECT_TRACK_MATERIALS, ID_AREA_SELECT_TRACK_MATERIALS, kWait, Needs::kCurrentTrack,
        [](Dlg&, View& view, UINT) {
            view.SelectAllMaterialsOfSelTracks();
            view.ShowSelectedSpan();
        }},
    KelSBCommandEntry{ID_AREA_PASTE_HERE, ID_AREA_PASTE_HERE, kEdits | kWait, Needs::kCurrentTrack,
                      &ViewOp<&View::PasteMaterialsAtMenuPoint>},
    KelSBCommandEntry{ID_AREA_FIT, ID_AREA_FIT, kWait, Needs::kCurrentTrack,
                      &ViewOp<&View::FitToWindow>},
    KelSBCommandEntry{ID_AREA_ZOOM_IN, ID_AREA_ZOOM_IN, kWait, Needs::kCurrentTrack,
                      &ViewOp<&View::ZoomStep, TRUE>},
    KelSBCommandEntry{ID_AREA_ZOOM_OUT, ID_AREA_ZOOM_OUT, kWait, Needs::kCurrentTrack,
                      &ViewOp<&View::ZoomStep, FALSE>},

    // ---- The track menu, the storyboard menu's settings and the view's storyboard tools. The
    // track operations look at the track the menu was opened over themselves, and show the wait
    // cursor only once their questions are answered; the delete mode is a setting, which
    // loading does not freeze.
    KelSBCommandEntry{ID_TRACK_APPEND, ID_TRACK_APPEND, kEdits, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) { view.TrackCommand(nId); }},
    KelSBCommandEntry{ID_TRACK_INSERT, ID_TRACK_INSERT, kEdits, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) { view.TrackCommand(nId); }},
    KelSBCommandEntry{ID_TRACK_DELETE, ID_TRACK_DELETE, kEdits, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) { view.TrackCommand(nId); }},
    KelSBCommandEntry{ID_TRACK_MOVE_UP, ID_TRACK_MOVE_UP, kEdits, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) { view.TrackCommand(nId); }},
    KelSBCommandEntry{ID_TRACK_MOVE_DOWN, ID_TRACK_MOVE_DOWN, kEdits, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) { view.TrackCommand(nId); }},
    KelSBCommandEntry{ID_TRACK_CUT, ID_TRACK_CUT, kEdits, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) { view.TrackCommand(nId); }},
    KelSBCommandEntry{ID_TRACK_COPY, ID_TRACK_COPY, kLocked, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) { view.TrackCommand(nId); }},
    KelSBCommandEntry{ID_TRACK_PASTE, ID_TRACK_PASTE, kEdits, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) { view.TrackCommand(nId); }},
    KelSBCommandEntry{ID_SB_SETUP, ID_SB_SETUP, kEdits, Needs::kNothing,
                      &ViewOp<&View::EditSBSettings>},
    KelSBCommandEntry{IDC_VIEW_TOOL_SB_SETUP, IDC_VIEW_TOOL_SB_SETUP, kEdits, Needs::kNothing,
                      &ViewOp<&View::EditSBSettings>},
    KelSBCommandEntry{ID_DELETE_MODE_NORMAL, ID_DELETE_MODE_NORMAL, 0, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) { view.SetDeleteMode(nId); }},
    KelSBCommandEntry{ID_DELETE_MODE_RIPPLE, ID_DELETE_MODE_RIPPLE, 0, Needs::kNothing,
                      [](Dlg&, View& view, UINT nId) { view.SetDeleteMode(nId); }},
    KelSBCommandEntry{IDC_VIEW_TOOL_SB_OPERATION, IDC_VIEW_TOOL_SB_OPERATION, 0, Needs::kNothing,
                      &ViewOp<&View::OpenSBListDialog>},
    KelSBCommandEntry{IDC_VIEW_TOOL_SB_NAVIGATOR, IDC_VIEW_TOOL_SB_NAVIGATOR, 0, Needs::kNothing,
                      &ViewOp<&View::ToggleNavigator>},

    // ---- The materials menu: the same operations as the buttons.
    KelSBCommandEntry{ID_MAT_CUT, ID_MAT_CUT, kEdits | kWait, Needs::kSelectionAndFocus,
                      &ViewOp<&View::CutMaterials>},
    KelSBCommandEntry{ID_MAT_COPY, ID_MAT_COPY, kLocked | kWait, Needs::kSelectionAndFocus,
                      &ViewOp<&View::CopyMaterials>},
    KelSBCommandEntry{ID_MAT_DELETE, ID_MAT_DELETE, kEdits | kWait, Needs::kSelectionAndFocus,
                      &ViewOp<&View::DeleteSelectedMaterials>},
    KelSBCommandEntry{ID_MAT_COPY_FX, ID_MAT_COPY_FX, kLocked | kWait, Needs::kSelectionAndFocus,
                      &ViewOp<&View::CopyFX>},
    KelSBCommandEntry{ID_MAT_PASTE_FX, ID_MAT_PASTE_FX, kEdits | kWait, Needs::kSelectionAndFocus,
                      &ViewOp<&View::PasteFX>},
    KelSBCommandEntry{ID_MAT_MERGE, ID_MAT_MERGE, kEdits, Needs::kSelectionAndFocus,
                      &ViewOp<&View::MergeMaterials>},
    KelSBCommandEntry{ID_MAT_SPLIT, ID_MAT_SPLIT, kEdits, Needs::kSelectionAndFocus,
                      &ViewOp<&View::SplitMaterials>},
    KelSBCommandEntry{ID_MAT_PLAY_PROPERTIES, ID_MAT_PLAY_PROPERTIES, kEdits | kWait,
                      Needs::kSelectionAndFocus, &ViewOp<&View::ModifyPlayProperties>},
    KelSBCommandEntry{ID_MAT_ALIGN_LEFT, ID_MAT_ALIGN_LEFT, kEdits | kWait,
                      Needs::kSelectionAndFocus, &ViewOp<&View::AlignMaterials, 1>},
    KelSBCommandEntry{ID_MAT_ALIGN_RIGHT, ID_MAT_ALIGN_RIGHT, kEdits | kWait,
                      Needs::kSelectionAndFocus, &ViewOp<&View::AlignMaterials, 0>},
    KelSBCommandEntry{ID_MAT_SAME_LENGTH, ID_MAT_SAME_LENGTH, kEdits | kWait,
                      Needs::kSelectionAndFocus, &ViewOp<&View::SameLength>},
};

bool HasWhatItNeeds(const KelSBCommandEntry& entry, const View& view) {
    switch (entry.needs) {
    case Needs::kCurrentTrack: {
        const CKelSBBodyObj* pBody = view.GetCurSBBody();
        const int nTrack = view.GetCurTrackIndex();
        return pBody != nullptr && nTrack >= 0 && nTrack < pBody->GetTrackCount();
    }
    case Needs::kSelectionAndFocus:
        return !const_cast<View&>(view).GetSelContainerList().IsEmpty() &&
               view.GetCurContent() != nullptr;
    case Needs::kNothing:
        break;
    }
    return true;
}

} // namespace

std::span<const KelSBCommandEntry> KelSBCommandTable() {
    return kCommands;
}

const KelSBCommandEntry* KelSBFindCommand(UINT nId) {
    const auto it = std::find_if(kCommands.begin(), kCommands.end(), [nId](const auto& entry) {
        return nId >= entry.nFirstId && nId <= entry.nLastId;
    });
    return it != kCommands.end() ? &*it : nullptr;
}

BOOL CKelSBEditDlg::RunCommand(UINT nId) {
    const KelSBCommandEntry* pEntry = KelSBFindCommand(nId);
    if (pEntry == nullptr)
        return FALSE;
    CKelSBEditView* pView = m_pView.get();
    const bool bRefused = pView == nullptr ||
                          ((pEntry->flags & kKelSBRefusedWhileLoaded) && m_bLoaded) ||
                          ((pEntry->flags & kKelSBEditsDocument) && pView->IsGestureRunning()) ||
                          !HasWhatItNeeds(*pEntry, *pView);
    if (!bRefused) {
        if (pEntry->flags & kKelSBWaitCursor) {
            {
                CWaitCursor wait;
                pEntry->pfnRun(*this, *pView, nId);
            }
            // Ending the wait put back the cursor from before it; the view's own goes on now
            // (after a tool mode change, the new mode's).
            pView->UpdateCursor();
        } else {
            pEntry->pfnRun(*this, *pView, nId);
        }
    }
    // A tool mode refused must not leave its radio button looking chosen; every command gives
    // the keyboard back to the view.
    SyncToolButtons();
    FocusView();
    return TRUE;
}
