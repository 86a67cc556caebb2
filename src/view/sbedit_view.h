// The timeline view: the main area of the storyboard edit dialog. It shows the current
// storyboard of the current scene as a time scale with one row per track, holds the selection,
// and carries the top strip (storyboard selector, zoom menu, stepless zoom, scroll bars) and the
// six tool buttons of the corner box.
//
// The view owns one helper object per concern, each with its own header:
// - KelSBViewGeometry (view_geometry.h): frames and pixels, the rectangle of every region,
//   track row and material, and the hit tests (view_hit_test.cpp);
// - KelSBViewScroll (view_scroll.h): the scroll positions and ranges, the zoom, the wheel;
// - KelSBViewSelection (view_selection.h): the selected tracks and containers and the
//   current material;
// - KelSBViewDragDrop (view_drag.h): the drag of the selected materials and the drop target;
// and the record of the running gesture, KelSBGesture (view_gesture.h), whose handlers are in
// gestures/. The view itself keeps the scene, the child controls and painting
// (view_lifecycle.cpp, view_document.cpp, view_paint*.cpp), the mouse and keys (view_mouse.cpp,
// view_keys.cpp, view_menus.cpp), and the operations the dialog and the undo/redo commands
// call: playback (view_output.cpp), tracks (view_tracks.cpp), storyboards
// (view_sbbody_ops.cpp), the editing operations (view_edit_*.cpp, view_trim.cpp,
// view_add_items.cpp, view_drop.cpp) and their services (view_edit_services.cpp).
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
#include "operations/op_selection.h"
#include "undo/sbedit_editor.h"
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
class CKelSBContentBaseObj;
class CKelURBase;
struct KelSBBodyOperation;

namespace kel::automation {
struct EditorState;
}

namespace kel::sbedit {
class MaterialLookups;
}

// The editor the undo/redo commands work in: the view serves them (CKelSBEditorServices).
class CKelSBEditView : public CWnd, public CKelSBEditorServices {
public:
    enum ToolMode : DWORD { kToolNormal = 0, kToolDeleteSpace = 1, kToolFixedPaste = 2 };

    CKelSBEditView();
    ~CKelSBEditView() override;

    BOOL CreateView(CKelSBEditDlg* pParentDlg, const CRect& rect, UINT nId);

    // ---- Scene, document and dialog.
    CKelPlaySceneObj* GetCurScene() const override { return m_pCurScene; }
    CKelSBEditObj* GetSBEditObj() const;
    CKelSBBodyObj* GetCurSBBody() const override;
    CKelURBase* GetCurHistory() const override;
    CKelSBEditDlg* GetParentDlg() const { return m_pParentDlg; }
    int IsLoaded() const;

    // The host hands over its current scene (null: none).
    void SetCurScene(CKelPlaySceneObj* pScene);
    void RefreshView(CKelPlaySceneObj* pNewScene);
    int SwitchSBBody(int nIndex);

    // ---- Selection (view_selection.h): callers reach the selection through it.
    KelSBViewSelection& Selection() { return m_selection; }
    const KelSBViewSelection& Selection() const { return m_selection; }

    // ---- Tool mode and history sync.
    DWORD GetToolMode() const { return m_dwToolMode; }
    void SetToolMode(DWORD dwMode);
    void UpdateCursor();
    int GetHistorySync() const { return m_bHistorySync; }
    void SetHistorySync(int bSync) { m_bHistorySync = bSync; }

    // ---- Time line.
    DWORD GetTimeLinePos() const;
    void SetTimeLine(DWORD dwFrame);

    // ---- Geometry: positions, regions and hit tests (view_geometry.h).
    const KelSBViewGeometry& Geometry() const { return m_geometry; }

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
    int IOModeCurContent();
    int ModifyPlayProperties();
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
    int EditSBSettings();
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
    int OpenSBListDialog();
    int ToggleNavigator();

    // ---- Editing operations, one file per group: deleting and the material clipboard
    // (view_edit_delete_paste.cpp), arranging (view_edit_arrange.cpp), clipping at the time
    // line and effects (view_edit_clip_fx.cpp). Each is one undoable step; it returns 1 when it
    // changed the storyboard (copying: when it filled a clipboard) and 0 when it refused or had
    // nothing to do, in which case it recorded nothing and left the document as it was. None
    // acts while the storyboard is loaded onto the output or without a current storyboard.
    // What each does is said at its definition.
    int DeleteSelectedMaterials();
    int CutMaterials();
    int CopyMaterials();
    int DeleteSpaceAt(CPoint point);
    int FixedPointPasteAt(CPoint point);
    int PasteMaterialsAtMenuPoint();
    int PasteMaterials();
    // Runs an operation on the selected materials (the command table's rows for such
    // operations come here, "same length" among them) and shows what it changed: the rows of
    // the tracks it names, the range, the span in the caption and the navigator; marks the
    // document modified. Asks for a reference first when no material is current.
    int RunSelectionEdit(UINT nTextId, kel::operations::SelectionOperation operation);
    int MergeMaterials();
    int SplitMaterials();
    int ClipAtTimeLine(int bEntry);
    int CopyFX();
    int PasteFX();
    int AlignMaterials(int bLeft);

    // ---- Shortcut keys (view_keys.cpp). The key table of the view: TRUE when the key has a
    // command (whether or not the command was refused).
    BOOL HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    // ---- Gestures (view_mouse.cpp, gestures/): the record of the running gesture (its state,
    // the press point, the marker mode, the trim candidate, the last right click) for watchers.
    const KelSBGesture& Gesture() const { return m_gesture; }
    // While the record is not idle (a press, a marker drag, scrubbing, a trim, a move or a rubber
    // band) editing commands and keys are refused, so nothing changes the storyboard under it.
    void CancelGesture();
    BOOL CancelGestureOnEscape(const MSG& msg);

    // ---- Drag and drop (view_drag.h): the view is the drop target of its own drags
    // ("MOVE_OBJECT_DATA", the selected materials) and of pieces dragged in from the host
    // ("CREATE_PIECE_DATA"); the placements below are what a drop performs (view_drop.cpp).
    KelSBViewDragDrop& DragDrop() { return m_dragDrop; }
    int PlaceGroup(CONTAINER_INSERT_PARAM& record, int bPerform);
    int PlaceFromOutside(CONTAINER_INSERT_PARAM& record, int bPerform);

    // ---- Services of the editing operations and the undo/redo commands
    static bool IsLiveView(const CKelSBEditView* pView);
    void EnableHostPanels(BOOL bEnable);
    std::vector<std::string> CheckConsistency(bool bOverlaps = true) const;
    void DebugCheck(const char* pszDoing) const override;

    void FillAutomationState(kel::automation::EditorState& state) const;

    // ---- Painting (view_paint.cpp, view_paint_materials.cpp).
    void OnDraw(CDC* pDC);
    CString GetMaterialLabel(const CKelSBContentBaseObj* pContent) const;
    void UpdateHeaderTip(CPoint point);

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
    // ---- Services the undo/redo commands and the editing operations reach through
    // CKelSBEditorServices; the view's own callers use the helper objects directly. Keeping
    // them out of the public section keeps the view's surface to its operations.
    CObList& GetSelTrackList() override { return m_selection.GetSelTrackList(); }
    CObList& GetSelContainerList() override { return m_selection.GetSelContainerList(); }
    CKelSBContentBaseObj* GetCurContent() const override { return m_selection.GetCurContent(); }
    void SetCurContent(CKelSBContentBaseObj* pContent) override {
        m_selection.SetCurContent(pContent);
    }
    void ClearTrackSelection() override { m_selection.ClearTrackSelection(); }
    void ClearMaterialSelection() override { m_selection.ClearMaterialSelection(); }
    void ShowSelectedSpan() override { m_selection.ShowSelectedSpan(); }
    void CollectSelectionRects(std::vector<CRect>& rects) const override {
        m_selection.CollectSelectionRects(rects);
    }
    void RestoreSelection(const std::vector<int>& containerIndices, const kel::edit::Focus& focus,
                          bool bTracksToo) override {
        m_selection.RestoreSelection(containerIndices, focus, bTracksToo);
    }
    CRect GetMaterialRect(const CKelSBContentBaseObj* pContent) const override {
        return m_geometry.GetMaterialRect(pContent);
    }
    void NotifyNavigatorContent(const CKelSBContentBaseObj* pContent) const override;
    void EnsureCurContentVisible() override;
    void MarkModified() const override;
    void ClearStatusLine() override;
    void FullViewRebuild() override;
    void ResetViewKeepingModel() override;
    void InvalidateRects(std::vector<CRect>& rects) override;
    void InvalidateAll() override { Invalidate(TRUE); }
    void PaintNow() override { UpdateWindow(); }
    void PaintFrameNow() override { SendMessage(WM_NCPAINT, 1, 0); }
    void FullViewReset();

    // ---- Services used only within the view's own operations.
    void FillSBSelector();
    void ShowHistoryInPanel() const;
    CKelSBBodyObj* GetEditableBody() const;
    void ShowMessage(UINT nTextId);
    void InvalidateTrackRows(const std::vector<int>& tracks);
    int PlaceGroupsInTurn(kel::edit::PlacementGroups& groups, UINT nTitleId);
    // Repaint requests of the editing operations.
    void InvalidateTrackHeader(int nTrack, BOOL bWithRow);
    int AddSelectedItems(int nMode);
    void ClearLiveOutput();
    // The two halves of a reset around the storyboard's own refresh.
    void ForgetSelection();
    void ShowFromStart(const CKelSBBodyObj& body);
    void RegisterLiveView(bool bLive);
    int DeleteSelection(UINT nTitleId);
    CKelSBBodyObj* GetReferencedBody();
    void LoadBitmaps();
    void CreateStripControls();
    void CreateToolButtons();
    void LayoutControls();
    int RefreshPasteState();
    int PasteClipboard(
        const std::function<kel::edit::PlacementGroups(const CObList& copies)>& makeGroups,
        DWORD* pdwPastedOut);
    UINT CursorIdAt(CPoint point);
    // ---- What the gestures (gestures/, which reach these through their base class) and the
    // header column do beyond the public operations; the context menus are in view_menus.cpp.
    friend class KelSBGestureHandler;
    // Gesture feedback drawn in XOR: drawing the same state twice erases it. The marker lines
    // follow the marker drag mode and the range; the trim line follows the trim candidate.
    void DrawMarkerFeedback();
    void DrawTrimFeedback();
    void PressHeaderColumn(CPoint point);
    void ToggleTrackFlag(int nTrack, int nButton);
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
    // ---- Steps of the track and storyboard operations (view_tracks.cpp, view_sbbody_ops.cpp).
    int AskYes(UINT nTextId);
    void AfterTrackChange();
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
    std::array<CKelBmpToolNormalBtn, KelSBViewGeometry::kToolButtonCount> m_ToolBtns;

    // ---- The helpers the view owns, one concern each; declared last, after the bitmaps and
    // controls they read.
    KelSBViewGeometry m_geometry{*this, m_bmpRangeStart, m_bmpRangeEnd, m_bmpTimeLineHead};
    KelSBViewScroll m_scroll{*this, m_HScroll, m_VScroll, m_ZoomBar, m_ZoomMenuBtn};
    KelSBViewSelection m_selection{*this};
    KelSBViewDragDrop m_dragDrop{*this};
};

// The command (a button of the edit dialog) a key stands for in the view's key table, 0 for
// none. It needs no view, so it stays out of the class.
UINT KelSBViewKeyCommand(UINT nKey);
