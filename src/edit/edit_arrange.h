// Arranging selected materials: giving them one length, and grouping their containers (merge)
// or taking groups apart (split). The editing operations and the commands that replay them
// share these, so that a redo does exactly what the operation did.
#pragma once

#include "edit/edit_place.h"

#include "platform/win_types.h"

#include <memory>
#include <optional>
#include <vector>

class CObList;
class CKelSBBodyObj;
class CKelSBContainerObj;
class CKelSBContentBaseObj;

namespace kel::edit {

class TrackListUpkeep;

// What giving materials one length changed, as the same-length command keeps it: each resized
// material's track, story in (after the shifts before it) and old length; each shift's track,
// the story in of the first material it moved, after the move (the threshold), and the amount.
struct SameLengthRecord {
    DWORD dwLength = 0;
    std::vector<DWORD> resizedTracks;
    std::vector<DWORD> resizedStoryIns;
    std::vector<DWORD> oldLengths;
    std::vector<DWORD> shiftedTracks;
    std::vector<DWORD> shiftThresholds;
    std::vector<DWORD> shiftAmounts;
    std::vector<int> touchedTracks; // each once

    bool IsEmpty() const { return resizedTracks.empty(); }
};

// Gives every material of the list but the reference the reference's length, in time order (the
// list is put in that order). Where a material then runs into the next one of its track, that
// one and every later one on the track move right by the overlap. Materials on locked tracks,
// those that already have the length and those the model refuses the length (a movie longer
// than its file, the end of the frame range) are passed over and not recorded. The track lists
// must be current and stay so. Nothing, and nothing changed, when two materials of the list
// overlap on one track (their order would be a guess).
std::optional<SameLengthRecord> SameLength(CKelSBBodyObj& body,
                                           const CKelSBContentBaseObj& reference,
                                           const std::vector<CKelSBContentBaseObj*>& materials);

// The track groups of an align to the reference, from the materials of the selection in
// selection order: every material on another track than the reference's, one move record per
// track (in the order of each track's first material), each group in time order. A group
// moves by the frames between its edge and the reference's: its earliest story in to the
// reference's story in (bLeft), or its latest story out to the reference's story out; its
// materials stay on their track. None when no material lies on another track; nothing when
// the materials of a group overlap (their order would be a guess).
std::optional<PlacementGroups> AlignGroups(const std::vector<CKelSBContentBaseObj*>& materials,
                                           const CKelSBContentBaseObj& reference, bool bLeft);

// Merges containers: the one at order[0] receives, appended in order, the materials of the
// containers at order[1], order[2], ...; those leave the storyboard. The track lists are
// current afterwards. Returns the receiving container; null, nothing changed, for fewer than two
// indices, a missing or a repeated one.
// `lists` was made before the edit started (before copies of the containers were taken).
CKelSBContainerObj* MergeContainers(CKelSBBodyObj& body, const std::vector<int>& order,
                                    TrackListUpkeep& lists);

// Splits containers, in the order given: each keeps its first material, and every other
// material goes alone into a new container. The new containers are appended to the storyboard
// in the order made and returned; the track lists are current afterwards. Nothing, nothing changed,
// when an index is missing or repeated; an empty list when no container holds two materials. An
// allocation failure throws before anything changed.
std::optional<std::vector<CKelSBContainerObj*>>
SplitContainers(CKelSBBodyObj& body, const std::vector<int>& order, TrackListUpkeep& lists);

} // namespace kel::edit
