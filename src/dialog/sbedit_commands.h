// The editor's commands: one table from command id to what runs. The dialog's buttons, the
// view's tool buttons and context menus, and the shortcut keys (which run the command of the
// button they stand for) all come through CKelSBEditDlg::RunCommand, so a key, its button and
// its menu item behave alike.
//
// Each entry says whether the command is refused while the storyboard is loaded onto the
// output, whether it changes the document (such commands are refused while a mouse gesture
// runs: a key pressed in the middle of a trim must not change what the trim is holding),
// whether it shows the wait cursor, and what must be there for it to act at all.
#pragma once

#include "platform/win_types.h"

#include <span>

class CKelSBEditDlg;
class CKelSBEditView;

enum KelSBCommandFlag : unsigned {
    kKelSBRefusedWhileLoaded = 1u << 0,
    kKelSBEditsDocument = 1u << 1,
    kKelSBWaitCursor = 1u << 2,
};

// What the view must hold for a command to act.
enum class KelSBCommandNeeds {
    kNothing,
    kCurrentTrack,      // the track a track menu was opened over
    kSelectionAndFocus, // a selected container and a current material (the materials menu)
};

struct KelSBCommandEntry {
    UINT nFirstId;
    UINT nLastId; // a run of ids (the zoom menu) shares one entry
    unsigned flags;
    KelSBCommandNeeds needs;
    // nId is the id that was run, for entries that cover a run of ids.
    void (*pfnRun)(CKelSBEditDlg& dlg, CKelSBEditView& view, UINT nId);
};

// Every entry, in no particular order.
std::span<const KelSBCommandEntry> KelSBCommandTable();

// The entry of a command id, null for an id the table does not hold.
const KelSBCommandEntry* KelSBFindCommand(UINT nId);
