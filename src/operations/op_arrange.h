// Arranging the selected materials as undoable steps: one length for all, and merging or
// splitting their containers. Merge and split work in the order the containers were selected,
// and their commands replay that order.
#pragma once

#include "edit/edit_find.h"
#include "operations/op_selection.h"

#include "platform/win_types.h"

#include <optional>
#include <vector>

class CKelSBBodyObj;
class CKelSBContainerObj;
class CKelSBContentBaseObj;
class CKelSBEditorServices;

namespace kel::operations {

// Each step is registered under the history text nTextId (the user interface's string table
// holds the texts, above this layer). A storyboard other than the editor's current one is
// refused (IsEditorsStoryboard).

// Gives the materials the reference's length (kel::edit::SameLength) and registers the step.
// The tracks whose rows changed; nothing when no material changed (no step then).
std::optional<std::vector<int>> SameLength(CKelSBEditorServices& editor, UINT nTextId,
                                           const SelectedMaterials& selected);

// Merges the containers at `order` into the first of them and registers the step; the
// editor's container selection becomes the receiving container. Returns it; null, with nothing
// changed and no step, for fewer than two containers or when they cannot be kept for undo.
CKelSBContainerObj* MergeMaterials(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                                   const kel::edit::Focus& focus, const std::vector<int>& order);

// Splits the containers at `order` and registers the step; the new containers join the
// editor's container selection. Returns them; nothing, with nothing changed and no step, when
// no container holds two materials or they cannot be kept for undo.
std::optional<std::vector<CKelSBContainerObj*>> SplitMaterials(CKelSBEditorServices& editor,
                                                               UINT nTextId, CKelSBBodyObj& body,
                                                               const kel::edit::Focus& focus,
                                                               const std::vector<int>& order);

} // namespace kel::operations
