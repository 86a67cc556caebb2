// The "Storyboard Edit" dialog: the modeless, skinned window the host docks or floats. It owns
// the timeline view and the strip of 28 buttons above it, relays the host's registered messages
// to the view, keeps its window rectangle in the scene and the host's navigator and history
// panels in step with itself. Its caption is the editor's status line.
//
// Files by concern: creation and layout (sbedit_dlg.cpp), buttons (sbedit_dlg_buttons.cpp) and
// the command table behind them (sbedit_commands.cpp),
// registered messages (sbedit_dlg_messages.cpp), show, close and activation
// (sbedit_dlg_show.cpp), status line (status_line.cpp).
#pragma once

#include "host/gui/aqua_dialog.h"
#include "host/gui/bmp_buttons.h"
#include "platform/controls.h"

#include <array>
#include <memory>

class CKelSBEditView;
class CKelPlaySceneObj;
class CKelSBContentBaseObj;

class CKelSBEditDlg : public CKelAquaBaseDlg {
public:
    static constexpr int kButtonCount = 28;
    // Where the view sits inside the dialog, from the window rectangle in client coordinates.
    static constexpr int kViewLeftInset = 5;
    static constexpr int kViewTopInset = 49;
    static constexpr int kViewRightInset = 5;
    static constexpr int kViewBottomInset = 5;
    static constexpr UINT kViewId = 0xE900;

    CKelSBEditDlg();
    ~CKelSBEditDlg() override;

    // Creates the dialog window under pParent (what the host's create call runs). Forgets the
    // item-edit window and the view first: the host hands the item-edit window again.
    int CreateEditDlg(CWnd* pParent);
    // Shows a hidden dialog first, then destroys it; the view and the item-edit window go.
    BOOL DestroyWindow() override;

    void SetItemEditWnd(CWnd* pWnd) { m_pItemEditWnd = pWnd; }
    CWnd* GetItemEditWnd() const { return m_pItemEditWnd; }
    CKelSBEditView* GetView() const { return m_pView.get(); }
    int IsLoaded() const { return m_bLoaded; }
    int IsInitialized() const { return m_bInitialized; }
    int IsSceneFetched() const { return m_bSceneFetched; }
    int GetAquaNcPaintFlag() const { return m_bAquaNcPaint; }
    CKelBmpReliefBtn* GetButton(UINT nId);

    // ---- Status line.
    void UpdateCaption(DWORD dwEntry, DWORD dwOutlet, DWORD dwLength, int bSelection);
    void UpdateCaption(const CKelSBContentBaseObj* pContent);

    // ---- Button operations (also reached from the view's keys).
    void OnToolMode(DWORD dwMode);
    void OnUndo();
    void OnRedo();
    void OnDelete();
    void OnStoryboardHead();
    void OnStoryboardTail();
    void OnPrevKeyPoint();
    void OnNextKeyPoint();
    void OnUpload();
    void OnDownload();
    // Runs the operation of button nId as a click does. FALSE for an id that is no button.
    BOOL RunButton(UINT nId);
    // Runs command nId of the command table (sbedit_commands.h) unless it is refused now, then
    // gives the keyboard focus to the view. FALSE for an id the table does not hold.
    BOOL RunCommand(UINT nId);
    // Undoes (bUndo) or redoes nSteps steps of the current storyboard's history.
    void UndoRedoSteps(int bUndo, int nSteps);
    // Enables or disables the buttons that loading locks.
    void EnableButtonGroup(BOOL bEnable);
    // Checks the tool button that matches the view's tool mode.
    void SyncToolButtons();

    // ---- Window rectangle kept in the scene.
    void PlaceAtSceneRect(const CKelPlaySceneObj* pScene);

protected:
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnMove(int x, int y) override;
    void OnShowWindow(BOOL bShow, UINT nStatus) override;
    void OnClose() override;
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) override;
    void OnNcLButtonDown(UINT nHitTest, CPoint point) override;
    void OnNcLButtonDblClk(UINT nHitTest, CPoint point) override;

private:
    void BindButtons();
    void CreateTooltips();
    CRect ComputeViewRect() const;
    void StoreWindowRect();
    void CloseToHidden();
    void FocusView();
    void SendToHistoryPanel(WPARAM wParam, LPARAM lParam);
    void SendToNavigator(WPARAM wParam, LPARAM lParam);
    LRESULT OnRefreshWindow();
    LRESULT OnChangeList();
    LRESULT OnAutomationState(LPARAM lParam);

    CWnd* m_pItemEditWnd = nullptr; // the host's window; not owned
    std::unique_ptr<CKelSBEditView> m_pView;
    int m_bAquaNcPaint = 1;
    CToolTipCtrl m_ToolTip;
    std::array<CKelBmpReliefBtn, kButtonCount> m_Buttons;
    int m_bInitialized = 0;
    int m_bLoaded = 0;
    int m_bSceneFetched = 0;
    // Set while the dialog is moved to a scene's stored rectangle, so that the move does not
    // write that rectangle into the scene the view still shows.
    bool m_bPlacing = false;
};

// The host's client profile file, in the user's configuration folder (KELSB_CONFIG_DIR
// overrides the folder). Creates the folder when bCreateFolder is set.
CString KelClientProfilePath(bool bCreateFolder);
