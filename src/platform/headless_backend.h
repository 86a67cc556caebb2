// The headless backend: windows exist only in memory, every measurement is fixed, and every
// question a person would answer is answered from a queue that a test or script fills, with
// a record of what was asked. It serves whenever no other backend is installed.
//
// Fixed model (identical on every machine):
//   screen 1920 x 1080; SM_CXVSCROLL = SM_CYHSCROLL = 17 (the Windows defaults);
//   caption 23, sizing frame 4, dialog frame 3, border 1, 3-D edge 2 pixels;
//   text: every character (UTF-8 code point) is 7 pixels wide and a line is 14 pixels high whatever
//   the font (ascent 11, descent 3); dialog base units 7 x 14 (one character cell).
// Default answers when nothing is queued: message boxes with a No button answer IDNO, OK/Cancel
// boxes IDCANCEL, others IDOK (Abort/Retry/Ignore IDABORT, Retry/Cancel IDCANCEL); pop-up menus
// are dismissed; modal dialogs end with IDCANCEL; drags are cancelled at once; rubber bands
// give an empty rectangle.
#pragma once

#include "platform/backend.h"
#include "platform/dc.h"
#include "platform/recording_dc.h"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace kel::platform {

struct MessageBoxRecord {
    CWnd* owner = nullptr;
    CString text;
    CString caption;
    UINT type = 0;
    int answer = 0;
};

struct MenuItemRecord {
    UINT id = 0; // 0 for separators and pop-ups
    CString text;
    bool separator = false;
    bool popup = false;
    bool enabled = true;
    bool checked = false;
    std::vector<MenuItemRecord> items; // a pop-up's own items
};

struct PopupMenuRecord {
    CWnd* owner = nullptr;
    UINT flags = 0;
    CPoint screen;
    std::vector<MenuItemRecord> items;
    UINT answer = 0; // what the backend answered (the menu may still refuse it)
};

// A scripted drag: the cursor visits the points in order (screen coordinates); at the last
// one the payload is dropped, or the drag is cancelled when `drop` is false.
struct ScriptedDrag {
    std::vector<CPoint> points;
    bool drop = true;
    DWORD keyState = 0; // MK_* flags held during the drag
};

struct DragRecord {
    CString format;
    DWORD allowedEffects = 0;
    DWORD result = 0;
};

class HeadlessBackend : public Backend {
public:
    static constexpr int kScreenWidth = 1920;
    static constexpr int kScreenHeight = 1080;
    static constexpr int kCharWidth = 7;
    static constexpr int kLineHeight = 14;
    static constexpr int kAscent = 11;

    HeadlessBackend() = default;

    // --- Scripted answers, used in order.
    void QueueMessageBoxAnswer(int answer) { m_boxAnswers.push_back(answer); }
    // A command id, or 0 for a dismissed menu.
    void QueuePopupMenuAnswer(UINT commandId) { m_menuAnswers.push_back(commandId); }
    // Runs inside RunModal with the created, initialised dialog; its return value is the
    // result unless the dialog ended itself (EndDialog) first.
    void QueueModal(std::function<int(CWnd& dialog)> script) {
        m_modalScripts.push_back(std::move(script));
    }
    void QueueDrag(ScriptedDrag drag) { m_drags.push_back(std::move(drag)); }
    // The rectangle the next rubber band gives, client coordinates of its window.
    void QueueRubberBand(const CRect& rect) { m_rubberBands.push_back(rect); }
    void ClearQueues();

    // --- Records of what was shown.
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return m_boxes; }
    const std::vector<PopupMenuRecord>& PopupMenus() const { return m_menus; }
    const std::vector<DragRecord>& Drags() const { return m_dragRecords; }
    int ModalDialogsRun() const { return m_modalsRun; }
    void ClearRecords();

    // --- Input state.
    void SetKeyDown(int virtualKey, bool down);
    void SetCursorPosition(CPoint screen) { m_cursor = screen; }
    std::optional<CRect> CursorClip() const { return m_clip; }
    HCURSOR CurrentCursor() const { return m_currentCursor; }
    const std::vector<CString>& Tooltips() const { return m_tooltips; }

    // --- Painting. Each window keeps the drawing of its last paint (erase included) and,
    // separately, what client DCs drew since the last ClearClientDrawing.
    const DrawLog& LastPaint(const CWnd& wnd) const;
    const DrawLog& ClientDrawing(const CWnd& wnd) const;
    void ClearClientDrawing(const CWnd& wnd);
    int PaintCount(const CWnd& wnd) const;

    // --- Backend.
    void WindowDestroyed(CWnd& wnd) override;
    void WindowReplaced(CWnd& from, CWnd& to) override;
    void UpdateWindow(CWnd& wnd) override;
    std::unique_ptr<CDC> CreatePaintDC(CWnd& wnd) override;
    std::unique_ptr<CDC> CreateClientDC(CWnd& wnd) override;
    int GetSystemMetrics(int index) override;
    CSize GetTextExtent(const LOGFONT& font, const CString& text) override;
    TextMetrics GetTextMetrics(const LOGFONT& font) override;
    CSize GetDialogBaseUnits() override { return {kCharWidth, kLineHeight}; }
    short GetKeyState(int virtualKey) override;
    CPoint GetCursorPos() override { return m_cursor; }
    void SetCursorPos(CPoint screen) override;
    void ClipCursor(const CRect* screen) override;
    void SetCursor(HCURSOR cursor) override { m_currentCursor = cursor; }
    int MessageBox(CWnd* owner, const CString& text, const CString& caption, UINT type) override;
    UINT TrackPopupMenu(const CMenu& popup, UINT flags, CPoint screen, CWnd* owner) override;
    int RunModal(CWnd& dialog) override;
    DWORD DoDragDrop(const DragPayload& data, DWORD allowedEffects) override;
    CRect TrackRubberBand(CWnd& wnd, CPoint start, const CRect& limitScreen) override;
    void ShowTooltip(CWnd& owner, const CString& text, CPoint screen) override;

private:
    struct WindowRecord {
        DrawLog lastPaint;
        DrawLog clientDrawing;
        int paints = 0;
    };
    WindowRecord& Record(const CWnd& wnd) { return m_windows[&wnd]; }

    std::deque<int> m_boxAnswers;
    std::deque<UINT> m_menuAnswers;
    std::deque<std::function<int(CWnd&)>> m_modalScripts;
    std::deque<ScriptedDrag> m_drags;
    std::deque<CRect> m_rubberBands;

    std::vector<MessageBoxRecord> m_boxes;
    std::vector<PopupMenuRecord> m_menus;
    std::vector<DragRecord> m_dragRecords;
    std::vector<CString> m_tooltips;
    int m_modalsRun = 0;

    std::map<int, bool> m_keysDown;
    CPoint m_cursor;
    std::optional<CRect> m_clip;
    HCURSOR m_currentCursor = nullptr;
    std::map<const CWnd*, WindowRecord> m_windows;
};

// The installed backend as the headless one; throws std::logic_error when another backend is
// installed.
HeadlessBackend& Headless();
// Installs a fresh headless backend (empty queues and records) and returns it.
HeadlessBackend& ResetHeadless();

} // namespace kel::platform
