// The context menus of the timeline view, one for each place a right click can land (the mouse
// code picks it): the track menu over the header column, the materials menu over a material,
// the track area menu over the empty part of a track, the storyboard menu below the tracks. A
// right click on a locked track shows none.
//
// Each menu is loaded from the module's resources, its items grayed or checked for what the
// view holds at that moment, and shown at the cursor with the view as its owner. The chosen
// command comes back to the view as WM_COMMAND and runs through the dialog's command table,
// which refuses it again if the state changed meanwhile: graying is a courtesy, the table is
// the rule.
#include "dialog/module_instance.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/services/module_rc.h"
#include "platform/menu.h"
#include "res/resource.h"

#include <initializer_list>

namespace {

// Positions of the delete mode items in the storyboard menu, which are checked by position.
constexpr UINT kDeleteModeNormalPos = 2;
constexpr UINT kDeleteModeRipplePos = 3;

void Gray(CMenu& popup, std::initializer_list<UINT> commands) {
    for (const UINT nId : commands)
        popup.EnableMenuItem(nId, MF_BYCOMMAND | MF_GRAYED);
}

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
    m_nCurTrackIndex = -1;
    CKelSBBodyObj* pBody = GetCurSBBody();
    CKelSBEditObj* pDoc = GetSBEditObj();
    const ContextMenu menu(IDR_MENU_TRACKS);
    if (!pBody || !pDoc || !menu.Popup())
        return;
    CMenu& popup = *menu.Popup();
    const INT_PTR nSelected = m_lstSelTracks.GetCount();
    if (nSelected == 0) {
        Gray(popup, {ID_TRACK_INSERT, ID_TRACK_DELETE, ID_TRACK_MOVE_UP, ID_TRACK_MOVE_DOWN,
                     ID_TRACK_CUT, ID_TRACK_COPY});
    } else if (nSelected > 1) {
        Gray(popup, {ID_TRACK_INSERT, ID_TRACK_MOVE_UP, ID_TRACK_MOVE_DOWN, ID_TRACK_CUT,
                     ID_TRACK_COPY, ID_TRACK_PASTE});
    } else {
        const auto* pTrack = static_cast<const CKelSBTrackObj*>(m_lstSelTracks.GetHead());
        const int nTrack = pBody->GetTrackIndex(pTrack);
        const int nTracks = pBody->GetTrackCount();
        if (nTrack < 0 || nTracks == 0)
            return;
        m_nCurTrackIndex = nTrack;
        const bool bLocked = pTrack->IsLocked() != FALSE;
        if (nTrack == 0 || bLocked)
            Gray(popup, {ID_TRACK_MOVE_UP});
        if (nTrack == nTracks - 1 || bLocked)
            Gray(popup, {ID_TRACK_MOVE_DOWN});
        if (nTracks == 1 || bLocked)
            Gray(popup, {ID_TRACK_DELETE, ID_TRACK_CUT});
    }
    if (pDoc->GetTrackClipboard().IsEmpty())
        Gray(popup, {ID_TRACK_PASTE});
    menu.Show(this);
}

void CKelSBEditView::ShowTrackAreaMenu(CPoint /*point*/) {
    const ContextMenu menu(IDR_MENU_TRACK_AREA);
    if (!menu.Popup())
        return;
    if (m_lstSelTracks.GetCount() == 1 && GetCurSBBody()) {
        m_nCurTrackIndex = GetCurSBBody()->GetTrackIndex(
            static_cast<const CKelSBTrackObj*>(m_lstSelTracks.GetHead()));
    }
    menu.Show(this);
}

void CKelSBEditView::ShowMaterialsMenu(CPoint /*point*/) {
    const INT_PTR nSelected = m_lstSelContainers.GetCount();
    if (nSelected == 0)
        return;
    const ContextMenu menu(IDR_MENU_MATERIALS);
    if (!menu.Popup())
        return;
    if (nSelected > 1)
        Gray(*menu.Popup(), {ID_MAT_PLAY_PROPERTIES});
    else
        Gray(*menu.Popup(),
             {ID_MAT_MERGE, ID_MAT_ALIGN_LEFT, ID_MAT_ALIGN_RIGHT, ID_MAT_SAME_LENGTH});
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
