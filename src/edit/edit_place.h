// Placing groups of materials: the rules a drop, an align and a fixed point paste obey.
//
// Two routines, both window-free: the view (or any operation) works out from its geometry where
// each material would go, and these decide whether it may go there and put it there.
//
// - PlaceGroup moves materials of the storyboard (a drag within the view, align): every
//   material keeps its length, moves by the same number of frames and lands on the track under
//   its moved rectangle. An entry point may not fall inside a material of the target track;
//   materials in the way are pushed right, each only as far as it must to follow the one
//   before it.
// - PlaceFromOutside puts a group that is not in the storyboard (pieces dragged in from the
//   host, a fixed point paste) onto one track: it snaps to the end of the material before it,
//   pushes what follows when it does not fit, and adds a copy of each material in a container of
//   its own.
//
// Both either complete or change nothing: a refusal half-way puts every material they had
// moved back (the pushed ones too).
#pragma once

#include "edit/edit_find.h"

#include "host/sbobject/sb_container.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CObList;
class CKelPlaySceneObj;
class CKelSBBodyObj;
class CKelSBContentBaseObj;

// The record of one placement: a drag over the view (one at a time), each track group of an
// align, each track group of a fixed point paste.
struct CONTAINER_INSERT_PARAM {
    // 0: materials of the storyboard being moved (PlaceGroup); 1: materials built from dragged
    // piece data; 2: a fixed point paste group (both PlaceFromOutside).
    static constexpr DWORD kMove = 0;
    static constexpr DWORD kDragIn = 1;
    static constexpr DWORD kFixedPaste = 2;

    CONTAINER_INSERT_PARAM() = default;
    // Gives up the group as ClearGroup does.
    ~CONTAINER_INSERT_PARAM();
    CONTAINER_INSERT_PARAM(const CONTAINER_INSERT_PARAM&) = delete;
    CONTAINER_INSERT_PARAM& operator=(const CONTAINER_INSERT_PARAM&) = delete;

    // Empties the group, deleting its materials when the record owns them.
    void ClearGroup();
    // Back to an empty record of kind 0.
    void Reset();

    DWORD dwKind = kMove;
    // A container used as a list of the group's materials, in time order. It does not own them
    // unless bOwnsGroup is set (the materials of a drag in, which the storyboard receives
    // copies of).
    CKelSBContainerObj group;
    bool bOwnsGroup = false;
    CPoint ptStart;     // client point where the drag began
    CPoint ptCurrent;   // client point under the cursor now
    DWORD dwLeadIn = 0; // frames between the group's start and the cursor (from outside)
    // Set by the placements, also when they refuse: the group's prospective entry and outlet
    // points (clamped at frame 0).
    DWORD dwNewStoryIn = 0;
    DWORD dwNewStoryOut = 0;
    DWORD dwAccepted = 0; // 1 when the last test passed
    // When set, a move shifts the group by exactly this many frames instead of the frame
    // difference between the current and the start point (an align knows the frames it wants;
    // pixels would round them at coarse scales). Tracks still follow the points, unless:
    std::optional<long> nDeltaFrames;
    // Set, every material of a move stays on its own track, wherever it is drawn (an align
    // moves materials in time only, also those scrolled out of view).
    bool bKeepTracks = false;
    // When set, a group from outside goes onto this track at this frame instead of where the
    // current point is (a paste at the time line knows both; the screen need not show them).
    struct TrackFrame {
        int nTrack = -1;
        long nFrame = 0;
    };
    std::optional<TrackFrame> at;
};

namespace kel::edit {

// Drag records of placements made one after another (the track groups of an align or a
// paste).
using PlacementGroups = std::vector<std::unique_ptr<CONTAINER_INSERT_PARAM>>;

// Called with a material just before and just after a placement changes it (to repaint it
// where it was and where it is).
using ChangeNote = std::function<void(const CKelSBContentBaseObj&)>;

// ---- Moving materials of the storyboard.

// Where one material of a moved group lands: the index of the track under the centre of its
// moved rectangle (-1 when there is none) and whether that track is locked.
struct GroupTarget {
    int nTrack = -1;
    bool bLocked = false;
};

struct PlaceGroupResult {
    DWORD dwNewStoryIn = 0;  // first story in of the group plus the shift, at least 0
    DWORD dwNewStoryOut = 0; // latest story out of the group plus the shift, at least 0
    // Performed moves only: every material changed, in the order an undo record lists them
    // (for each group material in turn: it and the materials it pushed, in container order).
    std::vector<MoveEntry> entries;
};

// Tests (bPerform false) or performs the move of `group` (materials of `body`, in time order)
// by nDelta frames, material i onto targets[i]. Returns 1 when the group can be placed (was
// placed), 0 when it is refused:
// - the group is empty, or a target is missing, names no track or a locked track;
// - a material would start before frame 0 or beyond the largest frame;
// - a material's entry point would fall strictly inside a material of its target track
//   (dropping it exactly at a material's story in is allowed).
// Performing pushes the first material of the target track that the moved one would overlap
// right just past it, and each following material of the track as far as it must to follow
// its predecessor, up to the moved material's old place on that track. Materials of the group
// are never pushed. The track content lists are left for the caller to rebuild. A refusal
// while performing puts every material back as it was. `note` hears of each change.
int PlaceGroup(CKelSBBodyObj& body, const CObList& group, const std::vector<GroupTarget>& targets,
               long nDelta, bool bPerform, PlaceGroupResult& result, const ChangeNote& note = {});

// ---- Materials from outside the storyboard.

// What lies under the point a group from outside is dropped at.
struct OutsideTarget {
    int nTrack = -1;                        // the track under the point, -1 when none
    bool bLocked = false;                   // whether it is locked
    CKelSBContentBaseObj* pUnder = nullptr; // the material under the point, or null
    long nFrame = 0;                        // the frame at the point's x (negative left of frame 0)
};

enum class OutsideVerdict {
    kRefused,
    // The group goes onto the track between dwNewStoryIn and dwNewStoryOut.
    kPlace,
    // A dragged-in piece dropped onto a piece: the user may replace that piece's play piece.
    kReplace,
};

struct OutsidePlan {
    OutsideVerdict verdict = OutsideVerdict::kRefused;
    DWORD dwNewStoryIn = 0;
    DWORD dwNewStoryOut = 0;
};

// The target of a group from outside given by track and frame instead of a point: the track
// (-1 when it does not exist), whether it is locked, and the material that lies at the frame
// on it (its story in at or before the frame, its story out after it), as the track list
// finds it first.
OutsideTarget OutsideTargetAt(const CKelSBBodyObj& body, int nTrack, long nFrame);

// Where a group from outside (kind 1 or 2, in time order) would go at `target`:
// - refused without a track there, on a locked track, with an empty group, or when the group
//   would end beyond the largest frame;
// - onto a material: a fixed point paste (kind 2) goes on only when the point's frame is that
//   material's story out; a drag in (kind 1) of exactly one piece onto a piece is a replace,
//   anything else refused;
// - otherwise the group starts dwLeadIn frames before the point's frame (not before frame 0),
//   and not before the story out of the last material that starts before the point.
OutsidePlan PlanFromOutside(const CKelSBBodyObj& body, const CKelSBContainerObj& group,
                            DWORD dwKind, DWORD dwLeadIn, const OutsideTarget& target);

struct OutsidePlacement {
    int nShift = 0;                       // frames the materials in the way were pushed, 0 for none
    DWORD dwShiftThreshold = 0xFFFFFFFFu; // story in of the first pushed material before the push
    int nFirstNewContainer = -1;          // index of the first container added
    // The containers added (one per group material, in group order), owned by the storyboard.
    std::vector<CKelSBContainerObj*> newContainers;
};

// Puts a planned group (kPlace) onto track nTrack from dwNewStoryIn: the group's materials are
// re-timed there (keeping their layout and lengths) and a copy of each goes into a new
// container appended to the storyboard, its icon made from the scene's pieces and its piece
// copies dropped. When the first material of the track that starts at or after the new story in
// would overlap the group, it and every later material of the track move right by the overlap.
// Returns 0, changing nothing, when a push would leave the frame range. The track content lists
// are left for the caller to rebuild. `note` hears of each change of a storyboard material.
int PlaceFromOutside(CKelSBBodyObj& body, CKelPlaySceneObj* pScene, CKelSBContainerObj& group,
                     int nTrack, DWORD dwNewStoryIn, OutsidePlacement& placement,
                     const ChangeNote& note = {});

} // namespace kel::edit
