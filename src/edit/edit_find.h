// Finding the storyboard's objects again by index or frame. Recorded changes keep no pointers
// into the storyboard: they keep where things were (container and material indices, track
// indices, frames) and look them up again each time they are undone or redone.
#pragma once

#include "platform/win_types.h"

#include <vector>

class CObList;
class CKelSBBodyObj;
class CKelSBContainerObj;
class CKelSBContentBaseObj;

namespace kel::edit {

// Where a material sits: its container's index in the storyboard's container list and its own
// index within that container. Both -1 for no material.
struct Focus {
    int nContainer = -1;
    int nContent = -1;

    bool IsSet() const { return nContainer >= 0 && nContent >= 0; }
    friend bool operator==(const Focus&, const Focus&) = default;
};

// One material a move changed, where it sits (its focus), with its track and story in before
// and after the whole move.
struct MoveEntry {
    int nContainer = -1;
    int nContent = -1;
    int nOldTrack = -1;
    int nOldStoryIn = 0;
    int nNewTrack = -1;
    int nNewStoryIn = 0;
};

// The focus of a material of the storyboard; unset when the material is null or not there.
Focus FindFocus(const CKelSBBodyObj& body, const CKelSBContentBaseObj* pContent);

// The material at (container index, material index), null when either is out of range.
CKelSBContentBaseObj* ContentAt(const CKelSBBodyObj& body, int nContainer, int nContent);

// The indices of the listed containers in the storyboard, ascending; containers that are not the
// storyboard's are left out.
std::vector<int> ContainerIndices(const CKelSBBodyObj& body, const CObList& containers);
// The same in the list's order, each container once (where it is first listed).
std::vector<int> ContainerIndicesInListOrder(const CKelSBBodyObj& body, const CObList& containers);

// The containers at the indices, in that order; empty when one is missing or repeated.
std::vector<CKelSBContainerObj*> ContainersAt(const CKelSBBodyObj& body,
                                              const std::vector<int>& indices);

// The first material of the track, in track order, whose story in (bInPoint) or story out
// equals the frame; null when none does or the track does not exist.
CKelSBContentBaseObj* FindByFrame(const CKelSBBodyObj& body, int nTrack, DWORD dwFrame,
                                  int bInPoint);

// A selection as the view keeps it (not owning).
struct SelectionRefs {
    CObList& tracks;
    CObList& containers;
    CKelSBContentBaseObj*& pCurrent;
};

// Puts back a selection recorded as container indices and a focus: empties the container
// selection (and the track selection with bTracksToo), no current material; then selects each
// recorded container that still exists, in the recorded order, and makes the material at the
// focus current when its container is among them.
void RestoreSelection(const CKelSBBodyObj& body, const std::vector<int>& containerIndices,
                      const Focus& focus, SelectionRefs selection, bool bTracksToo);

} // namespace kel::edit
