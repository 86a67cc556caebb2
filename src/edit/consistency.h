// The consistency check of a storyboard and the view's selection: what must hold after every
// editing step, every undo and every redo. Tests run it after each step; debug builds run it
// after every registered command and every undo and redo.
#pragma once

#include <string>
#include <vector>

class CObList;
class CKelSBBodyObj;
class CKelSBContentBaseObj;

namespace kel::edit {

// What the view has selected (not owning; null lists count as empty).
struct ViewSelection {
    const CObList* pTracks = nullptr;
    const CObList* pContainers = nullptr;
    const CKelSBContentBaseObj* pCurrent = nullptr;
};

struct CheckOptions {
    // Whether two materials of one track may not overlap. Storyboards read from files or built
    // by scripts may hold overlaps that the editor keeps as they are; the checks after commands
    // in debug builds leave them to the tests.
    bool bOverlaps = true;
};

// Every fault found, one line each; empty when all is well:
// - every container holds only materials, and every material belongs to exactly one container,
//   lies on an existing track and has sane times;
// - every track's content list holds exactly the materials on that track, in time order;
// - no two materials of a track overlap (see CheckOptions);
// - the selected tracks and containers are live objects of the storyboard, each listed once;
//   the current material is a live material of a selected container;
// - the storyboard's history counts agree with its steps.
// A null storyboard must come with an empty selection. Pointers of the lists and the selection
// are only compared, never followed, until they are known to be live.
std::vector<std::string> CheckConsistency(const CKelSBBodyObj* pBody,
                                          const ViewSelection& selection,
                                          CheckOptions options = {});

} // namespace kel::edit
