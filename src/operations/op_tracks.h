// The track menu's changes and the storyboard's properties as undoable steps. Each registers
// its step under the history text nTextId (the user interface's string table holds the texts,
// above this layer) only once the storyboard has really changed: a change the model refuses
// leaves no trace, neither in the storyboard nor in its history. Locked tracks are not moved,
// deleted or cut, and a storyboard other than the editor's current one is not changed
// (IsEditorsStoryboard). The editor's track selection follows the change; the editor shows it.
#pragma once

#include "platform/win_types.h"

#include <functional>
#include <optional>

class CObList;
class CKelSBBodyObj;
class CKelSBEditObj;
class CKelSBEditorServices;

namespace kel::operations {

// Appends a track and selects it alone. Its index; nothing at the track limit.
std::optional<int> AppendTrack(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body);

// Inserts a track at nTrack; the track above it (the first for the first) is selected alone.
bool InsertTrack(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body, int nTrack);

// Moves the track one place up (nDirection 0) or down. The selection stays.
bool MoveTrack(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body, int nTrack,
               int nDirection);

// Deletes the track, or cuts it onto the document's track clipboard (bCut), whose contents are
// replaced only once the cut worked. The last track stays. The track above is selected alone,
// and the container selection and current material emptied: they may have named what went.
bool RemoveTrack(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                 CKelSBEditObj& document, int nTrack, bool bCut);

// Copies the track onto the document's track clipboard in place of what it held. No step: the
// storyboard does not change. False, the clipboard untouched, when the model refuses.
bool CopyTrack(CKelSBBodyObj& body, CKelSBEditObj& document, int nTrack);

// Inserts the document's track clipboard at nTrack, its materials showing the scene's pieces
// (pPieces); the track above is selected alone.
bool PasteTrack(CKelSBEditorServices& editor, UINT nTextId, CKelSBBodyObj& body,
                CKelSBEditObj& document, CObList* pPieces, int nTrack);

// The storyboard's properties as they are, then edit (the properties dialog), which says whether
// it changed them; only then is the step registered. False when nothing changed or the
// properties could not be kept (edit is not called then).
bool EditSettings(CKelSBEditorServices& editor, UINT nTextId, const std::function<bool()>& edit);

} // namespace kel::operations
