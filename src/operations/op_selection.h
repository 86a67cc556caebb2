// Operations on the selected materials that need nothing of the editor but the selection: the
// command table runs them through the view's one entry for them (RunSelectionEdit), which asks
// for a reference when there is none and shows what they changed, so that such an operation
// needs no member of the view of its own.
#pragma once

#include "platform/win_types.h"

#include <optional>
#include <vector>

class CKelSBBodyObj;
class CKelSBContentBaseObj;
class CKelSBEditorServices;

namespace kel::operations {

// The selection an operation works on: the editor's storyboard, its current material (the
// reference) and every selected material in selection order.
struct SelectedMaterials {
    CKelSBBodyObj& body;
    const CKelSBContentBaseObj& reference;
    const std::vector<CKelSBContentBaseObj*>& materials;
};

// Checks, changes and registers its step under nTextId; returns the tracks whose rows changed,
// or nothing, with nothing changed and no step, when it refuses or has nothing to do.
using SelectionOperation = std::optional<std::vector<int>> (*)(CKelSBEditorServices& editor,
                                                               UINT nTextId,
                                                               const SelectedMaterials& selected);

} // namespace kel::operations
