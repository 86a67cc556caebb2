// Placing materials as undoable steps: a group of the storyboard moved (a drag, an align), a
// group from outside put down (pieces dragged in, a fixed point paste), the piece a material
// shows replaced, and a material's effect edited. Each registers its step under the history
// text nTextId (the user interface's string table holds the texts, above this layer), or
// changes nothing and registers nothing. A storyboard other than the editor's current one is
// refused (IsEditorsStoryboard).
#pragma once

#include "edit/edit_find.h"
#include "edit/edit_place.h"

#include "host/base/kel_guid.h"
#include "platform/win_types.h"

#include <functional>
#include <optional>
#include <vector>

class CObList;
class CKelPlaySceneObj;
class CKelSBBodyObj;
class CKelSBContainerObj;
class CKelSBContentBaseObj;
class CKelSBEditorServices;

namespace kel::operations {

// What the editor held before a step, for its undo.
struct SelectionBefore {
    kel::edit::Focus focus;
    std::vector<int> containers;
};

// Moves the group's materials by nDelta frames onto their targets (kel::edit::PlaceGroup,
// performed); note hears of every material before it changes. The track lists are current
// afterwards. kel::edit::PlaceGroup's result; 0, nothing changed, when the move is refused.
int MoveGroup(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body, const CObList& group,
              const std::vector<kel::edit::GroupTarget>& targets, long nDelta,
              const SelectionBefore& before, kel::edit::PlaceGroupResult& placed,
              const kel::edit::ChangeNote& note = {});

// Puts a copy of each material of the group from outside onto the track from dwNewStoryIn on
// (kel::edit::PlaceFromOutside). The new containers join the editor's selection: after a drag
// in (bDragIn) they alone, the first one's material current; after a paste, each in turn takes
// the focus when there is one. The track lists are current afterwards. The new containers;
// nothing, nothing changed, when the placement is refused.
std::optional<std::vector<CKelSBContainerObj*>>
PlaceFromOutside(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                 CKelPlaySceneObj* pScene, CKelSBContainerObj& group, int nTrack,
                 DWORD dwNewStoryIn, bool bDragIn, const SelectionBefore& before,
                 const kel::edit::ChangeNote& note = {});

// Makes the material show the piece newGUID names, keeping its track and times, with its icon
// from the scene's pieces (pPieces, may be null). False, and no step, when it shows that piece
// already.
bool ReplacePiece(CKelSBEditorServices& editor, UINT nTextId, const CKelSBBodyObj& body,
                  CObList* pPieces, CKelSBContentBaseObj& material, const KelGUID& newGUID);

// Runs edit (the effect editor on the material at focus, which returns non-zero when it changed
// the material) and registers the step when it did, keeping the material as it was with copies
// of its pieces, so that undo finds them whatever the scene loses meanwhile. edit's result.
int EditEffect(CKelSBEditorServices& editor, UINT nTextId, const CKelPlaySceneObj* pScene,
               const kel::edit::Focus& focus, const CKelSBContentBaseObj& material,
               const std::function<int()>& edit);

} // namespace kel::operations
