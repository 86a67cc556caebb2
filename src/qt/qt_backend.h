// The Qt 6 Widgets backend: every window of the framework gets a native widget that mirrors it
// (creation, destruction, visibility, place, text, enabled state), paints through a CDC over
// QPainter, and turns the desktop's mouse, keyboard and activation into the framework's input
// delivery. Cursors, the confined cursor, tooltips, pop-up menus, message boxes, modal dialog
// runs, the drag-and-drop loop and the rubber band run on the desktop as well.
//
// Coordinates: the framework's screen coordinates are Qt's global coordinates. Top-level
// windows are synchronised both ways (the window manager may move them); a top-level widget is
// the client area of its window, while a child's widget covers its whole window rectangle,
// with the frame drawn here.
#pragma once

#include "platform/backend.h"
#include "platform/headless_backend.h"

#include <QCursor>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <optional>
#include <set>

class QMouseEvent;
class QKeyEvent;
class QWheelEvent;
class QTimer;

namespace kel::qt {

class QtWindow;

class QtBackend : public kel::platform::Backend {
public:
    QtBackend();
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    // The widget that shows `wnd`, null when it has none. A host may put its own Qt widgets
    // into it (a panel's list, say); they go with the window. A host may also put the widget of
    // a top-level window into a container of its own (a dock panel): the container's layout
    // places it from then on, while showing and hiding the window still shows and hides it.
    QWidget* WidgetFor(const CWnd* wnd) const;
    // Activating `window` (a Qt window of the host's own) makes `wnd` the framework's active
    // window, so that the windows of the framework learn whom they lost the activation to.
    void AssociateWindow(QWidget* window, CWnd* wnd);
    // The cursor last set, and the one a window of ours shows for it.
    HCURSOR CurrentCursor() const { return m_cursorHandle; }
    QCursor ToQCursor(HCURSOR cursor);
    std::optional<CRect> CursorClip() const { return m_clip; }

    // The framework's screen point of a Qt global point, and back.
    CPoint FromGlobal(QPoint global) const;
    QPoint ToGlobal(CPoint screen) const;
    // Where the widget of `wnd` begins, in the framework's screen coordinates.
    static CPoint WidgetOrigin(const CWnd& wnd);
    static bool IsTopLevel(const CWnd& wnd);

    // --- Input from the widgets.
    void OnMouse(QtWindow& window, QMouseEvent& event, UINT message);
    void OnWheel(QtWindow& window, QWheelEvent& event);
    void OnKey(QKeyEvent& event, bool down);
    void OnActivated(CWnd* wnd);

    // --- Backend.
    void WindowCreated(CWnd& wnd) override;
    void WindowDestroyed(CWnd& wnd) override;
    void WindowShown(CWnd& wnd, bool visible) override;
    void WindowMoved(CWnd& wnd) override;
    void WindowTextChanged(CWnd& wnd) override;
    void WindowEnabled(CWnd& wnd, bool enabled) override;
    void WindowInvalidated(CWnd& wnd, const CRect& client) override;
    void WindowScrolled(CWnd& wnd, int dx, int dy, const CRect& area) override;
    void WindowReplaced(CWnd& from, CWnd& to) override;
    void FocusChanged(CWnd* newFocus) override;
    void CaptureChanged(CWnd* newCapture) override;
    std::unique_ptr<CDC> CreatePaintDC(CWnd& wnd) override;
    std::unique_ptr<CDC> CreateClientDC(CWnd& wnd) override;
    int GetSystemMetrics(int index) override;
    CSize GetTextExtent(const LOGFONT& font, const CString& text) override;
    kel::platform::TextMetrics GetTextMetrics(const LOGFONT& font) override;
    short GetKeyState(int virtualKey) override;
    CPoint GetCursorPos() override { return m_cursor; }
    void SetCursorPos(CPoint screen) override;
    void ClipCursor(const CRect* screen) override;
    void SetCursor(HCURSOR cursor) override;
    int MessageBox(CWnd* owner, const CString& text, const CString& caption, UINT type) override;
    UINT TrackPopupMenu(const CMenu& popup, UINT flags, CPoint screen, CWnd* owner) override;
    int RunModal(CWnd& dialog) override;
    DWORD DoDragDrop(const kel::platform::DragPayload& data, DWORD allowedEffects) override;
    CRect TrackRubberBand(CWnd& wnd, CPoint start, const CRect& limitScreen) override;
    void ShowTooltip(CWnd& owner, const CString& text, CPoint screen) override;

private:
    class ActivationFilter;
    QtWindow* Find(const CWnd* wnd) const;
    void Restack(const CWnd& parent);
    CPoint Confine(CPoint screen) const;
    void SyncModifiers(Qt::KeyboardModifiers modifiers);
    void ApplyCursor();
    // Follows the pointer until the left button is released (true) or Escape or a lost button
    // ends it (false); `moved` sees every framework screen point on the way.
    bool RunPointerLoop(const std::function<void(CPoint, DWORD)>& moved);

    std::map<const CWnd*, QPointer<QtWindow>> m_windows;
    std::map<QWidget*, CWnd*> m_associated;
    std::unique_ptr<ActivationFilter> m_activationFilter;
    // Fixed metrics (scroll bars, frames, caption) shared with the headless backend, so that a
    // layout computed in a test is the one shown on the desktop.
    kel::platform::HeadlessBackend m_fixed;
    std::map<HCURSOR, QCursor> m_cursors;
    HCURSOR m_cursorHandle = nullptr;
    QPointer<QWidget> m_hover; // the widget the pointer was last over
    CPoint m_cursor;
    QPoint m_globalDelta; // Qt global minus framework screen, from the latest pointer event
    std::optional<CRect> m_clip;
    std::set<int> m_keysDown;
    std::unique_ptr<QTimer> m_postedTimer;
    // While the cursor is confined, the pointer is watched outside our windows as well.
    std::unique_ptr<QTimer> m_clipTimer;
    bool m_pointerLoop = false;
};

// The installed backend when it is the Qt one, else null.
QtBackend* Installed();

} // namespace kel::qt
