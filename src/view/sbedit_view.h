// The timeline view: the main area of the storyboard edit dialog. It shows the current
// storyboard of the current scene as a time scale with one row per track, holds the selection,
// and carries the top strip (storyboard selector, zoom menu, stepless zoom, scroll bars) and the
// six tool buttons of the corner box.
//
// The view's work is split by concern over several files: geometry (view_geometry.cpp),
// creation, layout and scene hand-over (view_lifecycle.cpp), ranges, scroll positions and zoom
// (view_scroll.cpp), hit tests and the selection (view_select.cpp), the mouse gestures and the
// cursor (view_mouse.cpp, the states of view_gesture.h, one handler per gesture in gestures/),
// what a trim changes (view_trim.cpp), the drag and drop of materials (view_drag.cpp,
// view_drop.cpp), the host's items put on the storyboard (view_add_items.cpp), playback and
// preview (view_output.cpp, entries to src/play), track operations and storyboard settings
// (view_tracks.cpp), the storyboard operations and the Storyboard List dialog
// (view_sbbody_ops.cpp), the services that editing operations and undo/redo commands share
// (view_edit_services.cpp), the editing operations by group (view_edit_*.cpp), the shortcut
// keys (view_keys.cpp) and the context menus (view_menus.cpp).
//
// Storyboards hold tens of thousands of materials, and only a screenful shows. The rule for
// every path that runs while the user works: it costs what is visible or touched, never what
// is stored. A mouse move, a repaint, a click, a scroll or zoom step finds the rows under the
// point or in the clip by arithmetic (GetTrackSpan), the materials near the frames there from
// the track lists (GetFrameSpan, CKelSBTrackObj::GetContentsNear) and containers and their
// indices through the storyboard's look-ups (CKelSBBodyObj::GetContainerOf,
// GetContainerIndex); positional access to any list is constant time. A path that walks every
// material is a fault; each new operation gets a measure in bench/.
#pragma once

#include "edit/edit_find.h"
#include "edit/edit_place.h"
#include "view/view_drag.h"
#include "view/view_geometry.h"
#include "view/view_gesture.h"
#include "view/view_scroll.h"
#include "view/view_selection.h"

#include "host/base/kel_object.h"
#include "host/gui/bmp_buttons.h"
#include "host/gui/combo_popup_menu.h"
#include "host/gui/skinned_controls.h"
#include "platform/collections.h"
#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/ole.h"
#include "platform/wnd.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CKelSBEditDlg;
class CKelPlaySceneObj;
class CKelSBEditObj;
class CKelSBBodyObj;
class CKelSBTrackObj;
class CKelSBContainerObj;
class CKelSBContentBaseObj;
class CKelURBase;
struct KelSBBodyOperation;

namespace kel::platform {
struct DragPayload;
}

namespace kel::automation {
struct EditorState;
}

namespace kel::sbedit {
class MaterialLookups;
}

class CKelSBEditView : public CWnd {
public:
    // Pixels one unit of the time scale spans; the storyboard's frames per unit fill it.
    static constexpr int kUnitPixels = 25;
    static constexpr int kZoomStepCount = 19;
    static constexpr int kToolButtonCount = 6;
    // The zoom menu button has no id of its own in the resources; this one collides with none.
    static constexpr UINT kZoomMenuButtonId = 104;

    enum ToolMode : DWORD { kToolNormal = 0, kToolDeleteSpace = 1, kToolFixedPaste = 2 };

    CKelSBEditView();
    ~CKelSBEditView() override;

    // A visible, bordered child of the edit dialog, which it reaches as its parent dialog.
    BOOL CreateView(CKelSBEditDlg* pParentDlg, const CRect& rect, UINT nId);

    // ---- Scene, document and dialog.
    CKelPlaySceneObj* GetCurScene() const { return m_pCurScene; }
    CKelSBEditObj* GetSBEditObj() const;
    CKelSBBodyObj* GetCurSBBody() const;
    CKelURBase* GetCurHistory() const;
    CKelSBEditDlg* GetParentDlg() const { return m_pParentDlg; }
    int IsLoaded() const;

    // The host hands over its current scene (null: none).
    void SetCurScene(CKelPlaySceneObj* pScene);
    // Re-reads the current storyboard; a non-null scene replaces the view's scene first.
    void RefreshView(CKelPlaySceneObj* pNewScene);
    void FillSBSelector();
    // Makes storyboard nIndex current and re-reads it. 0 without a scene or for a bad index.
    int SwitchSBBody(int nIndex);
    void EnsureCurContentVisible();

    // ---- Selection (view_selection.h). The members below forward to it; they are what the
    // editing operations and the undo/redo commands reach through the view.
    KelSBViewSelection& Selection() { return m_selection; }
    const KelSBViewSelection& Selection() const { return m_selection; }
    CObList& GetSelTrackList() { return m_selection.GetSelTrackList(); }
    CObList& GetSelContainerList() { return m_selection.GetSelContainerList(); }
    CKelSBContentBaseObj* GetCurContent() const { return m_selection.GetCurContent(); }
    void SetCurContent(CKelSBContentBaseObj* pContent) { m_selection.SetCurContent(pContent); }
    void ClearTrackSelection() { m_selection.ClearTrackSelection(); }
    void ClearMaterialSelection() { m_selection.ClearMaterialSelection(); }
    void ShowSelectedSpan() { m_selection.ShowSelectedSpan(); }
    void CollectSelectionRects(std::vector<CRect>& rects) const {
        m_selection.CollectSelectionRects(rects);
    }
    void RestoreSelection(const std::vector<int>& containerIndices, const kel::edit::Focus& focus,
                          bool bTracksToo) {
        m_selection.RestoreSelection(containerIndices, focus, bTracksToo);
    }
    // Tells the storyboard navigator which material has the focus (null: none).
    void NotifyNavigatorContent(const CKelSBContentBaseObj* pContent) const;

    // ---- Tool mode and history sync.
    DWORD GetToolMode() const { return m_dwToolMode; }
    // Stores the mode and, when the cursor is over the view, shows the mode's cursor at once.
    void SetToolMode(DWORD dwMode);
    // Sets the cursor again for where it is, when that is over the view.
    void UpdateCursor();
    int GetHistorySync() const { return m_bHistorySync; }
    void SetHistorySync(int bSync) { m_bHistorySync = bSync; }

    // ---- Time line.
    DWORD GetTimeLinePos() const;
    // Moves the time line: repaints the old and new cursor, keeps it visible, updates the
    // status line with the current content.
    void SetTimeLine(DWORD dwFrame);

    // ---- Geometry: positions, regions and hit tests (view_geometry.h).
    const KelSBViewGeometry& Geometry() const { return m_geometry; }
    // The rectangle a material is drawn in (see KelSBViewGeometry::GetMaterialRect).
    CRect GetMaterialRect(const CKelSBContentBaseObj* pContent) const {
        return m_geometry.GetMaterialRect(pContent);
    }

    // ---- Scroll positions, zoom and the wheel (view_scroll.h).
    KelSBViewScroll& Scroll() { return m_scroll; }
    const KelSBViewScroll& Scroll() const { return m_scroll; }

    // ---- Playback and preview (view_output.cpp; the work is in src/play). The host's scene
    // plays, compiles, loads and unloads with pParent as its parent window and the host's
    // panels disabled; each returns the host's result. Playing and compiling are refused (0)
    // while loaded; whether loading and unloading may run is the dialog's to decide.
    int UpLoadStoryBoard(CWnd* pParent);
    int DownLoadStoryBoard(CWnd* pParent);
    int PlayStoryBoard(CWnd* pParent);
    int CompileStoryBoard(CWnd* pParent);
    // The material play mode: the current material's effect in the host's effect editor, one
    // undoable step when it changed.
    int IOModeCurContent();
    // What a double click on a material and the materials menu's "Modify Play Properties" run:
    // the material play mode of the current material.
    int ModifyPlayProperties();
    // Clears the live output and shows it cleared (the Escape key).
    void ClearLiveOutput();
    // The host's request to bring a material into sight (KELSB_SHOW_CONTENT): the time line at
    // its entry point, the material alone selected and current. 0 when it is not there.
    int ShowContent(int nContainer, int nContent);

    // ---- Tracks and storyboard settings (view_tracks.cpp). Each change is one undoable step;
    // 1 when done, 0 when refused (while loaded, without a storyboard, on a locked track, at
    // the track limit, a declined question, a failed model call), leaving no trace.
    // The track menu's commands, on the current track index. Deleting (bCut false) and cutting
    // ask first: cutting always, deleting only a track with materials.
    int AppendCurTrack();
    int InsertCurTrack();
    int MoveCurTrack(int nDirection);
    int RemoveCurTrack(bool bCut);
    int CopyCurTrack();
    int PasteAtCurTrack();
    // The storyboard's own properties dialog ("Storyboard Setup").
    int EditSBSettings();
    // ID_DELETE_MODE_RIPPLE or ID_DELETE_MODE_NORMAL: a setting, not a step of the history.
    int SetDeleteMode(UINT nId);

    // ---- Storyboards of the scene (view_sbbody_ops.cpp). Each acts on the current
    // storyboard and is refused (0) while loaded; none is a step of a history.
    int AppendSBBody();
    int InsertSBBody();
    int DeleteSBBody();
    int MoveUpSBBody();
    int MoveDownSBBody();
    int CutSBBody();
    int CopySBBody();
    int PasteSBBody();
    // The Storyboard List dialog, modal, owned by the edit dialog. 0 without a document.
    int OpenSBListDialog();
    // Shows the storyboard navigator when it is hidden, hides it when it shows.
    int ToggleNavigator();

    // ---- Editing operations, one file per group: deleting and the material clipboard
    // (view_edit_delete_paste.cpp), arranging (view_edit_arrange.cpp), clipping at the time
    // line and effects (view_edit_clip_fx.cpp). Each is one undoable step; it returns 1 when it
    // changed the storyboard (copying: when it filled a clipboard) and 0 when it refused or had
    // nothing to do, in which case it recorded nothing and left the document as it was. None
    // acts while the storyboard is loaded onto the output or without a current storyboard.
    //
    // Deletes the selected containers, closing up behind them in Ripple delete mode. Refused
    // when a selected material lies on a locked track.
    int DeleteSelectedMaterials();
    // Deletes as above, titled "Cut Objects", and only when that deleted something replaces
    // the material clipboard with copies of the deleted materials.
    int CutMaterials();
    // Replaces the material clipboard with copies of the selected materials.
    int CopyMaterials();
    // Tool mode Delete Space, a click at a client point on an empty place of an unlocked
    // track: the next material of the track and all after it close up to the one before.
    int DeleteSpaceAt(CPoint point);
    // Pastes copies of the material clipboard, one undoable step per track they came from:
    // - at a client point (tool mode Fixed Point Paste, a click): the first material lands at
    //   the point, the others keep their layout around it as it was drawn when copied; with
    //   nothing to paste the tool mode falls back to Normal;
    // - at the point where the context menu was opened;
    // - at the time line, each material on the track it was copied from and as many frames
    //   from the time line as it was from the first; the time line then moves to the end of
    //   what was pasted, so that pasting again pastes behind it.
    // Each group is tried before any is placed; when one cannot be placed (refused groups: a
    // locked or missing track, a material in the way), the user is told and the groups placed
    // before it stay placed.
    int FixedPointPasteAt(CPoint point);
    int PasteMaterialsAtMenuPoint();
    int PasteMaterials();
    // Gives every selected material but the current one the current one's length; materials
    // they run into on their tracks move right. Asks for a reference without a current one.
    int SameLength();
    // The first selected container receives the materials of the others, in selection order.
    int MergeMaterials();
    // Every selected container keeps its first material; each other goes alone into a new
    // container, and the new ones join the selection.
    int SplitMaterials();
    // Trims the material under the time line on every unlocked track at the time line: its
    // entry point (bEntry) or its outlet point.
    int ClipAtTimeLine(int bEntry);
    // The effect of the one selected material to the FX clipboard of its phase.
    int CopyFX();
    // The FX clipboards' effects to the selected pieces of their phases (unlocked tracks).
    int PasteFX();
    // Moves the selected materials of the other tracks than the current material's, track by
    // track, so that they start where it starts (bLeft) or end where it ends; one undoable step
    // per track. Asks for a reference without a current one, and tells when a track's group
    // cannot move there (the groups moved before it stay moved).
    int AlignMaterials(int bLeft);

    // ---- Shortcut keys (view_keys.cpp). The key table of the view: TRUE when the key has a
    // command (whether or not the command was refused).
    BOOL HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    // The command (a button of the edit dialog) a key stands for, 0 for none.
    static UINT KeyCommand(UINT nKey);

    // Points the history panel at the current storyboard's history.
    void ShowHistoryInPanel() const;

    // ---- Gestures (view_mouse.cpp, gestures/): the record of the running gesture (its state,
    // the press point, the marker mode, the trim candidate) for those that watch it.
    const KelSBGesture& Gesture() const { return m_gesture; }
    // Whether the left button is busy on the view: a press, a marker drag, scrubbing, a trim, a
    // move or a rubber band. Editing commands and keys are refused meanwhile, so that nothing
    // changes the storyboard under a gesture.
    bool IsGestureRunning() const { return !m_gesture.IsIdle(); }
    // Ends the running gesture without finishing it: the range marks and the time line go back
    // to where the press found them, a trim commits nothing, a move drops nothing; the capture
    // is released and the feedback erased. Nothing happens when no gesture runs.
    void CancelGesture();
    // Escape cancels a running gesture; TRUE when the key was taken for that. Called for every
    // key message of the view and of its dialog before anything else sees it.
    BOOL CancelGestureOnEscape(const MSG& msg);
    // Where the right button last went down outside the header column ((-1, -1) before): the
    // place a context menu's paste puts materials.
    CPoint GetRightClickPoint() const { return m_ptRightClick; }

    // ---- Drag and drop (view_drag.h): the view is the drop target of its own drags
    // ("MOVE_OBJECT_DATA", the selected materials) and of pieces dragged in from the host
    // ("CREATE_PIECE_DATA"); the placements below are what a drop performs (view_drop.cpp).
    KelSBViewDragDrop& DragDrop() { return m_dragDrop; }
    // The placement of materials of the storyboard (kind 0): a drag within the view, and each
    // track group of an align. The group moves by the frames between the record's start and
    // current x (or by its nDeltaFrames), each material onto the track under its rectangle
    // moved by the points' difference; see kel::edit::PlaceGroup for the rules. Performing
    // registers one step under the pending undo title (34837 "Move Objects", 34842 "Align
    // Left" or 34843 "Align Right"; with any other title nothing changes), marks the document
    // modified and repaints. Refused (0) while loaded, without a storyboard, with the
    // from-outside flag set, for another kind, when no unlocked track lies under the current
    // point, or for an empty group. The record's new story in and out are set, and the
    // caption shows them, in every case.
    int PlaceGroup(CONTAINER_INSERT_PARAM& record, int bPerform);
    // The placement of groups from outside (kind 1, a drag in; kind 2, each track group of a
    // fixed point paste) at the record's current point, with the from-outside flag set; see
    // kel::edit::PlanFromOutside and kel::edit::PlaceFromOutside for the rules. Testing shows
    // the prospective entry point, outlet point and length in the caption. Performing under the
    // pending undo title (34833 "Drag In Materials" or 34839 "Fixed Point Paste"; with any
    // other nothing changes) registers one step, selects the new materials and marks the
    // document modified. A single piece dragged onto a piece asks whether to replace that
    // piece's play piece instead, one undoable step of its own.
    int PlaceFromOutside(CONTAINER_INSERT_PARAM& record, int bPerform);

    // ---- The host's items (view_add_items.cpp): WM_CG_ADD_ITEM_TO_SB. Puts the scene's
    // selected groups (their In pieces; with a non-zero mode In, Stay and Out) and movies each
    // on a new track, inserted at the first selected track or appended, as one undoable step,
    // and selects them. 0 without a storyboard, at 255 tracks, or without such items.
    int AddSelectedItems(int nMode);

    // ---- Services of the editing operations and the undo/redo commands
    // (view_edit_services.cpp).
    // Whether a view object still exists: commands outlive the view that recorded them.
    static bool IsLiveView(const CKelSBEditView* pView);
    // Tells the host's document that it changed (WM_CG_FILE_SETDIRTY_FLAG to the main window).
    void MarkModified() const;
    // The status line without a material.
    void ClearStatusLine();
    // The current storyboard when editing operations may change it: not while it is loaded
    // onto the output, and never without a scene. Null otherwise.
    CKelSBBodyObj* GetEditableBody() const;
    // Tells the edit dialog's parent to disable (FALSE) or enable the host's panels.
    void EnableHostPanels(BOOL bEnable);
    // Shows a message of the module's string table with an OK button; the history panel is
    // not re-pointed by the deactivation the box causes.
    void ShowMessage(UINT nTextId);
    // Invalidates and erases the rows of the tracks and updates the window at once.
    void InvalidateTrackRows(const std::vector<int>& tracks);
    // Places the groups one after another, each as one step under the history text: every
    // group is tested first, then each is tested again and placed; the first that cannot be
    // stops the rest. 1 when every group was placed.
    int PlaceGroupsInTurn(kel::edit::PlacementGroups& groups, UINT nTitleId);
    // Empties both selections and re-reads the current storyboard: validated against the
    // scene's pieces, track lists rebuilt, ranges recomputed, repainted. The rebuild does the
    // same under the wait cursor.
    void FullViewReset();
    void FullViewRebuild();
    // What a full reset shows, for a step that kept the storyboard's derived data itself
    // (track lists, icons): both selections emptied, ranges recomputed, back at the start,
    // repainted; the storyboard is not walked again.
    void ResetViewKeepingModel();
    // The consistency check of the current storyboard, this view's selection and the history:
    // every fault found, one line each.
    std::vector<std::string> CheckConsistency(bool bOverlaps = true) const;
    // Debug builds: reports every fault of CheckConsistency (overlaps aside) on the standard
    // error and stops the program, naming what was being done. Release builds: nothing.
    void DebugCheck(const char* pszDoing) const;

    // Fills what a host reads through the automation message.
    void FillAutomationState(kel::automation::EditorState& state) const;

    // ---- Painting (view_paint.cpp, view_paint_materials.cpp).
    // Paints everything below and beside the child controls, region by region; the controls
    // paint themselves.
    void OnDraw(CDC* pDC);
    // What a material shows as its name: its piece's name, the piece's effect and phase.
    CString GetMaterialLabel(const CKelSBContentBaseObj* pContent) const;
    // Repaint requests of the editing operations.
    void InvalidateTrackHeader(int nTrack, BOOL bWithRow);
    // Invalidates and erases each non-empty rectangle, updates the window at once and empties
    // the list.
    void InvalidateRects(std::vector<CRect>& rects);
    // The header tip names the header button under the point and is silent elsewhere.
    void UpdateHeaderTip(CPoint point);
    // Gesture feedback drawn in XOR: drawing the same state twice erases it. The marker lines
    // follow the marker drag mode and the range; the trim line follows the trim candidate.
    void DrawMarkerFeedback();
    void DrawTrimFeedback();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnDestroy() override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* pDC) override;
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) override;
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override;
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override;
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // Mouse gestures (view_mouse.cpp).
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnLButtonUp(UINT nFlags, CPoint point) override;
    void OnCaptureChanged(CWnd* pWnd) override;
    void OnLButtonDblClk(UINT nFlags, CPoint point) override;
    void OnRButtonDown(UINT nFlags, CPoint point) override;
    int OnMouseActivate(CWnd* pTopParent, UINT nHitTest, UINT message) override;
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) override;

private:
    // The two halves of a reset around the storyboard's own refresh.
    void ForgetSelection();
    void ShowFromStart(const CKelSBBodyObj& body);
    // Enters the view into the set IsLiveView knows, or takes it out.
    void RegisterLiveView(bool bLive);
    // Delete and cut: the selected containers go under this history text.
    int DeleteSelection(UINT nTitleId);
    // The storyboard an operation against the current material (align, same length) changes:
    // null when it may not be edited or nothing is selected, and, after asking the user to
    // select a reference, when no material is current.
    CKelSBBodyObj* GetReferencedBody();
    void LoadBitmaps();
    void CreateStripControls();
    void CreateToolButtons();
    void LayoutControls();
    // Brings the document's paste list up to date; with nothing left to paste the tool mode
    // falls back to Normal. Returns how many materials there are to paste.
    int RefreshPasteState();
    // A paste of the clipboard's copies in the groups `makeGroups` splits them into.
    int PasteClipboard(
        const std::function<kel::edit::PlacementGroups(const CObList& copies)>& makeGroups,
        DWORD* pdwPastedOut);
    // The module cursor for a client point, 0 for the default one. Refreshes the trim
    // candidate on the way, so that a press finds the edge the cursor showed.
    UINT CursorIdAt(CPoint point);
    // ---- What the gestures (gestures/, which reach these through their base class) and the
    // header column do beyond the public operations; the context menus are in view_menus.cpp.
    friend class KelSBGestureHandler;
    void PressHeaderColumn(CPoint point);
    void ToggleTrackFlag(int nTrack, int nButton);
    // A released trim: its material made current, its new length one undoable step (nothing
    // when the edge did not move).
    void ApplyTrim(const KelSBTrimCandidate& trim);
    void ChangeLength(const KelSBTrimCandidate& candidate);
    void ShowTrackMenu(CPoint point);
    void ShowMaterialsMenu(CPoint point);
    void ShowTrackAreaMenu(CPoint point);
    void ShowStoryboardMenu(CPoint point);
    int ReplaceMaterial(CKelSBContentBaseObj* pTarget, const CKelSBContentBaseObj* pDropped);
    void ResizeSelector(bool bDropped);
    void OnSBSelectorChanged();
    LRESULT OnRefreshContents(LPARAM lParam);
    LRESULT OnUpdatePlayCurrentFrame(WPARAM wParam, LPARAM lParam);
    LRESULT OnEffectPreview(LPARAM lParam);
    // ---- Steps of the track and storyboard operations (view_tracks.cpp,
    // view_sbbody_ops.cpp).
    // A question with Yes, No and Cancel; true only for Yes.
    int AskYes(UINT nTextId);
    void SelectOnlyTrack(int nTrack);
    // After a track went: the track to select, and no material selection.
    void AfterTrackRemoval(int nSelectTrack);
    // The common end of the track operations: the view rebuilt, the selected track kept, the
    // host's document marked changed, the navigator told.
    void AfterTrackChange();
    // The selector, the ranges and the picture from the storyboard; the selection stays.
    void RebuildKeepingSelection();
    int RunSBBodyOperation(const KelSBBodyOperation& operation);

    // ---- Painting steps (view_paint.cpp, view_paint_materials.cpp), in paint order.
    void PaintCornerBox(CDC* pDC);
    void PaintMarkerBand(CDC* pDC);
    void PaintRuler(CDC* pDC);
    void PaintTrackHeaders(CDC* pDC);
    void PaintTrackRows(CDC* pDC);
    void PaintMaterials(CDC* pDC);
    void PaintMaterial(CDC* pDC, const CKelSBContentBaseObj* pContent, const CRect& rect,
                       kel::sbedit::MaterialLookups& lookups);
    void PaintSelection(CDC* pDC);
    void PaintTimeLine(CDC* pDC);
    // The tracks whose rows reach into the DC's clip box.
    std::pair<int, int> VisibleTracks(CDC* pDC) const;

    // ---- Scene and dialog (neither owned: the host owns the scene, the dialog owns the view).
    CKelPlaySceneObj* m_pCurScene = nullptr;
    CKelSBEditDlg* m_pParentDlg = nullptr;

    DWORD m_dwToolMode = kToolNormal;
    // Cleared while a message box or a long host call runs, so that the deactivation it causes
    // does not re-point the history panel.
    int m_bHistorySync = 1;

    // ---- Mouse gestures.
    KelSBGesture m_gesture;
    CPoint m_ptRightClick{-1, -1};

    // ---- Painting resources.
    COLORREF m_crView = RGB(160, 165, 168);
    CBrush m_brView;
    CBitmap m_bmpRangeStart;
    CBitmap m_bmpRangeEnd;
    CBitmap m_bmpTimeLineHead;
    CBitmap m_bmpPlayAllowed;
    CBitmap m_bmpPlayForbidden;
    CBitmap m_bmpLocked;
    CBitmap m_bmpUnlocked;
    CBitmap m_bmpMaterialIn;
    CBitmap m_bmpMaterialStay;
    CBitmap m_bmpMaterialOut;

    // ---- Child controls.
    CToolTipCtrl m_ToolTip;   // tips of the child controls
    CToolTipCtrl m_HeaderTip; // tip of the track header buttons
    CKelAquaScrollBar m_HScroll;
    CKelAquaScrollBar m_VScroll;
    CKelAquaScrollBar m_ZoomBar;
    CKelComboPopupMenu m_ZoomMenuBtn;
    CKelAquaComboBox m_SBSelector;
    std::array<CKelBmpToolNormalBtn, kToolButtonCount> m_ToolBtns;

    // ---- The helpers the view owns, one concern each; declared last, after the bitmaps and
    // controls they read.
    KelSBViewGeometry m_geometry{*this, m_bmpRangeStart, m_bmpRangeEnd, m_bmpTimeLineHead};
    KelSBViewScroll m_scroll{*this, m_HScroll, m_VScroll, m_ZoomBar, m_ZoomMenuBtn};
    KelSBViewSelection m_selection{*this};
    KelSBViewDragDrop m_dragDrop{*this};
};
