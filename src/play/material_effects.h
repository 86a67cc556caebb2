// What the view does with a material's effect on its own: the material play mode, which edits
// the In, Stay or Out effect of the current material in the host's effect editor as one
// undoable step, and the effect preview the host asks for, which plays that effect on the live
// output.
#pragma once

class CWnd;
class CKelPlayBaseObj;
class CKelPlaySceneObj;
class CKelSBContentBaseObj;
class CKelSBEditView;
struct KelPieceEffectPreview;

namespace kel::play {

// The play piece a material shows: the scene's piece of its GUID, else (the scene lost it) the
// first piece copy the material carries; null when there is neither.
CKelPlayBaseObj* FindPlayPiece(const CKelPlaySceneObj& scene, const CKelSBContentBaseObj& content);

// The material play mode of the current material. Refused (0, nothing sent) while loaded,
// without a current material or on a locked track. Otherwise the host's panels are disabled
// around the effect editor; a changed effect is registered as "Set In Out Mode" and repainted.
// The host's document is marked changed whether or not the editor changed anything, once the
// panels were disabled. Returns the effect editor's result (0 for materials without an effect
// to edit: movies, scrolls, pieces the scene and the material have lost).
int EditCurrentEffect(CKelSBEditView& view);

// The preview of the current material's effect on the live output, for the host's record
// (null: no preview, nothing touched). The live output is cleared first; a Stay or Out piece
// starts from its own picture. Returns the player's result, 0 when nothing played.
int PreviewCurrentEffect(CKelSBEditView& view, const KelPieceEffectPreview* pRecord);

// Plays the material's effect of the piece onto the live output for pWnd. 0 unless the
// material has an effect and the piece is a group piece (only groups have phases), or when the
// effect cannot be prepared.
int RunEffect(CKelSBContentBaseObj* pContent, CKelPlayBaseObj* pPiece, CWnd* pWnd);

} // namespace kel::play
