#include "operations/op_tracks.h"

#include "operations/op_guard.h"
#include "undo/sbedit_editor.h"
#include "undo/track_cmds.h"
#include "undo/ur_register.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"

#include <algorithm>
#include <memory>

namespace kel::operations {

namespace {

// The track above the one an operation acted on (the first track for the first).
int TrackAbove(int nTrack) {
    return std::max(nTrack - 1, 0);
}

bool IsLockedTrack(const CKelSBBodyObj& body, int nTrack) {
    const CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
    return pTrack != nullptr && pTrack->IsLocked();
}

void SelectOnlyTrack(CKelSBEditorServices& editor, const CKelSBBodyObj& body, int nTrack) {
    CObList& tracks = editor.GetSelTrackList();
    tracks.RemoveAll();
    if (CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack))
        tracks.AddTail(pTrack);
}

// Copies (or cuts) the track into a list of its own, and only when that worked puts it on the
// clipboard in place of what the clipboard held, so a refused call leaves the clipboard alone.
bool ReplaceTrackClipboard(CKelSBEditObj& document, CKelSBBodyObj& body, int nTrack, bool bCut) {
    CKelObList taken(CKelObList::kQuiet);
    if (!(bCut ? body.CutTrack(taken, nTrack) : body.CopyTrack(taken, nTrack)))
        return false;
    CKelObList& clipboard = document.GetTrackClipboard();
    clipboard.DeleteAll();
    while (!taken.IsEmpty())
        clipboard.AddTail(taken.RemoveHead());
    return true;
}

// The step of a track about to be deleted or cut, holding what undo needs; null when it could
// not be taken.
template <class Cmd>
std::unique_ptr<CKelSBEditURBaseCmd> RecordRemoval(CKelSBEditorServices& editor, UINT nTextId,
                                                   int nTrack) {
    auto pCmd = KelSBNewCommand<Cmd>(&editor, nTextId);
    if (!pCmd->Record(nTrack))
        return nullptr;
    return pCmd;
}

// Registers a step that keeps only the index of the track it made or moved.
template <class Cmd>
void RegisterAtTrack(CKelSBEditorServices& editor, UINT nTextId, int nTrack) {
    auto pCmd = KelSBNewCommand<Cmd>(&editor, nTextId);
    pCmd->m_nTrackIndex = nTrack;
    KelSBRegisterCommand(&editor, std::move(pCmd));
}

} // namespace

std::optional<int> AppendTrack(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body) {
    if (!IsEditorsStoryboard(editor, body))
        return std::nullopt;
    if (body.GetTrackCount() >= CKelSBBodyObj::kMaxTrackCount || !body.AppendTrack())
        return std::nullopt;
    KelSBEditScope scope(editor);
    const int nTrack = body.GetTrackCount() - 1;
    RegisterAtTrack<CKelURSBAppendTrackCmd>(editor, nTextId, nTrack);
    SelectOnlyTrack(editor, body, nTrack);
    return nTrack;
}

bool InsertTrack(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body, int nTrack) {
    if (!IsEditorsStoryboard(editor, body))
        return false;
    if (body.GetTrackCount() >= CKelSBBodyObj::kMaxTrackCount || nTrack < 0 ||
        !body.InsertTrack(nTrack))
        return false;
    KelSBEditScope scope(editor);
    RegisterAtTrack<CKelURSBInsertTrackCmd>(editor, nTextId, nTrack);
    SelectOnlyTrack(editor, body, TrackAbove(nTrack));
    return true;
}

bool MoveTrack(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body, int nTrack,
               int nDirection) {
    if (!IsEditorsStoryboard(editor, body))
        return false;
    if (body.GetTrackCount() < 2 || nTrack < 0 || IsLockedTrack(body, nTrack) ||
        !body.MoveTrack(nTrack, nDirection))
        return false;
    KelSBEditScope scope(editor);
    if (nDirection == 0)
        RegisterAtTrack<CKelURSBMoveupTrackCmd>(editor, nTextId, nTrack - 1);
    else
        RegisterAtTrack<CKelURSBMovedownTrackCmd>(editor, nTextId, nTrack + 1);
    return true;
}

bool RemoveTrack(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                 CKelSBEditObj& document, int nTrack, bool bCut) {
    if (!IsEditorsStoryboard(editor, body))
        return false;
    const CKelSBTrackObj* pTrack = body.GetTrackObj(nTrack);
    if (!pTrack || body.GetTrackCount() < 2 || pTrack->IsLocked())
        return false;
    KelSBEditScope scope(editor);
    // The record first (it snapshots every container), the change next, the step last: a
    // removal the model refuses leaves no step behind.
    std::unique_ptr<CKelSBEditURBaseCmd> pCmd =
        bCut ? RecordRemoval<CKelURSBCutTrackCmd>(editor, nTextId, nTrack)
             : RecordRemoval<CKelURSBDeleteTrackCmd>(editor, nTextId, nTrack);
    const bool bRemoved = pCmd && (bCut ? ReplaceTrackClipboard(document, body, nTrack, true)
                                        : body.DeleteTrack(nTrack) != 0);
    if (!bRemoved)
        return false;
    // The removed track's materials went, and containers with them: nothing of the material
    // selection may stay.
    SelectOnlyTrack(editor, body, TrackAbove(nTrack));
    editor.GetSelContainerList().RemoveAll();
    editor.SetCurContent(nullptr);
    KelSBRegisterCommand(&editor, std::move(pCmd));
    return true;
}

bool CopyTrack(CKelSBBodyObj& body, CKelSBEditObj& document, int nTrack) {
    return nTrack >= 0 && ReplaceTrackClipboard(document, body, nTrack, false);
}

bool PasteTrack(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                CKelSBEditObj& document, CObList* pPieces, int nTrack) {
    if (!IsEditorsStoryboard(editor, body))
        return false;
    if (document.GetTrackClipboard().IsEmpty() ||
        body.GetTrackCount() >= CKelSBBodyObj::kMaxTrackCount || nTrack < 0 ||
        !body.PasteTrack(document.GetTrackClipboard(), pPieces, nTrack))
        return false;
    KelSBEditScope scope(editor);
    RegisterAtTrack<CKelURSBPasteTrackCmd>(editor, nTextId, nTrack);
    SelectOnlyTrack(editor, body, TrackAbove(nTrack));
    return true;
}

bool EditSettings(CKelSBEditorServices& editor, UINT nTextId, const std::function<bool()>& edit) {
    // What the storyboard holds before the dialog edits it: what undo puts back.
    auto pCmd = KelSBNewCommand<CKelURSBSettingsCmd>(&editor, nTextId);
    if (!pCmd->Record() || !edit())
        return false;
    KelSBEditScope scope(editor);
    KelSBRegisterCommand(&editor, std::move(pCmd));
    return true;
}

} // namespace kel::operations
