// Changing materials as undoable steps: deleting containers, closing a gap, clipping at the time
// line, pasting effects, trimming one end, and putting the host's selected items on the
// storyboard. Each registers its step under the history text nTextId (the user interface's
// string table holds the texts, above this layer), or changes nothing and registers nothing. A
// storyboard other than the editor's current one is refused (IsEditorsStoryboard).
#pragma once

#include "edit/edit_find.h"
#include "edit/edit_trim.h"

#include "platform/win_types.h"

#include <optional>
#include <vector>

class CKelPlaySceneObj;
class CKelSBBodyObj;
class CKelSBEditObj;
class CKelSBEditorServices;

namespace kel::operations {

// Deletes the containers at the indices (kel::edit::DeleteContainers, ripple as the storyboard
// says), each saved for undo first. The editor's container selection and current material are
// emptied: they named containers that went. The rows that changed; nothing, nothing changed,
// when a container could not be saved or the delete was refused.
std::optional<std::vector<int>> DeleteContainers(CKelSBEditorServices& editor, UINT nTextId,
                                                 CKelSBBodyObj& body, const kel::edit::Focus& focus,
                                                 const std::vector<int>& indices);

// Closes the gap around nFrame on the track (kel::edit::CloseSpace). False when there was none.
bool DeleteSpace(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body, int nTrack,
                 int nFrame);

// Clips the material under the time line of every unlocked track at its entry point (bEntry)
// or outlet (kel::edit::ClipAtTimeLine). False when none changed.
bool ClipAtTimeLine(CKelSBEditorServices& editor, UINT nTextId, const CKelPlaySceneObj& scene,
                    CKelSBBodyObj& body, bool bEntry);

// What an FX paste found.
enum class FXPasteOutcome {
    kPasted,
    kClipboardsEmpty, // no clipboard of a selected piece's phase holds an effect
    kNothingToPaste,  // every piece that could take one lies on a locked track, or it failed
};

// Pastes the FX clipboards onto the pieces of the containers at the indices.
FXPasteOutcome PasteEffects(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                            CKelSBEditObj& document, const kel::edit::Focus& focus,
                            const std::vector<int>& indices);

// Moves one end of a material to dwFrame (kel::edit::ChangeLength); the track lists are
// current afterwards. What changed; nothing when the end stayed.
std::optional<kel::edit::LengthChange> ChangeLength(CKelSBEditorServices& editor, UINT nTextId,
                                                    CKelSBBodyObj& body,
                                                    const kel::edit::TrimEdge& edge, DWORD dwFrame);

// Puts the scene's selected items on new tracks from nTarget on (kel::edit::PutSelectedItems
// with nMode). The new tracks and containers become the editor's selection, the first entry
// piece the current material; focus and selected are the selection before, for undo. False,
// nothing changed, when nothing was added.
bool AddSelectedItems(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                      CKelPlaySceneObj& scene, int nTarget, int nMode,
                      const kel::edit::Focus& focus, const std::vector<int>& selected);

} // namespace kel::operations
