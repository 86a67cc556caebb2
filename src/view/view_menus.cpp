// The context menus of the timeline view, one for each place a right click can land (the mouse
// code picks it): the track menu over the header column, the materials menu over a material,
// the track area menu over the empty part of a track, the storyboard menu below the tracks. A
// right click on a locked track shows none.
//
// Each menu is loaded from the module's resources, its items grayed or checked for what the
// view holds at that moment, and shown at the cursor with the view as its owner. The chosen
// command comes back to the view as WM_COMMAND and runs through the dialog's command table,
// which refuses it again if the state changed meanwhile: graying is a courtesy, the table is
// the rule. Which item the state grays is the table's too: the view only names the state.
#include "dialog/module_instance.h"
#include "dialog/sbedit_commands.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/services/module_rc.h"
#include "platform/menu.h"
#include "res/resource.h"

namespace {

// Positions of the delete mode items in the storyboard menu, which are checked by position.
constexpr UINT kDeleteModeNormalPos = 2;
constexpr UINT kDeleteModeRipplePos = 3;

// A context menu of the module's resources: the menu and its first pop-up, which is the one
// shown. The menu goes when the object does.
class ContextMenu {
public:
    explicit ContextMenu(UINT nMenuId) {
        if (CKelModuleRC::LoadMenuW(kel::sbedit::ModuleInstance(), nMenuId, m_menu))
            m_pPopup = m_menu.GetSubMenu(0);
    }
    CMenu* Popup() const { return m_pPopup; }
    // Shows the pop-up at the cursor; the chosen command goes to the owner.
    void Show(CWnd* pOwner) const {
        CPoint cursor;
        GetCursorPos(&cursor);
        m_pPopup->TrackPopupMenu(TPM_RIGHTBUTTON, cursor.x, cursor.y, pOwner);
    }

private:
    CMenu m_menu;
    CMenu* m_pPopup = nullptr;
};

} // namespace

void CKelSBEditView::ShowTrackMenu(CPoint /*point*/) {
    m_selection.SetCurTrackIndex(-1);
    CKelSBBodyObj* pBody = GetCurSBBody();
    CKelSBEditObj* pDoc = GetSBEditObj();
    const ContextMenu menu(IDR_MENU_TRACKS);
    if (!pBody || !pDoc || !menu.Popup())
        return;
    const INT_PTR nSelected = m_selection.GetSelTrackList().GetCount();
    unsigned state = 0;
    if (nSelected == 0) {
        state |= kKelSBNoTrackSelected;
    } else if (nSelected > 1) {
        state |= kKelSBManyTracksSelected;
    } else {
        const auto* pTrack =
            static_cast<const CKelSBTrackObj*>(m_selection.GetSelTrackList().GetHead());
        const int nTrack = pBody->GetTrackIndex(pTrack);
        const int nTracks = pBody->GetTrackCount();
        if (nTrack < 0 || nTracks == 0)
            return;
        m_selection.SetCurTrackIndex(nTrack);
        if (nTrack == 0)
            state |= kKelSBFirstTrack;
        if (nTrack == nTracks - 1)
            state |= kKelSBLastTrack;
        if (nTracks == 1)
            state |= kKelSBOnlyTrack;
        if (pTrack->IsLocked())
            state |= kKelSBLockedTrack;
    }
    if (pDoc->GetTrackClipboard().IsEmpty())
        state |= kKelSBTrackClipboardEmpty;
    KelSBGrayMenu(*menu.Popup(), KelSBCommandPlace::kTrackMenu, state);
    menu.Show(this);
}

void CKelSBEditView::ShowTrackAreaMenu(CPoint /*point*/) {
    const ContextMenu menu(IDR_MENU_TRACK_AREA);
    if (!menu.Popup())
        return;
    if (m_selection.GetSelTrackList().GetCount() == 1 && GetCurSBBody()) {
        m_selection.SetCurTrackIndex(GetCurSBBody()->GetTrackIndex(
            static_cast<const CKelSBTrackObj*>(m_selection.GetSelTrackList().GetHead())));
    }
    menu.Show(this);
}

void CKelSBEditView::ShowMaterialsMenu(CPoint /*point*/) {
    const INT_PTR nSelected = m_selection.GetSelContainerList().GetCount();
    if (nSelected == 0)
        return;
    const ContextMenu menu(IDR_MENU_MATERIALS);
    if (!menu.Popup())
        return;
    KelSBGrayMenu(*menu.Popup(), KelSBCommandPlace::kMaterialsMenu,
                  nSelected > 1 ? kKelSBManyMaterialsSelected : kKelSBOneMaterialSelected);
    menu.Show(this);
}

void CKelSBEditView::ShowStoryboardMenu(CPoint /*point*/) {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    const ContextMenu menu(IDR_MENU_STORYBOARD);
    if (!pBody || !menu.Popup())
        return;
    const bool bRipple = pBody->GetDeleteMode() != 0;
    menu.Popup()->CheckMenuItem(kDeleteModeNormalPos,
                                MF_BYPOSITION | (bRipple ? MF_UNCHECKED : MF_CHECKED));
    menu.Popup()->CheckMenuItem(kDeleteModeRipplePos,
                                MF_BYPOSITION | (bRipple ? MF_CHECKED : MF_UNCHECKED));
    menu.Show(this);
}
