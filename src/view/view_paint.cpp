// Painting of the timeline view: every region below the top strip fills its own background, so
// nothing is erased first and nothing flickers. Materials are painted in
// view_paint_materials.cpp.
#include "dialog/module_instance.h"
#include "view/sbedit_view.h"
#include "view/view_paint_tools.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/services/gui_font.h"
#include "host/services/module_rc.h"
#include "host/services/video_std.h"
#include "platform/dc.h"
#include "res/resource.h"

#include <algorithm>

namespace kel::sbedit {

void Bevel(CDC* pDC, const CRect& rect, const COLORREF* pFill, COLORREF crTop, COLORREF crBottom,
           int nLines) {
    if (pFill)
        pDC->FillSolidRect(rect, *pFill);
    CPen penTop(PS_SOLID, 1, crTop);
    CPen penBottom(PS_SOLID, 1, crBottom);
    CPen* pOld = pDC->SelectObject(&penTop);
    for (int i = 0; i < nLines; ++i) {
        pDC->MoveTo(rect.left, rect.top + i);
        pDC->LineTo(rect.right, rect.top + i);
    }
    pDC->SelectObject(&penBottom);
    for (int i = 0; i < nLines; ++i) {
        pDC->MoveTo(rect.left, rect.bottom - 1 - i);
        pDC->LineTo(rect.right, rect.bottom - 1 - i);
    }
    pDC->SelectObject(pOld);
}

PaintStep::PaintStep(CDC* pDC, const CRect& region, const CRect& below) : m_pDC(pDC) {
    CRect clip;
    if (!clip.IntersectRect(region, below) || !pDC->RectVisible(clip))
        return;
    m_nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(clip);
}

PaintStep::~PaintStep() {
    if (m_nSaved)
        m_pDC->RestoreDC(m_nSaved);
}

CRect TextBand(const CRect& rect, int nHeight) {
    const int nMiddle = (rect.top + rect.bottom) / 2;
    return CRect(rect.left, nMiddle - nHeight / 2, rect.right, nMiddle - nHeight / 2 + nHeight);
}

CRect HeaderButtonRect(const CRect& header, int nButton) {
    constexpr int kInset = 3;
    constexpr int kSize = 16;
    static_assert(kInset + kSize == kHeaderButtonReach);
    CRect inner = header;
    inner.DeflateRect(kInset, kInset);
    const int left = inner.left + nButton * kSize;
    return CRect(left, inner.top, left + kSize, inner.top + kSize);
}

} // namespace kel::sbedit

using kel::sbedit::Bevel;
using kel::sbedit::HeaderButtonRect;
using kel::sbedit::PaintStep;

namespace {

constexpr COLORREF kBevelLight = RGB(223, 223, 223);
constexpr COLORREF kBevelDark = RGB(128, 128, 128);
constexpr COLORREF kBandFill = RGB(180, 180, 180);
constexpr COLORREF kRangeBar = RGB(230, 220, 0);
constexpr COLORREF kRowsFill = RGB(161, 166, 170);
constexpr COLORREF kForbiddenFill = RGB(128, 128, 128);
constexpr COLORREF kHeaderText = RGB(60, 60, 60);
constexpr COLORREF kSelectedHeaderText = RGB(255, 255, 0);
constexpr COLORREF kSelectedHeaderFrame = RGB(158, 0, 0);
constexpr COLORREF kCurrentOutline = RGB(255, 0, 0);
constexpr COLORREF kOtherOutline = RGB(0, 255, 255);
constexpr COLORREF kMarkerFeedback = RGB(161, 149, 138);
constexpr COLORREF kTrimFeedback = RGB(154, 141, 113);

// Tick spacing of the ruler in logical pixels: a short tick every 5, a long one every unit, a
// label every five units.
constexpr int kShortTickEvery = 5;
constexpr int kLabelEvery = 5 * KelSBViewGeometry::kUnitPixels;
constexpr int kLongTickLength = 7;
constexpr int kShortTickLength = 4;
// The ruler is walked this far beyond both ends so that labels centred just outside it still
// show their visible half.
constexpr int kRulerOverscan = 125;

constexpr int kHeaderInset = 3;
constexpr int kTextBandHeight = 12;

// The trim line of a material at least this wide is kept within the track rows; a narrower one
// may flip its edge and follow the cursor past them.
constexpr int kTrimLineMinWidth = 6;

CBitmap* Usable(CBitmap& bitmap) {
    return bitmap.GetSafeHandle() ? &bitmap : nullptr;
}

void DrawBitmapAt(CDC* pDC, CBitmap& bitmap, const CRect& rect) {
    CBitmap* pBitmap = Usable(bitmap);
    if (pBitmap && pDC->RectVisible(rect))
        pDC->DrawState(rect.TopLeft(), rect.Size(), pBitmap, DST_BITMAP | DSS_NORMAL);
}

CString LoadText(UINT nId) {
    return CKelModuleRC::LoadStringW(kel::sbedit::ModuleInstance(), nId);
}

} // namespace

// ---- Messages.

void CKelSBEditView::OnPaint() {
    CPaintDC dc(this);
    OnDraw(&dc);
}

// Every region fills its own background when painted.
BOOL CKelSBEditView::OnEraseBkgnd(CDC* /*pDC*/) {
    return TRUE;
}

HBRUSH CKelSBEditView::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (pDC && (nCtlColor == CTLCOLOR_EDIT || nCtlColor == CTLCOLOR_LISTBOX)) {
        pDC->SetBkColor(m_crView);
        return &m_brView;
    }
    return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
}

// Paints everything below and beside the child controls, region by region; the controls
// paint themselves.
void CKelSBEditView::OnDraw(CDC* pDC) {
    if (!pDC)
        return;
    CFont* pOldFont = nullptr;
    CFont* pFont = CKelGuiFont::GetFont();
    if (pFont)
        pOldFont = pDC->SelectObject(pFont);
    PaintCornerBox(pDC);
    PaintMarkerBand(pDC);
    PaintRuler(pDC);
    PaintTrackHeaders(pDC);
    PaintTrackRows(pDC);
    PaintMaterials(pDC);
    PaintSelection(pDC);
    PaintTimeLine(pDC);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

// ---- Steps.

void CKelSBEditView::PaintCornerBox(CDC* pDC) {
    const CRect corner = Geometry().GetCornerBoxRect();
    PaintStep step(pDC, corner, Geometry().GetBelowStripRect());
    if (!step)
        return;
    CRect rect = corner;
    Bevel(pDC, rect, nullptr, kBevelDark, kBevelLight);
    rect.DeflateRect(1, 1);
    Bevel(pDC, rect, nullptr, kBevelLight, kBevelDark);
    rect.DeflateRect(0, 1);
    pDC->FillSolidRect(rect, m_crView);
}

void CKelSBEditView::PaintMarkerBand(CDC* pDC) {
    const CRect band = Geometry().GetMarkerBandRect();
    PaintStep step(pDC, band, Geometry().GetBelowStripRect());
    if (!step)
        return;
    Bevel(pDC, band, &kBandFill, kBevelLight, kBevelDark);
    if (!GetCurSBBody())
        return;
    const CRect bar = Geometry().GetRangeBarRect();
    if (!bar.IsRectEmpty())
        pDC->FillSolidRect(bar, kRangeBar);
    DrawBitmapAt(pDC, m_bmpRangeStart, Geometry().GetRangeStartHandleRect());
    DrawBitmapAt(pDC, m_bmpRangeEnd, Geometry().GetRangeEndHandleRect());
}

void CKelSBEditView::PaintRuler(CDC* pDC) {
    const CRect ruler = Geometry().GetRulerRect();
    PaintStep step(pDC, ruler, Geometry().GetBelowStripRect());
    if (!step)
        return;
    Bevel(pDC, ruler, &kBandFill, kBevelLight, kBevelDark);
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return;
    pDC->SelectStockObject(BLACK_PEN);
    pDC->SetTextColor(RGB(0, 0, 0));
    pDC->SetBkMode(TRANSPARENT);
    // The logical pixel is taken one further than the client x: every mark stands one pixel
    // left of the pixel it counts, so the mark of frame 0 sits on the ruler's left border.
    const int nLogicalOfX = Geometry().ClientToLogicalX(0) + 1;
    for (int x = ruler.left - kRulerOverscan; x < ruler.right + kRulerOverscan; ++x) {
        const int nLogical = x + nLogicalOfX;
        if (nLogical < 0)
            continue;
        // Ticks beyond the ruler are not drawn at all; only labels reach in from outside.
        const bool bOnRuler = x >= ruler.left && x < ruler.right;
        if (nLogical % KelSBViewGeometry::kUnitPixels == 0) {
            if (bOnRuler) {
                pDC->MoveTo(x, ruler.bottom - 1);
                pDC->LineTo(x, ruler.bottom - 1 - kLongTickLength);
            }
            if (nLogical % kLabelEvery == 0) {
                const auto dwFrame =
                    static_cast<DWORD>(std::max(Geometry().PixelToFrame(nLogical), 0));
                CString strLabel;
                if (pBody->GetFrameDisplay())
                    strLabel.Format("%lu", static_cast<unsigned long>(dwFrame));
                else
                    strLabel = CKelVideoStd::FrameToTCStr(dwFrame);
                const CSize extent = pDC->GetTextExtent(strLabel);
                const CPoint origin(x - extent.cx / 2, ruler.top + 2);
                if (pDC->RectVisible(CRect(origin, extent)))
                    pDC->TextOut(origin.x, origin.y, strLabel);
            }
        } else if (bOnRuler && nLogical % kShortTickEvery == 0) {
            pDC->MoveTo(x, ruler.bottom - 1);
            pDC->LineTo(x, ruler.bottom - 1 - kShortTickLength);
        }
    }
    DrawBitmapAt(pDC, m_bmpTimeLineHead, Geometry().GetTimeLineHeadRect(pBody->GetTimeLinePos()));
}

void CKelSBEditView::PaintTrackHeaders(CDC* pDC) {
    const CRect column = Geometry().GetHeaderColumnRect();
    PaintStep step(pDC, column, Geometry().GetBelowStripRect());
    if (!step)
        return;
    pDC->FillSolidRect(column, kBandFill);
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return;
    const CString strTrack = LoadText(IDS_PAINT_TRACK);
    CBrush brSelectedFrame(kSelectedHeaderFrame);
    pDC->SetBkMode(TRANSPARENT);
    const auto [nFirst, nEnd] = VisibleTracks(pDC);
    for (int i = nFirst; i < nEnd; ++i) {
        const CRect header = Geometry().GetTrackHeaderRect(i);
        const CKelSBTrackObj* pTrack = pBody->GetTrackObj(i);
        if (!pTrack || header.IsRectEmpty() || !pDC->RectVisible(header))
            continue;
        pDC->Draw3dRect(header, kBevelLight, kBevelDark);
        const bool bSelected = m_selection.GetSelTrackList().Find(pTrack) != nullptr;
        // A selected header looks pressed: its contents sit one pixel right and down.
        CRect inner = header;
        if (bSelected)
            inner.OffsetRect(1, 1);
        pDC->SetTextColor(bSelected ? kSelectedHeaderText : kHeaderText);
        CString strName;
        strName.Format("%s%d", strTrack.GetString(), i + 1);
        CRect textArea = inner;
        textArea.DeflateRect(kHeaderInset, kHeaderInset);
        pDC->DrawText(strName, kel::sbedit::TextBand(textArea, kTextBandHeight),
                      DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        CRect play = HeaderButtonRect(inner, 0);
        play.OffsetRect(1, 1);
        CRect lock = HeaderButtonRect(inner, 1);
        lock.OffsetRect(1, 1);
        DrawBitmapAt(pDC, pTrack->IsPlayAllowed() ? m_bmpPlayAllowed : m_bmpPlayForbidden, play);
        DrawBitmapAt(pDC, pTrack->IsLocked() ? m_bmpLocked : m_bmpUnlocked, lock);
        if (bSelected)
            pDC->FrameRect(header, &brSelectedFrame);
    }
}

void CKelSBEditView::PaintTrackRows(CDC* pDC) {
    const CRect area = Geometry().GetTrackAreaRect();
    PaintStep step(pDC, area, Geometry().GetBelowStripRect());
    if (!step)
        return;
    pDC->FillSolidRect(area, kRowsFill);
    CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody)
        return;
    const auto [nFirst, nEnd] = VisibleTracks(pDC);
    for (int i = nFirst; i < nEnd; ++i) {
        CRect row = Geometry().GetTrackRowRect(i);
        const CKelSBTrackObj* pTrack = pBody->GetTrackObj(i);
        if (!pTrack || row.IsRectEmpty() || !pDC->RectVisible(row))
            continue;
        Bevel(pDC, row, nullptr, kBevelLight, kBevelDark);
        row.DeflateRect(0, 1);
        Bevel(pDC, row, nullptr, kBevelDark, kBevelLight);
        if (!pTrack->IsPlayAllowed()) {
            row.DeflateRect(0, 1);
            if (!row.IsRectEmpty())
                pDC->FillSolidRect(row, kForbiddenFill);
        }
    }
}

void CKelSBEditView::PaintSelection(CDC* pDC) {
    PaintStep step(pDC, Geometry().GetTrackAreaRect(), Geometry().GetBelowStripRect());
    if (!step || !GetCurSBBody())
        return;
    CPen penCurrent(PS_DOT, 1, kCurrentOutline);
    CPen penOther(PS_DOT, 1, kOtherOutline);
    pDC->SelectStockObject(NULL_BRUSH);
    CRect clip;
    pDC->GetClipBox(&clip);
    for (const CKelSBContentBaseObj* pContent : Selection().SelectedMaterialsWithin(clip)) {
        CRect rect = GetMaterialRect(pContent);
        if (rect.IsRectEmpty() || !pDC->RectVisible(rect))
            continue;
        rect.DeflateRect(1, 1);
        pDC->SelectObject(pContent == m_selection.GetCurContent() ? &penCurrent : &penOther);
        pDC->Rectangle(rect);
    }
}

std::pair<int, int> CKelSBEditView::VisibleTracks(CDC* pDC) const {
    CRect clip;
    pDC->GetClipBox(&clip);
    return Geometry().GetTrackSpan(clip.top, clip.bottom);
}

void CKelSBEditView::PaintTimeLine(CDC* pDC) {
    PaintStep step(pDC, Geometry().GetTimeAreaRect(), Geometry().GetBelowStripRect());
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!step || !pBody)
        return;
    const CRect line = Geometry().GetTimeLineRect(pBody->GetTimeLinePos());
    if (line.IsRectEmpty() || !pDC->RectVisible(line))
        return;
    pDC->SelectStockObject(BLACK_PEN);
    for (int x = line.left; x < line.right; ++x) {
        pDC->MoveTo(x, line.top);
        pDC->LineTo(x, line.bottom);
    }
}

// ---- Repaint requests.

void CKelSBEditView::InvalidateTrackHeader(int nTrack, BOOL bWithRow) {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!pBody || nTrack < 0 || nTrack >= pBody->GetTrackCount())
        return;
    InvalidateRect(Geometry().GetTrackHeaderRect(nTrack), FALSE);
    if (bWithRow)
        InvalidateRect(Geometry().GetTrackRowRect(nTrack), FALSE);
}

// ---- Header tip.

// The header tip names the header button under the point and is silent elsewhere.
void CKelSBEditView::UpdateHeaderTip(CPoint point) {
    if (!m_HeaderTip.GetSafeHwnd())
        return;
    const CKelSBBodyObj* pBody = GetCurSBBody();
    int nButton = 0;
    const int nTrack = Geometry().HeaderButtonTest(point, nButton);
    const CKelSBTrackObj* pTrack = pBody && nTrack >= 0 ? pBody->GetTrackObj(nTrack) : nullptr;
    if (!pTrack) {
        m_HeaderTip.SendMessage(TTM_ACTIVATE, 0, 0);
        return;
    }
    UINT nTextId = 0;
    if (nButton == 0)
        nTextId = pTrack->IsPlayAllowed() ? IDS_TIP_ALLOW_PLAYING : IDS_TIP_FORBID_PLAYING;
    else
        nTextId = pTrack->IsLocked() ? IDS_TIP_LOCK : IDS_TIP_UNLOCK;
    m_HeaderTip.SendMessage(TTM_ACTIVATE, 1, 0);
    m_HeaderTip.UpdateTipText(LoadText(nTextId).GetString(), this);
}

// ---- XOR feedback.

void CKelSBEditView::DrawMarkerFeedback() {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    const DWORD dwMode = m_gesture.GetMarkerMode();
    if (!pBody || dwMode == 0 || !GetSafeHwnd())
        return;
    const CRect rows = Geometry().GetTrackRowsRect();
    const int top = Geometry().GetRulerRect().top;
    CClientDC dc(this);
    dc.IntersectClipRect(Geometry().GetTimeAreaRect());
    CPen pen(PS_SOLID, 1, kMarkerFeedback);
    CPen* pOldPen = dc.SelectObject(&pen);
    const int nOldRop = dc.SetROP2(R2_XORPEN);
    auto line = [&](DWORD dwFrame) {
        const int x = Geometry().FrameToClientX(static_cast<int>(dwFrame));
        dc.MoveTo(x, top);
        dc.LineTo(x, rows.bottom);
    };
    if (dwMode == 1 || dwMode == 3)
        line(pBody->GetRangeStart());
    if (dwMode == 2 || dwMode == 3)
        line(pBody->GetRangeEnd());
    dc.SetROP2(nOldRop);
    dc.SelectObject(pOldPen);
}

void CKelSBEditView::DrawTrimFeedback() {
    const KelSBTrimCandidate& trim = m_gesture.Candidate();
    if (!trim.pContent || !GetSafeHwnd())
        return;
    const CRect rows = Geometry().GetTrackRowsRect();
    const int x = trim.ptPoint.x + trim.nGrabOffset;
    if (trim.rcMaterial.Width() >= kTrimLineMinWidth && (x < rows.left || x >= rows.right))
        return;
    CClientDC dc(this);
    CPen pen(PS_SOLID, 1, kTrimFeedback);
    CPen* pOldPen = dc.SelectObject(&pen);
    const int nOldRop = dc.SetROP2(R2_XORPEN);
    dc.MoveTo(x, rows.top);
    dc.LineTo(x, rows.bottom);
    dc.SetROP2(nOldRop);
    dc.SelectObject(pOldPen);
}
