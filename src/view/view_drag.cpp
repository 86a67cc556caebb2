// Drag and drop on the timeline. The view starts a drag of the selected materials
// ("MOVE_OBJECT_DATA") once a press on one of them moves three pixels, and it is the drop target
// of that drag and of pieces dragged in from the host's panels ("CREATE_PIECE_DATA"). While the
// cursor moves over it, the view tests the placement at each new point and outlines where the
// group would land; the drop places it for real (view_drop.cpp).
//
// Drop data is outside input. A move's data holds pointers to this storyboard's materials, so it
// is taken only from the drag this view itself started; piece data is read only when it holds
// every byte it must, and only for a piece of the scene of the kind its type names.
#include "view/view_drag.h"

#include "dialog/module_instance.h"
#include "dialog/sbedit_dlg.h"
#include "edit/edit_piece_group.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"
#include "host/services/drag_data.h"
#include "host/services/module_rc.h"
#include "platform/ole.h"
#include "res/resource.h"

#include <new>

namespace {

constexpr const char* kMoveFormat = "MOVE_OBJECT_DATA";
// The outline of a dragged group where it would land.
constexpr COLORREF kDragFeedback = RGB(200, 200, 200);

// Hands the drop target calls of the platform to the view's drag and drop.
class ViewDropTarget : public COleDropTarget {
public:
    explicit ViewDropTarget(KelSBViewDragDrop& dragDrop) : m_dragDrop(dragDrop) {}
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject* pData, DWORD, CPoint point) override {
        return m_dragDrop.OnDragEnter(pData ? pData->GetPayload() : nullptr, point);
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint point) override {
        return m_dragDrop.OnDragOver(point);
    }
    void OnDragLeave(CWnd*) override { m_dragDrop.OnDragLeave(); }
    BOOL OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint point) override {
        return m_dragDrop.OnDrop(point) ? TRUE : FALSE;
    }

private:
    KelSBViewDragDrop& m_dragDrop;
};

} // namespace

KelSBViewDragDrop::KelSBViewDragDrop(CKelSBEditView& view) : m_view(view) {}

KelSBViewDragDrop::~KelSBViewDragDrop() = default;

void KelSBViewDragDrop::RegisterAsDropTarget() {
    m_pDropTarget = std::make_unique<ViewDropTarget>(*this);
    m_pDropTarget->Register(&m_view);
}

// ---- Starting a drag.

int KelSBViewDragDrop::BeginDragOfSelection(CPoint point) {
    if (m_view.Selection().GetSelContainerList().IsEmpty())
        return 0;
    KelSBHitResult hit;
    m_view.Geometry().HitTest(point, hit);
    if (hit.nTrackIndex < 0 || !hit.pContainer || !hit.pContent)
        return 0;
    // Materials of a locked track may not move, and a container moves whole.
    if (!m_view.Selection().IsSelectionOnUnlockedTracks())
        return 0;
    CKelOleDataSource* pSource = nullptr;
    try {
        auto pPayload = std::make_unique<MovePayload>();
        for (POSITION pos = m_view.Selection().GetSelContainerList().GetHeadPosition(); pos;) {
            auto* pContainer = static_cast<CKelSBContainerObj*>(
                m_view.Selection().GetSelContainerList().GetNext(pos));
            pPayload->materials.AddTail(&pContainer->GetContentList());
        }
        pPayload->ptStart = point;
        pSource =
            CKelDDPieceData::CreateKelDataSource(kMoveFormat, pPayload.get(), sizeof(MovePayload));
        if (pSource)
            m_pOwnPayload = std::move(pPayload);
    } catch (const std::bad_alloc&) {
        pSource = nullptr;
    }
    if (!pSource) {
        m_view.SetHistorySync(0);
        CKelModuleRC::MessageBoxW(kel::sbedit::ModuleInstance(), IDS_OUT_OF_MEMORY, MB_OK, &m_view);
        m_view.SetHistorySync(1);
        return 0;
    }
    CKelOleDropSource dropSource(DROPEFFECT_MOVE);
    pSource->DoDragDrop(DROPEFFECT_MOVE, nullptr, &dropSource);
    pSource->Release();
    // Whether dropped or not, the drag is over and nothing may read its data any more.
    m_pOwnPayload.reset();
    return 1;
}

// ---- The drop target.

DWORD KelSBViewDragDrop::OnDragEnter(const kel::platform::DragPayload* pData, CPoint point) {
    if (!m_view.GetCurSBBody())
        return DROPEFFECT_NONE;
    EraseDragFeedback();
    ResetDrag();
    if (!ReadDragData(pData, point))
        return DROPEFFECT_NONE;
    return TestDragAt(point);
}

DWORD KelSBViewDragDrop::OnDragOver(CPoint point) {
    if (!m_pDragPayload)
        return DROPEFFECT_NONE;
    if (point == m_ptLastTested)
        return m_dwLastDropEffect;
    return TestDragAt(point);
}

void KelSBViewDragDrop::OnDragLeave() {
    if (!m_pDragPayload)
        return;
    EraseDragFeedback();
    ResetDrag();
    if (m_view.GetParentDlg())
        m_view.GetParentDlg()->UpdateCaption(m_view.Selection().GetCurContent());
}

int KelSBViewDragDrop::OnDrop(CPoint point) {
    EraseDragFeedback();
    if (!m_pDragPayload || !m_view.Geometry().GetTrackRowsRect().PtInRect(point)) {
        ResetDrag();
        return 0;
    }
    m_drag.ptCurrent = point;
    int nResult = 0;
    if (TestDrop(m_drag)) {
        nResult = PerformDrop(m_drag);
        if (nResult)
            static_cast<CKelSBEditorServices&>(m_view).EnsureCurContentVisible();
    }
    if (m_view.GetParentDlg())
        m_view.GetParentDlg()->UpdateCaption(m_drag.dwNewStoryIn, m_drag.dwNewStoryOut,
                                             m_drag.group.GetDuration(), 1);
    ResetDrag();
    m_view.SetFocus();
    return nResult;
}

DWORD KelSBViewDragDrop::ReadDragData(const kel::platform::DragPayload* pData, CPoint point) {
    CString strFormat;
    const void* pBytes = nullptr;
    std::size_t nSize = 0;
    if (!CKelDDPieceData::GetData(pData, strFormat, pBytes, &nSize))
        return 0;
    if (strFormat == kMoveFormat) {
        // Pointers into this storyboard: only the data of this view's own drag is believed.
        if (!m_pOwnPayload || pBytes != m_pOwnPayload.get() || nSize != sizeof(MovePayload))
            return 0;
        m_drag.group.GetContentList().AddTail(&m_pOwnPayload->materials);
        m_drag.group.MakeOrder(0);
        m_drag.ptStart = m_pOwnPayload->ptStart;
        m_drag.dwKind = CONTAINER_INSERT_PARAM::kMove;
        m_drag.dwLeadIn = 0;
        m_bFromOutside = 0;
        m_pDragPayload = pBytes;
        return 1;
    }
    if (strFormat == KelPieceDragData::kFormat) {
        const std::optional<KelPieceDragData> piece = KelPieceDragData::Decode(pBytes, nSize);
        CKelSBBodyObj* pBody = m_view.GetCurSBBody();
        m_drag.bOwnsGroup = true;
        if (!piece || !m_view.GetCurScene() ||
            !kel::edit::BuildGroupFromPieceData(*m_view.GetCurScene(), *piece, m_drag.group)) {
            ResetDrag();
            return 0;
        }
        m_drag.dwKind = CONTAINER_INSERT_PARAM::kDragIn;
        KelSBHitResult hit;
        m_view.Geometry().HitTest(point, hit);
        m_drag.ptStart = m_view.Geometry().ClientToLogical(CPoint(0, hit.rcTrackRow.Height()));
        m_drag.dwLeadIn =
            kel::edit::DragInLeadIn(pBody->GetFramesPerUnit(), m_drag.group.GetDuration());
        m_bFromOutside = 1;
        m_pDragPayload = pBytes;
        return 1;
    }
    return 0;
}

DWORD KelSBViewDragDrop::TestDragAt(CPoint point) {
    EraseDragFeedback();
    m_drag.ptCurrent = point;
    const int bPassed = TestDrop(m_drag);
    DrawDragFeedback();
    m_ptLastTested = point;
    m_dwLastDropEffect = bPassed ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    return m_dwLastDropEffect;
}

int KelSBViewDragDrop::TestDrop(CONTAINER_INSERT_PARAM& record) {
    record.dwAccepted = 0;
    const int bPassed = record.dwKind == CONTAINER_INSERT_PARAM::kMove
                            ? m_view.PlaceGroup(record, 0)
                            : m_view.PlaceFromOutside(record, 0);
    record.dwAccepted = bPassed ? 1 : 0;
    return bPassed;
}

int KelSBViewDragDrop::PerformDrop(CONTAINER_INSERT_PARAM& record) {
    const bool bMove = record.dwKind == CONTAINER_INSERT_PARAM::kMove;
    m_nPendingUndoTitle = bMove ? IDS_HIST_MOVE : IDS_HIST_DRAG_IN;
    const int nResult = bMove ? m_view.PlaceGroup(record, 1) : m_view.PlaceFromOutside(record, 1);
    m_nPendingUndoTitle = 0;
    return nResult;
}

bool KelSBViewDragDrop::MayPerformUnder(DWORD dwKind) const {
    if (dwKind == CONTAINER_INSERT_PARAM::kMove)
        return m_nPendingUndoTitle == IDS_HIST_MOVE || m_nPendingUndoTitle == IDS_HIST_ALIGN_LEFT ||
               m_nPendingUndoTitle == IDS_HIST_ALIGN_RIGHT;
    return m_nPendingUndoTitle == IDS_HIST_DRAG_IN || m_nPendingUndoTitle == IDS_HIST_FIXED_PASTE;
}

void KelSBViewDragDrop::ResetDrag() {
    m_drag.Reset();
    m_pDragPayload = nullptr;
    m_bFromOutside = 0;
    m_ptLastTested = CPoint(-1, -1);
    m_dwLastDropEffect = DROPEFFECT_NONE;
}

// ---- Feedback.

void KelSBViewDragDrop::DrawDragFeedback() {
    if (!m_pDragPayload || !m_view.GetSafeHwnd())
        return;
    m_dragFeedback.clear();
    if (m_drag.dwKind == CONTAINER_INSERT_PARAM::kMove) {
        const CSize offset = m_drag.ptCurrent - m_drag.ptStart;
        const CObList& list = m_drag.group.GetContentList();
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            CRect rect = m_view.Geometry().GetMaterialRect(
                static_cast<CKelSBContentBaseObj*>(list.GetNext(pos)));
            rect.OffsetRect(offset);
            m_dragFeedback.push_back(rect);
        }
    } else {
        KelSBHitResult hit;
        m_view.Geometry().HitTest(m_drag.ptCurrent, hit);
        if (hit.pContent)
            m_dragFeedback.push_back(hit.rcContent);
        else if (hit.nTrackIndex >= 0 && m_drag.dwAccepted)
            m_dragFeedback.emplace_back(
                m_view.Geometry().FrameToClientX(static_cast<int>(m_drag.dwNewStoryIn)),
                hit.rcTrackRow.top,
                m_view.Geometry().FrameToClientX(static_cast<int>(m_drag.dwNewStoryOut)),
                hit.rcTrackRow.bottom);
    }
    XorDragFeedback();
}

void KelSBViewDragDrop::EraseDragFeedback() {
    XorDragFeedback();
    m_dragFeedback.clear();
}

void KelSBViewDragDrop::XorDragFeedback() {
    if (m_dragFeedback.empty() || !m_view.GetSafeHwnd())
        return;
    CClientDC dc(&m_view);
    dc.IntersectClipRect(m_view.Geometry().GetTrackAreaRect());
    CPen pen(PS_SOLID, 1, kDragFeedback);
    CPen* pOldPen = dc.SelectObject(&pen);
    CGdiObject* pOldBrush = dc.SelectStockObject(NULL_BRUSH);
    const int nOldRop = dc.SetROP2(R2_XORPEN);
    for (const CRect& rect : m_dragFeedback)
        dc.Rectangle(rect);
    dc.SetROP2(nOldRop);
    dc.SelectObject(pOldPen);
    if (pOldBrush)
        dc.SelectObject(pOldBrush);
}
