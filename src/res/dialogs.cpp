// The two dialog templates. Positions and sizes are dialog units.
#include "platform/win_consts.h"
#include "res/builders.h"
#include "res/resource.h"

namespace kel::res::detail {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

struct StripButton {
    UINT id;
    const char* caption;
    int slot; // place on the top row, counted from the left
    DWORD style;
};

constexpr DWORD kPush = BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kTool = BS_AUTORADIOBUTTON | BS_PUSHLIKE | WS_CHILD | WS_VISIBLE;

// Upload and Download take turns on one place: only one of them is shown while the editor
// runs, and neither before the host decides to offer loading.
constexpr StripButton kStrip[] = {
    {IDC_BTN_NORMAL, "Normal", 0, kTool | WS_GROUP | WS_TABSTOP},
    {IDC_BTN_DELETE_SPACE, "Delete Space", 1, kTool},
    {IDC_BTN_FIXED_PASTE, "Fixed Point Paste", 2, kTool},
    {IDC_BTN_UNDO, "Undo", 3, kPush | WS_GROUP},
    {IDC_BTN_REDO, "Redo", 4, kPush | WS_GROUP},
    {IDC_BTN_CUT, "Cut", 5, kPush | WS_GROUP},
    {IDC_BTN_COPY, "Copy", 6, kPush},
    {IDC_BTN_PASTE, "Paste", 7, kPush},
    {IDC_BTN_DELETE, "Delete", 8, kPush},
    {IDC_BTN_SELECT_ALL, "Select All", 9, kPush},
    {IDC_BTN_COPY_FX, "Copy FX", 10, kPush},
    {IDC_BTN_PASTE_FX, "Paste", 11, kPush},
    {IDC_BTN_SAME_LENGTH, "Same Length", 12, kPush},
    {IDC_BTN_ALIGN_LEFT, "Align Left", 13, kPush},
    {IDC_BTN_ALIGN_RIGHT, "Align Right", 14, kPush},
    {IDC_BTN_MERGE, "Merge Group", 15, kPush},
    {IDC_BTN_SPLIT, "Split Group", 16, kPush},
    {IDC_BTN_ENTRY_POINT, "Entry Point", 17, kPush},
    {IDC_BTN_OUTLET_POINT, "Outlet Point", 18, kPush},
    {IDC_BTN_SB_HEAD, "Storyboard Head", 19, kPush},
    {IDC_BTN_PREV_KEY, "Prev", 20, kPush},
    {IDC_BTN_NEXT_KEY, "Next", 21, kPush},
    {IDC_BTN_SB_TAIL, "Storyboard Tail", 22, kPush},
    {IDC_BTN_IO_MODE, "IO Mode", 23, kPush},
    {IDC_BTN_UPLOAD, "Upload", 24, kPush & ~WS_VISIBLE},
    {IDC_BTN_PLAY, "Play", 25, kPush},
    {IDC_BTN_GENERATE, "Generate", 26, kPush},
    {IDC_BTN_DOWNLOAD, "Download", 24, kPush & ~WS_VISIBLE},
};

constexpr int kStripLeft = 17; // puts Upload and Download at x 401
constexpr int kStripTop = 2;   // the bitmap buttons must end above the timeline view
constexpr int kStripButton = 16;

DialogTemplate EditDialog() {
    DialogTemplate dlg;
    dlg.caption = "Storyboard Edit";
    dlg.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT;
    dlg.cx = 672;
    dlg.cy = 199;
    dlg.fontName = "Times New Roman";
    dlg.fontSize = 9;
    for (const StripButton& button : kStrip) {
        dlg.items.push_back(DialogItem(button.id, "BUTTON", button.caption, button.style,
                                       kStripLeft + button.slot * kStripButton, kStripTop,
                                       kStripButton, kStripButton));
    }
    return dlg;
}

struct ListButton {
    UINT id;
    const char* caption;
    int x, y, cx;
};

// The captions end in the skin's "@p" mark, which is part of their text.
constexpr ListButton kListButtons[] = {
    {IDC_SBL_APPEND, "Append@p", 70, 7, 50},        {IDC_SBL_INSERT, "Insert@p", 70, 22, 49},
    {IDC_SBL_DELETE, "Delete@p", 70, 36, 49},       {IDC_SBL_MOVE_UP, "Move Up@p", 70, 50, 50},
    {IDC_SBL_MOVE_DOWN, "Move Down@p", 70, 64, 49}, {IDC_SBL_CUT, "Cut@p", 70, 78, 50},
    {IDC_SBL_COPY, "Copy@p", 70, 91, 50},           {IDC_SBL_PASTE, "Paste@p", 70, 106, 50},
};

DialogTemplate ListDialog() {
    DialogTemplate dlg;
    dlg.caption = "Storyboard List";
    dlg.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    dlg.cx = 127;
    dlg.cy = 150;
    dlg.fontName = "Times New Roman";
    dlg.fontSize = 9;
    dlg.items.push_back(DialogItem(IDC_SBL_LIST, "LISTBOX", "",
                                   kChild | WS_VSCROLL | WS_BORDER | LBS_NOTIFY |
                                       LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS |
                                       LBS_NOINTEGRALHEIGHT,
                                   4, 7, 62, 137));
    for (const ListButton& button : kListButtons) {
        dlg.items.push_back(DialogItem(button.id, "BUTTON", button.caption, kChild | BS_PUSHBUTTON,
                                       button.x, button.y, button.cx, 14));
    }
    dlg.items.push_back(
        DialogItem(IDOK, "BUTTON", "OK@p", kChild | BS_DEFPUSHBUTTON, 69, 131, 21, 14));
    return dlg;
}

} // namespace

void AddDialogs(ModuleResources& res) {
    res.dialogs[IDD_SBEDIT] = EditDialog();
    res.dialogs[IDD_SBLIST] = ListDialog();
}

} // namespace kel::res::detail
