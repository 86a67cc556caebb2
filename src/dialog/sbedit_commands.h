// The editor's commands: one table from command id to what runs. The dialog's buttons, the
// view's tool buttons and context menus, and the shortcut keys (which run the command of the
// button they stand for) all come through CKelSBEditDlg::RunCommand, so a key, its button and
// its menu item behave alike; the Storyboard List runs its own entries on its highlighted
// storyboard.
//
// Each entry says where the command is offered, whether it is refused while the storyboard is
// loaded onto the output, whether it changes the document (such commands are refused while a
// mouse gesture runs: a key pressed in the middle of a trim must not change what the trim is
// holding), whether it shows the wait cursor, and what must be there for it to act at all. What
// is derived from a command lives here too, so that a new command is one entry: the buttons
// loading disables, and the states in which its menu item is grayed.
#pragma once

#include "platform/win_types.h"

#include <span>

class CKelSBEditDlg;
class CKelSBEditView;
class CMenu;

enum KelSBCommandFlag : unsigned {
    kKelSBRefusedWhileLoaded = 1u << 0,
    kKelSBEditsDocument = 1u << 1,
    kKelSBWaitCursor = 1u << 2,
    // A button of the strip that loading disables and unloading enables again.
    kKelSBDisabledWhileLoaded = 1u << 3,
};

// What the view must hold for a command to act.
enum class KelSBCommandNeeds {
    kNothing,
    kCurrentTrack,      // the track a track menu was opened over
    kSelectionAndFocus, // a selected container and a current material (the materials menu)
};

// Where a command is offered. The Storyboard List's commands act on the storyboard highlighted
// in its list, so they run through the list, never through the edit dialog.
enum class KelSBCommandPlace {
    kButtonStrip,
    kViewTools,
    kZoomMenu,
    kStoryboardMenu,
    kTrackAreaMenu,
    kTrackMenu,
    kMaterialsMenu,
    kStoryboardList,
};

// The state a menu (or the Storyboard List's buttons) is shown in, as a set of these: an entry
// is grayed when its grayWhen meets that set.
enum KelSBGrayCondition : unsigned {
    kKelSBNoTrackSelected = 1u << 0,
    kKelSBManyTracksSelected = 1u << 1,
    kKelSBFirstTrack = 1u << 2,
    kKelSBLastTrack = 1u << 3,
    kKelSBOnlyTrack = 1u << 4,
    kKelSBLockedTrack = 1u << 5,
    kKelSBTrackClipboardEmpty = 1u << 6,
    kKelSBOneMaterialSelected = 1u << 7,
    kKelSBManyMaterialsSelected = 1u << 8,
    kKelSBNothingAbove = 1u << 9,  // the highlighted storyboard is the first, or the only one
    kKelSBNothingBelow = 1u << 10, // the highlighted storyboard is the last, or the only one
    kKelSBOnlyStoryboard = 1u << 11,
    kKelSBStoryboardClipboardEmpty = 1u << 12,
};

struct KelSBCommandEntry {
    UINT nFirstId;
    UINT nLastId; // a run of ids (the zoom menu) shares one entry
    KelSBCommandPlace place;
    unsigned flags;
    KelSBCommandNeeds needs;
    unsigned grayWhen;
    // The question asked before the command acts, 0 for none; only the Storyboard List asks for
    // its commands, the others ask inside their operation.
    UINT nQuestion;
    // nId is the id that was run, for entries that cover a run of ids. Returns what the
    // operation returns: 0 when it was refused, or did nothing.
    int (*pfnRun)(CKelSBEditDlg& dlg, CKelSBEditView& view, UINT nId);

    bool IsGrayed(unsigned state) const { return (grayWhen & state) != 0; }
};

// Every entry. Within a place they stand in menu order, except where the random run's seeds
// rely on the order they had when it picked from lists of its own.
std::span<const KelSBCommandEntry> KelSBCommandTable();

// The entry of a command id, null for an id the table does not hold.
const KelSBCommandEntry* KelSBFindCommand(UINT nId);

// Grays the items of a context menu of that place which the state grays.
void KelSBGrayMenu(CMenu& popup, KelSBCommandPlace place, unsigned state);
