// Trimming materials at the time line, and copying effects from one piece to others through
// the document's FX clipboards (one for In, one for Stay, one for Out effects).
#pragma once

#include "edit/edit_find.h"

#include "platform/win_types.h"

#include <array>
#include <memory>
#include <vector>

class CKelPlaySceneObj;
class CKelSBBodyObj;
class CKelSBEditObj;
class CKelSBContentBaseObj;
class CKelIOSoftEffectBaseObj;

namespace kel::edit {

// What clipping changed: per clipped material its track and the clipped end before and after.
struct ClipRecord {
    std::vector<int> tracks;
    std::vector<long> oldFrames;
    std::vector<long> newFrames;

    bool IsEmpty() const { return tracks.empty(); }
};

// On every unlocked track, the material under the time line (as the scene finds it) has its
// story in (bEntry) or story out set to the time line, and its effect plays for the new length.
// A material whose end is there already, or that would become shorter than its minimum length,
// is left alone and not recorded. The track lists stay current.
ClipRecord ClipAtTimeLine(const CKelPlaySceneObj& scene, CKelSBBodyObj& body, bool bEntry);

// The effect phase of a material: 0 In, 1 Stay, 2 Out; -1 for a material without an effect.
int EffectPhaseOf(const CKelSBContentBaseObj* pContent);

// Puts a copy of the material's effect alone into the clipboard of its phase. False, the
// clipboards untouched, for a material without an effect (a movie, a scroll).
bool CopyEffect(CKelSBEditObj& doc, const CKelSBContentBaseObj& content);

// Where an FX paste among some containers would paste, per phase (0 In, 1 Stay, 2 Out): the
// pieces, in container order and then material order, whose phase's clipboard holds an effect
// and whose track is not locked.
struct FXPasteTargets {
    std::array<std::vector<Focus>, 3> byPhase;
    // Whether any piece among them has a filled clipboard of its phase, locked or not.
    bool bAnyClipboardFilled = false;

    bool IsEmpty() const { return byPhase[0].empty() && byPhase[1].empty() && byPhase[2].empty(); }
};
FXPasteTargets FindFXPasteTargets(const CKelSBBodyObj& body, CKelSBEditObj& doc,
                                  const std::vector<int>& containerIndices);

// Gives every target the effect of its phase's clipboard and returns the effects the targets
// had, per phase in target order. Nothing is pasted, and nothing returned, when a target is no
// longer a piece with an effect or its clipboard is empty.
std::array<std::vector<std::unique_ptr<CKelIOSoftEffectBaseObj>>, 3>
PasteEffects(const CKelSBBodyObj& body, CKelSBEditObj& doc, const FXPasteTargets& targets);

} // namespace kel::edit
