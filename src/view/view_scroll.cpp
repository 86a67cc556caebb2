// Scroll positions and ranges of the timeline view, and the zoom shown in the top strip. The
// scroll bars keep the positions (in logical pixels); the view reads them back from there.
#include "view/view_scroll.h"

#include "dialog/messages.h"
#include "dialog/module_instance.h"
#include "view/sbedit_view.h"
#include "view/view_pixels.h"

#include "host/sbobject/sb_body.h"
#include "host/services/module_rc.h"
#include "host/services/video_std.h"
#include "platform/cursor.h"
#include "res/resource.h"

#include <algorithm>

namespace {

// The scroll info the ranges are set with: range and page only, minimum 0.
SCROLLINFO RangeInfo(int nMax, int nPage) {
    SCROLLINFO info;
    info.cbSize = sizeof(SCROLLINFO);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = nMax;
    info.nPage = static_cast<UINT>(std::max(nPage, 0));
    return info;
}

// The new position of a scroll bar for a scroll code.
int ScrollTarget(CKelAquaScrollBar& bar, UINT nSBCode) {
    SCROLLINFO info;
    bar.GetScrollInfo(&info, SIF_ALL);
    const int p = info.nPos;
    const int nPage = static_cast<int>(info.nPage);
    switch (nSBCode) {
    case SB_LINELEFT:
        return p <= info.nMin ? p : p - 1;
    case SB_LINERIGHT:
        return p >= info.nMax ? p : p + 1;
    case SB_PAGELEFT:
        return std::max(info.nMin, p - nPage);
    case SB_PAGERIGHT:
        return std::min(info.nMax, p + nPage);
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        return bar.GetPos(SB_THUMBTRACK);
    case SB_LEFT:
        return info.nMin;
    case SB_RIGHT:
        return info.nMax;
    default:
        return p;
    }
}

// The stepless zoom bar runs backwards: its value (frames per unit) is its maximum minus its
// position, so moving it right zooms in.
int ZoomBarValue(CKelAquaScrollBar& bar) {
    SCROLLINFO info;
    bar.GetScrollInfo(&info, SIF_ALL);
    return info.nMax - info.nPos;
}

// The new value of the stepless zoom bar for a scroll code.
int ZoomBarTarget(CKelAquaScrollBar& bar, UINT nSBCode) {
    SCROLLINFO info;
    bar.GetScrollInfo(&info, SIF_ALL);
    const int v = info.nMax - info.nPos;
    const int nPage = static_cast<int>(info.nPage);
    switch (nSBCode) {
    case SB_LINELEFT:
        return v >= info.nMax ? v : v + 1;
    case SB_LINERIGHT:
        return v <= info.nMin ? v : v - 1;
    case SB_PAGELEFT:
        return std::min(info.nMax, v + nPage);
    case SB_PAGERIGHT:
        return std::max(info.nMin, v - nPage);
    case SB_THUMBTRACK:
        return info.nMax - bar.GetPos(SB_THUMBTRACK);
    case SB_LEFT:
        return info.nMax;
    case SB_RIGHT:
        return info.nMin;
    default:
        return v;
    }
}

// The index of the largest table entry not above the frames per unit (0 below the table).
int NearestZoomIndex(const CDWordArray& steps, DWORD dwFramesPerUnit) {
    int nIndex = 0;
    for (INT_PTR i = 0; i < steps.GetSize(); ++i) {
        if (steps[i] <= dwFramesPerUnit)
            nIndex = static_cast<int>(i);
    }
    return nIndex;
}

} // namespace

int KelSBViewScroll::GetHScrollPos() const {
    return m_HScroll.GetSafeHwnd() ? m_HScroll.GetScrollPos() : 0;
}

int KelSBViewScroll::GetVScrollPos() const {
    return m_VScroll.GetSafeHwnd() ? m_VScroll.GetScrollPos() : 0;
}

void KelSBViewScroll::SetHScrollPos(int nPos) {
    if (!m_HScroll.GetSafeHwnd())
        return;
    const int nOld = m_HScroll.GetScrollPos();
    m_HScroll.SetPos(nPos);
    const int nNew = m_HScroll.GetScrollPos();
    if (nNew == nOld)
        return;
    const CRect area = m_view.Geometry().GetTimeAreaRect();
    m_view.ScrollWindow(nOld - nNew, 0, &area, &area);
}

void KelSBViewScroll::SetVScrollPos(int nPos) {
    if (!m_VScroll.GetSafeHwnd())
        return;
    const int nOld = m_VScroll.GetScrollPos();
    m_VScroll.SetPos(nPos);
    const int nNew = m_VScroll.GetScrollPos();
    if (nNew == nOld)
        return;
    CRect area;
    area.UnionRect(m_view.Geometry().GetHeaderColumnRect(), m_view.Geometry().GetTrackAreaRect());
    m_view.ScrollWindow(0, nOld - nNew, &area, &area);
}

void KelSBViewScroll::ScrollHorz(int nDelta) {
    SetHScrollPos(kel::sbedit::ClampToInt(static_cast<long long>(GetHScrollPos()) + nDelta));
}

void KelSBViewScroll::UpdateHRange() {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!m_HScroll.GetSafeHwnd() || !pBody)
        return;
    SCROLLINFO info =
        RangeInfo(m_view.Geometry().FrameToPixel(static_cast<int>(pBody->GetDuration())),
                  m_view.Geometry().GetTrackAreaRect().Width());
    m_HScroll.SetScrollInfo(&info);
}

void KelSBViewScroll::UpdateVRange() {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!m_VScroll.GetSafeHwnd() || !pBody)
        return;
    SCROLLINFO info = RangeInfo(pBody->GetTrackHeight() * pBody->GetTrackCount(),
                                m_view.Geometry().GetTrackAreaRect().Height());
    m_VScroll.SetScrollInfo(&info);
}

void KelSBViewScroll::UpdateZoomBarRange() {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!m_ZoomBar.GetSafeHwnd() || !pBody)
        return;
    const int nLast =
        static_cast<int>(m_view.Geometry().GetZoomSteps()[KelSBViewGeometry::kZoomStepCount - 1]);
    // A time area of no width (a very narrow view) allows every zoom rather than dividing by 0.
    const int nWidth = m_view.Geometry().GetTimeAreaRect().Width();
    const long long q =
        nWidth > 0 ? static_cast<long long>(pBody->GetDuration()) * 100 / nWidth : 0;
    const int nMax = q == 0 ? nLast : static_cast<int>(std::min<long long>(q, nLast));
    SCROLLINFO info = RangeInfo(nMax, 10);
    m_ZoomBar.SetScrollInfo(&info);
    // The bar's value is its maximum less its position: a new maximum would otherwise show,
    // and on the next click apply, a scale the storyboard does not have.
    SetZoomBarToFPU(pBody->GetFramesPerUnit());
}

void KelSBViewScroll::SetZoomBarToFPU(DWORD dwFramesPerUnit) {
    if (!m_ZoomBar.GetSafeHwnd())
        return;
    int nMin = 0;
    int nMax = 0;
    m_ZoomBar.GetScrollRange(&nMin, &nMax);
    m_ZoomBar.SetPos(kel::sbedit::ClampToInt(static_cast<long long>(nMax) - dwFramesPerUnit));
}

void KelSBViewScroll::ShowCurrentZoom() {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!m_ZoomMenuBtn.GetSafeHwnd() || !pBody)
        return;
    const int nIndex = m_view.Geometry().GetZoomIndex();
    if (nIndex >= 0)
        m_ZoomMenuBtn.SetCurMenuItem(nIndex);
    else
        m_ZoomMenuBtn.SetText(GetZoomText(pBody->GetFramesPerUnit()));
}

CString KelSBViewScroll::GetZoomText(DWORD dwFramesPerUnit) const {
    if (!m_view.GetCurSBBody())
        return CString();
    const HINSTANCE inst = kel::sbedit::ModuleInstance();
    const CString strFrames = CKelModuleRC::LoadStringW(inst, IDS_PAINT_FRAMES);
    const CString strSeconds = CKelModuleRC::LoadStringW(inst, IDS_PAINT_SECONDS);
    const CString strMinutes = CKelModuleRC::LoadStringW(inst, IDS_PAINT_MINUTES);
    int nHours = 0, nMinutes = 0, nSeconds = 0, nFrames = 0;
    CKelVideoStd::FrameToTC(dwFramesPerUnit, nHours, nMinutes, nSeconds, nFrames);
    CString strText;
    if (nMinutes != 0)
        strText.Format("%d%s%d%s%d%s", nMinutes, strMinutes.GetString(), nSeconds,
                       strSeconds.GetString(), nFrames, strFrames.GetString());
    else if (nSeconds != 0)
        strText.Format("%d%s%d%s", nSeconds, strSeconds.GetString(), nFrames,
                       strFrames.GetString());
    else
        strText.Format("%d%s", nFrames, strFrames.GetString());
    return strText;
}

void KelSBViewScroll::OnScrollBar(UINT nSBCode, CScrollBar* pScrollBar) {
    if (pScrollBar == &m_HScroll) {
        SetHScrollPos(ScrollTarget(m_HScroll, nSBCode));
    } else if (pScrollBar == &m_VScroll) {
        SetVScrollPos(ScrollTarget(m_VScroll, nSBCode));
    } else if (pScrollBar == &m_ZoomBar) {
        const int nValue = ZoomBarValue(m_ZoomBar);
        const int nNew = ZoomBarTarget(m_ZoomBar, nSBCode);
        if (nNew != nValue)
            SteplessZoom(nNew);
    }
}

// ---- The mouse wheel.

void KelSBViewScroll::Wheel(int nDelta, bool bTime, bool bZoom, CPoint screen) {
    if (!m_view.GetSafeHwnd() || !m_view.GetCurSBBody() || !m_view.Gesture().IsIdle())
        return;
    // Whole notches only; what is left waits for the next turn in the same direction.
    const std::size_t nKind = bZoom ? 2 : bTime ? 1 : 0;
    const int nTotal = m_wheelRest[nKind] + nDelta;
    const int nNotches = nTotal / WHEEL_DELTA;
    m_wheelRest[nKind] = nTotal % WHEEL_DELTA;
    if (nNotches == 0)
        return;
    if (bZoom) {
        // Turned away from the user zooms in; the frame under the cursor stays under it.
        CPoint client = screen;
        m_view.ScreenToClient(&client);
        const CRect area = m_view.Geometry().GetTimeAreaRect();
        const int x = std::clamp<int>(client.x, area.left, std::max(area.left, area.right - 1));
        const int nFrame = std::max(0, m_view.Geometry().ClientXToFrame(x));
        for (int i = 0; i < std::abs(nNotches); ++i)
            ZoomStep(nNotches > 0 ? TRUE : FALSE);
        ScrollFrameToX(nFrame, x);
        return;
    }
    // A track row a notch, or three units of the time scale; turned towards the user goes down
    // (or later in time). The bars keep the positions within their ranges.
    if (bTime) {
        ScrollHorz(-nNotches * 3 * KelSBViewGeometry::kUnitPixels);
    } else {
        const long long nStep = static_cast<long long>(m_view.GetCurSBBody()->GetTrackHeight());
        SetVScrollPos(kel::sbedit::ClampToInt(GetVScrollPos() - nNotches * nStep));
    }
}

// ---- Zoom.

void KelSBViewScroll::ZoomStep(int bIn) {
    if (!m_view.GetCurSBBody() || !m_ZoomMenuBtn.GetSafeHwnd())
        return;
    int nIndex = m_ZoomMenuBtn.GetCurMenuItem();
    // The menu has no current entry before the first zoom of a storyboard shown empty; step
    // from the table entry nearest below the current scale rather than from the table's end.
    if (nIndex < 0)
        nIndex = NearestZoomIndex(m_view.Geometry().GetZoomSteps(),
                                  m_view.GetCurSBBody()->GetFramesPerUnit());
    const int nLast = std::max(0, m_ZoomMenuBtn.GetMenuItemCount() - 1);
    nIndex = bIn ? std::max(0, nIndex - 1) : std::min(nLast, nIndex + 1);
    ZoomTo(nIndex, TRUE);
}

int KelSBViewScroll::ZoomToIndex(int nIndex) {
    if (!m_view.GetCurSBBody() || nIndex < 0 ||
        nIndex >= m_view.Geometry().GetZoomSteps().GetSize())
        return 0;
    ZoomTo(nIndex, FALSE);
    return 1;
}

void KelSBViewScroll::ZoomTo(int nIndex, int bSetDirty) {
    CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody || !SetZoomIndex(nIndex))
        return;
    if (m_ZoomMenuBtn.GetSafeHwnd())
        m_ZoomMenuBtn.SetCurMenuItem(nIndex);
    AfterScaleChange(bSetDirty);
}

void KelSBViewScroll::FitToWindow() {
    CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return;
    const int nUnits = m_view.Geometry().GetTimeAreaRect().Width() / KelSBViewGeometry::kUnitPixels;
    // A time area narrower than one unit has no scale that fits anything: keep the zoom.
    if (nUnits <= 0)
        return;
    const DWORD dwDuration = pBody->GetDuration();
    DWORD dwFit = KelSBViewGeometry::kUnitPixels;
    if (dwDuration != 0) {
        dwFit =
            static_cast<DWORD>(static_cast<float>(dwDuration) / static_cast<float>(nUnits) + 0.5f);
        // A storyboard much shorter than the view would round to 0 frames per unit, which no
        // storyboard can take; one frame per unit is the closest scale there is.
        dwFit = std::max<DWORD>(dwFit, 1);
    }
    if (dwFit == pBody->GetFramesPerUnit() || !pBody->SetFramesPerUnit(dwFit))
        return;
    ShowCurrentZoom();
    AfterScaleChange(TRUE);
}

void KelSBViewScroll::SteplessZoom(int nFramesPerUnit) {
    CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return;
    const int nTimeLine = static_cast<int>(pBody->GetTimeLinePos());
    const int nOldPixel = m_view.Geometry().FrameToPixel(nTimeLine);
    const int nOldPos = GetHScrollPos();
    const int nLast =
        static_cast<int>(m_view.Geometry().GetZoomSteps()[KelSBViewGeometry::kZoomStepCount - 1]);
    const int nFit = std::clamp(nFramesPerUnit, 1, nLast);
    SetZoomBarToFPU(static_cast<DWORD>(nFit));
    pBody->SetFramesPerUnit(static_cast<DWORD>(nFit));
    UpdateHRange();
    // The time line keeps its place on the screen; the content scales around it.
    SetHScrollPos(kel::sbedit::ClampToInt(static_cast<long long>(nOldPos) +
                                          m_view.Geometry().FrameToPixel(nTimeLine) - nOldPixel));
    CRect area;
    area.UnionRect(m_view.Geometry().GetMarkerBandRect(), m_view.Geometry().GetTimeAreaRect());
    area.UnionRect(area, m_view.Geometry().GetRulerRect());
    m_view.InvalidateRect(area, TRUE);
    m_view.UpdateWindow();
    if (m_ZoomMenuBtn.GetSafeHwnd()) {
        m_ZoomMenuBtn.SetText(GetZoomText(static_cast<DWORD>(nFit)));
        m_ZoomMenuBtn.Invalidate();
    }
}

// What every change of scale but the stepless one does after it: the controls follow, the
// time area repaints at the new scale and the time line stays in sight.
void KelSBViewScroll::AfterScaleChange(int bSetDirty) {
    CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return;
    SetZoomBarToFPU(pBody->GetFramesPerUnit());
    UpdateHRange();
    // The scale is stored with the storyboard, so the host's document has changed.
    if (bSetDirty)
        static_cast<const CKelSBEditorServices&>(m_view).MarkModified();
    m_view.InvalidateRect(m_view.Geometry().GetTimeAreaRect(), TRUE);
    m_view.UpdateWindow();
    EnsureVisible(static_cast<int>(pBody->GetTimeLinePos()));
}

// ---- Visibility of a frame.

int KelSBViewScroll::SetZoomIndex(int nIndex) {
    CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody || nIndex < 0 || nIndex >= m_view.Geometry().GetZoomSteps().GetSize())
        return 0;
    return pBody->SetFramesPerUnit(m_view.Geometry().GetZoomSteps()[nIndex]);
}

void KelSBViewScroll::EnsureVisible(int nFrame) {
    const int x = m_view.Geometry().FrameToClientX(nFrame);
    CRect area = m_view.Geometry().GetTimeAreaRect();
    area.DeflateRect(10, 0);
    if (x < area.left)
        ScrollHorz(kel::sbedit::ClampToInt(static_cast<long long>(x) - area.left));
    else if (x > area.right)
        ScrollHorz(kel::sbedit::ClampToInt(static_cast<long long>(x) - area.right));
}

void KelSBViewScroll::Center(int nFrame) {
    const CRect area = m_view.Geometry().GetTimeAreaRect();
    ScrollFrameToX(nFrame, (area.left + area.right) / 2);
}

void KelSBViewScroll::ScrollFrameToX(int nFrame, int x) {
    SetHScrollPos(kel::sbedit::ClampToInt(
        GetHScrollPos() + (static_cast<long long>(m_view.Geometry().FrameToClientX(nFrame)) - x)));
}
