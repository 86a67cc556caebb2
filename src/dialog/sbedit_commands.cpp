#include "dialog/sbedit_commands.h"

#include "dialog/sbedit_dlg.h"
#include "operations/op_arrange.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "platform/cursor.h"
#include "platform/menu.h"
#include "res/resource.h"

#include <algorithm>
#include <iterator>
#include <type_traits>

namespace {

using Dlg = CKelSBEditDlg;
using View = CKelSBEditView;
using Needs = KelSBCommandNeeds;
using Place = KelSBCommandPlace;
using Run = int (*)(Dlg&, View&, UINT);

constexpr unsigned kLocked = kKelSBRefusedWhileLoaded;
constexpr unsigned kEdits = kKelSBRefusedWhileLoaded | kKelSBEditsDocument;
constexpr unsigned kWait = kKelSBWaitCursor;
constexpr unsigned kLoadDisables = kKelSBDisabledWhileLoaded;

// The conditions that gray most of the track menu: it acts on one selected track.
constexpr unsigned kNotOneTrack = kKelSBNoTrackSelected | kKelSBManyTracksSelected;

int SelectAll(View& view) {
    // The status line shows the whole selection's span, not the material that had the focus.
    view.Selection().SelectAllMaterials();
    view.Selection().ShowSelectedSpan();
    return 1;
}

// The rows below name a member of the dialog or of the view, with its arguments; a member that
// returns nothing counts as done.
template <class Object, auto Member, auto... Args>
int Call(Object& object) {
    if constexpr (std::is_void_v<decltype((object.*Member)(Args...))>) {
        (object.*Member)(Args...);
        return 1;
    } else {
        return static_cast<int>((object.*Member)(Args...));
    }
}
template <auto Member, auto... Args>
int DlgOp(Dlg& dlg, View& /*view*/, UINT /*nId*/) {
    return Call<Dlg, Member, Args...>(dlg);
}
template <auto Member, auto... Args>
int ViewOp(Dlg& /*dlg*/, View& view, UINT /*nId*/) {
    return Call<View, Member, Args...>(view);
}
// For members of the view's scroll positions and zoom.
template <auto Member, auto... Args>
int ScrollOp(Dlg& /*dlg*/, View& view, UINT /*nId*/) {
    return Call<KelSBViewScroll, Member, Args...>(view.Scroll());
}
// For operations on the selected materials that need nothing else of the view.
template <kel::operations::SelectionOperation Operation, UINT nTextId>
int SelectionEditOp(Dlg& /*dlg*/, View& view, UINT /*nId*/) {
    return view.RunSelectionEdit(nTextId, Operation);
}
// For members that take the id that was run.
template <auto Member>
int ViewIdOp(Dlg& /*dlg*/, View& view, UINT nId) {
    return (view.*Member)(nId);
}

// One row of the table; the optional parts are added by name.
struct Row : KelSBCommandEntry {
private:
    // Defined before its callers: clang will not evaluate a member template in a constant
    // expression before it has seen the definition.
    template <auto Field, class Value>
    constexpr Row With(Value value) const {
        Row row = *this;
        row.*Field = value;
        return row;
    }

public:
    constexpr Row(UINT nId, Place where, unsigned nFlags, Run run)
        : KelSBCommandEntry{nId, nId, where, nFlags, Needs::kNothing, 0, 0, run} {}
    constexpr Row UpTo(UINT nLast) const { return With<&KelSBCommandEntry::nLastId>(nLast); }
    constexpr Row Needing(Needs what) const { return With<&KelSBCommandEntry::needs>(what); }
    constexpr Row GrayedWhen(unsigned conditions) const {
        return With<&KelSBCommandEntry::grayWhen>(conditions);
    }
    constexpr Row AskingFirst(UINT nText) const {
        return With<&KelSBCommandEntry::nQuestion>(nText);
    }
};

// Within a place the rows keep the order the random run's seeds were made with.
constexpr KelSBCommandEntry kCommands[] = {
    // ---- The dialog's buttons, in the order of the strip.
    Row(IDC_BTN_NORMAL, Place::kButtonStrip, 0, &DlgOp<&Dlg::OnToolMode, View::kToolNormal>),
    Row(IDC_BTN_DELETE_SPACE, Place::kButtonStrip, kLocked | kLoadDisables,
        &DlgOp<&Dlg::OnToolMode, View::kToolDeleteSpace>),
    Row(IDC_BTN_FIXED_PASTE, Place::kButtonStrip, kLocked | kWait | kLoadDisables,
        &DlgOp<&Dlg::OnToolMode, View::kToolFixedPaste>),
    Row(IDC_BTN_UNDO, Place::kButtonStrip, kEdits | kWait | kLoadDisables, &DlgOp<&Dlg::OnUndo>),
    Row(IDC_BTN_REDO, Place::kButtonStrip, kEdits | kWait | kLoadDisables, &DlgOp<&Dlg::OnRedo>),
    Row(IDC_BTN_CUT, Place::kButtonStrip, kEdits | kWait | kLoadDisables,
        &ViewOp<&View::CutMaterials>),
    Row(IDC_BTN_COPY, Place::kButtonStrip, kLocked | kWait | kLoadDisables,
        &ViewOp<&View::CopyMaterials>),
    Row(IDC_BTN_PASTE, Place::kButtonStrip, kEdits | kWait | kLoadDisables,
        &ViewOp<&View::PasteMaterials>),
    // Asks first, and shows the wait cursor only once the answer is Yes.
    Row(IDC_BTN_DELETE, Place::kButtonStrip, kEdits | kLoadDisables, &DlgOp<&Dlg::OnDelete>),
    Row(IDC_BTN_SELECT_ALL, Place::kButtonStrip, kLoadDisables,
        [](Dlg&, View& view, UINT) { return SelectAll(view); }),
    Row(IDC_BTN_COPY_FX, Place::kButtonStrip, kLocked | kWait | kLoadDisables,
        &ViewOp<&View::CopyFX>),
    Row(IDC_BTN_PASTE_FX, Place::kButtonStrip, kEdits | kWait | kLoadDisables,
        &ViewOp<&View::PasteFX>),
    Row(IDC_BTN_SAME_LENGTH, Place::kButtonStrip, kEdits | kLoadDisables,
        &SelectionEditOp<&kel::operations::SameLength, IDS_HIST_SAME_LENGTH>),
    Row(IDC_BTN_ALIGN_LEFT, Place::kButtonStrip, kEdits | kLoadDisables,
        &ViewOp<&View::AlignMaterials, 1>),
    Row(IDC_BTN_ALIGN_RIGHT, Place::kButtonStrip, kEdits | kLoadDisables,
        &ViewOp<&View::AlignMaterials, 0>),
    Row(IDC_BTN_MERGE, Place::kButtonStrip, kEdits | kLoadDisables, &ViewOp<&View::MergeMaterials>),
    Row(IDC_BTN_SPLIT, Place::kButtonStrip, kEdits | kLoadDisables, &ViewOp<&View::SplitMaterials>),
    Row(IDC_BTN_ENTRY_POINT, Place::kButtonStrip, kEdits | kLoadDisables,
        &ViewOp<&View::ClipAtTimeLine, 1>),
    Row(IDC_BTN_OUTLET_POINT, Place::kButtonStrip, kEdits | kLoadDisables,
        &ViewOp<&View::ClipAtTimeLine, 0>),
    Row(IDC_BTN_SB_HEAD, Place::kButtonStrip, 0, &DlgOp<&Dlg::OnStoryboardHead>),
    Row(IDC_BTN_PREV_KEY, Place::kButtonStrip, 0, &DlgOp<&Dlg::OnPrevKeyPoint>),
    Row(IDC_BTN_NEXT_KEY, Place::kButtonStrip, 0, &DlgOp<&Dlg::OnNextKeyPoint>),
    Row(IDC_BTN_SB_TAIL, Place::kButtonStrip, 0, &DlgOp<&Dlg::OnStoryboardTail>),
    // Loading cannot disable the in/out mode button: it shows what the current material plays.
    Row(IDC_BTN_IO_MODE, Place::kButtonStrip, kEdits, &ViewOp<&View::IOModeCurContent>),
    Row(IDC_BTN_PLAY, Place::kButtonStrip, kLocked | kLoadDisables,
        [](Dlg& dlg, View& view, UINT) { return view.PlayStoryBoard(&dlg); }),
    Row(IDC_BTN_GENERATE, Place::kButtonStrip, kLocked | kLoadDisables,
        [](Dlg& dlg, View& view, UINT) { return view.CompileStoryBoard(&dlg); }),
    // Loading hides the upload button and shows the download button in its place.
    Row(IDC_BTN_UPLOAD, Place::kButtonStrip, kLocked, &DlgOp<&Dlg::OnUpload>),
    // Acts only while loaded; the operation itself looks.
    Row(IDC_BTN_DOWNLOAD, Place::kButtonStrip, 0, &DlgOp<&Dlg::OnDownload>),

    // ---- The view's tool buttons and the zoom menu.
    Row(IDC_VIEW_TOOL_FIT, Place::kViewTools, 0, &ScrollOp<&KelSBViewScroll::FitToWindow>),
    Row(IDC_VIEW_TOOL_ZOOM_IN, Place::kViewTools, 0, &ScrollOp<&KelSBViewScroll::ZoomStep, TRUE>),
    Row(IDC_VIEW_TOOL_ZOOM_OUT, Place::kViewTools, 0, &ScrollOp<&KelSBViewScroll::ZoomStep, FALSE>),
    Row(IDC_VIEW_TOOL_SB_SETUP, Place::kViewTools, kEdits, &ViewOp<&View::EditSBSettings>),
    Row(IDC_VIEW_TOOL_SB_OPERATION, Place::kViewTools, 0, &ViewOp<&View::OpenSBListDialog>),
    Row(IDC_VIEW_TOOL_SB_NAVIGATOR, Place::kViewTools, 0, &ViewOp<&View::ToggleNavigator>),
    Row(ID_ZOOM_FIRST, Place::kZoomMenu, 0,
        [](Dlg&, View& view, UINT nId) {
            view.Scroll().ZoomToIndex(static_cast<int>(nId - ID_ZOOM_FIRST));
            return 1;
        })
        .UpTo(ID_ZOOM_LAST),

    // ---- The storyboard menu: its settings, which loading does not freeze for the delete
    // mode, since that changes nothing that plays.
    Row(ID_DELETE_MODE_RIPPLE, Place::kStoryboardMenu, 0, &ViewIdOp<&View::SetDeleteMode>),
    Row(ID_DELETE_MODE_NORMAL, Place::kStoryboardMenu, 0, &ViewIdOp<&View::SetDeleteMode>),
    Row(ID_SB_SELECT_ALL, Place::kStoryboardMenu, 0,
        [](Dlg&, View& view, UINT) { return SelectAll(view); }),
    Row(ID_SB_SETUP, Place::kStoryboardMenu, kEdits, &ViewOp<&View::EditSBSettings>),

    // ---- The track area menu.
    Row(ID_AREA_SELECT_TRACK_MATERIALS, Place::kTrackAreaMenu, kWait,
        [](Dlg&, View& view, UINT) {
            view.Selection().SelectAllMaterialsOfSelTracks();
            view.Selection().ShowSelectedSpan();
            return 1;
        })
        .Needing(Needs::kCurrentTrack),
    Row(ID_AREA_PASTE_HERE, Place::kTrackAreaMenu, kEdits | kWait,
        &ViewOp<&View::PasteMaterialsAtMenuPoint>)
        .Needing(Needs::kCurrentTrack),
    Row(ID_AREA_FIT, Place::kTrackAreaMenu, kWait, &ScrollOp<&KelSBViewScroll::FitToWindow>)
        .Needing(Needs::kCurrentTrack),
    Row(ID_AREA_ZOOM_IN, Place::kTrackAreaMenu, kWait, &ScrollOp<&KelSBViewScroll::ZoomStep, TRUE>)
        .Needing(Needs::kCurrentTrack),
    Row(ID_AREA_ZOOM_OUT, Place::kTrackAreaMenu, kWait,
        &ScrollOp<&KelSBViewScroll::ZoomStep, FALSE>)
        .Needing(Needs::kCurrentTrack),
    Row(ID_AREA_SELECT_ALL, Place::kTrackAreaMenu, kWait,
        [](Dlg&, View& view, UINT) { return SelectAll(view); })
        .Needing(Needs::kCurrentTrack),

    // ---- The track menu, on the track it was opened over. The operations look at that track
    // themselves, and show the wait cursor only once their questions are answered.
    Row(ID_TRACK_APPEND, Place::kTrackMenu, kEdits, &ViewOp<&View::AppendCurTrack>),
    Row(ID_TRACK_DELETE, Place::kTrackMenu, kEdits, &ViewOp<&View::RemoveCurTrack, false>)
        .GrayedWhen(kKelSBNoTrackSelected | kKelSBOnlyTrack | kKelSBLockedTrack),
    Row(ID_TRACK_MOVE_UP, Place::kTrackMenu, kEdits, &ViewOp<&View::MoveCurTrack, 0>)
        .GrayedWhen(kNotOneTrack | kKelSBFirstTrack | kKelSBLockedTrack),
    Row(ID_TRACK_MOVE_DOWN, Place::kTrackMenu, kEdits, &ViewOp<&View::MoveCurTrack, 1>)
        .GrayedWhen(kNotOneTrack | kKelSBLastTrack | kKelSBLockedTrack),
    Row(ID_TRACK_INSERT, Place::kTrackMenu, kEdits, &ViewOp<&View::InsertCurTrack>)
        .GrayedWhen(kNotOneTrack),
    Row(ID_TRACK_CUT, Place::kTrackMenu, kEdits, &ViewOp<&View::RemoveCurTrack, true>)
        .GrayedWhen(kNotOneTrack | kKelSBOnlyTrack | kKelSBLockedTrack),
    Row(ID_TRACK_COPY, Place::kTrackMenu, kLocked, &ViewOp<&View::CopyCurTrack>)
        .GrayedWhen(kNotOneTrack),
    Row(ID_TRACK_PASTE, Place::kTrackMenu, kEdits, &ViewOp<&View::PasteAtCurTrack>)
        .GrayedWhen(kKelSBManyTracksSelected | kKelSBTrackClipboardEmpty),

    // ---- The materials menu: the same operations as the buttons.
    Row(ID_MAT_CUT, Place::kMaterialsMenu, kEdits | kWait, &ViewOp<&View::CutMaterials>)
        .Needing(Needs::kSelectionAndFocus),
    Row(ID_MAT_COPY, Place::kMaterialsMenu, kLocked | kWait, &ViewOp<&View::CopyMaterials>)
        .Needing(Needs::kSelectionAndFocus),
    Row(ID_MAT_COPY_FX, Place::kMaterialsMenu, kLocked | kWait, &ViewOp<&View::CopyFX>)
        .Needing(Needs::kSelectionAndFocus),
    Row(ID_MAT_PASTE_FX, Place::kMaterialsMenu, kEdits | kWait, &ViewOp<&View::PasteFX>)
        .Needing(Needs::kSelectionAndFocus),
    Row(ID_MAT_MERGE, Place::kMaterialsMenu, kEdits, &ViewOp<&View::MergeMaterials>)
        .Needing(Needs::kSelectionAndFocus)
        .GrayedWhen(kKelSBOneMaterialSelected),
    Row(ID_MAT_SPLIT, Place::kMaterialsMenu, kEdits, &ViewOp<&View::SplitMaterials>)
        .Needing(Needs::kSelectionAndFocus),
    Row(ID_MAT_PLAY_PROPERTIES, Place::kMaterialsMenu, kEdits | kWait,
        &ViewOp<&View::ModifyPlayProperties>)
        .Needing(Needs::kSelectionAndFocus)
        .GrayedWhen(kKelSBManyMaterialsSelected),
    Row(ID_MAT_SAME_LENGTH, Place::kMaterialsMenu, kEdits | kWait,
        &SelectionEditOp<&kel::operations::SameLength, IDS_HIST_SAME_LENGTH>)
        .Needing(Needs::kSelectionAndFocus)
        .GrayedWhen(kKelSBOneMaterialSelected),
    Row(ID_MAT_ALIGN_LEFT, Place::kMaterialsMenu, kEdits | kWait, &ViewOp<&View::AlignMaterials, 1>)
        .Needing(Needs::kSelectionAndFocus)
        .GrayedWhen(kKelSBOneMaterialSelected),
    Row(ID_MAT_ALIGN_RIGHT, Place::kMaterialsMenu, kEdits | kWait,
        &ViewOp<&View::AlignMaterials, 0>)
        .Needing(Needs::kSelectionAndFocus)
        .GrayedWhen(kKelSBOneMaterialSelected),
    Row(ID_MAT_DELETE, Place::kMaterialsMenu, kEdits | kWait,
        &ViewOp<&View::DeleteSelectedMaterials>)
        .Needing(Needs::kSelectionAndFocus),

    // ---- The Storyboard List's menu and buttons, on the highlighted storyboard. None of
    // them is a step of a history; while loaded the operations refuse themselves.
    Row(ID_SBLIST_APPEND, Place::kStoryboardList, kLocked, &ViewOp<&View::AppendSBBody>),
    Row(ID_SBLIST_INSERT, Place::kStoryboardList, kLocked, &ViewOp<&View::InsertSBBody>),
    Row(ID_SBLIST_DELETE, Place::kStoryboardList, kLocked, &ViewOp<&View::DeleteSBBody>)
        .GrayedWhen(kKelSBOnlyStoryboard)
        .AskingFirst(IDS_ASK_DELETE_SB),
    Row(ID_SBLIST_MOVE_UP, Place::kStoryboardList, kLocked, &ViewOp<&View::MoveUpSBBody>)
        .GrayedWhen(kKelSBNothingAbove),
    Row(ID_SBLIST_MOVE_DOWN, Place::kStoryboardList, kLocked, &ViewOp<&View::MoveDownSBBody>)
        .GrayedWhen(kKelSBNothingBelow),
    Row(ID_SBLIST_CUT, Place::kStoryboardList, kLocked, &ViewOp<&View::CutSBBody>)
        .GrayedWhen(kKelSBOnlyStoryboard)
        .AskingFirst(IDS_ASK_CUT_SB),
    Row(ID_SBLIST_COPY, Place::kStoryboardList, kLocked, &ViewOp<&View::CopySBBody>),
    Row(ID_SBLIST_PASTE, Place::kStoryboardList, kLocked, &ViewOp<&View::PasteSBBody>)
        .GrayedWhen(kKelSBStoryboardClipboardEmpty),
};

bool HasWhatItNeeds(const KelSBCommandEntry& entry, const View& view) {
    switch (entry.needs) {
    case Needs::kCurrentTrack: {
        const CKelSBBodyObj* pBody = view.GetCurSBBody();
        const int nTrack = view.Selection().GetCurTrackIndex();
        return pBody != nullptr && nTrack >= 0 && nTrack < pBody->GetTrackCount();
    }
    case Needs::kSelectionAndFocus:
        return !view.Selection().GetSelContainerList().IsEmpty() &&
               view.Selection().GetCurContent() != nullptr;
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
    const auto* it =
        std::find_if(std::begin(kCommands), std::end(kCommands), [nId](const auto& entry) {
            return nId >= entry.nFirstId && nId <= entry.nLastId;
        });
    return it != std::end(kCommands) ? it : nullptr;
}

void KelSBGrayMenu(CMenu& popup, KelSBCommandPlace place, unsigned state) {
    for (const KelSBCommandEntry& entry : kCommands) {
        if (entry.place == place && entry.IsGrayed(state))
            popup.EnableMenuItem(entry.nFirstId, MF_BYCOMMAND | MF_GRAYED);
    }
}

BOOL CKelSBEditDlg::RunCommand(UINT nId) {
    const KelSBCommandEntry* pEntry = KelSBFindCommand(nId);
    if (pEntry == nullptr || pEntry->place == KelSBCommandPlace::kStoryboardList)
        return FALSE;
    CKelSBEditView* pView = m_pView.get();
    const bool bRefused = pView == nullptr ||
                          ((pEntry->flags & kKelSBRefusedWhileLoaded) && m_bLoaded) ||
                          ((pEntry->flags & kKelSBEditsDocument) && !pView->Gesture().IsIdle()) ||
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
