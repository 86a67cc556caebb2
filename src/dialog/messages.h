// The registered window messages the editor handles and sends. Their ids come from the
// platform's registry by name when the module is loaded, so the host, its panels and the
// editor agree on them without sharing a header.
#pragma once

#include "platform/win_types.h"

extern const UINT WM_CG_SB_REFRESH_WINDOW;
extern const UINT WM_CG_EDW_FETCH_CURRENT_SCENE;
extern const UINT WM_CG_SB_CHANGE_LIST;
extern const UINT WM_CG_SB_REFRESH_CONTENTS;
extern const UINT WM_UPDATE_PLAY_CURRENT_FRAME;
extern const UINT WM_CG_ADD_ITEM_TO_SB;
extern const UINT WM_CG_PIECE_EFFECT_PREVIEW;
extern const UINT WM_CG_UR_FROM_HISTORY;
extern const UINT WM_CG_UPDATE_HISTORY;
extern const UINT WM_CG_SBNAV_SBSELCONTENT_CHANGED;
extern const UINT WM_CG_ENABLE_ALL_PANEL_STUFF;
extern const UINT WM_CG_SWITCH_ITEMEDITUR_HISTORY;
extern const UINT WM_CG_ENABLE_AQUA_NCPAINT;
extern const UINT WM_CG_FILE_SETDIRTY_FLAG;
// Automation: a host reads the editor's state (dialog/automation.h).
extern const UINT WM_KELSB_AUTOMATION_STATE;
extern const UINT WM_KELSB_SHOW_CONTENT;

// Codes of WM_CG_UPDATE_HISTORY.
inline constexpr WPARAM KEL_UR_HISTORY_ADDED = 0;
inline constexpr WPARAM KEL_UR_HISTORY_UNDONE = 1;
inline constexpr WPARAM KEL_UR_HISTORY_REDONE = 2;
inline constexpr WPARAM KEL_UR_HISTORY_NO_SCENE = 4;
inline constexpr WPARAM KEL_UR_HISTORY_SHOW = 5;
// wParam of WM_CG_SBNAV_SBSELCONTENT_CHANGED.
inline constexpr WPARAM KEL_SBNAV_CONTENT = 5;
