// Message dispatch: sending and posting, decoding into the virtual handlers, the default
// processing, and registered message names.
#include "platform/backend.h"
#include "platform/cursor.h"
#include "platform/wnd.h"
#include "platform/wnd_internal.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <string>

using kel::platform::GetBackend;
using kel::platform::detail::Tables;

namespace {

CWnd* AsWnd(std::uintptr_t value) {
    CWnd* wnd = reinterpret_cast<CWnd*>(value);
    return IsWindow(wnd) ? wnd : nullptr;
}

CPoint PointOf(LPARAM lp) {
    return CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
}

DWORD g_messageTime = 0;

// Never destroyed: windows of static objects may still send messages during exit.
kel::platform::MessageObserver& Observer() {
    static auto* observer = new kel::platform::MessageObserver;
    return *observer;
}

void ReportHandlerFailure(const CWnd* wnd, UINT message, const char* what) {
    std::fprintf(stderr, "kelplatform: message 0x%04X to window %p (%s) failed: %s\n", message,
                 static_cast<const void*>(wnd), wnd->GetClassName().GetString(), what);
}

} // namespace

// --- Sending and posting.

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(this)) {
        return 0;
    }
    if (message >= 0xC000 && Observer()) {
        Observer()(this, message, wParam, lParam);
        if (!IsWindow(this)) {
            return 0;
        }
    }
    const MSG saved = m_current;
    m_current.hwnd = this;
    m_current.message = message;
    m_current.wParam = wParam;
    m_current.lParam = lParam;
    m_current.time = ++g_messageTime;
    m_current.pt = GetBackend().GetCursorPos();
    LRESULT result = 0;
    // Nothing a handler throws may unwind into the caller's message loop or the backend.
    try {
        result = WindowProc(message, wParam, lParam);
    } catch (const std::exception& e) {
        ReportHandlerFailure(this, message, e.what());
    } catch (...) {
        ReportHandlerFailure(this, message, "unknown exception");
    }
    if (Tables().objects.count(this)) {
        m_current = saved; // the handler may have deleted the object
    }
    return result;
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsWindow(this)) {
        return FALSE;
    }
    MSG msg;
    msg.hwnd = this;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.pt = GetBackend().GetCursorPos();
    Tables().posted.push_back(msg);
    return TRUE;
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* item = GetDlgItem(id);
    return item ? item->SendMessage(message, wParam, lParam) : 0;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep) {
    const std::vector<CWnd*> children = m_children;
    for (CWnd* child : children) {
        if (!IsWindow(child)) {
            continue;
        }
        child->SendMessage(message, wParam, lParam);
        if (deep && IsWindow(child)) {
            child->SendMessageToDescendants(message, wParam, lParam, TRUE);
        }
    }
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.message, m_current.wParam, m_current.lParam);
}

// --- Decoding.

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    LRESULT r = 0;
    switch (message) {
    case WM_CREATE:
        r = OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_NCDESTROY:
        OnNcDestroy();
        break;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
               HIWORD(static_cast<std::uintptr_t>(lParam)));
        break;
    case WM_MOVE:
        OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_PAINT:
        OnPaint();
        break;
    case WM_ERASEBKGND:
        r = OnEraseBkgnd(reinterpret_cast<CDC*>(wParam));
        break;
    case WM_NCPAINT:
        OnNcPaint();
        break;
    case WM_SHOWWINDOW:
        OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        break;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), AsWnd(static_cast<std::uintptr_t>(lParam)),
                   HIWORD(wParam) ? TRUE : FALSE);
        break;
    case WM_CLOSE:
        OnClose();
        break;
    case WM_SETFOCUS:
        OnSetFocus(AsWnd(wParam));
        break;
    case WM_KILLFOCUS:
        OnKillFocus(AsWnd(wParam));
        break;
    case WM_ENABLE:
        OnEnable(static_cast<BOOL>(wParam));
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_MOUSEWHEEL:
        r = OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), PointOf(lParam));
        break;
    case WM_MOUSEACTIVATE:
        r = OnMouseActivate(AsWnd(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                            HIWORD(static_cast<std::uintptr_t>(lParam)));
        break;
    case WM_SETCURSOR:
        r = OnSetCursor(AsWnd(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                        HIWORD(static_cast<std::uintptr_t>(lParam)));
        break;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(AsWnd(static_cast<std::uintptr_t>(lParam)));
        break;
    case WM_NCLBUTTONDOWN:
        OnNcLButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_NCLBUTTONDBLCLK:
        OnNcLButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
        break;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                  HIWORD(static_cast<std::uintptr_t>(lParam)));
        break;
    case WM_KEYUP:
        OnKeyUp(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
                HIWORD(static_cast<std::uintptr_t>(lParam)));
        break;
    case WM_CHAR:
        OnChar(static_cast<UINT>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)),
               HIWORD(static_cast<std::uintptr_t>(lParam)));
        break;
    case WM_HSCROLL:
    case WM_VSCROLL: {
        // The sending control is passed as a CScrollBar*, whatever its class, as the framework
        // does; handlers compare it with their controls' addresses.
        CScrollBar* bar = reinterpret_cast<CScrollBar*>(AsWnd(static_cast<std::uintptr_t>(lParam)));
        if (message == WM_HSCROLL) {
            OnHScroll(LOWORD(wParam), HIWORD(wParam), bar);
        } else {
            OnVScroll(LOWORD(wParam), HIWORD(wParam), bar);
        }
        break;
    }
    case WM_TIMER:
        OnTimer(wParam);
        break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        r = reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<CDC*>(wParam),
                                                 AsWnd(static_cast<std::uintptr_t>(lParam)),
                                                 message - WM_CTLCOLORMSGBOX));
        break;
    case WM_SETFONT:
        OnSetFont(reinterpret_cast<CFont*>(wParam), LOWORD(static_cast<std::uintptr_t>(lParam)));
        break;
    case WM_DRAWITEM:
        OnDrawItem(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        r = TRUE;
        break;
    case WM_MEASUREITEM:
        OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        r = TRUE;
        break;
    case WM_CONTEXTMENU:
        OnContextMenu(AsWnd(wParam), PointOf(lParam));
        break;
    case WM_COMMAND:
        if (!OnCommand(wParam, lParam)) {
            return FALSE;
        }
        break;
    case WM_NOTIFY:
        if (!OnNotify(wParam, lParam, &r)) {
            return FALSE;
        }
        break;
    default:
        return FALSE;
    }
    if (result) {
        *result = r;
    }
    return TRUE;
}

// --- Default processing.

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        // A wheel turned over a window that has no use for it goes to its parent, as on the
        // desktop: the focus may be on a child control of the window that scrolls.
        if ((GetStyle() & WS_CHILD) && GetParent() && IsWindow(GetParent()))
            return GetParent()->SendMessage(message, wParam, lParam);
        return 0;
    case WM_SETTEXT:
        m_text = lParam ? reinterpret_cast<LPCTSTR>(lParam) : "";
        GetBackend().WindowTextChanged(*this);
        return TRUE;
    case WM_GETTEXT: {
        char* buffer = reinterpret_cast<char*>(lParam);
        if (!buffer || wParam == 0) {
            return 0;
        }
        const std::size_t n = std::min<std::size_t>(wParam - 1, m_text.str().size());
        std::memcpy(buffer, m_text.GetString(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return m_text.GetLength();
    case WM_SETFONT:
        m_font = reinterpret_cast<CFont*>(wParam);
        if (LOWORD(static_cast<std::uintptr_t>(lParam))) {
            Invalidate(TRUE);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(m_font);
    case WM_ERASEBKGND:
        return TRUE;
    case WM_NCHITTEST: {
        CRect window;
        GetWindowRect(&window);
        const CPoint screen = PointOf(lParam);
        if (!window.PtInRect(screen)) {
            return HTNOWHERE;
        }
        CRect client;
        GetClientRect(&client);
        ClientToScreen(&client);
        if (client.PtInRect(screen)) {
            return HTCLIENT;
        }
        if ((m_style & WS_CAPTION) == WS_CAPTION && screen.y < client.top &&
            screen.x >= client.left && screen.x < client.right) {
            return HTCAPTION;
        }
        return HTBORDER;
    }
    case WM_SETCURSOR: {
        // The parent may decide for its children first.
        if ((m_style & WS_CHILD) && m_parent && IsWindow(m_parent) &&
            m_parent->SendMessage(WM_SETCURSOR, wParam, lParam)) {
            return TRUE;
        }
        if (static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam))) == HTCLIENT) {
            // The cursor of the window under the mouse, whoever answers for it.
            const CWnd* under = AsWnd(wParam);
            const HCURSOR own = (under ? under : this)->m_classCursor;
            if (kel::platform::WaitCursorDepth() > 0) {
                ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
            } else {
                ::SetCursor(own ? own : ::LoadCursor(nullptr, IDC_ARROW));
            }
            return TRUE;
        }
        return FALSE;
    }
    case WM_MOUSEACTIVATE:
        if ((m_style & WS_CHILD) && m_parent && IsWindow(m_parent)) {
            const LRESULT parentAnswer = m_parent->SendMessage(WM_MOUSEACTIVATE, wParam, lParam);
            if (parentAnswer) {
                return parentAnswer;
            }
        }
        return MA_ACTIVATE;
    case WM_ACTIVATE:
        // An activated window takes the focus unless it already holds it in a child.
        if (LOWORD(wParam) != WA_INACTIVE) {
            CWnd* focus = CWnd::GetFocus();
            if (focus != this && !IsChild(focus)) {
                SetFocus();
            }
        }
        return 0;
    case WM_DRAWITEM:
    case WM_MEASUREITEM: {
        CWnd* item = GetDlgItem(static_cast<int>(wParam));
        LRESULT r = 0;
        if (item && item->OnChildNotify(message, wParam, lParam, &r)) {
            return TRUE;
        }
        return FALSE;
    }
    default:
        return 0;
    }
}

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnNcDestroy() {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnMove(int, int) {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnNcPaint() {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, BOOL) {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnEnable(BOOL) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) {
    return static_cast<BOOL>(Default());
}
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) {
    return static_cast<int>(Default());
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnCaptureChanged(CWnd*) {
    Default();
}
void CWnd::OnNcLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnNcLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) {
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnSetFont(CFont*, BOOL) {
    Default();
}
void CWnd::OnContextMenu(CWnd*, CPoint) {
    Default();
}
void CWnd::OnDrawItem(int, DRAWITEMSTRUCT*) {
    Default();
}
void CWnd::OnMeasureItem(int, MEASUREITEMSTRUCT*) {
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* wnd, UINT) {
    LRESULT r = 0;
    if (wnd && wnd != this &&
        wnd->OnChildNotify(m_current.message, m_current.wParam, m_current.lParam, &r)) {
        return reinterpret_cast<HBRUSH>(r);
    }
    return reinterpret_cast<HBRUSH>(Default());
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    // A control's notification is offered back to the control first.
    CWnd* control = AsWnd(static_cast<std::uintptr_t>(lParam));
    LRESULT r = 0;
    if (control && control != this && control->OnChildNotify(WM_COMMAND, wParam, lParam, &r)) {
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    CWnd* control = header ? AsWnd(reinterpret_cast<std::uintptr_t>(header->hwndFrom)) : nullptr;
    if (control && control != this) {
        return control->OnChildNotify(WM_NOTIFY, wParam, lParam, result);
    }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

int CWnd::MessageBox(LPCTSTR text, LPCTSTR caption, UINT type) {
    return GetBackend().MessageBox(this, text ? text : "", caption ? caption : m_text, type);
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT) {
    CWnd* main = AfxGetMainWnd();
    return GetBackend().MessageBox(main, text ? text : "", main ? main->GetWindowText() : "", type);
}

int GetSystemMetrics(int index) {
    return GetBackend().GetSystemMetrics(index);
}
short GetKeyState(int virtualKey) {
    return GetBackend().GetKeyState(virtualKey);
}

BOOL GetCursorPos(CPoint* point) {
    if (!point) {
        return FALSE;
    }
    *point = GetBackend().GetCursorPos();
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    GetBackend().SetCursorPos(CPoint(x, y));
    return TRUE;
}

BOOL ClipCursor(const CRect* screen) {
    GetBackend().ClipCursor(screen);
    return TRUE;
}

// --- Registered names. Window messages and clipboard formats share one table, as they share
// one atom table on Windows; names compare without regard to case.

namespace {

struct NameTable {
    std::map<std::string, UINT> ids; // by lower-case name
    std::vector<CString> names;      // by id - first id, as first registered
};

NameTable& Names() {
    static NameTable* table = new NameTable; // lives as long as registered ids may be asked
    return *table;
}

std::string Folded(const char* name) {
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

} // namespace

UINT RegisterWindowMessage(LPCTSTR name) {
    if (!name || IS_INTRESOURCE(name) || !*name) {
        return 0;
    }
    NameTable& table = Names();
    const std::string key = Folded(name);
    if (const auto it = table.ids.find(key); it != table.ids.end()) {
        return it->second;
    }
    const std::size_t next = kFirstRegisteredMessage + table.names.size();
    if (next > kLastRegisteredMessage) {
        return 0;
    }
    const UINT id = static_cast<UINT>(next);
    table.ids.emplace(key, id);
    table.names.emplace_back(name);
    return id;
}

UINT RegisterClipboardFormat(LPCTSTR name) {
    return RegisterWindowMessage(name);
}

namespace kel::platform {

void SetMessageObserver(MessageObserver observer) {
    Observer() = std::move(observer);
}

CString RegisteredMessageName(UINT id) {
    const NameTable& table = Names();
    if (id < kFirstRegisteredMessage || id - kFirstRegisteredMessage >= table.names.size()) {
        return {};
    }
    return table.names[id - kFirstRegisteredMessage];
}

CString RegisteredClipboardFormatName(UINT id) {
    return RegisteredMessageName(id);
}

int DispatchPostedMessages() {
    auto& posted = Tables().posted;
    int delivered = 0;
    // A bound, so that a window that posts to itself on every message cannot hang the caller.
    for (int budget = 100000; !posted.empty() && budget > 0; --budget) {
        const MSG msg = posted.front();
        posted.pop_front();
        if (IsWindow(msg.hwnd)) {
            msg.hwnd->SendMessage(msg.message, msg.wParam, msg.lParam);
            ++delivered;
        }
    }
    return delivered;
}

} // namespace kel::platform
