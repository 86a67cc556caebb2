// CWnd: the framework window. The platform layer owns the window tree (parents, children, z
// order, styles, rectangles, visibility, focus, capture and the invalid region) and dispatches
// messages synchronously; a backend mirrors the tree on a desktop or keeps it in memory.
//
// Messages reach a window through the virtual WindowProc, which decodes the standard messages
// into virtual handlers with the framework's signatures (OnSize, OnLButtonDown, ...). A handler
// that is not overridden runs the default processing of the message being dispatched, so an
// override can call the base handler exactly as framework code does. Registered messages are
// handled by overriding WindowProc.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/object.h"
#include "platform/win_consts.h"
#include "platform/win_types.h"

#include <functional>
#include <vector>

class CDC;
class CFont;
class CScrollBar;
struct DRAWITEMSTRUCT;
struct MEASUREITEMSTRUCT;

class CWnd : public CObject {
public:
    CWnd();
    // Destroys the window if it still exists; the object may be deleted at any time.
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The window's handle: the object itself while the window exists, null otherwise.
    HWND m_hWnd = nullptr;

    // --- Creation and destruction.
    // `className` may be null or empty (a plain window); `rect` is in the parent's client
    // coordinates for WS_CHILD windows and in screen coordinates otherwise (the parent of a
    // pop-up is its owner). Sends WM_CREATE; a handler answering -1 fails the creation.
    BOOL CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style,
                  const CRect& rect, CWnd* parent, UINT id, void* createParam = nullptr);
    BOOL Create(LPCTSTR className, LPCTSTR windowName, DWORD style, const CRect& rect, CWnd* parent,
                UINT id, void* createParam = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Destroys the children and owned pop-ups first, then sends WM_DESTROY. The object itself
    // lives on (PostNcDestroy runs last; a class that deletes itself does it there).
    virtual BOOL DestroyWindow();
    virtual void PostNcDestroy() {}

    HWND GetSafeHwnd() const { return m_hWnd; }
    // Takes over a window that exists under another object (a control made from a dialog
    // template): the other object's window state moves here and the other object is left
    // without a window. Returns FALSE when `other` is no window or this one already has one.
    BOOL SubclassWindow(CWnd* other);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);

    // --- Tree.
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    void SetOwner(CWnd* owner) { m_owner = owner; }
    CWnd* GetWindow(UINT cmd) const;
    CWnd* GetTopLevelParent() const;
    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const { return static_cast<int>(m_id); }
    int SetDlgCtrlID(int id);
    BOOL IsChild(const CWnd* wnd) const; // wnd is a descendant of this window

    // --- Styles and text.
    DWORD GetStyle() const { return m_style; }
    DWORD GetExStyle() const { return m_exStyle; }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    const CString& GetClassName() const { return m_className; }
    void SetWindowText(LPCTSTR text);
    void GetWindowText(CString& text) const { text = m_text; }
    CString GetWindowText() const { return m_text; }
    int GetWindowTextLength() const { return m_text.GetLength(); }
    void SetFont(CFont* font, BOOL redraw = TRUE);
    CFont* GetFont() const;

    // --- Showing, enabling, focus, capture, activation.
    BOOL ShowWindow(int cmd);
    BOOL IsWindowVisible() const;          // the window and all its ancestors have WS_VISIBLE
    BOOL EnableWindow(BOOL enable = TRUE); // returns whether it was disabled before
    BOOL IsWindowEnabled() const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    CWnd* SetActiveWindow();
    static CWnd* GetActiveWindow();
    BOOL SetForegroundWindow();

    // --- Geometry.
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const CRect& rect, BOOL repaint = TRUE);
    // `insertAfter` is accepted for the framework's signature; the z order changes only
    // without SWP_NOZORDER, and then the window goes to the top of its siblings.
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetWindowRect(CRect* rect) const; // screen coordinates, frame included
    void GetWindowRect(CRect& rect) const { GetWindowRect(&rect); }
    void GetClientRect(CRect* rect) const; // (0, 0, width, height) of the client area
    void GetClientRect(CRect& rect) const { GetClientRect(&rect); }
    void ClientToScreen(CPoint* point) const;
    void ClientToScreen(CRect* rect) const;
    void ScreenToClient(CPoint* point) const;
    void ScreenToClient(CRect* rect) const;
    void ClientToScreen(CPoint& p) const { ClientToScreen(&p); }
    void ClientToScreen(CRect& r) const { ClientToScreen(&r); }
    void ScreenToClient(CPoint& p) const { ScreenToClient(&p); }
    void ScreenToClient(CRect& r) const { ScreenToClient(&r); }
    // The frame between the window rectangle and the client area, from the style and the
    // backend's metrics: left, top (caption included), right, bottom.
    CRect GetNonClientInsets() const;
    CWnd* ChildWindowFromPoint(CPoint client) const;

    // --- Painting.
    void Invalidate(BOOL erase = TRUE) { InvalidateRect(nullptr, erase); }
    void InvalidateRect(const CRect* rect, BOOL erase = TRUE);
    void InvalidateRect(const CRect& rect, BOOL erase = TRUE) { InvalidateRect(&rect, erase); }
    void ValidateRect(const CRect* rect);
    // Bounding box of the invalid region; FALSE when nothing is invalid.
    BOOL GetUpdateRect(CRect* rect, BOOL erase = FALSE);
    // Disjoint rectangles, client coordinates.
    const std::vector<CRect>& GetInvalidRegion() const { return m_invalid; }
    // While WM_PAINT is handled: the region being painted (what a paint DC is clipped to).
    const std::vector<CRect>& GetPaintRegion() const { return m_paintRegion; }
    CRect GetPaintBox() const;
    void UpdateWindow();
    // Sends WM_PAINT now, with the invalid region taken over as the paint region and
    // WM_ERASEBKGND first when an invalidation asked for erasing. Backends call this.
    void PaintNow();
    // Scrolls the client content by (dx, dy) within `scrollRect` (whole client area when null),
    // limited to `clipRect`: the invalid region moves with the content and the exposed strip
    // becomes invalid. Children are not moved.
    void ScrollWindow(int dx, int dy, const CRect* scrollRect = nullptr,
                      const CRect* clipRect = nullptr);
    BOOL RedrawWindow(const CRect* rect = nullptr, UINT flags = 0);

    // --- Messages.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queued; delivered by kel::platform::DispatchPostedMessages (or a backend's loop).
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  BOOL deep = TRUE);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Decodes a standard message into its handler; FALSE when the message has no handler.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being dispatched (what the base handlers call).
    LRESULT Default();
    const MSG* GetCurrentMessage() const { return &m_current; }

    int MessageBox(LPCTSTR text, LPCTSTR caption = nullptr, UINT type = MB_OK);
    // The cursor shown by the default WM_SETCURSOR handling (the arrow when null).
    void SetClassCursor(HCURSOR cursor) { m_classCursor = cursor; }
    HCURSOR GetClassCursor() const { return m_classCursor; }

protected:
    // --- Handlers. Each default runs Default() unless said otherwise.
    virtual int OnCreate(LPCREATESTRUCT cs);
    virtual void OnDestroy();
    virtual void OnNcDestroy();
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* dc);
    virtual void OnNcPaint();
    virtual void OnShowWindow(BOOL show, UINT status);
    virtual void OnActivate(UINT state, CWnd* other, BOOL minimized);
    virtual void OnClose();
    virtual void OnSetFocus(CWnd* oldWnd);
    virtual void OnKillFocus(CWnd* newWnd);
    virtual void OnEnable(BOOL enable);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnRButtonUp(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    virtual int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
    virtual BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    virtual void OnCaptureChanged(CWnd* wnd);
    virtual void OnNcLButtonDown(UINT hitTest, CPoint point);
    virtual void OnNcLButtonDblClk(UINT hitTest, CPoint point);
    virtual void OnKeyDown(UINT ch, UINT repeat, UINT flags);
    virtual void OnKeyUp(UINT ch, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    virtual void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    virtual void OnTimer(UINT_PTR id);
    virtual HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    virtual void OnSetFont(CFont* font, BOOL redraw);
    virtual void OnDrawItem(int id, DRAWITEMSTRUCT* item);
    virtual void OnMeasureItem(int id, MEASUREITEMSTRUCT* item);
    virtual void OnContextMenu(CWnd* wnd, CPoint screen);
    // WM_COMMAND and WM_NOTIFY: TRUE when handled (the framework's command routing).
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A message the parent received about this control (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
    // WM_MEASUREITEM, WM_CTLCOLOR*) offered back to the control first; TRUE when it handled it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Runs on the object that took over `previous`'s window (SubclassWindow), after the move;
    // a control class copies its own data (items, check state) from a control of its kind.
    virtual void OnSubclassed(CWnd& previous);

private:
    friend struct WndAccess;

    void DestroyInternal();
    void InvalidateClientRect(const CRect& rect);
    void SetFocusInternal(CWnd* newFocus);
    void NotifyMoved(bool moved, bool sized, BOOL repaint);

    CString m_className;
    CString m_text;
    DWORD m_style = 0;
    DWORD m_exStyle = 0;
    UINT m_id = 0;
    CRect m_rect; // window rectangle: parent client coordinates for children, else screen
    CWnd* m_parent = nullptr; // children: the parent; pop-ups: the owner
    CWnd* m_owner = nullptr;
    std::vector<CWnd*> m_children; // z order: front first; not owned
    CFont* m_font = nullptr;
    HCURSOR m_classCursor = nullptr;
    std::vector<CRect> m_invalid;
    std::vector<CRect> m_paintRegion;
    bool m_eraseWanted = false;
    bool m_destroying = false;
    MSG m_current{};
};

// A window is valid while its window exists; safe on destroyed and deleted objects (the
// platform keeps a table of live windows).
BOOL IsWindow(const CWnd* wnd);
BOOL IsWindowVisible(const CWnd* wnd);
CWnd* AfxGetMainWnd();
CWnd* WindowFromPoint(CPoint screen);
CWnd* GetFocus();
CWnd* GetCapture();
BOOL ReleaseCapture();
CWnd* GetActiveWindow();
int GetSystemMetrics(int index);
short GetKeyState(int virtualKey);
BOOL GetCursorPos(CPoint* point);
BOOL SetCursorPos(int x, int y);
BOOL ClipCursor(const CRect* screen);
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);

// Same name, same id, for the life of the process; ids from 0xC000 to 0xFFFF. 0 on failure
// (an empty name or an exhausted range).
UINT RegisterWindowMessage(LPCTSTR name);
UINT RegisterClipboardFormat(LPCTSTR name);

namespace kel::platform {

void SetMainWindow(CWnd* wnd);
// The name a message id was registered under; empty for ids that were not registered.
CString RegisteredMessageName(UINT id);
CString RegisteredClipboardFormatName(UINT id);

// Watches the registered messages (ids from 0xC000) that SendMessage delivers: called with the
// target window and the parameters before the window handles the message. Hosts and tests use it
// to follow a module's conversation with the windows around it. An empty function removes it.
using MessageObserver = std::function<void(CWnd* target, UINT message, WPARAM, LPARAM)>;
void SetMessageObserver(MessageObserver observer);

// The top-level windows in z order, front first.
std::vector<CWnd*> TopLevelWindows();
// Delivers queued PostMessage messages to windows that still exist; returns how many.
int DispatchPostedMessages();
// Paints every visible window that has an invalid region (what a desktop's paint cycle does).
void UpdateAllWindows();

// --- Input delivery, shared by every backend.
// A mouse message at a screen point: to the capture window, else the window under the point;
// WM_SETCURSOR (HTCLIENT) first, then, for button presses, WM_MOUSEACTIVATE and activation;
// PreTranslateMessage from the target up to its top-level window, then the message itself with
// the client point and the MK_* key flags (button and Shift/Ctrl state). Returns the target.
CWnd* DeliverMouse(UINT message, CPoint screen, UINT keyFlags);
// A key message (WM_KEYDOWN, WM_KEYUP, WM_CHAR) to the focus window (or the active window),
// offered to PreTranslateMessage first as above. Returns the target or null.
CWnd* DeliverKey(UINT message, UINT virtualKey, UINT repeat = 1, UINT flags = 0);
// Offers a message to PreTranslateMessage of its window and the ancestors up to the top-level
// window; TRUE when one of them handled it.
BOOL PreTranslateChain(MSG& msg);
// The current MK_* key flags of Shift and Ctrl from the backend.
UINT CurrentKeyFlags();

} // namespace kel::platform
