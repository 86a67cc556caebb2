// The Storyboard List dialog's list: one owner-drawn item per storyboard, its context menu, and
// the storyboard operations run on the highlighted item.
#include "dialog/module_instance.h"
#include "dialog/sblist_dlg.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/services/gui_font.h"
#include "host/services/module_rc.h"
#include "platform/dc.h"
#include "platform/menu.h"
#include "res/resource.h"

#include <algorithm>
#include <iterator>
#include <utility>

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

// The storyboard operation of each command, on the view.
constexpr std::pair<UINT, int (CKelSBEditView::*)()> kOperations[] = {
    {ID_SBLIST_APPEND, &CKelSBEditView::AppendSBBody},
    {ID_SBLIST_INSERT, &CKelSBEditView::InsertSBBody},
    {ID_SBLIST_DELETE, &CKelSBEditView::DeleteSBBody},
    {ID_SBLIST_MOVE_UP, &CKelSBEditView::MoveUpSBBody},
    {ID_SBLIST_MOVE_DOWN, &CKelSBEditView::MoveDownSBBody},
    {ID_SBLIST_CUT, &CKelSBEditView::CutSBBody},
    {ID_SBLIST_COPY, &CKelSBEditView::CopySBBody},
    {ID_SBLIST_PASTE, &CKelSBEditView::PasteSBBody},
};

// The question a command asks before it acts, 0 for none.
UINT QuestionOf(UINT nCommand) {
    if (nCommand == ID_SBLIST_DELETE)
        return IDS_ASK_DELETE_SB;
    if (nCommand == ID_SBLIST_CUT)
        return IDS_ASK_CUT_SB;
    return 0;
}

} // namespace

CKelSBEditView* CKelSBBodyListBox::GetView() const {
    const auto* pDialog = dynamic_cast<const CKelSBOperationDlg*>(GetParent());
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

KelSBListAbilities CKelSBBodyListBox::Abilities() const {
    KelSBListAbilities can;
    const int nItems = GetCount();
    const int nSel = GetCurSel();
    can.bMoveUp = nItems > 1 && nSel != 0;
    can.bMoveDown = nItems > 1 && nSel != nItems - 1;
    const CKelSBEditObj* pDoc = GetDocument();
    can.bRemove = pDoc && pDoc->GetSBBodyCount() != 1;
    can.bPaste = pDoc && pDoc->GetSBClipboardCount() != 0;
    return can;
}

bool KelSBListAbilities::Allows(UINT nCommand) const {
    switch (nCommand) {
    case ID_SBLIST_MOVE_UP:
        return bMoveUp;
    case ID_SBLIST_MOVE_DOWN:
        return bMoveDown;
    case ID_SBLIST_DELETE:
    case ID_SBLIST_CUT:
        return bRemove;
    case ID_SBLIST_PASTE:
        return bPaste;
    default:
        return true;
    }
}

void CKelSBBodyListBox::GrayMenuItems(CMenu& popup) const {
    const KelSBListAbilities can = Abilities();
    for (const auto& [nId, pfnOperation] : kOperations) {
        if (!can.Allows(nId))
            popup.EnableMenuItem(nId, MF_BYCOMMAND | MF_GRAYED);
    }
}

BOOL CKelSBBodyListBox::RunCommand(UINT nId) {
    CKelSBEditView* pView = GetView();
    CKelSBEditObj* pDoc = GetDocument();
    const int nSel = GetCurSel();
    const auto* pOperation = std::find_if(std::begin(kOperations), std::end(kOperations),
                                          [nId](const auto& entry) { return entry.first == nId; });
    if (!pView || !pDoc || nSel < 0 || pOperation == std::end(kOperations))
        return FALSE;
    const auto pfnOperation = pOperation->second;
    if (const UINT nQuestion = QuestionOf(nId)) {
        const int nAnswer =
            CKelModuleRC::MessageBoxW(kel::sbedit::ModuleInstance(), nQuestion,
                                      MB_YESNOCANCEL | MB_ICONQUESTION, GetParent());
        if (nAnswer != IDYES)
            return FALSE;
    }
    // The operations act on the current storyboard, and the one a person pointed at is the
    // highlighted one: it becomes current first. While loaded every operation is refused, so
    // nothing is switched for it either.
    if (!pView->IsLoaded() && nSel != pDoc->GetCurSBBodyIndex())
        pView->SwitchSBBody(nSel);
    const int bDone = (pView->*pfnOperation)();
    // A storyboard that was not deleted is still listed as it was.
    if (nId == ID_SBLIST_DELETE && !bDone)
        return FALSE;
    Fill();
    return TRUE;
}

BOOL CKelSBBodyListBox::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT nId = LOWORD(wParam);
    if (nId >= ID_SBLIST_APPEND && nId <= ID_SBLIST_PASTE) {
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
    if (auto* pDialog = dynamic_cast<CKelSBOperationDlg*>(GetParent()))
        pDialog->UpdateButtonStates();

    CMenu menu;
    if (!CKelModuleRC::LoadMenuW(kel::sbedit::ModuleInstance(), IDR_MENU_SB_LIST, menu))
        return;
    CMenu* pPopup = menu.GetSubMenu(0);
    if (!pPopup)
        return;
    GrayMenuItems(*pPopup);
    CPoint screen;
    GetCursorPos(&screen);
    pPopup->TrackPopupMenu(TPM_RIGHTBUTTON, screen.x, screen.y, this);
    if (auto* pDialog = dynamic_cast<CKelSBOperationDlg*>(GetParent()))
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
