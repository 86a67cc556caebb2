// Coordinates and the time scale of the timeline view. Every position on the timeline is
// computed here from the client rectangle, the two scroll positions and the current storyboard,
// so nothing needs refreshing after a resize or a change of storyboard.
#include "view/view_geometry.h"

#include "view/sbedit_view.h"
#include "view/view_pixels.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_content.h"
#include "host/services/video_std.h"
#include "res/resource.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr UINT kFirstToolId = IDC_VIEW_TOOL_SB_OPERATION;

using kel::sbedit::ClampToInt;

// Rounds half away from zero: -12.5 becomes -13, 7.5 becomes 8. Values beyond int are pinned.
int RoundAway(double value) {
    const double rounded = std::trunc(value > 0 ? value + 0.5 : value - 0.5);
    return ClampToInt(static_cast<long long>(std::clamp(rounded, -0x1p62, 0x1p62)));
}

int BitmapWidth(const CBitmap& bitmap) {
    BITMAP info{};
    return bitmap.GetBitmap(&info) ? info.bmWidth : 0;
}

int BitmapHeight(const CBitmap& bitmap) {
    BITMAP info{};
    return bitmap.GetBitmap(&info) ? info.bmHeight : 0;
}

} // namespace

KelSBViewGeometry::KelSBViewGeometry(const CKelSBEditView& view, const CBitmap& rangeStart,
                                     const CBitmap& rangeEnd, const CBitmap& timeLineHead)
    : m_view(view), m_bmpRangeStart(rangeStart), m_bmpRangeEnd(rangeEnd),
      m_bmpTimeLineHead(timeLineHead), m_nTopStripHeight(GetSystemMetrics(SM_CYHSCROLL)),
      m_nVBarWidth(GetSystemMetrics(SM_CXVSCROLL)) {
    // The table follows the frame rate of the video standard at construction; a later change of
    // the standard keeps the table.
    const auto r = static_cast<DWORD>(CKelVideoStd::GetFrameRate());
    const DWORD steps[KelSBViewGeometry::kZoomStepCount] = {
        1,      2,      4,      8,      10,      20,      r,       2 * r,   4 * r,   8 * r,
        10 * r, 20 * r, 30 * r, 60 * r, 120 * r, 240 * r, 480 * r, 600 * r, 1200 * r};
    m_arrZoomSteps.SetSize(KelSBViewGeometry::kZoomStepCount);
    for (int i = 0; i < KelSBViewGeometry::kZoomStepCount; ++i)
        m_arrZoomSteps[i] = steps[i];
}

CRect KelSBViewGeometry::ClientRect() const {
    CRect rc;
    m_view.GetClientRect(&rc);
    return rc;
}

int KelSBViewGeometry::FrameToPixel(int nFrames) const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody || pBody->GetFramesPerUnit() == 0)
        return 0;
    return RoundAway(nFrames * static_cast<double>(KelSBViewGeometry::kUnitPixels) /
                     pBody->GetFramesPerUnit());
}

int KelSBViewGeometry::PixelToFrame(int nPixels) const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return 0;
    return RoundAway(static_cast<double>(pBody->GetFramesPerUnit()) * nPixels /
                     KelSBViewGeometry::kUnitPixels);
}

int KelSBViewGeometry::LogicalToClientX(int x) const {
    return ClampToInt(static_cast<long long>(x) - m_view.Scroll().GetHScrollPos() +
                      GetTrackAreaRect().left);
}

int KelSBViewGeometry::ClientToLogicalX(int x) const {
    return ClampToInt(static_cast<long long>(x) + m_view.Scroll().GetHScrollPos() -
                      GetTrackAreaRect().left);
}

int KelSBViewGeometry::LogicalToClientY(int y) const {
    return ClampToInt(static_cast<long long>(y) + GetTrackAreaRect().top -
                      m_view.Scroll().GetVScrollPos());
}

int KelSBViewGeometry::ClientToLogicalY(int y) const {
    return ClampToInt(static_cast<long long>(y) - GetTrackAreaRect().top +
                      m_view.Scroll().GetVScrollPos());
}

CPoint KelSBViewGeometry::LogicalToClient(CPoint pt) const {
    return CPoint(LogicalToClientX(pt.x), LogicalToClientY(pt.y));
}

CPoint KelSBViewGeometry::ClientToLogical(CPoint pt) const {
    return CPoint(ClientToLogicalX(pt.x), ClientToLogicalY(pt.y));
}

CRect KelSBViewGeometry::LogicalToClient(const CRect& rc) const {
    return CRect(LogicalToClient(rc.TopLeft()), LogicalToClient(rc.BottomRight()));
}

CRect KelSBViewGeometry::ClientToLogical(const CRect& rc) const {
    return CRect(ClientToLogical(rc.TopLeft()), ClientToLogical(rc.BottomRight()));
}

int KelSBViewGeometry::FrameToClientX(int nFrame) const {
    return LogicalToClientX(FrameToPixel(nFrame));
}

int KelSBViewGeometry::ClientXToFrame(int x) const {
    return PixelToFrame(ClientToLogicalX(x));
}

// ---- Regions. Every right and bottom edge is kept at or beyond its left and top, so a client
// area too small for the fixed parts gives empty rectangles, never inverted ones.

CRect KelSBViewGeometry::GetTopStripRect() const {
    const CRect rc = ClientRect();
    return CRect(rc.left, rc.top, std::max(rc.right, rc.left), rc.top + m_nTopStripHeight);
}

CRect KelSBViewGeometry::GetSelectorRect() const {
    const CRect rc = ClientRect();
    return CRect(rc.left, rc.top, rc.left + m_nHeaderWidth, rc.top + m_nTopStripHeight);
}

CRect KelSBViewGeometry::GetZoomButtonRect() const {
    const CRect rc = ClientRect();
    const int left = rc.left + m_nHeaderWidth;
    return CRect(left, rc.top, left + m_nHeaderWidth, rc.top + m_nTopStripHeight);
}

CRect KelSBViewGeometry::GetZoomBarRect() const {
    const CRect rc = ClientRect();
    const int left = rc.left + 2 * m_nHeaderWidth;
    return CRect(left, rc.top, left + m_nZoomBoxWidth, rc.top + m_nTopStripHeight);
}

CRect KelSBViewGeometry::GetHScrollRect() const {
    const CRect rc = ClientRect();
    const int left = rc.left + 2 * m_nHeaderWidth + m_nZoomBoxWidth;
    return CRect(left, rc.top, std::max(rc.right, left), rc.top + m_nTopStripHeight);
}

CRect KelSBViewGeometry::GetCornerBoxRect() const {
    const CRect rc = ClientRect();
    const int top = rc.top + m_nTopStripHeight;
    return CRect(rc.left, top, rc.left + m_nHeaderWidth,
                 top + m_nRulerHeight + m_nMarkerBandHeight);
}

CRect KelSBViewGeometry::GetTimeAreaRect() const {
    const CRect rc = ClientRect();
    const int left = rc.left + m_nHeaderWidth;
    const int top = rc.top + m_nTopStripHeight;
    return CRect(left, top, std::max(left, rc.right - m_nVBarWidth), std::max(rc.bottom, top));
}

CRect KelSBViewGeometry::GetVScrollRect() const {
    const CRect rc = ClientRect();
    const int top = rc.top + m_nTopStripHeight;
    return CRect(rc.right - m_nVBarWidth, top, rc.right, std::max(rc.bottom, top));
}

CRect KelSBViewGeometry::GetMarkerBandRect() const {
    const CRect rc = ClientRect();
    const int left = rc.left + m_nHeaderWidth;
    const int top = rc.top + m_nTopStripHeight;
    return CRect(left, top, std::max(rc.right, left), top + m_nMarkerBandHeight);
}

CRect KelSBViewGeometry::GetRulerRect() const {
    const CRect rc = ClientRect();
    const int left = rc.left + m_nHeaderWidth;
    const int top = rc.top + m_nTopStripHeight + m_nMarkerBandHeight;
    return CRect(left, top, std::max(rc.right, left), top + m_nRulerHeight);
}

CRect KelSBViewGeometry::GetTrackAreaRect() const {
    const CRect rc = ClientRect();
    const int left = rc.left + m_nHeaderWidth;
    const int top = rc.top + m_nTopStripHeight + m_nMarkerBandHeight + m_nRulerHeight;
    return CRect(left, top, std::max(left, rc.right - m_nVBarWidth), std::max(rc.bottom, top));
}

CRect KelSBViewGeometry::GetHeaderColumnRect() const {
    const CRect rc = ClientRect();
    const int top = rc.top + m_nTopStripHeight + m_nMarkerBandHeight + m_nRulerHeight;
    return CRect(rc.left, top, rc.left + m_nHeaderWidth, std::max(rc.bottom, top));
}

CRect KelSBViewGeometry::GetTrackRowsRect() const {
    const CRect rc = ClientRect();
    const int top = rc.top + m_nTopStripHeight + m_nMarkerBandHeight + m_nRulerHeight;
    return CRect(rc.left, top, std::max(rc.left, rc.right - m_nVBarWidth),
                 std::max(rc.bottom, top));
}

CRect KelSBViewGeometry::GetBelowStripRect() const {
    const CRect rc = ClientRect();
    const int top = rc.top + m_nTopStripHeight;
    return CRect(rc.left, top, std::max(rc.right, rc.left), std::max(rc.bottom, top));
}

CRect KelSBViewGeometry::GetToolButtonRect(UINT nId) const {
    if (nId < kFirstToolId || nId >= kFirstToolId + KelSBViewGeometry::kToolButtonCount)
        return CRect();
    const CRect corner = GetCornerBoxRect();
    const int left = corner.left + 1 + static_cast<int>(nId - kFirstToolId) * (m_nToolBtnWidth + 1);
    const int top = corner.top + (corner.Height() - m_nToolBtnHeight) / 2;
    return CRect(left, top, left + m_nToolBtnWidth, top + m_nToolBtnHeight);
}

CRect KelSBViewGeometry::GetTrackRowRect(int nTrack) const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return CRect();
    const CRect area = GetTrackAreaRect();
    const int top = area.top + nTrack * pBody->GetTrackHeight() - m_view.Scroll().GetVScrollPos();
    return CRect(area.left, top, area.right, top + pBody->GetTrackHeight());
}

CRect KelSBViewGeometry::GetTrackHeaderRect(int nTrack) const {
    const CRect row = GetTrackRowRect(nTrack);
    if (!m_view.GetCurSBBody())
        return CRect();
    const CRect column = GetHeaderColumnRect();
    return CRect(column.left, row.top, column.right, row.bottom);
}

CRect KelSBViewGeometry::GetMaterialRect(const CKelSBContentBaseObj* pContent) const {
    if (!pContent || !m_view.GetCurSBBody())
        return CRect();
    const CRect row = GetTrackRowRect(pContent->GetTrackIndex());
    return CRect(FrameToClientX(static_cast<int>(pContent->GetStoryIn())), row.top + 1,
                 FrameToClientX(static_cast<int>(pContent->GetStoryOut())), row.bottom - 1);
}

CRect KelSBViewGeometry::GetMaterialHitRect(const CKelSBContentBaseObj* pContent) const {
    CRect rc = GetMaterialRect(pContent);
    if (pContent && m_view.GetCurSBBody()) {
        ++rc.right;
        ++rc.bottom;
    }
    return rc;
}

CRect KelSBViewGeometry::GetRangeBarRect() const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return CRect();
    const CRect band = GetMarkerBandRect();
    return CRect(FrameToClientX(static_cast<int>(pBody->GetRangeStart())), band.top + 1,
                 FrameToClientX(static_cast<int>(pBody->GetRangeEnd())), band.bottom - 1);
}

CRect KelSBViewGeometry::GetRangeStartHandleRect() const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return CRect();
    const int x = FrameToClientX(static_cast<int>(pBody->GetRangeStart()));
    const int top = GetMarkerBandRect().top + 1;
    return CRect(x, top, x + BitmapWidth(m_bmpRangeStart), top + BitmapHeight(m_bmpRangeStart));
}

CRect KelSBViewGeometry::GetRangeEndHandleRect() const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return CRect();
    const int x = FrameToClientX(static_cast<int>(pBody->GetRangeEnd()));
    const int top = GetMarkerBandRect().top + 1;
    return CRect(x - BitmapWidth(m_bmpRangeEnd), top, x, top + BitmapHeight(m_bmpRangeEnd));
}

CRect KelSBViewGeometry::GetRangeOutlineRect() const {
    CRect outline;
    outline.UnionRect(GetRangeBarRect(), GetRangeStartHandleRect());
    outline.UnionRect(outline, GetRangeEndHandleRect());
    return outline;
}

CRect KelSBViewGeometry::GetTimeLineHeadRect(DWORD dwFrame) const {
    if (!m_view.GetCurSBBody())
        return CRect();
    const int x = FrameToClientX(static_cast<int>(dwFrame));
    const int width = BitmapWidth(m_bmpTimeLineHead);
    const int top = GetRulerRect().top + 1;
    return CRect(x - width / 2, top, x - width / 2 + width, top + BitmapHeight(m_bmpTimeLineHead));
}

CRect KelSBViewGeometry::GetTimeLineRect(DWORD dwFrame) const {
    if (!m_view.GetCurSBBody())
        return CRect();
    const CRect client = ClientRect();
    const int x = FrameToClientX(static_cast<int>(dwFrame));
    const int top = GetRulerRect().top + BitmapHeight(m_bmpTimeLineHead) + 1;
    return CRect(x, top, x + 2, std::max(client.bottom, top));
}

std::pair<int, int> KelSBViewGeometry::GetTrackSpan(int top, int bottom) const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody || bottom <= top)
        return {0, 0};
    const int nCount = pBody->GetTrackCount();
    const int nHeight = pBody->GetTrackHeight();
    if (nHeight <= 0)
        return {0, nCount};
    // Rows stack from the track area's top, scrolled up by the vertical position.
    const long long origin = GetTrackAreaRect().top - m_view.Scroll().GetVScrollPos();
    const auto floorDiv = [nHeight](long long y) {
        return y >= 0 ? y / nHeight : -((-y + nHeight - 1) / nHeight);
    };
    const long long first = floorDiv(top - origin);
    const long long last = floorDiv(bottom - 1 - origin) + 1;
    return {static_cast<int>(std::clamp<long long>(first, 0, nCount)),
            static_cast<int>(std::clamp<long long>(last, 0, nCount))};
}

bool KelSBViewGeometry::GetFrameSpan(int left, int right, DWORD& dwFrom, DWORD& dwTo) const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody || right <= left)
        return false;
    // Frames and client x rise together, so the frames under the two ends bound every
    // material that reaches in between; a unit more at each side covers their rounding.
    const long long margin = pBody->GetFramesPerUnit();
    const long long from = static_cast<long long>(ClientXToFrame(left)) - margin;
    const long long to = static_cast<long long>(ClientXToFrame(right)) + margin;
    if (to < 0)
        return false;
    constexpr long long kLastFrame = 0xFFFFFFFFLL;
    dwFrom = static_cast<DWORD>(std::clamp(from, 0LL, kLastFrame));
    dwTo = static_cast<DWORD>(std::min(to, kLastFrame));
    return true;
}

// ---- Zoom table and visibility.

int KelSBViewGeometry::GetZoomIndex() const {
    const CKelSBBodyObj* pBody = m_view.GetCurSBBody();
    if (!pBody)
        return -1;
    for (INT_PTR i = 0; i < m_arrZoomSteps.GetSize(); ++i) {
        if (m_arrZoomSteps[i] == pBody->GetFramesPerUnit())
            return static_cast<int>(i);
    }
    return -1;
}
