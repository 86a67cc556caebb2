// Putting the host's selected items onto the storyboard, each on a new track of its own.
#pragma once

#include <vector>

class CKelPlaySceneObj;
class CKelSBBodyObj;
class CKelSBContainerObj;
class CKelSBContentBaseObj;
class CKelSBTrackObj;

namespace kel::edit {

// How many items of the scene stand selected and can be put on a storyboard (groups and
// movies).
int CountSelectedItems(const CKelPlaySceneObj& scene);

// What PutSelectedItems added.
struct AddedItems {
    // The new tracks in the order inserted; track k sits at the first track index plus k.
    std::vector<CKelSBTrackObj*> tracks;
    // The new containers in the order appended to the storyboard's container list.
    std::vector<CKelSBContainerObj*> containers;
    // The In material of the first group put down, or null.
    CKelSBContentBaseObj* pFirstIn = nullptr;
};

// For each selected group and movie of the scene, in the scene's order: a new track at nTrack
// (moving the tracks from there on down; nTrack equal to the track count appends), then the
// next item's one below it. A group puts its In phase at frame 0 in a container of its own,
// with bAllPhases also its Stay and Out phases after it, each in its own container; a movie its
// whole file. Other items are passed over. Stops before an item that would make more than
// CKelSBBodyObj::kMaxTrackCount tracks, whose phases have no length or whose movie file is not
// known; what was added until then stays. The track content lists are left for the caller to
// rebuild.
AddedItems PutSelectedItems(CKelSBBodyObj& body, CKelPlaySceneObj& scene, int nTrack,
                            int bAllPhases);

} // namespace kel::edit
