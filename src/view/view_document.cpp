// The view and its document: taking the host's scene, re-reading the current storyboard,
// the storyboard selector, switching storyboards, the time line and what a host reads.
#include "dialog/automation.h"
#include "dialog/messages.h"
#include "dialog/sbedit_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/services/tool_box.h"
#include "platform/cursor.h"
#include "res/resource.h"

CKelSBEditObj* CKelSBEditView::GetSBEditObj() const {
    return m_pCurScene ? m_pCurScene->GetSBEditObj() : nullptr;
}

CKelSBBodyObj* CKelSBEditView::GetCurSBBody() const {
    CKelSBEditObj* pDoc = GetSBEditObj();
    return pDoc ? pDoc->GetCurSBBodyObj() : nullptr;
}

CKelURBase* CKelSBEditView::GetCurHistory() const {
    CKelSBBodyObj* pBody = GetCurSBBody();
    return pBody ? pBody->GetURBase() : nullptr;
}

void CKelSBEditView::SetCurScene(CKelPlaySceneObj* pScene) {
    // Whatever a gesture holds belongs to the storyboard that goes.
    CancelGesture();
    m_selection.GetSelTrackList().RemoveAll();
    m_selection.GetSelContainerList().RemoveAll();
    m_selection.SetCurContent(nullptr);
    if (!pScene) {
        m_pCurScene = nullptr;
        // Entries of a scene the view no longer holds could not be switched to.
        if (m_SBSelector.GetSafeHwnd())
            m_SBSelector.ResetContent();
        FillSBSelector();
        Invalidate();
        return;
    }
    if (pScene == m_pCurScene)
        return;
    {
        CWaitCursor wait;
        RefreshView(pScene);
    }
    FillSBSelector();
}

// Re-reads the current storyboard; a non-null scene replaces the view's scene first.
void CKelSBEditView::RefreshView(CKelPlaySceneObj* pNewScene) {
    CancelGesture();
    if (pNewScene)
        m_pCurScene = pNewScene;
    ForgetSelection();
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (!m_pCurScene || !pBody) {
        Invalidate();
        UpdateWindow();
        return;
    }
    if (pBody->GetContainerCount() != 0) {
        CWaitCursor wait;
        CKelObList* pPieces = m_pCurScene->GetPieceList();
        pBody->ValidateContainerList(pPieces);
        pBody->ResetAllTrackContentList();
        pBody->UpdateContentIcon(pPieces);
        RefreshPasteState();
    } else {
        // The tracks' lists may still name materials that were deleted with the last
        // container; painting walks them.
        pBody->ResetAllTrackContentList();
    }
    ShowFromStart(*pBody);
}

// What a full reset shows, for a step that kept the storyboard's derived data itself
// (track lists, icons): both selections emptied, ranges recomputed, back at the start,
// repainted; the storyboard is not walked again.
void CKelSBEditView::ResetViewKeepingModel() {
    CancelGesture();
    ForgetSelection();
    if (CKelSBBodyObj* pBody = m_pCurScene ? GetCurSBBody() : nullptr) {
        ShowFromStart(*pBody);
        return;
    }
    Invalidate();
    UpdateWindow();
}

void CKelSBEditView::ForgetSelection() {
    m_selection.Forget();
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(nullptr);
    FillSBSelector();
}

void CKelSBEditView::ShowFromStart(const CKelSBBodyObj& body) {
    // An empty storyboard still gets its own scale and scroll ranges: those of the storyboard
    // shown before would leave it scrolled away from frame 0 and zoomed as the other one.
    Scroll().ShowCurrentZoom();
    Scroll().UpdateHRange();
    Scroll().UpdateVRange();
    Scroll().UpdateZoomBarRange();
    Scroll().SetHScrollPos(0);
    Scroll().SetVScrollPos(0);
    Scroll().SetZoomBarToFPU(body.GetFramesPerUnit());
    Invalidate();
    UpdateWindow();
}

// Brings the document's paste list up to date; with nothing left to paste the tool mode
// falls back to Normal. Returns how many materials there are to paste.
int CKelSBEditView::RefreshPasteState() {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (!pDoc)
        return 0;
    const int nLeft = pDoc->UpdatePasteStuff(m_pCurScene->GetPieceList());
    if (nLeft == 0 && m_dwToolMode == kToolFixedPaste) {
        m_dwToolMode = kToolNormal;
        if (m_pParentDlg)
            m_pParentDlg->SyncToolButtons();
    }
    return nLeft;
}

void CKelSBEditView::FillSBSelector() {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (!pDoc || !pDoc->GetCurSBBodyObj() || !m_SBSelector.GetSafeHwnd())
        return;
    m_SBSelector.SendMessage(CB_RESETCONTENT);
    const CString strDefName = CKelSBBodyObj::GetDefName();
    for (int i = 0; i < pDoc->GetSBBodyCount(); ++i) {
        const CKelSBBodyObj* pBody = pDoc->GetSBBodyObj(i);
        CString strEntry = pBody ? pBody->GetName() : CString();
        // Storyboards that kept the default name are told apart by their position.
        if (strEntry == strDefName)
            strEntry.Format("%s-%d", strDefName.GetString(), i + 1);
        m_SBSelector.SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(strEntry.GetString()));
    }
    const int nCur = pDoc->GetCurSBBodyIndex();
    m_SBSelector.SendMessage(
        CB_SETCURSEL, static_cast<WPARAM>(nCur >= 0 && nCur < pDoc->GetSBBodyCount() ? nCur : -1));
}

// Makes storyboard nIndex current and re-reads it. 0 without a scene or for a bad index.
int CKelSBEditView::SwitchSBBody(int nIndex) {
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (!pDoc || !pDoc->SetCurSBBodyIndex(nIndex))
        return 0;
    RefreshView(nullptr);
    EnsureCurContentVisible();
    ShowHistoryInPanel();
    NotifyNavigatorContent(m_selection.GetCurContent());
    return 1;
}

// Points the history panel at the current storyboard's history.
void CKelSBEditView::ShowHistoryInPanel() const {
    CWnd* pPanel = KelToolGetToolBox(KEL_TOOLBOX_HISTORY);
    if (pPanel && IsWindow(pPanel))
        pPanel->SendMessage(WM_CG_UPDATE_HISTORY, KEL_UR_HISTORY_SHOW,
                            reinterpret_cast<LPARAM>(GetCurHistory()));
}

void CKelSBEditView::OnSBSelectorChanged() {
    const int nSel = m_SBSelector.GetCurSel();
    CKelSBEditObj* pDoc = GetSBEditObj();
    if (nSel >= 0 && pDoc && nSel != pDoc->GetCurSBBodyIndex())
        SwitchSBBody(nSel);
}

void CKelSBEditView::EnsureCurContentVisible() {
    if (m_selection.GetCurContent() && GetCurSBBody())
        Scroll().EnsureVisible(static_cast<int>(m_selection.GetCurContent()->GetStoryIn()));
}

BOOL CKelSBEditView::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nId = LOWORD(wParam);
    const UINT nCode = HIWORD(wParam);
    if (nId == IDC_VIEW_SB_SELECTOR) {
        if (nCode == CBN_SELCHANGE)
            OnSBSelectorChanged();
        else if (nCode == CBN_DROPDOWN || nCode == CBN_CLOSEUP)
            ResizeSelector(nCode == CBN_DROPDOWN);
        return TRUE;
    }
    // Menus send code 0, and so do the tool buttons' clicks (BN_CLICKED).
    if (nCode == 0 && m_pParentDlg && m_pParentDlg->RunCommand(nId))
        return TRUE;
    return CWnd::OnCommand(wParam, lParam);
}

// ---- Time line.

DWORD CKelSBEditView::GetTimeLinePos() const {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    return pBody ? pBody->GetTimeLinePos() : 0;
}

// Moves the time line: repaints the old and new cursor, keeps it visible, updates the
// status line with the current content.
void CKelSBEditView::SetTimeLine(DWORD dwFrame) {
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return;
    CRect rcOld;
    rcOld.UnionRect(Geometry().GetTimeLineHeadRect(pBody->GetTimeLinePos()),
                    Geometry().GetTimeLineRect(pBody->GetTimeLinePos()));
    pBody->SetTimeLinePos(dwFrame);
    dwFrame = pBody->GetTimeLinePos(); // the storyboard keeps it within the largest frame
    CRect rcNew;
    rcNew.UnionRect(Geometry().GetTimeLineHeadRect(dwFrame), Geometry().GetTimeLineRect(dwFrame));
    CRect rcBoth;
    rcBoth.UnionRect(rcOld, rcNew);
    InvalidateRect(rcBoth, TRUE);
    UpdateWindow();
    Scroll().EnsureVisible(static_cast<int>(dwFrame));
    if (m_pParentDlg)
        m_pParentDlg->UpdateCaption(m_selection.GetCurContent());
}

// ---- Registered messages from the host (relayed by the dialog).

LRESULT CKelSBEditView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEHWHEEL) {
        // Tilted right (positive) goes later in time, as turning the wheel down does.
        m_scroll.Wheel(
            -static_cast<short>(HIWORD(wParam)), true, false,
            CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
        return 0;
    }
    if (message >= 0xC000) {
        try {
            if (message == WM_UPDATE_PLAY_CURRENT_FRAME)
                return OnUpdatePlayCurrentFrame(wParam, lParam);
            if (message == WM_CG_SB_REFRESH_CONTENTS)
                return OnRefreshContents(lParam);
            if (message == WM_CG_ADD_ITEM_TO_SB)
                return AddSelectedItems(static_cast<int>(wParam != 0));
            if (message == WM_CG_PIECE_EFFECT_PREVIEW)
                return OnEffectPreview(lParam);
            if (message == WM_KELSB_SHOW_CONTENT)
                return ShowContent(static_cast<int>(wParam), static_cast<int>(lParam));
        } catch (...) {
            return 0;
        }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CKelSBEditView::OnUpdatePlayCurrentFrame(WPARAM wParam, LPARAM lParam) {
    // A frame from outside beyond the largest the editor supports is taken as that frame.
    SetTimeLine(static_cast<DWORD>(std::min<WPARAM>(wParam, CKelSBContentBaseObj::kMaxFrame)));
    if (lParam == 1) {
        Invalidate();
        UpdateWindow();
    }
    return 0;
}

LRESULT CKelSBEditView::OnRefreshContents(LPARAM lParam) {
    const auto* pList = reinterpret_cast<const CObList*>(lParam);
    if (!pList || pList->IsEmpty())
        return 0;
    for (POSITION pos = pList->GetHeadPosition(); pos;) {
        const CObject* pObject = pList->GetNext(pos);
        if (const auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, pObject))
            InvalidateRect(GetMaterialRect(pContent), TRUE);
    }
    return 0;
}

// ---- Automation.

// Fills what a host reads through the automation message.
void CKelSBEditView::FillAutomationState(kel::automation::EditorState& state) const {
    using namespace kel::automation;
    state.toolMode = static_cast<int>(m_dwToolMode);
    state.hasView = true;
    state.view = const_cast<CKelSBEditView*>(this);
    GetClientRect(&state.client);
    state.regions[kSelector] = Geometry().GetSelectorRect();
    state.regions[kZoomButton] = Geometry().GetZoomButtonRect();
    state.regions[kZoomBar] = Geometry().GetZoomBarRect();
    state.regions[kHScrollBar] = Geometry().GetHScrollRect();
    state.regions[kCornerBox] = Geometry().GetCornerBoxRect();
    state.regions[kTimeArea] = Geometry().GetTimeAreaRect();
    state.regions[kVScrollBar] = Geometry().GetVScrollRect();
    state.regions[kMarkerBand] = Geometry().GetMarkerBandRect();
    state.regions[kRuler] = Geometry().GetRulerRect();
    state.regions[kTrackArea] = Geometry().GetTrackAreaRect();
    state.regions[kHeaderColumn] = Geometry().GetHeaderColumnRect();
    state.hscroll = Scroll().GetHScrollPos();
    state.vscroll = Scroll().GetVScrollPos();
    state.zoomIndex = Geometry().GetZoomIndex();
    state.currentTrack = m_selection.GetCurTrackIndex();
    static_assert(static_cast<std::size_t>(KelSBGestureState::kRubberBand) + 1 ==
                  kel::automation::kGestureNames.size());
    state.gesture = static_cast<int>(m_gesture.GetState());

    CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return;
    for (POSITION pos = m_selection.GetSelTrackList().GetHeadPosition(); pos;) {
        const auto* pTrack =
            static_cast<const CKelSBTrackObj*>(m_selection.GetSelTrackList().GetNext(pos));
        state.selectedTracks.push_back(pBody->GetTrackIndex(pTrack));
    }
    for (POSITION pos = m_selection.GetSelContainerList().GetHeadPosition(); pos;) {
        const auto* pContainer =
            DYNAMIC_DOWNCAST(CKelSBContainerObj, m_selection.GetSelContainerList().GetNext(pos));
        state.selectedContainers.push_back(pBody->GetContainerIndex(pContainer));
    }
    if (const CKelSBContainerObj* pContainer =
            Selection().FindContainerOf(m_selection.GetCurContent())) {
        state.hasCurrentContent = true;
        state.currentContainer = pBody->GetContainerIndex(pContainer);
        state.currentMaterial =
            static_cast<int>(pContainer->GetContentList().IndexOf(m_selection.GetCurContent()));
    }
    const HCURSOR hCursor = GetCursor();
    if (hCursor && hCursor->resourceId >= IDC_CURSOR_TRIM &&
        hCursor->resourceId <= IDC_CURSOR_FIXED_PASTE)
        state.cursorId = hCursor->resourceId;
}
