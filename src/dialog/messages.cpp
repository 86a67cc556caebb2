#include "dialog/messages.h"

#include "dialog/automation.h"

#include "platform/wnd.h"

const UINT WM_CG_SB_REFRESH_WINDOW = RegisterWindowMessage("WM_CG_SB_REFRESH_WINDOW");
const UINT WM_CG_EDW_FETCH_CURRENT_SCENE = RegisterWindowMessage("WM_CG_EDW_FETCH_CURRENT_SCENE");
const UINT WM_CG_SB_CHANGE_LIST = RegisterWindowMessage("WM_CG_SB_CHANGE_LIST");
const UINT WM_CG_SB_REFRESH_CONTENTS = RegisterWindowMessage("WM_CG_SB_REFRESH_CONTENTS");
const UINT WM_UPDATE_PLAY_CURRENT_FRAME = RegisterWindowMessage("WM_UPDATE_PLAY_CURRENT_FRAME");
const UINT WM_CG_ADD_ITEM_TO_SB = RegisterWindowMessage("WM_CG_ADD_ITEM_TO_SB");
const UINT WM_CG_PIECE_EFFECT_PREVIEW = RegisterWindowMessage("WM_CG_PIECE_EFFECT_PREVIEW");
const UINT WM_CG_UR_FROM_HISTORY = RegisterWindowMessage("WM_CG_UR_FROM_HISTORY");
const UINT WM_CG_UPDATE_HISTORY = RegisterWindowMessage("WM_CG_UPDATE_HISTORY");
const UINT WM_CG_SBNAV_SBSELCONTENT_CHANGED =
    RegisterWindowMessage("WM_CG_SBNAV_SBSELCONTENT_CHANGED");
const UINT WM_CG_ENABLE_ALL_PANEL_STUFF = RegisterWindowMessage("WM_CG_ENABLE_ALL_PANEL_STUFF");
const UINT WM_CG_SWITCH_ITEMEDITUR_HISTORY =
    RegisterWindowMessage("WM_CG_SWITCH_ITEMEDITUR_HISTORY");
const UINT WM_CG_ENABLE_AQUA_NCPAINT = RegisterWindowMessage("WM_CG_ENABLE_AQUA_NCPAINT");
const UINT WM_CG_FILE_SETDIRTY_FLAG = RegisterWindowMessage("WM_CG_FILE_SETDIRTY_FLAG");
const UINT WM_KELSB_AUTOMATION_STATE =
    RegisterWindowMessage(kel::automation::kAutomationMessageName);
const UINT WM_KELSB_SHOW_CONTENT = RegisterWindowMessage(kel::automation::kShowContentMessageName);
