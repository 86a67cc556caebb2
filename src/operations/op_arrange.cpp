#include "operations/op_arrange.h"

#include "edit/edit_arrange.h"
#include "edit/edit_change.h"
#include "operations/op_guard.h"
#include "undo/container_cmds.h"
#include "undo/material_cmds.h"
#include "undo/sbedit_editor.h"
#include "undo/ur_register.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"

#include <new>

namespace kel::operations {

namespace {

// The step of a merge or split, with the focus, the containers in the order the operation
// takes them and copies of them as they are now; null when they cannot be copied.
template <class Cmd>
std::unique_ptr<Cmd> RecordRegrouping(CKelSBEditorServices& editor, UINT nTextId,
                                      const kel::edit::Focus& focus, std::vector<int> Cmd::*pOrder,
                                      const std::vector<int>& order) {
    auto pCmd = KelSBNewCommand<Cmd>(&editor, nTextId);
    pCmd->m_focus = focus;
    (*pCmd).*pOrder = order;
    if (!pCmd->RecordContainers())
        return nullptr;
    return pCmd;
}

} // namespace

std::optional<std::vector<int>> SameLength(CKelSBEditorServices& editor, UINT nTextId,
                                           const SelectedMaterials& selected) {
    if (!IsEditorsStoryboard(editor, selected.body))
        return std::nullopt;
    auto record = kel::edit::SameLength(selected.body, selected.reference, selected.materials);
    if (!record || record->IsEmpty())
        return std::nullopt;
    KelSBEditScope scope(editor);
    std::vector<int> touchedTracks = record->touchedTracks;
    auto pCmd = KelSBNewCommand<CKelURSBSameLengthCmd>(&editor, nTextId);
    pCmd->m_record = std::move(*record);
    KelSBRegisterCommand(&editor, std::move(pCmd));
    return touchedTracks;
}

CKelSBContainerObj* MergeMaterials(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                                   const kel::edit::Focus& focus, const std::vector<int>& order) {
    if (!IsEditorsStoryboard(editor, body))
        return nullptr;
    if (order.size() < 2)
        return nullptr;
    KelSBEditScope scope(editor);
    kel::edit::TrackListUpkeep lists(body);
    auto pCmd = RecordRegrouping(editor, nTextId, focus,
                                 &CKelURSBUnionContainerCmd::m_arrMergedContainers, order);
    if (!pCmd)
        return nullptr;
    CKelSBContainerObj* pReceiver = kel::edit::MergeContainers(body, order, lists);
    if (pReceiver == nullptr)
        return nullptr;
    KelSBRegisterCommand(&editor, std::move(pCmd));
    // The selection named the containers that went.
    CObList& selection = editor.GetSelContainerList();
    selection.RemoveAll();
    selection.AddTail(pReceiver);
    return pReceiver;
}

std::optional<std::vector<CKelSBContainerObj*>> SplitMaterials(CKelSBEditorServices& editor,
                                                               UINT nTextId, CKelSBBodyObj& body,
                                                               const kel::edit::Focus& focus,
                                                               const std::vector<int>& order) {
    if (!IsEditorsStoryboard(editor, body))
        return std::nullopt;
    bool bAnyToSplit = false;
    for (int nIndex : order) {
        const CKelSBContainerObj* pContainer = body.GetContainerObj(nIndex);
        bAnyToSplit = bAnyToSplit || (pContainer != nullptr && pContainer->GetContentCount() > 1);
    }
    if (!bAnyToSplit)
        return std::nullopt;
    KelSBEditScope scope(editor);
    kel::edit::TrackListUpkeep lists(body);
    auto pCmd = RecordRegrouping(editor, nTextId, focus,
                                 &CKelURSBSplitContainerCmd::m_arrSplitContainers, order);
    if (!pCmd)
        return std::nullopt;
    std::optional<std::vector<CKelSBContainerObj*>> added;
    try {
        added = kel::edit::SplitContainers(body, order, lists);
    } catch (const std::bad_alloc&) {
        return std::nullopt; // nothing was split
    }
    if (!added || added->empty())
        return std::nullopt;
    KelSBRegisterCommand(&editor, std::move(pCmd));
    CObList& selection = editor.GetSelContainerList();
    for (CKelSBContainerObj* pContainer : *added)
        selection.AddTail(pContainer);
    return added;
}

} // namespace kel::operations
