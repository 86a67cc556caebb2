#include "operations/op_materials.h"

#include "edit/edit_add_items.h"
#include "edit/edit_clip_fx.h"
#include "edit/edit_delete.h"
#include "operations/op_guard.h"
#include "undo/container_cmds.h"
#include "undo/material_cmds.h"
#include "undo/sbedit_editor.h"
#include "undo/ur_register.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"

namespace kel::operations {

namespace {

template <class Cmd>
std::unique_ptr<Cmd> NewClipCommand(CKelSBEditorServices& editor, UINT nTextId,
                                    kel::edit::ClipRecord&& record) {
    auto pCmd = KelSBNewCommand<Cmd>(&editor, nTextId);
    pCmd->m_clip.frames = std::move(record);
    return pCmd;
}

} // namespace

std::optional<std::vector<int>> DeleteContainers(CKelSBEditorServices& editor, UINT nTextId,
                                                 CKelSBBodyObj& body, const kel::edit::Focus& focus,
                                                 const std::vector<int>& indices) {
    if (!IsEditorsStoryboard(editor, body))
        return std::nullopt;
    KelSBEditScope scope(editor);
    auto pCmd = KelSBNewCommand<CKelURSBDeleteContainerCmd>(&editor, nTextId);
    pCmd->m_focus = focus;
    const auto result =
        kel::edit::DeleteContainers(body, indices, body.GetDeleteMode() != 0,
                                    [&](CKelSBContainerObj& /*container*/, int nIndex) {
                                        return pCmd->SaveContainer(nIndex) != 0;
                                    });
    if (!result)
        return std::nullopt;
    pCmd->m_arrRippleShifts = result->shifts;
    KelSBRegisterCommand(&editor, std::move(pCmd));
    editor.GetSelContainerList().RemoveAll();
    editor.SetCurContent(nullptr);
    return result->touchedTracks;
}

bool DeleteSpace(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body, int nTrack,
                 int nFrame) {
    if (!IsEditorsStoryboard(editor, body))
        return false;
    const auto closed = kel::edit::CloseSpace(body, nTrack, nFrame);
    if (!closed)
        return false;
    KelSBEditScope scope(editor);
    auto pCmd = KelSBNewCommand<CKelURSBDeleteSpaceCmd>(&editor, nTextId);
    pCmd->m_nTrackIndex = nTrack;
    pCmd->m_dwOldFrame = closed->dwOld;
    pCmd->m_dwNewFrame = closed->dwNew;
    KelSBRegisterCommand(&editor, std::move(pCmd));
    return true;
}

bool ClipAtTimeLine(CKelSBEditorServices& editor, UINT nTextId, const CKelPlaySceneObj& scene,
                    CKelSBBodyObj& body, bool bEntry) {
    if (!IsEditorsStoryboard(editor, body))
        return false;
    kel::edit::ClipRecord record = kel::edit::ClipAtTimeLine(scene, body, bEntry);
    if (record.IsEmpty())
        return false;
    KelSBEditScope scope(editor);
    if (bEntry)
        KelSBRegisterCommand(&editor,
                             NewClipCommand<CKelURSBClipInCmd>(editor, nTextId, std::move(record)));
    else
        KelSBRegisterCommand(
            &editor, NewClipCommand<CKelURSBClipOutCmd>(editor, nTextId, std::move(record)));
    return true;
}

FXPasteOutcome PasteEffects(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                            CKelSBEditObj& document, const kel::edit::Focus& focus,
                            const std::vector<int>& indices) {
    if (!IsEditorsStoryboard(editor, body))
        return FXPasteOutcome::kNothingToPaste;
    const kel::edit::FXPasteTargets targets =
        kel::edit::FindFXPasteTargets(body, document, indices);
    if (!targets.bAnyClipboardFilled)
        return FXPasteOutcome::kClipboardsEmpty;
    if (targets.IsEmpty())
        return FXPasteOutcome::kNothingToPaste;
    KelSBEditScope scope(editor);
    auto replaced = kel::edit::PasteEffects(body, document, targets);
    auto pCmd = KelSBNewCommand<CKelURSBIOSoftFXPasteCmd>(&editor, nTextId);
    pCmd->m_focus = focus;
    pCmd->m_arrSelectedContainers = indices;
    for (int nPhase = 0; nPhase < 3; ++nPhase) {
        if (replaced[nPhase].size() != targets.byPhase[nPhase].size())
            return FXPasteOutcome::kNothingToPaste; // nothing was pasted
        pCmd->m_arrEffects[nPhase] = std::move(replaced[nPhase]);
        pCmd->m_arrTargets[nPhase] = targets.byPhase[nPhase];
    }
    KelSBRegisterCommand(&editor, std::move(pCmd));
    return FXPasteOutcome::kPasted;
}

std::optional<kel::edit::LengthChange> ChangeLength(CKelSBEditorServices& editor, UINT nTextId,
                                                    CKelSBBodyObj& body,
                                                    const kel::edit::TrimEdge& edge,
                                                    DWORD dwFrame) {
    if (!IsEditorsStoryboard(editor, body))
        return std::nullopt;
    KelSBEditScope scope(editor);
    std::optional<kel::edit::LengthChange> change = kel::edit::ChangeLength(edge, dwFrame);
    if (!change)
        return std::nullopt;
    auto pCmd = KelSBNewCommand<CKelURSBChangeLengthCmd>(&editor, nTextId);
    pCmd->m_nTrackIndex = change->nTrack;
    pCmd->m_nSide = static_cast<int>(change->dwEdge);
    pCmd->m_dwOldFrame = change->dwOld;
    pCmd->m_dwNewFrame = change->dwNew;
    KelSBRegisterCommand(&editor, std::move(pCmd));
    body.ResetAllTrackContentList();
    return change;
}

bool AddSelectedItems(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                      CKelPlaySceneObj& scene, int nTarget, int nMode,
                      const kel::edit::Focus& focus, const std::vector<int>& selected) {
    if (!IsEditorsStoryboard(editor, body))
        return false;
    KelSBEditScope scope(editor);
    const int nFirstContainer = body.GetContainerCount();
    const kel::edit::AddedItems added = kel::edit::PutSelectedItems(body, scene, nTarget, nMode);
    if (added.tracks.empty())
        return false;

    // Recorded with what was really added: the loop stops at the track limit or at a movie it
    // cannot read, and undo must take out those tracks and containers and no others.
    auto pCmd = KelSBNewCommand<CKelURSBAddItemToSBCmd>(&editor, nTextId);
    pCmd->m_focus = focus;
    pCmd->m_arrSelectedContainers = selected;
    pCmd->m_nFirstAddedTrack = nTarget;
    pCmd->m_nAddedTrackCount = static_cast<int>(added.tracks.size());
    pCmd->m_nFirstAddedContainer = nFirstContainer;

    CObList& tracks = editor.GetSelTrackList();
    CObList& containers = editor.GetSelContainerList();
    tracks.RemoveAll();
    containers.RemoveAll();
    for (CKelSBTrackObj* pTrack : added.tracks)
        tracks.AddTail(pTrack);
    for (CKelSBContainerObj* pContainer : added.containers)
        containers.AddTail(pContainer);
    editor.SetCurContent(added.pFirstIn);
    body.ResetAllTrackContentList();
    KelSBRegisterCommand(&editor, std::move(pCmd));
    return true;
}

} // namespace kel::operations
