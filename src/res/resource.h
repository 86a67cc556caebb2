// Resource ids of the storyboard editor module. The numbers are part of the module's contract:
// the host, its skinned controls and the history panel find dialogs, bitmaps and texts by them,
// so an id never changes once it has shipped.
#pragma once

// ---------------------------------------------------------------------------------------------
// Dialog templates
#define IDD_SBEDIT 102 // "Storyboard Edit", the editor's main (modeless) dialog
#define IDD_SBLIST 103 // "Storyboard List", the modal storyboard operations dialog

// Buttons of IDD_SBEDIT, in the order they stand on the top row (left to right).
#define IDC_BTN_NORMAL 1060       // tool mode Normal (starts the radio group)
#define IDC_BTN_DELETE_SPACE 1061 // tool mode Delete Space
#define IDC_BTN_FIXED_PASTE 1062  // tool mode Fixed Point Paste
#define IDC_BTN_UNDO 1014
#define IDC_BTN_REDO 1015
#define IDC_BTN_CUT 1013
#define IDC_BTN_COPY 1007
#define IDC_BTN_PASTE 1008
#define IDC_BTN_DELETE 1016
#define IDC_BTN_SELECT_ALL 1031
#define IDC_BTN_COPY_FX 1009
#define IDC_BTN_PASTE_FX 1010
#define IDC_BTN_SAME_LENGTH 1023
#define IDC_BTN_ALIGN_LEFT 1019
#define IDC_BTN_ALIGN_RIGHT 1020
#define IDC_BTN_MERGE 1021
#define IDC_BTN_SPLIT 1022
#define IDC_BTN_ENTRY_POINT 1027
#define IDC_BTN_OUTLET_POINT 1028
#define IDC_BTN_SB_HEAD 1029
#define IDC_BTN_PREV_KEY 1025
#define IDC_BTN_NEXT_KEY 1026
#define IDC_BTN_SB_TAIL 1030
#define IDC_BTN_IO_MODE 1024
#define IDC_BTN_UPLOAD 2121 // shares its place with IDC_BTN_DOWNLOAD; both start hidden
#define IDC_BTN_PLAY 1006
#define IDC_BTN_GENERATE 1011
#define IDC_BTN_DOWNLOAD 2122

// Controls of IDD_SBLIST. Its OK button is the standard IDOK (1).
#define IDC_SBL_LIST 1090
#define IDC_SBL_DELETE 1032
#define IDC_SBL_CUT 1033
#define IDC_SBL_COPY 1034
#define IDC_SBL_INSERT 1035
#define IDC_SBL_APPEND 1036
#define IDC_SBL_MOVE_UP 1037
#define IDC_SBL_MOVE_DOWN 1038
#define IDC_SBL_PASTE 1039

// Child controls that the timeline view creates itself (no template).
#define IDC_VIEW_HSCROLL 100
#define IDC_VIEW_VSCROLL 101
#define IDC_VIEW_ZOOM_BAR 102
#define IDC_VIEW_SB_SELECTOR 106
#define IDC_VIEW_TOOL_SB_OPERATION 107
#define IDC_VIEW_TOOL_SB_SETUP 108
#define IDC_VIEW_TOOL_SB_NAVIGATOR 109
#define IDC_VIEW_TOOL_FIT 110
#define IDC_VIEW_TOOL_ZOOM_IN 111
#define IDC_VIEW_TOOL_ZOOM_OUT 112

// ---------------------------------------------------------------------------------------------
// Menus. Each holds one pop-up; the context menus show that pop-up.
#define IDR_MENU_STORYBOARD 260 // "Storyboard", right click outside every track
#define IDR_MENU_SB_LIST 261    // "Multiple Storyboards Operation", the storyboard list
#define IDR_MENU_MATERIALS 262  // "Materials", right click on a material
#define IDR_MENU_TRACKS 263     // "Tracks", right click in the track header column
#define IDR_MENU_TRACK_AREA 264 // right click on an empty place of an unlocked track
#define IDR_MENU_ZOOM 3114      // "Zoom", the fixed scaling pop-up of the zoom menu button

// Menu commands. Each command id also names its menu text in the string table.
#define ID_TRACK_APPEND 32790
#define ID_TRACK_DELETE 32791
#define ID_TRACK_MOVE_UP 32792
#define ID_TRACK_MOVE_DOWN 32793
#define ID_TRACK_INSERT 32794
#define ID_SB_SETUP 32795
#define ID_DELETE_MODE_RIPPLE 32796
#define ID_DELETE_MODE_NORMAL 32800
#define ID_SB_SELECT_ALL 32803
#define ID_SBLIST_APPEND 32814
#define ID_SBLIST_INSERT 32815
#define ID_SBLIST_DELETE 32816
#define ID_SBLIST_MOVE_UP 32817
#define ID_SBLIST_MOVE_DOWN 32818
#define ID_SBLIST_CUT 32819
#define ID_SBLIST_COPY 32821
#define ID_SBLIST_PASTE 32822
#define ID_TRACK_CUT 32823
#define ID_TRACK_COPY 32824
#define ID_TRACK_PASTE 32825
// The zoom pop-up: entry i selects zoom step i (1 frame per unit up to 20 minutes).
#define ID_ZOOM_FIRST 32832
#define ID_ZOOM_LAST 32850
#define ID_ZOOM_STEP_COUNT 19
#define ID_AREA_SELECT_TRACK_MATERIALS 32855
#define ID_AREA_PASTE_HERE 32857
#define ID_AREA_FIT 32864
#define ID_AREA_ZOOM_IN 32865
#define ID_AREA_ZOOM_OUT 32866
#define ID_MAT_CUT 32882
#define ID_MAT_COPY 32883
#define ID_MAT_COPY_FX 32885
#define ID_MAT_PASTE_FX 32886
#define ID_MAT_MERGE 32888
#define ID_MAT_SPLIT 32889
#define ID_MAT_PLAY_PROPERTIES 32890
#define ID_AREA_SELECT_ALL 32891
#define ID_MAT_SAME_LENGTH 32893
#define ID_MAT_ALIGN_LEFT 32894
#define ID_MAT_ALIGN_RIGHT 32895
#define ID_MAT_DELETE 32896

// ---------------------------------------------------------------------------------------------
// Bitmaps.
//
// Button bitmaps (IDB_BTN_*, IDB_TOOL_*) are horizontal strips of four square frames of
// BUTTON_FRAME_SIZE pixels, left to right: normal, hot (mouse over), pressed, disabled.
// The skinned buttons cut the frame for their state out of the strip.
#define BUTTON_FRAME_SIZE 16
#define BUTTON_FRAME_COUNT 4
#define BUTTON_FRAME_NORMAL 0
#define BUTTON_FRAME_HOT 1
#define BUTTON_FRAME_PRESSED 2
#define BUTTON_FRAME_DISABLED 3

#define IDB_BTN_UNDO 300
#define IDB_BTN_REDO 301
#define IDB_BTN_COPY 302
#define IDB_BTN_DELETE 304
#define IDB_BTN_PASTE 305
#define IDB_BTN_ENTRY_POINT 306
#define IDB_BTN_OUTLET_POINT 307
#define IDB_BTN_CUT 310
#define IDB_BTN_ALIGN_LEFT 311
#define IDB_BTN_SPLIT 312
#define IDB_BTN_MERGE 313
#define IDB_BTN_NORMAL 315
#define IDB_BTN_DELETE_SPACE 316
#define IDB_BTN_SB_HEAD 317
#define IDB_BTN_SB_TAIL 318
#define IDB_BTN_SELECT_ALL 319
#define IDB_BTN_FIXED_PASTE 320
#define IDB_BTN_COPY_FX 324
#define IDB_BTN_PASTE_FX 325
#define IDB_BTN_ALIGN_RIGHT 326
#define IDB_BTN_SAME_LENGTH 327
#define IDB_BTN_IO_MODE 328
#define IDB_BTN_PLAY 330
#define IDB_BTN_GENERATE 331
#define IDB_BTN_PREV_KEY 332
#define IDB_BTN_NEXT_KEY 333
#define IDB_BTN_UPLOAD 363
#define IDB_BTN_DOWNLOAD 364

// Tool buttons of the timeline view's corner box, same strip layout.
#define IDB_TOOL_SB_OPERATION 370
#define IDB_TOOL_SB_SETUP 371
#define IDB_TOOL_SB_NAVIGATOR 372
#define IDB_TOOL_FIT 373
#define IDB_TOOL_ZOOM_IN 374
#define IDB_TOOL_ZOOM_OUT 375

// Track header icons, 16 x 16.
#define IDB_TRACK_PLAY_ALLOWED 350
#define IDB_TRACK_UNLOCKED 351
#define IDB_TRACK_LOCKED 359
#define IDB_TRACK_PLAY_FORBIDDEN 360
// Material backgrounds, stretched over the whole material.
#define IDB_MATERIAL_IN 353 // In pieces, movies and scrolls
#define IDB_MATERIAL_STAY 361
#define IDB_MATERIAL_OUT 362
// Marker band handles and the head of the time line cursor.
#define IDB_RANGE_START 354
#define IDB_RANGE_END 355
#define IDB_TIMELINE_HEAD 356

// ---------------------------------------------------------------------------------------------
// Cursors, 32 x 32.
#define IDC_CURSOR_TRIM 200         // over a trimming edge of a material
#define IDC_CURSOR_DELETE_SPACE 201 // tool mode Delete Space
#define IDC_CURSOR_LOCKED 202       // over a locked track
#define IDC_CURSOR_FIXED_PASTE 203  // tool mode Fixed Point Paste

// ---------------------------------------------------------------------------------------------
// Strings (besides the menu texts, which carry their command ids).

#define IDS_OUT_OF_MEMORY 33400

// Tooltips of the edit dialog's buttons; the letter in brackets is the shortcut key.
#define IDS_TIP_DELETE 33407
#define IDS_TIP_NORMAL 33409
#define IDS_TIP_DELETE_SPACE 33410
#define IDS_TIP_ALIGN_LEFT 33411
#define IDS_TIP_CUT 33412
#define IDS_TIP_COPY 33413
#define IDS_TIP_PASTE 33414
#define IDS_TIP_ALIGN_RIGHT 33415
#define IDS_TIP_SAME_LENGTH 33416
#define IDS_TIP_MERGE 33417
#define IDS_TIP_SPLIT 33418
#define IDS_TIP_PLAY 33421
#define IDS_TIP_GENERATE 33422
#define IDS_TIP_IO_MODE 33423
#define IDS_TIP_PREV_KEY 33424
#define IDS_TIP_NEXT_KEY 33425
#define IDS_TIP_ENTRY_POINT 33426
#define IDS_TIP_OUTLET_POINT 33427
#define IDS_TIP_SB_HEAD 33428
#define IDS_TIP_SB_TAIL 33429
#define IDS_TIP_SELECT_ALL 33430
#define IDS_TIP_FIXED_PASTE 33431
#define IDS_TIP_COPY_FX 33434
#define IDS_TIP_PASTE_FX 33435
#define IDS_TIP_UNDO 33436
#define IDS_TIP_REDO 33437
#define IDS_TIP_UPLOAD 33438
#define IDS_TIP_DOWNLOAD 33439

// Window title of the host's storyboard navigator (deactivation in its favour is ignored).
#define IDS_SB_NAVIGATOR_TITLE 33432
// Window title of the host's history panel.
#define IDS_HISTORY_PANEL_TITLE 34870

// Tooltips of the timeline view's controls.
#define IDS_TIP_SB_SELECTOR 33440
#define IDS_TIP_ZOOM_BAR 33441
#define IDS_TIP_HSCROLL 33442
#define IDS_TIP_VSCROLL 33443
#define IDS_TIP_ZOOM_MENU 33444
#define IDS_TIP_SB_OPERATION 33433
// These tool buttons share their texts with the window titles and menu commands they stand for.
#define IDS_TIP_SB_SETUP ID_SB_SETUP
#define IDS_TIP_SB_NAVIGATOR IDS_SB_NAVIGATOR_TITLE
#define IDS_TIP_FIT ID_AREA_FIT
#define IDS_TIP_ZOOM_IN ID_AREA_ZOOM_IN
#define IDS_TIP_ZOOM_OUT ID_AREA_ZOOM_OUT

// Confirmations and refusals (message boxes).
#define IDS_ASK_DELETE_TRACK 33450
#define IDS_ASK_CUT_TRACK 33451
#define IDS_ASK_DELETE_SB 33452
#define IDS_ASK_CUT_SB 33453
#define IDS_FX_CLIPBOARD_EMPTY 33454
#define IDS_SELECT_SOURCE_FX 34869
#define IDS_LOCKED_NO_DELETE 34872
#define IDS_ASK_DELETE_MATERIALS 34873
#define IDS_SELECT_REFERENCE 34881
#define IDS_ALIGN_IMPOSSIBLE 34882
#define IDS_CANNOT_REPLACE_FILE 34883
#define IDS_ASK_REPLACE 34884
#define IDS_PASTE_IMPOSSIBLE 34898

// Undo/redo history texts.
#define IDS_HIST_DRAG_IN 34833
#define IDS_HIST_MOVE 34837
#define IDS_HIST_DELETE_SPACE 34838
#define IDS_HIST_FIXED_PASTE 34839
#define IDS_HIST_CUT 34840
#define IDS_HIST_DELETE 34841
#define IDS_HIST_ALIGN_LEFT 34842
#define IDS_HIST_ALIGN_RIGHT 34843
#define IDS_HIST_MERGE 34844
#define IDS_HIST_SPLIT 34845
#define IDS_HIST_CHANGE_LENGTH 34846
#define IDS_HIST_CLIP_IN 34847
#define IDS_HIST_CLIP_OUT 34848
#define IDS_HIST_SAME_LENGTH 34849
#define IDS_HIST_APPEND_TRACK 34850
#define IDS_HIST_INSERT_TRACK 34851
#define IDS_HIST_DELETE_TRACK 34852
#define IDS_HIST_CUT_TRACK 34853
#define IDS_HIST_PASTE_TRACK 34854
#define IDS_HIST_MOVE_UP_TRACK 34856
#define IDS_HIST_MOVE_DOWN_TRACK 34858
#define IDS_HIST_REPLACE_PIECE 34859
#define IDS_HIST_SETTINGS 34864
#define IDS_HIST_IO_MODE 34865
#define IDS_HIST_FX_PASTE 34866
#define IDS_HIST_ADD_ITEMS_IN 34867
#define IDS_HIST_ADD_ITEMS_IN_STAY_OUT 34868

// Status line (the edit dialog's caption).
#define IDS_STATUS_PREFIX_MARK 34874
#define IDS_STATUS_TIME_LINE 34875
#define IDS_STATUS_TOTAL_LENGTH 34876
#define IDS_STATUS_ENTRY_POINT 34877
#define IDS_STATUS_OUTLET_POINT 34878
#define IDS_STATUS_LENGTH 34879

// Texts painted on the timeline and in its header tooltips.
#define IDS_PAINT_TRACK 34885
#define IDS_PAINT_FX_COPY 34886
#define IDS_PAINT_FX_KEEP 34887
#define IDS_PAINT_PHASE_IN 34888
#define IDS_PAINT_PHASE_STAY 34889
#define IDS_PAINT_PHASE_OUT 34890
#define IDS_PAINT_FRAMES 34891
#define IDS_PAINT_SECONDS 34892
#define IDS_PAINT_MINUTES 34893
#define IDS_TIP_ALLOW_PLAYING 34894
#define IDS_TIP_FORBID_PLAYING 34895
#define IDS_TIP_LOCK 34896
#define IDS_TIP_UNLOCK 34897
