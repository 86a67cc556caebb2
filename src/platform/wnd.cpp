// The window tree: creation, destruction, subclassing, relations, styles and text.
#include "platform/wnd.h"

#include "platform/backend.h"
#include "platform/ole.h"
#include "platform/wnd_internal.h"

#include <algorithm>

using kel::platform::GetBackend;
using kel::platform::detail::Checked;
using kel::platform::detail::Erase;
using kel::platform::detail::Tables;

namespace kel::platform::detail {

WindowTables& Tables() {
    static WindowTables* tables = new WindowTables;
    return *tables;
}

} // namespace kel::platform::detail

CPoint WndAccess::ClientOrigin(const CWnd& w) {
    const CRect insets = w.GetNonClientInsets();
    CPoint origin(w.m_rect.left + insets.left, w.m_rect.top + insets.top);
    if ((w.m_style & WS_CHILD) && w.m_parent) {
        const CPoint parentOrigin = ClientOrigin(*w.m_parent);
        origin.Offset(parentOrigin.x, parentOrigin.y);
    }
    return origin;
}

std::vector<CWnd*>& WndAccess::Siblings(const CWnd& w) {
    if ((w.m_style & WS_CHILD) && w.m_parent) {
        return w.m_parent->m_children;
    }
    return Tables().topLevel;
}

CWnd::CWnd() {
    Tables().objects.insert(this);
}

CWnd::~CWnd() {
    if (m_hWnd) {
        DestroyInternal();
    }
    auto& t = Tables();
    t.objects.erase(this);
    t.windows.erase(this);
    // A window object deleted while registered anywhere must not leave a dangling pointer.
    if (t.focus == this) {
        t.focus = nullptr;
    }
    if (t.capture == this) {
        t.capture = nullptr;
    }
    if (t.active == this) {
        t.active = nullptr;
    }
    if (t.mainWnd == this) {
        t.mainWnd = nullptr;
    }
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) {
    return TRUE;
}

BOOL CWnd::Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const CRect& rect,
                  CWnd* parent, UINT id, void* createParam) {
    return CreateEx(0, className, windowName, style, rect, parent, id, createParam);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style,
                    const CRect& rect, CWnd* parent, UINT id, void* createParam) {
    if (m_hWnd) {
        return FALSE;
    }
    CREATESTRUCT cs;
    cs.lpCreateParams = createParam;
    cs.hwndParent = parent;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.Width();
    cs.cy = rect.Height();
    cs.style = static_cast<LONG>(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!PreCreateWindow(cs)) {
        return FALSE;
    }
    const DWORD finalStyle = static_cast<DWORD>(cs.style);
    CWnd* finalParent = Checked(cs.hwndParent);
    if ((finalStyle & WS_CHILD) && !finalParent) {
        return FALSE; // a child window needs an existing parent
    }
    m_className = (cs.lpszClass && !IS_INTRESOURCE(cs.lpszClass)) ? cs.lpszClass : "";
    m_text = (cs.lpszName && !IS_INTRESOURCE(cs.lpszName)) ? cs.lpszName : "";
    m_style = finalStyle;
    m_exStyle = cs.dwExStyle;
    m_id = (finalStyle & WS_CHILD) ? id : 0;
    m_rect = CRect(cs.x, cs.y, cs.x + std::max(cs.cx, 0), cs.y + std::max(cs.cy, 0));
    m_parent = finalParent;
    m_owner = (finalStyle & WS_CHILD) ? nullptr : finalParent;
    m_invalid.clear();
    m_eraseWanted = false;

    auto& t = Tables();
    m_hWnd = this;
    t.windows.insert(this);
    if (finalStyle & WS_CHILD) {
        m_parent->m_children.push_back(this); // creation order is tab and z order
    } else {
        t.topLevel.insert(t.topLevel.begin(), this);
    }
    GetBackend().WindowCreated(*this);

    cs.style = static_cast<LONG>(m_style);
    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (m_hWnd) {
            DestroyInternal();
        }
        return FALSE;
    }
    if (!IsWindow(this)) {
        return FALSE; // destroyed by its own creation handler
    }
    CRect client;
    GetClientRect(&client);
    SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
    const CPoint origin = WndAccess::ClientOrigin(*this);
    CPoint moveTo = origin;
    if ((m_style & WS_CHILD) && m_parent) {
        m_parent->ScreenToClient(&moveTo);
    }
    SendMessage(WM_MOVE, 0, MAKELPARAM(moveTo.x, moveTo.y));
    if (IsWindow(this) && (m_style & WS_VISIBLE)) {
        GetBackend().WindowShown(*this, true);
        Invalidate(TRUE);
        if (!(m_style & WS_CHILD)) {
            SetActiveWindow(); // a top-level window created visible comes to the front
        }
    }
    return IsWindow(this);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd || m_destroying) {
        return FALSE;
    }
    DestroyInternal();
    return TRUE;
}

// Win32's order: owned pop-ups go first; the window gets WM_DESTROY while its children still
// exist, then the children are destroyed, then WM_NCDESTROY and the handle is gone.
void CWnd::DestroyInternal() {
    auto& t = Tables();
    m_destroying = true;
    const std::vector<CWnd*> owned = [&] {
        std::vector<CWnd*> list;
        for (CWnd* w : t.topLevel) {
            if (w != this && (w->m_owner == this || w->m_parent == this)) {
                list.push_back(w);
            }
        }
        return list;
    }();
    for (CWnd* w : owned) {
        if (IsWindow(w)) {
            w->DestroyInternal();
        }
    }
    if (t.capture && (t.capture == this || IsChild(t.capture))) {
        CWnd* loser = t.capture;
        t.capture = nullptr;
        GetBackend().CaptureChanged(nullptr);
        loser->SendMessage(WM_CAPTURECHANGED, 0, 0);
    }
    if (t.focus && (t.focus == this || IsChild(t.focus))) {
        SetFocusInternal(nullptr);
    }
    if (m_style & WS_VISIBLE) {
        GetBackend().WindowShown(*this, false);
    }
    SendMessage(WM_DESTROY);
    const std::vector<CWnd*> children = m_children;
    for (CWnd* child : children) {
        if (IsWindow(child)) {
            child->DestroyInternal();
        }
    }
    SendMessage(WM_NCDESTROY);

    kel::platform::RevokeDropTarget(*this);
    GetBackend().WindowDestroyed(*this);
    Erase(WndAccess::Siblings(*this), this);
    Erase(t.topLevel, this);
    for (auto it = t.posted.begin(); it != t.posted.end();) {
        it = it->hwnd == this ? t.posted.erase(it) : it + 1;
    }
    if (t.active == this) {
        t.active = nullptr;
    }
    if (t.mainWnd == this) {
        t.mainWnd = nullptr;
    }
    t.windows.erase(this);
    m_hWnd = nullptr;
    m_children.clear();
    m_invalid.clear();
    m_paintRegion.clear();
    m_eraseWanted = false;
    m_destroying = false;
    PostNcDestroy(); // may delete this
}

BOOL CWnd::SubclassWindow(CWnd* other) {
    if (m_hWnd || !IsWindow(other) || other == this) {
        return FALSE;
    }
    auto& t = Tables();
    m_className = other->m_className;
    m_text = other->m_text;
    m_style = other->m_style;
    m_exStyle = other->m_exStyle;
    m_id = other->m_id;
    m_rect = other->m_rect;
    m_parent = other->m_parent;
    m_owner = other->m_owner;
    m_children = std::move(other->m_children);
    other->m_children.clear();
    for (CWnd* child : m_children) {
        child->m_parent = this;
    }
    for (CWnd* w : t.topLevel) {
        if (w->m_owner == other) {
            w->m_owner = this;
        }
        if (w->m_parent == other) {
            w->m_parent = this;
        }
    }
    m_font = other->m_font;
    if (!m_classCursor) {
        m_classCursor = other->m_classCursor;
    }
    m_invalid = std::move(other->m_invalid);
    m_eraseWanted = other->m_eraseWanted;
    auto& siblings = WndAccess::Siblings(*other);
    std::replace(siblings.begin(), siblings.end(), other, this);
    for (CWnd** slot : {&t.focus, &t.capture, &t.active, &t.mainWnd}) {
        if (*slot == other) {
            *slot = this;
        }
    }
    for (MSG& msg : t.posted) {
        if (msg.hwnd == other) {
            msg.hwnd = this;
        }
    }
    t.windows.erase(other);
    other->m_hWnd = nullptr;
    other->m_invalid.clear();
    m_hWnd = this;
    t.windows.insert(this);
    GetBackend().WindowReplaced(*other, *this);
    OnSubclassed(*other);
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (!IsWindow(parent)) {
        return FALSE;
    }
    return SubclassWindow(parent->GetDlgItem(static_cast<int>(id)));
}

void CWnd::OnSubclassed(CWnd&) {}

// --- Tree.

CWnd* CWnd::GetParent() const {
    return m_hWnd ? Checked(m_parent) : nullptr;
}

CWnd* CWnd::GetOwner() const {
    if (!m_hWnd) {
        return nullptr;
    }
    return m_owner ? Checked(m_owner) : GetParent();
}

CWnd* CWnd::GetWindow(UINT cmd) const {
    if (!m_hWnd) {
        return nullptr;
    }
    if (cmd == GW_CHILD) {
        return m_children.empty() ? nullptr : m_children.front();
    }
    if (cmd == GW_OWNER) {
        return (m_style & WS_CHILD) ? nullptr : Checked(m_owner);
    }
    const auto& list = WndAccess::Siblings(*this);
    const auto it = std::find(list.begin(), list.end(), this);
    switch (cmd) {
    case GW_HWNDFIRST:
        return list.empty() ? nullptr : list.front();
    case GW_HWNDLAST:
        return list.empty() ? nullptr : list.back();
    case GW_HWNDNEXT:
        return (it == list.end() || it + 1 == list.end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return (it == list.end() || it == list.begin()) ? nullptr : *(it - 1);
    default:
        return nullptr;
    }
}

CWnd* CWnd::GetTopLevelParent() const {
    if (!m_hWnd) {
        return nullptr;
    }
    const CWnd* w = this;
    while ((w->m_style & WS_CHILD) && w->m_parent) {
        w = w->m_parent;
    }
    return const_cast<CWnd*>(w);
}

CWnd* CWnd::GetDlgItem(int id) const {
    for (CWnd* child : m_children) {
        if (static_cast<int>(child->m_id) == id) {
            return child;
        }
    }
    return nullptr;
}

int CWnd::SetDlgCtrlID(int id) {
    const int old = static_cast<int>(m_id);
    m_id = static_cast<UINT>(id);
    return old;
}

BOOL CWnd::IsChild(const CWnd* wnd) const {
    if (!IsWindow(wnd)) {
        return FALSE;
    }
    for (const CWnd* w = wnd; (w->m_style & WS_CHILD) && w->m_parent; w = w->m_parent) {
        if (w->m_parent == this) {
            return TRUE;
        }
    }
    return FALSE;
}

// --- Styles and text.

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    const DWORD old = m_style;
    // WS_VISIBLE and WS_CHILD change only through ShowWindow and re-creation.
    m_style = (m_style & ~(remove & ~(WS_VISIBLE | WS_CHILD))) | (add & ~(WS_VISIBLE | WS_CHILD));
    if (m_hWnd && (swpFlags & SWP_FRAMECHANGED)) {
        // The frame changed, and with it the client area.
        CRect client;
        GetClientRect(&client);
        SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
    }
    return old != m_style;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT) {
    const DWORD old = m_exStyle;
    m_exStyle = (m_exStyle & ~remove) | add;
    return old != m_exStyle;
}

void CWnd::SetWindowText(LPCTSTR text) {
    if (m_hWnd) {
        SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
    } else {
        m_text = text ? text : "";
    }
}

void CWnd::SetFont(CFont* font, BOOL redraw) {
    if (m_hWnd) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
}

CFont* CWnd::GetFont() const {
    if (!m_hWnd) {
        return nullptr;
    }
    return reinterpret_cast<CFont*>(const_cast<CWnd*>(this)->SendMessage(WM_GETFONT));
}
