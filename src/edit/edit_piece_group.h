// The materials a piece dragged in from the host puts down, and where the cursor holds them.
#pragma once

#include "host/services/drag_data.h"
#include "platform/win_types.h"

class CKelPlaySceneObj;
class CKelSBContainerObj;

namespace kel::edit {

// Appends to `group` the materials the dragged piece data stands for, all on track 0 from
// frame 0: the In, Stay or Out phase of a group, all three end to end, a movie (its file's
// length) or a scroll (a quarter of its scrolled length in pixels, at least a frame). The
// piece must be the scene's and of the kind the type names (a group for the phases, a movie for
// the movie type, a scroll for the scroll type); its phases must have a length and its media
// file must be known. Returns 1, or 0 with `group` left as it was.
int BuildGroupFromPieceData(const CKelPlaySceneObj& scene, const KelPieceDragData& data,
                            CKelSBContainerObj& group);

// Frames between a dragged-in group's start and the cursor: one unit of the time scale, or half
// the group's length (rounded down) when that is not longer.
DWORD DragInLeadIn(DWORD dwFramesPerUnit, DWORD dwGroupDuration);

} // namespace kel::edit
