// What every operation checks before it changes a storyboard.
#pragma once

#include "undo/sbedit_editor.h"

class CKelSBBodyObj;

namespace kel::operations {

// Whether a step on `body` can be recorded: commands replay on the editor's current storyboard
// and go into its history, so a change to any other storyboard would be undone on the wrong one,
// and one without a history could not be undone at all.
inline bool IsEditorsStoryboard(const CKelSBEditorServices& editor, const CKelSBBodyObj& body) {
    return editor.GetCurSBBody() == &body && editor.GetCurHistory() != nullptr;
}

} // namespace kel::operations
