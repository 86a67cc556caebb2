// The seam between the framework stand-in and a desktop. Everything that needs a real screen,
// a real mouse or a person's answer goes through one Backend: the headless backend (tests, the
// script runner) answers from queues and records what was shown; the Qt backend shows it.
//
// The platform layer owns the window tree, messages, invalidation and the framework classes;
// a backend only mirrors windows natively, paints, measures text and runs the modal loops.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <functional>
#include <memory>

class CWnd;
class CDC;
class CMenu;
struct LOGFONT;

using HCURSOR = const struct CursorHandle*;

namespace kel::platform {

struct TextMetrics {
    int height = 0;
    int ascent = 0;
    int descent = 0;
    int aveCharWidth = 0;
};

// One drag-and-drop payload in flight: a registered format name and an in-process block.
// The block stays owned by the drag source; drop targets read it while the drag runs.
struct DragPayload {
    CString format;
    const void* data = nullptr;
    std::size_t size = 0;
};

// A window that takes drops (the framework's COleDropTarget registers one).
class DropTarget {
public:
    virtual ~DropTarget() = default;
    // Points are in the target window's client coordinates; results are DROPEFFECT values.
    virtual DWORD OnDragEnter(CWnd& wnd, const DragPayload& data, DWORD keyState, CPoint point) = 0;
    virtual DWORD OnDragOver(CWnd& wnd, const DragPayload& data, DWORD keyState, CPoint point) = 0;
    virtual void OnDragLeave(CWnd& wnd) = 0;
    virtual BOOL OnDrop(CWnd& wnd, const DragPayload& data, DWORD effect, CPoint point) = 0;
};

class Backend {
public:
    virtual ~Backend() = default;

    // --- Window mirroring. The platform calls these after it changed its own state.
    virtual void WindowCreated(CWnd&) {}
    virtual void WindowDestroyed(CWnd&) {}
    virtual void WindowShown(CWnd&, bool /*visible*/) {}
    virtual void WindowMoved(CWnd&) {}
    virtual void WindowTextChanged(CWnd&) {}
    virtual void WindowEnabled(CWnd&, bool /*enabled*/) {}
    // The window's invalid region grew; a desktop schedules a paint, the headless backend waits
    // for UpdateWindow.
    virtual void WindowInvalidated(CWnd&, const CRect& /*client*/) {}
    // Paint now what is invalid (UpdateWindow). The default sends WM_PAINT through the platform.
    virtual void UpdateWindow(CWnd& wnd);
    // The client content inside `area` moved by (dx, dy); a desktop moves its pixels.
    virtual void WindowScrolled(CWnd&, int /*dx*/, int /*dy*/, const CRect& /*area*/) {}
    // `to` took over the window of `from` (SubclassWindow): mirror it under the new object.
    virtual void WindowReplaced(CWnd& /*from*/, CWnd& /*to*/) {}
    virtual void FocusChanged(CWnd* /*newFocus*/) {}
    virtual void CaptureChanged(CWnd* /*newCapture*/) {}

    // --- Painting. A paint DC covers the window's client area and is clipped to its invalid
    // region; a client DC paints at once (feedback drawn in XOR mode).
    virtual std::unique_ptr<CDC> CreatePaintDC(CWnd& wnd) = 0;
    virtual std::unique_ptr<CDC> CreateClientDC(CWnd& wnd) = 0;

    // --- Metrics, input state and cursors.
    virtual int GetSystemMetrics(int index) = 0;
    virtual CSize GetTextExtent(const LOGFONT& font, const CString& text) = 0;
    virtual TextMetrics GetTextMetrics(const LOGFONT& font) = 0;
    // Pixels of four horizontal and eight vertical dialog units (MapDialogRect).
    virtual CSize GetDialogBaseUnits();
    virtual short GetKeyState(int virtualKey) = 0;
    virtual CPoint GetCursorPos() = 0;
    virtual void SetCursorPos(CPoint screen) = 0;
    virtual void ClipCursor(const CRect* screen) = 0; // null frees the cursor
    virtual void SetCursor(HCURSOR cursor) = 0;

    // --- Modal interactions.
    // MB_* style in, ID* answer out.
    virtual int MessageBox(CWnd* owner, const CString& text, const CString& caption, UINT type) = 0;
    // Returns the chosen command id, or 0 when the menu was dismissed. `popup` is the pop-up
    // that is shown; `screen` its position.
    virtual UINT TrackPopupMenu(const CMenu& popup, UINT flags, CPoint screen, CWnd* owner) = 0;
    // Runs a modal loop for `dialog` (already created and initialised) until the dialog ends
    // itself (EndDialog) or the backend ends it; returns the dialog's result.
    virtual int RunModal(CWnd& dialog) = 0;
    // Runs the drag-and-drop loop from the current cursor position: moves over windows that
    // registered a DropTarget, calling them, until the drop or the cancel. Returns the effect
    // of the drop (DROPEFFECT_NONE when cancelled or refused).
    virtual DWORD DoDragDrop(const DragPayload& data, DWORD allowedEffects) = 0;
    // The rubber band: from `start` (client point of `wnd`) until the button is released,
    // limited to `limitScreen`. Returns the normalised rectangle in client coordinates of
    // `wnd`, empty when nothing was dragged.
    virtual CRect TrackRubberBand(CWnd& wnd, CPoint start, const CRect& limitScreen) = 0;
    // A tooltip control wants its tip shown (empty text hides it).
    virtual void ShowTooltip(CWnd& /*owner*/, const CString& /*text*/, CPoint /*screen*/) {}
};

// The process-wide backend. Until one is installed the headless backend serves.
Backend& GetBackend();
// Installs a backend (taking it over) and returns the previous one.
std::unique_ptr<Backend> SetBackend(std::unique_ptr<Backend> backend);

} // namespace kel::platform
