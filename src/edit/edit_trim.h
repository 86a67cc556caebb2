// Trimming: how far an edge of a material may be dragged, and the change of its length when the
// edge is let go.
#pragma once

#include "platform/win_types.h"

#include <optional>

class CKelSBContentBaseObj;

namespace kel::edit {

// Frames an edge may reach when nothing lies after a material: the largest frame the editor
// supports.
DWORD TrimUpperLimit();

// An edge of a material being trimmed, and what it keeps to.
struct TrimEdge {
    CKelSBContentBaseObj* pContent = nullptr;
    // The materials before and after it on its track that stop the edge (null: nothing stops
    // it on that side).
    const CKelSBContentBaseObj* pPrev = nullptr;
    const CKelSBContentBaseObj* pNext = nullptr;
    DWORD dwEdge = 0;       // 1 story in, 2 story out
    DWORD dwLowerBound = 0; // the story in may not go below it
    DWORD dwUpperBound = 0; // the story out may not go beyond it
};

// The frames the edge may take: for the story in from the later of the lower bound and the
// previous material's story out, to the story out less the minimum length; for the story out
// from the story in plus the minimum length to the earlier of the upper bound and the next
// material's story in. So the edge never passes its neighbour nor makes the material shorter
// than its minimum. low > high when the material cannot be trimmed at that edge at all.
struct TrimRange {
    long long nLow = 0;
    long long nHigh = 0;
};
TrimRange TrimEdgeRange(const TrimEdge& edge);

// What a committed trim changed.
struct LengthChange {
    int nTrack = -1;
    DWORD dwEdge = 0;
    DWORD dwOld = 0;
    DWORD dwNew = 0;
};

// Moves the edge to dwFrame, kept within TrimEdgeRange, and lets the effect play for the new
// length. Nothing (no change) when the edge stays where it is or the material refuses the
// frame.
std::optional<LengthChange> ChangeLength(const TrimEdge& edge, DWORD dwFrame);

} // namespace kel::edit
