// Which tracks and which materials of the timeline are selected, and which material has the
// focus. It exists so that the selection and its rules (a material is selected through its
// container; the current material is one of the selected containers' materials) live in one
// object that the mouse, the keys, the menus, the editing operations and the commands share,
// apart from the view's painting and scrolling.
//
// The lists do not own: the storyboard owns tracks and containers. The view owning this object
// repaints what a change of selection touches and shows the span in the status line.
#pragma once

#include "edit/edit_find.h"

#include "platform/collections.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <vector>

class CKelSBEditView;
class CKelSBContainerObj;
class CKelSBContentBaseObj;
class CKelObList;

class KelSBViewSelection {
public:
    explicit KelSBViewSelection(CKelSBEditView& view) : m_view(view) {}

    CObList& GetSelTrackList() { return m_lstSelTracks; }
    const CObList& GetSelTrackList() const { return m_lstSelTracks; }
    CObList& GetSelContainerList() { return m_lstSelContainers; }
    const CObList& GetSelContainerList() const { return m_lstSelContainers; }
    CKelSBContentBaseObj* GetCurContent() const { return m_pCurContent; }
    void SetCurContent(CKelSBContentBaseObj* pContent) { m_pCurContent = pContent; }
    int GetCurTrackIndex() const { return m_nCurTrackIndex; }
    // The track the track menu was opened over (-1: none); the track operations act on it.
    void SetCurTrackIndex(int nTrack) { m_nCurTrackIndex = nTrack; }

    // ---- Selecting (client points).
    int SelectTrackAt(CPoint point, int bExclusive);
    int SelectMaterialAt(CPoint point, int bExclusive);
    void SelectByRect(const CRect& rect);
    // Every container of the storyboard. 0 without a storyboard.
    int SelectAllMaterials();
    // 0 when no track is selected or there is no storyboard.
    int SelectAllMaterialsOfSelTracks();
    void ClearTrackSelection();
    void ClearMaterialSelection();
    // Clears both selections, then re-reads the storyboard.
    void ClearAllSelection();
    // Empties both lists and the focus without repainting (the view is re-read next).
    void Forget();
    // Selects the recorded containers again and makes the focus current (see
    // kel::edit::RestoreSelection); repaints nothing.
    void RestoreSelection(const std::vector<int>& containerIndices, const kel::edit::Focus& focus,
                          bool bTracksToo);

    // ---- What the menus, the status line and the editing operations ask.
    // The earliest entry and the latest outlet of the selected materials to the status line.
    void ShowSelectedSpan();
    // Whether every selected container lies on unlocked tracks only.
    int IsSelectionOnUnlockedTracks() const;
    int HasNoContainers() const;
    int HasNoLockedTrack() const;
    // The first container of the storyboard that holds the material, or null.
    CKelSBContainerObj* FindContainerOf(const CKelSBContentBaseObj* pContent) const;
    int IsContentSelected(const CKelSBContentBaseObj* pContent) const;
    // Where the current material sits, and the indices of the selected containers (ascending,
    // or in the order they were selected).
    kel::edit::Focus GetCurFocus() const;
    std::vector<int> GetSelContainerIndices() const;
    std::vector<int> GetSelContainerIndicesInSelectionOrder() const;
    // The materials of the selected containers: containers in selection order, each one's
    // materials in their order.
    std::vector<CKelSBContentBaseObj*> GetSelectedMaterials() const;
    // Appends a copy of every selected material, its geometry rectangle set to where it is
    // drawn. The copies belong to the list. Returns how many were appended.
    int CollectSelectedMaterials(CKelObList& list) const;
    // Appends the rectangle of every material of every selected container (empty ones left out).
    void CollectSelectionRects(std::vector<CRect>& rects) const;
    // Invalidates the headers and rows of the selected tracks (bTracks) or the rectangles of
    // every material of the selected containers.
    void InvalidateSelection(int bTracks);
    // The materials of the selected containers that may show within `clip`, in selection
    // order (the containers as selected, each one's materials in its order). A selection of
    // more than kSelectionWalkedUpTo containers is met from the screen's side.
    std::vector<const CKelSBContentBaseObj*> SelectedMaterialsWithin(const CRect& clip) const;
    static constexpr INT_PTR kSelectionWalkedUpTo = 32;

private:
    CKelSBEditView& m_view;
    CObList m_lstSelTracks{10};
    CObList m_lstSelContainers{10};
    CKelSBContentBaseObj* m_pCurContent = nullptr;
    int m_nCurTrackIndex = -1;
};
