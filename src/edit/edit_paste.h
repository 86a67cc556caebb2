// The groups a paste places: copies of the material clipboard split by the track they were
// copied from, one drag record (kind 2, a fixed point paste group) each, for the placement of
// groups from outside.
#pragma once

#include "edit/edit_place.h"

#include "platform/geometry.h"
#include "platform/win_types.h"

#include <memory>
#include <vector>

class CObList;

namespace kel::edit {

// The copies (materials in time order, owned elsewhere; the records only point at them) split
// into one group per track they came from, in the order of each group's first material; every
// group in time order. Each record's point is `point` moved by where the group's first
// material was drawn when it was copied, relative to the first material of all: the group
// keeps its layout around the click.
PlacementGroups PasteGroupsAtPoint(const CObList& copies, CPoint point);

// The same groups, each going onto the track its materials came from, its first material at
// `dwFrame` plus the frames between it and the first material of all.
PlacementGroups PasteGroupsAtFrame(const CObList& copies, DWORD dwFrame);

} // namespace kel::edit
