// Drag and drop on the timeline: the drag the view starts of its selected materials, the drop
// target for that drag and for pieces dragged in from the host, the record of the drag over
// the view and its XOR outline. It exists so that the drag's state (which is only meaningful
// between an enter and a drop or leave) lives apart from the view's other state, and so that
// the rule that a move's data is believed only from this view's own drag sits in one place.
//
// The placements themselves (what a drop changes, the undo step) are the view's editing
// operations PlaceGroup and PlaceFromOutside; this object tests and performs through them.
#pragma once

#include "edit/edit_place.h"

#include "platform/collections.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <memory>
#include <vector>

class CKelSBEditView;
class COleDropTarget;

namespace kel::platform {
struct DragPayload;
}

class KelSBViewDragDrop {
public:
    explicit KelSBViewDragDrop(CKelSBEditView& view);
    ~KelSBViewDragDrop();
    KelSBViewDragDrop(const KelSBViewDragDrop&) = delete;
    KelSBViewDragDrop& operator=(const KelSBViewDragDrop&) = delete;

    // Makes the view the drop target of its own drags and of the host's pieces; at creation.
    void RegisterAsDropTarget();
    // The view's own drag of its selected materials from the client point, run to its end.
    // 0 when none started (nothing selected, not on a material, a locked track).
    int BeginDragOfSelection(CPoint point);

    // Drop target operations; points are client points, results drop effects
    // (DROPEFFECT_MOVE or DROPEFFECT_NONE).
    DWORD OnDragEnter(const kel::platform::DragPayload* pData, CPoint point);
    DWORD OnDragOver(CPoint point);
    void OnDragLeave();
    int OnDrop(CPoint point);
    // Forgets the record of the drag over the view, so that a running drag's drop is refused.
    void ResetDrag();

    // Runs the record's placement without changing anything and notes in it whether it passed.
    int TestDrop(CONTAINER_INSERT_PARAM& record);
    // Places the record for real under the history text of a move or a drag in.
    int PerformDrop(CONTAINER_INSERT_PARAM& record);
    // The undo title a placement performs under (0: none, and then nothing is performed).
    UINT GetPendingUndoTitle() const { return m_nPendingUndoTitle; }
    void SetPendingUndoTitle(UINT nTextId) { m_nPendingUndoTitle = nTextId; }
    // Whether the undo title pending suits a placement of the record kind.
    bool MayPerformUnder(DWORD dwKind) const;
    // Set while a group from outside (a drag in, a fixed point paste) is being placed.
    int IsFromOutside() const { return m_bFromOutside; }
    void SetFromOutside(int bFromOutside) { m_bFromOutside = bFromOutside ? 1 : 0; }

private:
    // The data of a drag of the selected materials: every material of every selected
    // container (containers in selection order) and the point where the drag began.
    struct MovePayload {
        CObList materials{10};
        CPoint ptStart;
    };

    // The drag record from a drop's data: this view's own move, or pieces from the host.
    // DROPEFFECT_NONE (record reset) for anything else.
    DWORD ReadDragData(const kel::platform::DragPayload* pData, CPoint point);
    // Tests the record at the point with the feedback redrawn; the drop effect.
    DWORD TestDragAt(CPoint point);
    // The XOR outline of where the dragged group would land, drawn or taken away.
    void DrawDragFeedback();
    void EraseDragFeedback();
    void XorDragFeedback();

    CKelSBEditView& m_view;
    std::unique_ptr<COleDropTarget> m_pDropTarget;
    // Lives until the DoDragDrop of the drag this view started returns.
    std::unique_ptr<MovePayload> m_pOwnPayload;
    CONTAINER_INSERT_PARAM m_drag;
    // The data of the drag over the view (null when none is).
    const void* m_pDragPayload = nullptr;
    int m_bFromOutside = 0;
    UINT m_nPendingUndoTitle = 0;
    DWORD m_dwLastDropEffect = 0;
    CPoint m_ptLastTested{-1, -1};
    std::vector<CRect> m_dragFeedback; // drawn in XOR; drawing them again erases them
};
