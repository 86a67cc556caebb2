#include "operations/op_place.h"

#include "edit/edit_change.h"
#include "operations/op_guard.h"
#include "undo/container_cmds.h"
#include "undo/material_cmds.h"
#include "undo/sbedit_editor.h"
#include "undo/ur_register.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

#include <memory>

namespace kel::operations {

int MoveGroup(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body, const CObList& group,
              const std::vector<kel::edit::GroupTarget>& targets, long nDelta,
              const SelectionBefore& before, kel::edit::PlaceGroupResult& placed,
              const kel::edit::ChangeNote& note) {
    if (!IsEditorsStoryboard(editor, body))
        return 0;
    KelSBEditScope scope(editor);
    const int nResult = kel::edit::PlaceGroup(body, group, targets, nDelta, true, placed, note);
    if (!nResult)
        return 0;
    auto pCmd = KelSBNewCommand<CKelURSBDragWithinSBCmd>(&editor, nTextId);
    pCmd->m_focus = before.focus;
    pCmd->m_arrSelectedContainers = before.containers;
    pCmd->m_entries = std::move(placed.entries);
    KelSBRegisterCommand(&editor, std::move(pCmd));
    body.ResetAllTrackContentList();
    return nResult;
}

std::optional<std::vector<CKelSBContainerObj*>>
PlaceFromOutside(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                 CKelPlaySceneObj* pScene, CKelSBContainerObj& group, int nTrack,
                 DWORD dwNewStoryIn, bool bDragIn, const SelectionBefore& before,
                 const kel::edit::ChangeNote& note) {
    if (!IsEditorsStoryboard(editor, body))
        return std::nullopt;
    KelSBEditScope scope(editor);
    kel::edit::OutsidePlacement placed;
    if (!kel::edit::PlaceFromOutside(body, pScene, group, nTrack, dwNewStoryIn, placed, note))
        return std::nullopt;

    if (bDragIn)
        editor.ClearMaterialSelection();
    CObList& selection = editor.GetSelContainerList();
    for (std::size_t i = 0; i < placed.newContainers.size(); ++i) {
        CKelSBContainerObj* pContainer = placed.newContainers[i];
        CKelSBContentBaseObj* pCopy = pContainer->GetContentObj(0);
        if (bDragIn) {
            if (i == 0)
                editor.SetCurContent(pCopy);
        } else if (editor.GetCurContent() != nullptr) {
            editor.ClearMaterialSelection();
            editor.SetCurContent(pCopy);
        }
        selection.AddTail(pContainer);
    }

    auto pCmd = KelSBNewCommand<CKelURSBDragFromOutCmd>(&editor, nTextId);
    pCmd->m_nShift = placed.nShift;
    pCmd->m_nDropTrack = nTrack;
    pCmd->m_dwShiftThreshold = placed.dwShiftThreshold;
    pCmd->m_nFirstNewContainer = placed.nFirstNewContainer;
    pCmd->m_nNewContainerCount = static_cast<int>(placed.newContainers.size());
    pCmd->m_arrSelectedContainers = before.containers;
    pCmd->m_focus = before.focus;
    KelSBRegisterCommand(&editor, std::move(pCmd));
    body.ResetAllTrackContentList();
    return std::move(placed.newContainers);
}

bool ReplacePiece(CKelSBEditorServices& editor, UINT nTextId, const CKelSBBodyObj& body,
                  CObList* pPieces, CKelSBContentBaseObj& material, const KelGUID& newGUID) {
    if (!IsEditorsStoryboard(editor, body))
        return false;
    if (material.GetGUID() == newGUID)
        return false;
    KelSBEditScope scope(editor);
    auto pCmd = KelSBNewCommand<CKelURSBReplacePieceCmd>(&editor, nTextId);
    pCmd->m_material = kel::edit::FindFocus(body, &material);
    pCmd->m_oldGUID = material.GetGUID();
    pCmd->m_newGUID = newGUID;
    material.SetGUID(newGUID);
    CObList one;
    one.AddTail(&material);
    CKelSBBodyObj::MakePieceContentIcon(one, pPieces);
    KelSBRegisterCommand(&editor, std::move(pCmd));
    return true;
}

int EditEffect(CKelSBEditorServices& editor, UINT nTextId, const CKelPlaySceneObj* pScene,
               const kel::edit::Focus& focus, const CKelSBContentBaseObj& material,
               const std::function<int()>& edit) {
    // The material as it is now: what undo puts back.
    std::unique_ptr<CKelSBContentBaseObj> pBefore(material.MakeCopy());
    const int nResult = edit();
    if (nResult == 0)
        return 0;
    KelSBEditScope scope(editor);
    kel::edit::AttachPieces(*pBefore, pScene);
    auto pCmd = KelSBNewCommand<CKelURSBIOModeCmd>(&editor, nTextId);
    pCmd->m_nContainerIndex = focus.nContainer;
    pCmd->m_nContentIndex = focus.nContent;
    pCmd->m_pStoredContent = std::move(pBefore);
    KelSBRegisterCommand(&editor, std::move(pCmd));
    return nResult;
}

} // namespace kel::operations
