// Scroll positions and ranges of the timeline view, and the zoom shown in the top strip. The
// scroll bars keep the positions (in logical pixels); the view reads them back from there.
#include "module/module_instance.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_body.h"
#include "host/services/module_rc.h"
#include "host/services/video_std.h"
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

} // namespace

int CKelSBEditView::GetHScrollPos() const {
    return m_HScroll.GetSafeHwnd() ? m_HScroll.GetScrollPos() : 0;
}

int CKelSBEditView::GetVScrollPos() const {
    return m_VScroll.GetSafeHwnd() ? m_VScroll.GetScrollPos() : 0;
}

void CKelSBEditView::SetHScrollPos(int nPos) {
    if (!m_HScroll.GetSafeHwnd())
        return;
    const int nOld = m_HScroll.GetScrollPos();
    m_HScroll.SetPos(nPos);
    const int nNew = m_HScroll.GetScrollPos();
    if (nNew == nOld)
        return;
    const CRect area = GetTimeAreaRect();
    ScrollWindow(nOld - nNew, 0, &area, &area);
}

void CKelSBEditView::SetVScrollPos(int nPos) {
    if (!m_VScroll.GetSafeHwnd())
        return;
    const int nOld = m_VScroll.GetScrollPos();
    m_VScroll.SetPos(nPos);
    const int nNew = m_VScroll.GetScrollPos();
    if (nNew == nOld)
        return;
    CRect area;
    area.UnionRect(GetHeaderColumnRect(), GetTrackAreaRect());
    ScrollWindow(0, nOld - nNew, &area, &area);
}

void CKelSBEditView::ScrollHorz(int nDelta) {
    SetHScrollPos(GetHScrollPos() + nDelta);
}

void CKelSBEditView::UpdateHRange() {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!m_HScroll.GetSafeHwnd() || !pBody)
        return;
    SCROLLINFO info =
        RangeInfo(FrameToPixel(static_cast<int>(pBody->GetDuration())), GetTrackAreaRect().Width());
    m_HScroll.SetScrollInfo(&info);
}

void CKelSBEditView::UpdateVRange() {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!m_VScroll.GetSafeHwnd() || !pBody)
        return;
    SCROLLINFO info =
        RangeInfo(pBody->GetTrackHeight() * pBody->GetTrackCount(), GetTrackAreaRect().Height());
    m_VScroll.SetScrollInfo(&info);
}

void CKelSBEditView::UpdateZoomBarRange() {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!m_ZoomBar.GetSafeHwnd() || !pBody)
        return;
    const int nLast = static_cast<int>(m_arrZoomSteps[kZoomStepCount - 1]);
    // A time area of no width (a very narrow view) allows every zoom rather than dividing by 0.
    const int nWidth = GetTimeAreaRect().Width();
    const long long q =
        nWidth > 0 ? static_cast<long long>(pBody->GetDuration()) * 100 / nWidth : 0;
    const int nMax = q == 0 ? nLast : static_cast<int>(std::min<long long>(q, nLast));
    SCROLLINFO info = RangeInfo(nMax, 10);
    m_ZoomBar.SetScrollInfo(&info);
}

void CKelSBEditView::SetZoomBarToFPU(DWORD dwFramesPerUnit) {
    if (!m_ZoomBar.GetSafeHwnd())
        return;
    int nMin = 0;
    int nMax = 0;
    m_ZoomBar.GetScrollRange(&nMin, &nMax);
    m_ZoomBar.SetPos(nMax - static_cast<int>(dwFramesPerUnit));
}

void CKelSBEditView::ShowCurrentZoom() {
    const CKelSBBodyObj* pBody = GetCurSBBody();
    if (!m_ZoomMenuBtn.GetSafeHwnd() || !pBody)
        return;
    const int nIndex = GetZoomIndex();
    if (nIndex >= 0)
        m_ZoomMenuBtn.SetCurMenuItem(nIndex);
    else
        m_ZoomMenuBtn.SetText(GetZoomText(pBody->GetFramesPerUnit()));
}

CString CKelSBEditView::GetZoomText(DWORD dwFramesPerUnit) const {
    if (!GetCurSBBody())
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

void CKelSBEditView::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    CWnd::OnHScroll(nSBCode, nPos, pScrollBar);
    // The stepless zoom bar comes with the zoom operations.
    if (pScrollBar == &m_HScroll)
        SetHScrollPos(ScrollTarget(m_HScroll, nSBCode));
}

void CKelSBEditView::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    CWnd::OnVScroll(nSBCode, nPos, pScrollBar);
    if (pScrollBar == &m_VScroll)
        SetVScrollPos(ScrollTarget(m_VScroll, nSBCode));
}
