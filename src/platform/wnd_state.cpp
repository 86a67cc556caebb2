// Window state: visibility, enabling, focus, capture, activation and geometry.
#include "platform/backend.h"
#include "platform/wnd.h"
#include "platform/wnd_internal.h"

#include <algorithm>

using kel::platform::GetBackend;
using kel::platform::detail::Checked;
using kel::platform::detail::Erase;
using kel::platform::detail::Tables;

// --- Showing, enabling, focus, capture, activation.

BOOL CWnd::ShowWindow(int cmd) {
    if (!m_hWnd) {
        return FALSE;
    }
    const BOOL wasVisible = (m_style & WS_VISIBLE) ? TRUE : FALSE;
    const bool show = cmd != SW_HIDE;
    const bool activate = show && cmd != SW_SHOWNA && cmd != SW_SHOWNOACTIVATE &&
                          cmd != SW_SHOWMINNOACTIVE && !(m_style & WS_CHILD);
    if (show != static_cast<bool>(wasVisible)) {
        SendMessage(WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        if (!IsWindow(this)) {
            return wasVisible;
        }
        if (show) {
            m_style |= WS_VISIBLE;
        } else {
            m_style &= ~WS_VISIBLE;
        }
        GetBackend().WindowShown(*this, show);
        if (show) {
            Invalidate(TRUE);
        } else {
            auto& t = Tables();
            if (t.focus && (t.focus == this || IsChild(t.focus))) {
                SetFocusInternal(nullptr);
            }
            if (CWnd* parent = GetParent(); parent && (m_style & WS_CHILD)) {
                CRect area = m_rect;
                parent->InvalidateRect(&area, TRUE);
            }
            if (t.active == this) {
                t.active = nullptr;
                SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
            }
        }
    }
    if (activate && IsWindow(this)) {
        SetActiveWindow();
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    if (!m_hWnd) {
        return FALSE;
    }
    for (const CWnd* w = this; w; w = (w->m_style & WS_CHILD) ? w->m_parent : nullptr) {
        if (!(w->m_style & WS_VISIBLE)) {
            return FALSE;
        }
    }
    return TRUE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    const BOOL wasDisabled = (m_style & WS_DISABLED) ? TRUE : FALSE;
    if (!m_hWnd || static_cast<bool>(enable) != static_cast<bool>(wasDisabled)) {
        return wasDisabled;
    }
    if (enable) {
        m_style &= ~WS_DISABLED;
    } else {
        m_style |= WS_DISABLED;
        auto& t = Tables();
        if (t.focus && (t.focus == this || IsChild(t.focus))) {
            SetFocusInternal(nullptr);
        }
        if (t.capture == this) {
            ReleaseCapture();
        }
    }
    GetBackend().WindowEnabled(*this, enable != FALSE);
    SendMessage(WM_ENABLE, enable ? TRUE : FALSE);
    if (IsWindow(this)) {
        Invalidate(TRUE);
    }
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const {
    return m_hWnd && !(m_style & WS_DISABLED);
}

void CWnd::SetFocusInternal(CWnd* newFocus) {
    auto& t = Tables();
    CWnd* old = Checked(t.focus);
    if (old == newFocus) {
        return;
    }
    t.focus = newFocus;
    GetBackend().FocusChanged(newFocus);
    if (old) {
        old->SendMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(newFocus));
    }
    if (newFocus && IsWindow(newFocus) && t.focus == newFocus) {
        newFocus->SendMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(old));
    }
}

CWnd* CWnd::SetFocus() {
    CWnd* old = Checked(Tables().focus);
    if (!m_hWnd || (m_style & WS_DISABLED)) {
        return old;
    }
    CWnd* top = GetTopLevelParent();
    if (top && top != Tables().active) {
        top->SetActiveWindow();
    }
    if (IsWindow(this)) {
        SetFocusInternal(this);
    }
    return old;
}

CWnd* CWnd::GetFocus() {
    return Checked(Tables().focus);
}

CWnd* CWnd::SetCapture() {
    auto& t = Tables();
    CWnd* old = Checked(t.capture);
    if (!m_hWnd || old == this) {
        return old;
    }
    t.capture = this;
    GetBackend().CaptureChanged(this);
    if (old) {
        old->SendMessage(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(this));
    }
    return old;
}

CWnd* CWnd::GetCapture() {
    return Checked(Tables().capture);
}

BOOL ReleaseCapture() {
    auto& t = Tables();
    CWnd* old = Checked(t.capture);
    t.capture = nullptr;
    if (old) {
        GetBackend().CaptureChanged(nullptr);
        old->SendMessage(WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

CWnd* CWnd::SetActiveWindow() {
    auto& t = Tables();
    CWnd* old = Checked(t.active);
    CWnd* top = GetTopLevelParent();
    if (!top || top == old) {
        return old;
    }
    t.active = top;
    Erase(t.topLevel, top);
    t.topLevel.insert(t.topLevel.begin(), top);
    if (old) {
        old->SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(top));
    }
    if (IsWindow(top) && t.active == top) {
        top->SendMessage(WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    }
    return old;
}

CWnd* CWnd::GetActiveWindow() {
    return Checked(Tables().active);
}

BOOL CWnd::SetForegroundWindow() {
    SetActiveWindow();
    return m_hWnd ? TRUE : FALSE;
}

// --- Geometry.

CRect CWnd::GetNonClientInsets() const {
    auto& backend = GetBackend();
    int x = 0;
    int y = 0;
    if (m_style & WS_THICKFRAME) {
        x = backend.GetSystemMetrics(SM_CXFRAME);
        y = backend.GetSystemMetrics(SM_CYFRAME);
    } else if ((m_style & WS_DLGFRAME) || (m_exStyle & WS_EX_DLGMODALFRAME)) {
        x = backend.GetSystemMetrics(SM_CXDLGFRAME);
        y = backend.GetSystemMetrics(SM_CYDLGFRAME);
    } else if (m_style & WS_BORDER) {
        x = backend.GetSystemMetrics(SM_CXBORDER);
        y = backend.GetSystemMetrics(SM_CYBORDER);
    }
    if (m_exStyle & WS_EX_CLIENTEDGE) {
        x += backend.GetSystemMetrics(SM_CXEDGE);
        y += backend.GetSystemMetrics(SM_CYEDGE);
    }
    const int caption =
        (m_style & WS_CAPTION) == WS_CAPTION ? backend.GetSystemMetrics(SM_CYCAPTION) : 0;
    return CRect(x, y + caption, x, y);
}

void CWnd::GetWindowRect(CRect* rect) const {
    if (!rect) {
        return;
    }
    CRect r = m_rect;
    if ((m_style & WS_CHILD) && m_parent) {
        const CPoint origin = WndAccess::ClientOrigin(*m_parent);
        r.OffsetRect(origin.x, origin.y);
    }
    *rect = r;
}

void CWnd::GetClientRect(CRect* rect) const {
    if (!rect) {
        return;
    }
    const CRect insets = GetNonClientInsets();
    const int width = std::max(0, m_rect.Width() - insets.left - insets.right);
    const int height = std::max(0, m_rect.Height() - insets.top - insets.bottom);
    *rect = CRect(0, 0, width, height);
}

void CWnd::ClientToScreen(CPoint* point) const {
    if (point) {
        const CPoint o = WndAccess::ClientOrigin(*this);
        point->Offset(o.x, o.y);
    }
}

void CWnd::ClientToScreen(CRect* rect) const {
    if (rect) {
        const CPoint o = WndAccess::ClientOrigin(*this);
        rect->OffsetRect(o.x, o.y);
    }
}

void CWnd::ScreenToClient(CPoint* point) const {
    if (point) {
        const CPoint o = WndAccess::ClientOrigin(*this);
        point->Offset(-o.x, -o.y);
    }
}

void CWnd::ScreenToClient(CRect* rect) const {
    if (rect) {
        const CPoint o = WndAccess::ClientOrigin(*this);
        rect->OffsetRect(-o.x, -o.y);
    }
}

void CWnd::MoveWindow(const CRect& rect, BOOL repaint) {
    MoveWindow(rect.left, rect.top, rect.Width(), rect.Height(), repaint);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    SetWindowPos(nullptr, x, y, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT flags) {
    if (!m_hWnd) {
        return FALSE;
    }
    const CRect old = m_rect;
    CRect next = old;
    if (!(flags & SWP_NOMOVE)) {
        next = CRect(CPoint(x, y), old.Size());
    }
    if (!(flags & SWP_NOSIZE)) {
        next = CRect(next.TopLeft(), CSize(std::max(cx, 0), std::max(cy, 0)));
    }
    const bool moved = next.TopLeft() != old.TopLeft();
    const bool sized = next.Size() != old.Size();
    m_rect = next;
    if (!(flags & SWP_NOZORDER)) {
        auto& siblings = WndAccess::Siblings(*this);
        Erase(siblings, this);
        siblings.insert(siblings.begin(), this);
    }
    if (moved || sized) {
        NotifyMoved(moved, sized, (flags & SWP_NOREDRAW) ? FALSE : TRUE);
        if (!IsWindow(this)) {
            return FALSE;
        }
        if (!(flags & SWP_NOREDRAW) && (m_style & WS_CHILD) && m_parent) {
            CRect before = old;
            m_parent->InvalidateRect(&before, TRUE);
        }
    }
    if (flags & SWP_SHOWWINDOW) {
        ShowWindow((flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    } else if (flags & SWP_HIDEWINDOW) {
        ShowWindow(SW_HIDE);
    } else if (!(flags & SWP_NOACTIVATE) && !(m_style & WS_CHILD) && (m_style & WS_VISIBLE)) {
        SetActiveWindow();
    }
    return TRUE;
}

void CWnd::NotifyMoved(bool moved, bool sized, BOOL repaint) {
    GetBackend().WindowMoved(*this);
    CRect client;
    GetClientRect(&client);
    // What was invalid outside the new client area no longer exists.
    std::vector<CRect> kept;
    for (const CRect& r : m_invalid) {
        CRect clipped;
        if (clipped.IntersectRect(r, client)) {
            kept.push_back(clipped);
        }
    }
    m_invalid = std::move(kept);
    if (moved) {
        CPoint origin = WndAccess::ClientOrigin(*this);
        if ((m_style & WS_CHILD) && m_parent) {
            m_parent->ScreenToClient(&origin);
        }
        SendMessage(WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    }
    if (sized && IsWindow(this)) {
        SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
    }
    if (repaint && IsWindow(this)) {
        Invalidate(TRUE);
    }
}

CWnd* CWnd::ChildWindowFromPoint(CPoint client) const {
    for (CWnd* child : m_children) {
        if ((child->m_style & WS_VISIBLE) && child->m_rect.PtInRect(client)) {
            return child;
        }
    }
    return client.x >= 0 && client.y >= 0 ? const_cast<CWnd*>(this) : nullptr;
}

// --- Free functions.

BOOL IsWindow(const CWnd* wnd) {
    return wnd && Tables().windows.count(wnd) ? TRUE : FALSE;
}

BOOL IsWindowVisible(const CWnd* wnd) {
    return IsWindow(wnd) && wnd->IsWindowVisible();
}

CWnd* AfxGetMainWnd() {
    return Checked(Tables().mainWnd);
}
CWnd* GetFocus() {
    return CWnd::GetFocus();
}
CWnd* GetCapture() {
    return CWnd::GetCapture();
}
CWnd* GetActiveWindow() {
    return CWnd::GetActiveWindow();
}

namespace {

// The deepest visible, enabled window under a screen point inside `wnd`.
CWnd* DeepestAt(CWnd* wnd, CPoint screen) {
    CRect client;
    wnd->GetClientRect(&client);
    CPoint local = screen;
    wnd->ScreenToClient(&local);
    if (!client.PtInRect(local)) {
        return wnd; // on the frame
    }
    for (CWnd* child : WndAccess::Children(*wnd)) {
        if (!(child->GetStyle() & WS_VISIBLE)) {
            continue;
        }
        if (WndAccess::Rect(*child).PtInRect(local)) {
            if (child->GetStyle() & WS_DISABLED) {
                return wnd; // disabled children give the point to their parent
            }
            return DeepestAt(child, screen);
        }
    }
    return wnd;
}

} // namespace

CWnd* WindowFromPoint(CPoint screen) {
    for (CWnd* top : Tables().topLevel) {
        if (!(top->GetStyle() & WS_VISIBLE)) {
            continue;
        }
        CRect r;
        top->GetWindowRect(&r);
        if (r.PtInRect(screen)) {
            return DeepestAt(top, screen);
        }
    }
    return nullptr;
}

namespace kel::platform {

void SetMainWindow(CWnd* wnd) {
    Tables().mainWnd = wnd;
}

std::vector<CWnd*> TopLevelWindows() {
    return Tables().topLevel;
}

} // namespace kel::platform
