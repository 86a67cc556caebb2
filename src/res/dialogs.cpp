// The two dialog templates, built once per language: the layout is the same in every language,
// the captions are the language's. Positions and sizes are dialog units.
#include "platform/win_consts.h"
#include "res/builders.h"
#include "res/resource.h"

namespace kel::res::detail {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

struct StripButton {
    UINT id;
    int slot; // place on the top row, counted from the left
    DWORD style;
};

constexpr DWORD kPush = BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kTool = BS_AUTORADIOBUTTON | BS_PUSHLIKE | WS_CHILD | WS_VISIBLE;

// Upload and Download take turns on one place: only one of them is shown while the editor
// runs, and neither before the host decides to offer loading.
constexpr StripButton kStrip[] = {
    {IDC_BTN_NORMAL, 0, kTool | WS_GROUP | WS_TABSTOP},
    {IDC_BTN_DELETE_SPACE, 1, kTool},
    {IDC_BTN_FIXED_PASTE, 2, kTool},
    {IDC_BTN_UNDO, 3, kPush | WS_GROUP},
    {IDC_BTN_REDO, 4, kPush | WS_GROUP},
    {IDC_BTN_CUT, 5, kPush | WS_GROUP},
    {IDC_BTN_COPY, 6, kPush},
    {IDC_BTN_PASTE, 7, kPush},
    {IDC_BTN_DELETE, 8, kPush},
    {IDC_BTN_SELECT_ALL, 9, kPush},
    {IDC_BTN_COPY_FX, 10, kPush},
    {IDC_BTN_PASTE_FX, 11, kPush},
    {IDC_BTN_SAME_LENGTH, 12, kPush},
    {IDC_BTN_ALIGN_LEFT, 13, kPush},
    {IDC_BTN_ALIGN_RIGHT, 14, kPush},
    {IDC_BTN_MERGE, 15, kPush},
    {IDC_BTN_SPLIT, 16, kPush},
    {IDC_BTN_ENTRY_POINT, 17, kPush},
    {IDC_BTN_OUTLET_POINT, 18, kPush},
    {IDC_BTN_SB_HEAD, 19, kPush},
    {IDC_BTN_PREV_KEY, 20, kPush},
    {IDC_BTN_NEXT_KEY, 21, kPush},
    {IDC_BTN_SB_TAIL, 22, kPush},
    {IDC_BTN_IO_MODE, 23, kPush},
    {IDC_BTN_UPLOAD, 24, kPush & ~WS_VISIBLE},
    {IDC_BTN_PLAY, 25, kPush},
    {IDC_BTN_GENERATE, 26, kPush},
    {IDC_BTN_DOWNLOAD, 24, kPush & ~WS_VISIBLE},
};

constexpr int kStripLeft = 17; // puts Upload and Download at x 401
constexpr int kStripTop = 2;   // the bitmap buttons must end above the timeline view
constexpr int kStripButton = 16;

const char* TextOf(LANGID language, UINT dialogId, UINT controlId) {
    for (const DialogText& text : DialogTexts()) {
        if (text.dialogId == dialogId && text.controlId == controlId)
            return In(text.text, language);
    }
    Fail("dialog " + std::to_string(dialogId) + ", control " + std::to_string(controlId) +
         ": no text");
}

DialogTemplate EditDialog(LANGID language) {
    DialogTemplate dlg;
    dlg.caption = TextOf(language, IDD_SBEDIT, 0);
    dlg.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT;
    dlg.cx = 672;
    dlg.cy = 199;
    dlg.fontName = "Times New Roman";
    dlg.fontSize = 9;
    for (const StripButton& button : kStrip) {
        dlg.items.push_back(DialogItem(button.id, "BUTTON", TextOf(language, IDD_SBEDIT, button.id),
                                       button.style, kStripLeft + button.slot * kStripButton,
                                       kStripTop, kStripButton, kStripButton));
    }
    return dlg;
}

struct ListButton {
    UINT id;
    int x, y, cx;
};

constexpr ListButton kListButtons[] = {
    {IDC_SBL_APPEND, 70, 7, 50},   {IDC_SBL_INSERT, 70, 22, 49},    {IDC_SBL_DELETE, 70, 36, 49},
    {IDC_SBL_MOVE_UP, 70, 50, 50}, {IDC_SBL_MOVE_DOWN, 70, 64, 49}, {IDC_SBL_CUT, 70, 78, 50},
    {IDC_SBL_COPY, 70, 91, 50},    {IDC_SBL_PASTE, 70, 106, 50},
};

DialogTemplate ListDialog(LANGID language) {
    DialogTemplate dlg;
    dlg.caption = TextOf(language, IDD_SBLIST, 0);
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
        dlg.items.push_back(DialogItem(button.id, "BUTTON", TextOf(language, IDD_SBLIST, button.id),
                                       kChild | BS_PUSHBUTTON, button.x, button.y, button.cx, 14));
    }
    dlg.items.push_back(DialogItem(IDOK, "BUTTON", TextOf(language, IDD_SBLIST, IDOK),
                                   kChild | BS_DEFPUSHBUTTON, 69, 131, 21, 14));
    return dlg;
}

} // namespace

void AddDialogs(LanguageResources& res, LANGID language) {
    res.dialogs[IDD_SBEDIT] = EditDialog(language);
    res.dialogs[IDD_SBLIST] = ListDialog(language);
}

} // namespace kel::res::detail
