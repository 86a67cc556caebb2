// The invalid region, painting and scrolling of windows.
#include "platform/backend.h"
#include "platform/dc.h"
#include "platform/wnd.h"
#include "platform/wnd_internal.h"

#include <utility>

using kel::platform::GetBackend;

namespace {

// `r` minus `cut`: up to four rectangles covering what of `r` lies outside `cut`.
void Subtract(const CRect& r, const CRect& cut, std::vector<CRect>& out) {
    CRect overlap;
    if (!overlap.IntersectRect(r, cut)) {
        out.push_back(r);
        return;
    }
    if (r.top < overlap.top) {
        out.emplace_back(r.left, r.top, r.right, overlap.top);
    }
    if (overlap.bottom < r.bottom) {
        out.emplace_back(r.left, overlap.bottom, r.right, r.bottom);
    }
    if (r.left < overlap.left) {
        out.emplace_back(r.left, overlap.top, overlap.left, overlap.bottom);
    }
    if (overlap.right < r.right) {
        out.emplace_back(overlap.right, overlap.top, r.right, overlap.bottom);
    }
}

std::vector<CRect> SubtractAll(std::vector<CRect> pieces, const CRect& cut) {
    std::vector<CRect> out;
    for (const CRect& p : pieces) {
        Subtract(p, cut, out);
    }
    return out;
}

CRect Bounds(const std::vector<CRect>& rects) {
    CRect box;
    for (const CRect& r : rects) {
        box.UnionRect(box, r);
    }
    return box;
}

// Adds `r` to a region of disjoint rectangles, keeping them disjoint.
void AddToRegion(std::vector<CRect>& region, const CRect& r) {
    std::vector<CRect> pieces{r};
    for (const CRect& existing : region) {
        pieces = SubtractAll(std::move(pieces), existing);
        if (pieces.empty()) {
            return;
        }
    }
    region.insert(region.end(), pieces.begin(), pieces.end());
}

} // namespace

void CWnd::InvalidateClientRect(const CRect& rect) {
    CRect client;
    GetClientRect(&client);
    CRect clipped;
    if (!clipped.IntersectRect(rect, client)) {
        return;
    }
    AddToRegion(m_invalid, clipped);
    GetBackend().WindowInvalidated(*this, clipped);
}

void CWnd::InvalidateRect(const CRect* rect, BOOL erase) {
    if (!m_hWnd) {
        return;
    }
    CRect client;
    GetClientRect(&client);
    CRect clipped;
    if (!clipped.IntersectRect(rect ? *rect : client, client)) {
        return;
    }
    InvalidateClientRect(clipped);
    if (erase) {
        m_eraseWanted = true;
    }
}

void CWnd::ValidateRect(const CRect* rect) {
    if (!rect) {
        m_invalid.clear();
        m_eraseWanted = false;
        return;
    }
    m_invalid = SubtractAll(std::move(m_invalid), *rect);
    if (m_invalid.empty()) {
        m_eraseWanted = false;
    }
}

BOOL CWnd::GetUpdateRect(CRect* rect, BOOL erase) {
    const CRect box = Bounds(m_invalid);
    if (rect) {
        *rect = box;
    }
    if (erase && !m_invalid.empty()) {
        m_eraseWanted = true;
    }
    return box.IsRectEmpty() ? FALSE : TRUE;
}

CRect CWnd::GetPaintBox() const {
    return Bounds(m_paintRegion);
}

void CWnd::UpdateWindow() {
    // Hidden windows keep their invalid region until they are shown.
    if (!m_hWnd || m_invalid.empty() || !IsWindowVisible()) {
        return;
    }
    GetBackend().UpdateWindow(*this);
}

void CWnd::PaintNow() {
    if (!m_hWnd || m_invalid.empty()) {
        return;
    }
    // Like BeginPaint: the region is validated before the handler runs, so what the handler
    // invalidates again is painted next time.
    m_paintRegion = std::move(m_invalid);
    m_invalid.clear();
    const bool erase = m_eraseWanted;
    m_eraseWanted = false;
    if (erase) {
        std::unique_ptr<CDC> dc = GetBackend().CreatePaintDC(*this);
        SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()));
    }
    if (IsWindow(this)) {
        SendMessage(WM_PAINT);
    }
    if (IsWindow(this)) {
        m_paintRegion.clear();
    }
}

BOOL CWnd::RedrawWindow(const CRect* rect, UINT) {
    InvalidateRect(rect, TRUE);
    UpdateWindow();
    return m_hWnd ? TRUE : FALSE;
}

void CWnd::ScrollWindow(int dx, int dy, const CRect* scrollRect, const CRect* clipRect) {
    if (!m_hWnd || (dx == 0 && dy == 0)) {
        return;
    }
    CRect client;
    GetClientRect(&client);
    CRect source = client;
    if (scrollRect) {
        source.IntersectRect(*scrollRect, client);
    }
    CRect area = source;
    if (clipRect) {
        area.IntersectRect(source, *clipRect);
    }
    if (area.IsRectEmpty()) {
        return;
    }
    // Invalid parts inside the scrolled area travel with the content; the rest stays.
    std::vector<CRect> moved;
    for (const CRect& r : m_invalid) {
        std::vector<CRect> outside;
        Subtract(r, area, outside);
        for (const CRect& o : outside) {
            AddToRegion(moved, o);
        }
        CRect inside;
        if (inside.IntersectRect(r, area)) {
            inside.OffsetRect(dx, dy);
            CRect landed;
            if (landed.IntersectRect(inside, area)) {
                AddToRegion(moved, landed);
            }
        }
    }
    m_invalid = std::move(moved);
    GetBackend().WindowScrolled(*this, dx, dy, area);
    // What the moved content uncovered must be painted afresh.
    CRect shifted = source;
    shifted.OffsetRect(dx, dy);
    CRect covered;
    covered.IntersectRect(shifted, area);
    std::vector<CRect> exposed;
    Subtract(area, covered, exposed);
    if (covered.IsRectEmpty()) {
        exposed = {area};
    }
    for (const CRect& strip : exposed) {
        InvalidateClientRect(strip);
    }
    if (!exposed.empty()) {
        m_eraseWanted = true;
    }
}

namespace kel::platform {

void Backend::UpdateWindow(CWnd& wnd) {
    wnd.PaintNow();
}

CSize Backend::GetDialogBaseUnits() {
    return {7, 14};
}

void UpdateAllWindows() {
    // Paint parents before children, front windows first; a window may disappear meanwhile.
    std::vector<CWnd*> pending = TopLevelWindows();
    for (std::size_t i = 0; i < pending.size(); ++i) {
        CWnd* w = pending[i];
        if (!IsWindow(w)) {
            continue;
        }
        w->UpdateWindow();
        if (IsWindow(w)) {
            const auto& children = WndAccess::Children(*w);
            pending.insert(pending.end(), children.begin(), children.end());
        }
    }
}

} // namespace kel::platform
