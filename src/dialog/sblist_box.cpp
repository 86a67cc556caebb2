// The Storyboard List dialog's list: one owner-drawn item per storyboard, its context menu, and
// the storyboard operations run on the highlighted item.
#include "dialog/module_instance.h"
#include "dialog/sbedit_commands.h"
#include "dialog/sblist_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/services/gui_font.h"
#include "host/services/module_rc.h"
#include "platform/dc.h"
#include "platform/menu.h"
#include "res/resource.h"

namespace {

constexpr COLORREF kSelectedFill = RGB(140, 140, 0);
constexpr COLORREF kFill = RGB(96, 109, 137);
constexpr COLORREF kSelectedText = RGB(0, 0, 0);
constexpr COLORREF kText = RGB(255, 255, 255);
constexpr COLORREF kFrameLight = RGB(190, 190, 150);
constexpr COLORREF kFrameDark = RGB(20, 20, 0);
constexpr COLORREF kFocusDark = RGB(40, 40, 40);
constexpr COLORREF kFocusLight = RGB(192, 192, 192);
constexpr int kTextIndent = 6;

} // namespace

CKelSBOperationDlg* CKelSBBodyListBox::GetDialog() const {
    return dynamic_cast<CKelSBOperationDlg*>(GetParent());
}

CKelSBEditView* CKelSBBodyListBox::GetView() const {
    const CKelSBOperationDlg* pDialog = GetDialog();
    return pDialog ? pDialog->GetView() : nullptr;
}

CKelSBEditObj* CKelSBBodyListBox::GetDocument() const {
    const CKelSBEditView* pView = GetView();
    return pView ? pView->GetSBEditObj() : nullptr;
}

void CKelSBBodyListBox::Fill() {
    ResetContent();
    const CKelSBEditObj* pDoc = GetDocument();
    if (!pDoc)
        return;
    for (int i = 0; i < pDoc->GetSBBodyCount(); ++i) {
        CKelSBBodyObj* pBody = pDoc->GetSBBodyObj(i);
        const int nItem = AddString(pBody ? pBody->GetName().GetString() : "");
        SetItemDataPtr(nItem, pBody);
    }
    SetCurSel(pDoc->GetCurSBBodyIndex());
}

unsigned CKelSBBodyListBox::GrayState() const {
    const int nItems = GetCount();
    const int nSel = GetCurSel();
    const CKelSBEditObj* pDoc = GetDocument();
    unsigned state = 0;
    if (nItems <= 1 || nSel == 0)
        state |= kKelSBNothingAbove;
    if (nItems <= 1 || nSel == nItems - 1)
        state |= kKelSBNothingBelow;
    // The document keeps at least one storyboard.
    if (!pDoc || pDoc->GetSBBodyCount() == 1)
        state |= kKelSBOnlyStoryboard;
    if (!pDoc || pDoc->GetSBClipboardCount() == 0)
        state |= kKelSBStoryboardClipboardEmpty;
    return state;
}

BOOL CKelSBBodyListBox::RunCommand(UINT nId) {
    CKelSBEditView* pView = GetView();
    CKelSBEditObj* pDoc = GetDocument();
    CKelSBEditDlg* pOwner = GetDialog() ? GetDialog()->GetOwner() : nullptr;
    const int nSel = GetCurSel();
    const KelSBCommandEntry* pEntry = KelSBFindCommand(nId);
    if (!pView || !pOwner || !pDoc || nSel < 0 || !pEntry ||
        pEntry->place != KelSBCommandPlace::kStoryboardList)
        return FALSE;
    if (pEntry->nQuestion != 0) {
        const int nAnswer =
            CKelModuleRC::MessageBoxW(kel::sbedit::ModuleInstance(), pEntry->nQuestion,
                                      MB_YESNOCANCEL | MB_ICONQUESTION, GetParent());
        if (nAnswer != IDYES)
            return FALSE;
    }
    // The operations act on the current storyboard, and the one a person pointed at is the
    // highlighted one: it becomes current first. While loaded every operation is refused, so
    // nothing is switched for it either.
    if (!pView->IsLoaded() && nSel != pDoc->GetCurSBBodyIndex())
        pView->SwitchSBBody(nSel);
    const int bDone = pEntry->pfnRun(*pOwner, *pView, nId);
    // A storyboard that was not deleted is still listed as it was.
    if (nId == ID_SBLIST_DELETE && !bDone)
        return FALSE;
    Fill();
    return TRUE;
}

BOOL CKelSBBodyListBox::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nId = LOWORD(wParam);
    if (const KelSBCommandEntry* pEntry = KelSBFindCommand(nId);
        pEntry && pEntry->place == KelSBCommandPlace::kStoryboardList) {
        RunCommand(nId);
        return TRUE;
    }
    return CListBox::OnCommand(wParam, lParam);
}

void CKelSBBodyListBox::OnRButtonDown(UINT nFlags, CPoint point) {
    CListBox::OnRButtonDown(nFlags, point);
    // The item under the click is highlighted for the menu; the view keeps showing the current
    // storyboard until a command runs.
    BOOL bOutside = TRUE;
    const UINT nItem = ItemFromPoint(point, bOutside);
    if (!bOutside)
        SetCurSel(static_cast<int>(nItem));
    if (CKelSBOperationDlg* pDialog = GetDialog())
        pDialog->UpdateButtonStates();

    CMenu menu;
    if (!CKelModuleRC::LoadMenuW(kel::sbedit::ModuleInstance(), IDR_MENU_SB_LIST, menu))
        return;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (!pPopup)
        return;
    KelSBGrayMenu(*pPopup, KelSBCommandPlace::kStoryboardList, GrayState());
    CPoint screen;
    GetCursorPos(&screen);
    pPopup->TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, this);
    if (CKelSBOperationDlg* pDialog = GetDialog())
        pDialog->UpdateButtonStates();
}

void CKelSBBodyListBox::MeasureItem(LPMEASUREITEMSTRUCT measureItem) {
    measureItem->itemHeight = kItemHeight;
}

void CKelSBBodyListBox::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    if (GetCount() == 0 || drawItem->itemID >= static_cast<UINT>(GetCount()))
        return;
    CDC* pDC = drawItem->hDC;
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    // The name the item was filled with: the list never follows its item data, which a
    // storyboard deleted behind the dialog's back would leave dangling.
    CString strText;
    strText.Format("%s-%u", GetText(static_cast<int>(drawItem->itemID)).GetString(),
                   drawItem->itemID + 1);
    const bool bSelected = (drawItem->itemState & ODS_SELECTED) != 0;
    CRect rect = drawItem->rcItem;
    pDC->FillSolidRect(rect, bSelected ? kSelectedFill : kFill);
    pDC->SetTextColor(bSelected ? kSelectedText : kText);
    CFont* pOldFont = nullptr;
    if (CFont* pFont = CKelGuiFont::GetFont())
        pOldFont = pDC->SelectObject(pFont);
    CRect rcText = rect;
    rcText.left += kTextIndent;
    pDC->DrawText(strText, &rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    pDC->Draw3dRect(rect, kFrameLight, kFrameDark);
    if (drawItem->itemState & ODS_FOCUS) {
        CRect rcFocus = rect;
        rcFocus.DeflateRect(3, 2);
        pDC->Draw3dRect(rcFocus, kFocusDark, kFocusLight);
    }
    pDC->SetBkMode(nOldMode);
}
