// How a host reads the editor's state without a display: it sends the edit dialog the
// registered message named kAutomationMessageName with lParam pointing at an EditorState; the
// dialog fills it and answers 1 (0 when it has no window). Answering changes nothing in the
// editor. Plain data only, so that a host built apart from the module can use it; fields are
// added over time, never renamed.
#pragma once

#include "platform/geometry.h"
#include "platform/win_types.h"

#include <array>
#include <string>
#include <vector>

class CWnd;

namespace kel::automation {

inline constexpr const char* kAutomationMessageName = "KELSB_AUTOMATION_STATE";

// A host that lists materials of the current storyboard (its compile results, say) brings one
// into sight: it sends the timeline view (EditorState::view) the registered message of this
// name, wParam the container index and lParam the index within the container. The time line
// moves to the material's entry point as a user's move does, and the material becomes the one
// selected and current. Answers 1, or 0 for a material that is not there.
inline constexpr const char* kShowContentMessageName = "KELSB_SHOW_CONTENT";

// The view's regions, in the order of EditorState::regions.
enum Region : int {
    kSelector = 0,
    kZoomButton,
    kZoomBar,
    kHScrollBar,
    kCornerBox,
    kTimeArea,
    kVScrollBar,
    kMarkerBand,
    kRuler,
    kTrackArea,
    kHeaderColumn,
    kRegionCount
};

// Names as a host prints them, indexed by Region.
inline constexpr std::array<const char*, kRegionCount> kRegionNames = {
    "selector",   "zoomButton", "zoomBar", "hscrollBar", "cornerBox",   "timeArea",
    "vscrollBar", "markerBand", "ruler",   "trackArea",  "headerColumn"};

// The view's mouse gestures, as EditorState::gesture numbers them.
inline constexpr std::array<const char*, 7> kGestureNames = {
    "idle", "pressed", "markerDrag", "scrub", "trim", "move", "rubberBand"};

// A command of the editor's one command table: buttons, menus, keys, track commands, the
// Storyboard List's commands. A host runs one by sending WM_COMMAND with its id to the view,
// except the Storyboard List's (see CommandPlace).
struct CommandInfo {
    UINT firstId = 0;
    UINT lastId = 0;    // a run of ids shares one entry
    bool edits = false; // changes the document, recording a step
    bool refusedWhileLoaded = false;
    bool waitCursor = false;
    int needs = 0; // kNeedsNothing, kNeedsCurrentTrack or kNeedsSelectionAndFocus
    bool disabledWhileLoaded = false; // a button of the strip that loading disables
    int place = 0;                    // a CommandPlace
};
inline constexpr int kNeedsNothing = 0;
inline constexpr int kNeedsCurrentTrack = 1;      // the track a track menu was opened over
inline constexpr int kNeedsSelectionAndFocus = 2; // a selected container and a current material

// Where a command is offered, as CommandInfo::place numbers it. The Storyboard List's commands
// act on the list's highlighted storyboard: a host runs them through the list's dialog (or by
// WM_COMMAND to the list), never through the view.
enum CommandPlace : int {
    kPlaceButtonStrip,
    kPlaceViewTools,
    kPlaceZoomMenu,
    kPlaceStoryboardMenu,
    kPlaceTrackAreaMenu,
    kPlaceTrackMenu,
    kPlaceMaterialsMenu,
    kPlaceStoryboardList,
};

struct EditorState {
    bool loaded = false; // storyboard loaded onto the output
    int toolMode = 0;    // 0 Normal, 1 Delete Space, 2 Fixed Point Paste
    bool hasView = false;
    CWnd* view = nullptr; // the timeline view window, for hosts that paint or click it
    CRect client;         // the view's client rectangle
    std::array<CRect, kRegionCount> regions{}; // view client coordinates
    int hscroll = 0;
    int vscroll = 0;
    int zoomIndex = -1; // index in the zoom step table, -1 when frames per unit is not in it
    std::vector<int> selectedTracks;     // track indices, in selection order
    std::vector<int> selectedContainers; // container indices, in selection order
    bool hasCurrentContent = false;
    int currentContainer = -1;
    int currentMaterial = -1;
    int currentTrack = -1;
    UINT cursorId = 0; // module cursor shown (200..203), 0 for any other cursor
    int gesture = 0;   // index in kGestureNames

    // Set by the host before sending: kCheckNone, or which consistency check of the storyboard
    // and the selection to run; every fault found then comes back in `problems`, one line each.
    int consistencyCheck = 0;
    std::vector<std::string> problems;

    std::vector<CommandInfo> commands; // every entry of the command table
};

inline constexpr int kCheckNone = 0;
inline constexpr int kCheckAllButOverlaps = 1; // storyboards from files may hold overlaps
inline constexpr int kCheckAll = 2;

} // namespace kel::automation
