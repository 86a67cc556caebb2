// The shortcut keys of the timeline view. Almost every key stands for a button of the edit
// dialog, whose tooltip names the key, and runs that button's command through the dialog's one
// command table: a key and its button are refused in the same states (loaded, a gesture under
// way) and do exactly the same. Escape clears the live output, which no button does.
//
// The keys reach the view through the dialog while the host has single-key shortcuts turned on
// (an Escape that ends a running gesture never gets here). Letter keys come as their capital
// virtual key whatever the state of Shift or Ctrl, so Ctrl+C copies as C does.
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"

#include "res/resource.h"

#include <algorithm>
#include <iterator>

namespace {

struct KeyBinding {
    UINT nKey;
    UINT nCommand;
};

// E, H, I, J, K and O have no command, nor has any key not listed.
constexpr KeyBinding kKeyCommands[] = {
    {VK_SPACE, IDC_BTN_PLAY},    {VK_HOME, IDC_BTN_SB_HEAD},   {VK_END, IDC_BTN_SB_TAIL},
    {VK_LEFT, IDC_BTN_PREV_KEY}, {VK_RIGHT, IDC_BTN_NEXT_KEY}, {VK_DELETE, IDC_BTN_DELETE},
    {'A', IDC_BTN_SELECT_ALL},   {'B', IDC_BTN_ENTRY_POINT},   {'C', IDC_BTN_COPY},
    {'D', IDC_BTN_DELETE_SPACE}, {'F', IDC_BTN_COPY_FX},       {'G', IDC_BTN_PASTE_FX},
    {'L', IDC_BTN_ALIGN_LEFT},   {'M', IDC_BTN_GENERATE},      {'N', IDC_BTN_OUTLET_POINT},
    {'P', IDC_BTN_IO_MODE},      {'Q', IDC_BTN_FIXED_PASTE},   {'R', IDC_BTN_ALIGN_RIGHT},
    {'S', IDC_BTN_SPLIT},        {'T', IDC_BTN_NORMAL},        {'U', IDC_BTN_MERGE},
    {'V', IDC_BTN_PASTE},        {'W', IDC_BTN_SAME_LENGTH},   {'X', IDC_BTN_CUT},
    {'Y', IDC_BTN_REDO},         {'Z', IDC_BTN_UNDO},
};

} // namespace

UINT KelSBViewKeyCommand(UINT nKey) {
    const auto* pEntry =
        std::find_if(std::begin(kKeyCommands), std::end(kKeyCommands),
                     [nKey](const KeyBinding& entry) { return entry.nKey == nKey; });
    return pEntry != std::end(kKeyCommands) ? pEntry->nCommand : 0;
}

BOOL CKelSBEditView::HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
    if (nChar == VK_ESCAPE) {
        ClearLiveOutput();
        return TRUE;
    }
    const UINT nCommand = KelSBViewKeyCommand(nChar);
    if (nCommand == 0 || !m_pParentDlg)
        return FALSE;
    m_pParentDlg->RunCommand(nCommand);
    return TRUE;
}
