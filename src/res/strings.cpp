// The English string table (language 1033). Texts stand exactly as the editor shows them,
// blanks included: the status line glues its pieces together without adding any.
#include "res/builders.h"
#include "res/resource.h"

namespace kel::res::detail {
namespace {

struct StringEntry {
    UINT id;
    const char* text;
};

constexpr StringEntry kStrings[] = {
    // Menu commands: the texts of the context menu items.
    {ID_TRACK_APPEND, "Append Subtitle Track"},
    {ID_TRACK_DELETE, "Delete Subtitle Track"},
    {ID_TRACK_MOVE_UP, "Move Up Subtitle Track"},
    {ID_TRACK_MOVE_DOWN, "Move Down Subtitle Track"},
    {ID_TRACK_INSERT, "Insert Subtitle Track"},
    {ID_SB_SETUP, "Storyboard Setup"},
    {ID_DELETE_MODE_RIPPLE, "Material Delete Mode: Ripple"},
    {ID_DELETE_MODE_NORMAL, "Material Delete Mode: Normal"},
    {ID_SB_SELECT_ALL, "Select All Materials"},
    {ID_SBLIST_APPEND, "Append Storyboard"},
    {ID_SBLIST_INSERT, "Insert Storyboard"},
    {ID_SBLIST_DELETE, "Delete Storyboard"},
    {ID_SBLIST_MOVE_UP, "Move Up Storyboard"},
    {ID_SBLIST_MOVE_DOWN, "Move Down Storyboard"},
    {ID_SBLIST_CUT, "Cut Storyboard"},
    {ID_SBLIST_COPY, "Copy Storyboard"},
    {ID_SBLIST_PASTE, "Paste Storyboard"},
    {ID_TRACK_CUT, "Cut Subtitle Track"},
    {ID_TRACK_COPY, "Copy Subtitle Track"},
    {ID_TRACK_PASTE, "Paste Subtitle Track"},
    {ID_ZOOM_FIRST + 0, "1  Frame"},
    {ID_ZOOM_FIRST + 1, "2  Frames"},
    {ID_ZOOM_FIRST + 2, "4  Frames"},
    {ID_ZOOM_FIRST + 3, "8  Frames"},
    {ID_ZOOM_FIRST + 4, "10  Frames"},
    {ID_ZOOM_FIRST + 5, "20  Frames"},
    {ID_ZOOM_FIRST + 6, "1 Second"},
    {ID_ZOOM_FIRST + 7, "2  Seconds"},
    {ID_ZOOM_FIRST + 8, "4  Seconds"},
    {ID_ZOOM_FIRST + 9, "8  Seconds"},
    {ID_ZOOM_FIRST + 10, "10  Seconds"},
    {ID_ZOOM_FIRST + 11, "20  Seconds"},
    {ID_ZOOM_FIRST + 12, "30  Seconds"},
    {ID_ZOOM_FIRST + 13, "1  Minute"},
    {ID_ZOOM_FIRST + 14, "2  Minutes"},
    {ID_ZOOM_FIRST + 15, "4  Minutes"},
    {ID_ZOOM_FIRST + 16, "8  Minutes"},
    {ID_ZOOM_FIRST + 17, "10  Minutes"},
    {ID_ZOOM_FIRST + 18, "20  Minutes"},
    {ID_AREA_SELECT_TRACK_MATERIALS, "Select All Materials Of This Track"},
    {ID_AREA_PASTE_HERE, "Paste Materials To Current Position"},
    {ID_AREA_FIT, "Fully Display All Materials"},
    {ID_AREA_ZOOM_IN, "Zoom In Storyboard"},
    {ID_AREA_ZOOM_OUT, "Zoom Out Storyboard"},
    {ID_MAT_CUT, "Cut"},
    {ID_MAT_COPY, "Copy"},
    {ID_MAT_COPY_FX, "Copy FX"},
    {ID_MAT_PASTE_FX, "Paste FX"},
    {ID_MAT_MERGE, "Merge Materials"},
    {ID_MAT_SPLIT, "Split Materials"},
    {ID_MAT_PLAY_PROPERTIES, "Modify Play Properties"},
    {ID_AREA_SELECT_ALL, "Select All Materials"},
    {ID_MAT_SAME_LENGTH, "Make The Selected Materials With The Same Length"},
    {ID_MAT_ALIGN_LEFT, "Align Left Selected Materials"},
    {ID_MAT_ALIGN_RIGHT, "Align Right Selected Materials"},
    {ID_MAT_DELETE, "Delete"},

    {IDS_OUT_OF_MEMORY, "Out Of Memory"},

    // Button tips.
    {IDS_TIP_DELETE, "Delete Selected Materials(Del)"},
    {IDS_TIP_NORMAL, "Tools: Select(T)"},
    {IDS_TIP_DELETE_SPACE, "Delete Space(D)"},
    {IDS_TIP_ALIGN_LEFT, "Align Left Selected Materials(L)"},
    {IDS_TIP_CUT, "Cut Material(X)"},
    {IDS_TIP_COPY, "Copy Material(C)"},
    {IDS_TIP_PASTE, "Paste Material(V)"},
    {IDS_TIP_ALIGN_RIGHT, "Align Right Selected Materials(R)"},
    {IDS_TIP_SAME_LENGTH, "Make The Selected Materials With The Same Length(W)"},
    {IDS_TIP_MERGE, "Merge Selected Materials(U)"},
    {IDS_TIP_SPLIT, "Split Selected Materials(S)"},
    {IDS_TIP_PLAY, "Storyboard Play(Space Bar)"},
    {IDS_TIP_GENERATE, "Storyboard Compile(M)"},
    {IDS_TIP_IO_MODE, "Material Play Mode(P)"},
    {IDS_TIP_PREV_KEY, "To The Previous Key Editing Point(<--)"},
    {IDS_TIP_NEXT_KEY, "To The Next Key Editing Point(-->)"},
    {IDS_TIP_ENTRY_POINT, "Cut Materials Entry Point On Time Line(B)"},
    {IDS_TIP_OUTLET_POINT, "Cut Materials Outlet Point On Time Line(N)"},
    {IDS_TIP_SB_HEAD, "To Storyboard Head(Home)"},
    {IDS_TIP_SB_TAIL, "To Storyboard Tail(End)"},
    {IDS_TIP_SELECT_ALL, "Select All Materials(A)"},
    {IDS_TIP_FIXED_PASTE, "Fixed Point Paste Materials(Q)"},
    {IDS_SB_NAVIGATOR_TITLE, "Storyboard Navigator"},
    {IDS_TIP_SB_OPERATION, "Storyboard Operation"},
    {IDS_TIP_COPY_FX, "Copy FX(F)"},
    {IDS_TIP_PASTE_FX, "Paste FX(G)"},
    {IDS_TIP_UNDO, "Undo Last Operation(Z)"},
    {IDS_TIP_REDO, "Redo Last Operation(Y)"},
    {IDS_TIP_UPLOAD, "Load Storyboard"},
    {IDS_TIP_DOWNLOAD, "Unload Storyboard"},
    {IDS_TIP_SB_SELECTOR, "Select A Storyboard"},
    {IDS_TIP_ZOOM_BAR, "Storyboard Stepless Zoom"},
    {IDS_TIP_HSCROLL, "Storyboard Horizontal Scroll"},
    {IDS_TIP_VSCROLL, "Storyboard Vertical Scroll"},
    {IDS_TIP_ZOOM_MENU, "Stroyboard Fixed Scaling"},

    // Message boxes.
    {IDS_ASK_DELETE_TRACK, "Are You Sure You Want To Delete Selected Track?\n\n"
                           "(Deleted A Track Would Delete All Objects On This Track.)"},
    {IDS_ASK_CUT_TRACK, "Are You Sure You Want To Cut Selected Track?\n\n"
                        "(Cut A Track Would Cut All Objects On This Track.)"},
    {IDS_ASK_DELETE_SB, "Are You Sure You Want To Delete Selected Storyboard?\n\n"
                        "(Deleted A Storyboard Would Delete All Objects On This Storyboard.)"},
    {IDS_ASK_CUT_SB, "Are You Sure You Want To Cut Selected Storyboard?\n\n"
                     "(Cut A Storyboard Would Cut All Objects On This Storyboard.)"},
    {IDS_FX_CLIPBOARD_EMPTY,
     "The Corresponding FX Clipboard Has No Content, Please Copy FX First!"},
    {IDS_SELECT_SOURCE_FX, "Please Select A Source FX Material!"},
    {IDS_HISTORY_PANEL_TITLE, "History Panel"},
    {IDS_LOCKED_NO_DELETE, "Forbid Deleting Materials On Locked Track!"},
    {IDS_ASK_DELETE_MATERIALS, "Are You Sure You Want To Delete All Current Selected Materials?"},
    {IDS_SELECT_REFERENCE, "Please Select A Material As Reference!"},
    {IDS_ALIGN_IMPOSSIBLE, "Unable To Do Align Operation, Because Current Storyboard Can Not "
                           "Meet The Requirment Of Alignment!"},
    {IDS_CANNOT_REPLACE_FILE, "Animation And Scroll Files Can Not Be Replaced!"},
    {IDS_ASK_REPLACE, "Replace Original Materials On The Track?"},
    {IDS_PASTE_IMPOSSIBLE, "Unable To Do Paste Operation, Because Current Storyboard Can Not "
                           "Meet The Requirement Of Paste!"},

    // History texts.
    {IDS_HIST_DRAG_IN, "Drag In Materials"},
    {IDS_HIST_MOVE, "Move Objects"},
    {IDS_HIST_DELETE_SPACE, "Delete Space"},
    {IDS_HIST_FIXED_PASTE, "Fixed Point Paste"},
    {IDS_HIST_CUT, "Cut Objects"},
    {IDS_HIST_DELETE, "Delete Objects"},
    {IDS_HIST_ALIGN_LEFT, "Align Left"},
    {IDS_HIST_ALIGN_RIGHT, "Align Right"},
    {IDS_HIST_MERGE, "Merge Materials"},
    {IDS_HIST_SPLIT, "Split Materials"},
    {IDS_HIST_CHANGE_LENGTH, "Change Materials Size"},
    {IDS_HIST_CLIP_IN, "Cut Materials Entry Point On Time Line"},
    {IDS_HIST_CLIP_OUT, "Cut Materials Outlet Point On Time Line"},
    {IDS_HIST_SAME_LENGTH, "Make The Selected Materials With The Same Length"},
    {IDS_HIST_APPEND_TRACK, "Append Subtitle Track"},
    {IDS_HIST_INSERT_TRACK, "Insert Subtitle Track"},
    {IDS_HIST_DELETE_TRACK, "Delete Subtitle Track"},
    {IDS_HIST_CUT_TRACK, "Cut Subtitle Track"},
    {IDS_HIST_PASTE_TRACK, "Paste Subtitle Track"},
    {IDS_HIST_MOVE_UP_TRACK, "Move Up Subtitle Track"},
    {IDS_HIST_MOVE_DOWN_TRACK, "Move Down Subtitle Track"},
    {IDS_HIST_SETTINGS, "Set Storyboard Properties"},
    {IDS_HIST_IO_MODE, "Set In Out Mode"},
    {IDS_HIST_FX_PASTE, "FX Paste"},
    {IDS_HIST_ADD_ITEMS_IN, "Put Selected Items To Storyboard(In)"},
    {IDS_HIST_ADD_ITEMS_IN_STAY_OUT, "Put Selected Items To Storyboard(In,Stay,Out)"},

    // Status line pieces; their blanks separate the fields.
    {IDS_STATUS_PREFIX_MARK, "x Screen"},
    {IDS_STATUS_TIME_LINE, "   Time Line "},
    {IDS_STATUS_TOTAL_LENGTH, "   Storyboard Total Length "},
    {IDS_STATUS_ENTRY_POINT, "Selected Material Entry Point:: "},
    {IDS_STATUS_OUTLET_POINT, " Outlet Point: "},
    {IDS_STATUS_LENGTH, "Length: "},

    // Timeline painting and track header tips.
    {IDS_PAINT_TRACK, "Track"},
    {IDS_PAINT_FX_COPY, "Copy"},
    {IDS_PAINT_FX_KEEP, "Keep"},
    {IDS_PAINT_PHASE_IN, "(In)"},
    {IDS_PAINT_PHASE_STAY, "(Stay)"},
    {IDS_PAINT_PHASE_OUT, "(Out)"},
    {IDS_PAINT_FRAMES, " Frames"},
    {IDS_PAINT_SECONDS, " Seconds  "},
    {IDS_PAINT_MINUTES, " Minutes  "},
    {IDS_TIP_ALLOW_PLAYING, "Allow Playing"},
    {IDS_TIP_FORBID_PLAYING, "Forbid Playing"},
    {IDS_TIP_LOCK, "Lock"},
    {IDS_TIP_UNLOCK, "Unlock"},
};

} // namespace

void AddStrings(ModuleResources& res) {
    for (const StringEntry& entry : kStrings) {
        if (!res.strings.emplace(entry.id, CString(entry.text)).second) {
            Fail("string " + std::to_string(entry.id) + " is defined twice");
        }
    }
}

} // namespace kel::res::detail
