// Taking materials off the storyboard: deleting whole containers (closing the gaps they leave
// when the storyboard deletes in Ripple mode) and closing a gap on one track.
//
// Nothing here knows a window or a command: the caller hands in how a container is saved before
// it goes, and receives what was done, to record it.
#pragma once

#include "edit/edit_change.h"

#include "platform/win_types.h"

#include <functional>
#include <optional>
#include <vector>

class CKelSBBodyObj;
class CKelSBContainerObj;

namespace kel::edit {

// One ripple step: every material of the track starting at dwFrom or later moved by nDelta.
struct RippleShift {
    int nTrack = -1;
    DWORD dwFrom = 0;
    long nDelta = 0;
};

// Saves a container before it goes (with its index); false when it could not be kept.
using SaveContainerFn = std::function<bool(CKelSBContainerObj& container, int nIndex)>;

struct DeleteResult {
    std::vector<int> removed;        // the indices removed, highest first, as saved
    std::vector<RippleShift> shifts; // in the order made
    std::vector<int> touchedTracks;  // rows that changed, each once
};

// Deletes the containers at the indices (storyboard indices, any order, each once).
//   1. Every container is saved, from the highest index down, before anything changes.
//   2. With bRipple, every material of the deleted containers is visited in time order; on its
//      track, the material that follows it there and every later one move left so that the
//      follower starts where the deleted one began. Materials on locked tracks are passed over.
//   3. The containers go, highest index first, so the recorded indices stay valid.
// The track lists must be current before and are current after.
// Returns nothing, with the storyboard as it was, when an index is missing or repeated, a
// container could not be saved, or two deleted materials overlap on one track in ripple mode
// (their order on the track would be a guess).
std::optional<DeleteResult> DeleteContainers(CKelSBBodyObj& body, std::vector<int> indices,
                                             bool bRipple, const SaveContainerFn& save);

// A gap closed on one track: the first material after it started at dwOld and starts at dwNew.
struct ClosedSpace {
    DWORD dwOld = 0;
    DWORD dwNew = 0;
};

// Closes the gap around nFrame on the track: the first material starting at nFrame or later,
// and every material after it, move left to the outlet of the last material ending at nFrame
// or earlier (frame 0 when there is none). Nothing when the track does not exist, a material
// spans nFrame, no material starts there or later, or the gap is already closed. The track list
// must be current; it stays in order.
std::optional<ClosedSpace> CloseSpace(CKelSBBodyObj& body, int nTrack, int nFrame);

} // namespace kel::edit
