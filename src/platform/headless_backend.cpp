#include "platform/headless_backend.h"

#include "platform/dialog.h"
#include "platform/menu.h"
#include "platform/ole.h"
#include "platform/wnd.h"

#include <algorithm>
#include <stdexcept>

namespace kel::platform {

namespace {

// Never destroyed: windows of static objects may still talk to the backend during exit.
std::unique_ptr<Backend>& Installed() {
    static auto* backend = new std::unique_ptr<Backend>;
    return *backend;
}

int CountCharacters(const CString& text) {
    int count = 0;
    for (const char c : text.str()) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count; // continuation bytes belong to the character before them
        }
    }
    return count;
}

std::vector<MenuItemRecord> RecordItems(const CMenu& menu) {
    std::vector<MenuItemRecord> items;
    for (const CMenu::Item& item : menu.GetItems()) {
        MenuItemRecord r;
        r.id = item.id;
        r.text = item.text;
        r.separator = (item.flags & MF_SEPARATOR) != 0;
        r.popup = (item.flags & MF_POPUP) != 0 || item.popup != nullptr;
        r.enabled = (item.flags & (MF_GRAYED | MF_DISABLED)) == 0;
        r.checked = (item.flags & MF_CHECKED) != 0;
        if (item.popup) {
            r.items = RecordItems(*item.popup);
        }
        items.push_back(std::move(r));
    }
    return items;
}

int DefaultAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDNO;
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
        return IDCANCEL;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDOK;
    }
}

const DrawLog& EmptyLog() {
    static const DrawLog* empty = new DrawLog;
    return *empty;
}

} // namespace

Backend& GetBackend() {
    auto& backend = Installed();
    if (!backend) {
        backend = std::make_unique<HeadlessBackend>();
    }
    return *backend;
}

std::unique_ptr<Backend> SetBackend(std::unique_ptr<Backend> backend) {
    std::unique_ptr<Backend> previous = std::move(Installed());
    Installed() = std::move(backend);
    return previous;
}

HeadlessBackend& Headless() {
    auto* headless = dynamic_cast<HeadlessBackend*>(&GetBackend());
    if (!headless) {
        throw std::logic_error("the installed backend is not the headless one");
    }
    return *headless;
}

HeadlessBackend& ResetHeadless() {
    auto fresh = std::make_unique<HeadlessBackend>();
    HeadlessBackend& ref = *fresh;
    SetBackend(std::move(fresh));
    return ref;
}

// --- Queues and records.

void HeadlessBackend::ClearQueues() {
    m_boxAnswers.clear();
    m_menuAnswers.clear();
    m_modalScripts.clear();
    m_drags.clear();
    m_rubberBands.clear();
}

void HeadlessBackend::ClearRecords() {
    m_boxes.clear();
    m_menus.clear();
    m_dragRecords.clear();
    m_tooltips.clear();
    m_modalsRun = 0;
}

void HeadlessBackend::SetKeyDown(int virtualKey, bool down) {
    m_keysDown[virtualKey] = down;
}

short HeadlessBackend::GetKeyState(int virtualKey) {
    const auto it = m_keysDown.find(virtualKey);
    return it != m_keysDown.end() && it->second ? kKeyDownBit : 0;
}

void HeadlessBackend::SetCursorPos(CPoint screen) {
    // A clipped cursor stays inside its rectangle, as on the desktop.
    if (m_clip && !m_clip->IsRectEmpty()) {
        screen.x = std::clamp(screen.x, m_clip->left, m_clip->right - 1);
        screen.y = std::clamp(screen.y, m_clip->top, m_clip->bottom - 1);
    }
    m_cursor = screen;
}

void HeadlessBackend::ClipCursor(const CRect* screen) {
    if (screen) {
        m_clip = *screen;
        SetCursorPos(m_cursor);
    } else {
        m_clip.reset();
    }
}

// --- Windows and painting.

const DrawLog& HeadlessBackend::LastPaint(const CWnd& wnd) const {
    const auto it = m_windows.find(&wnd);
    return it == m_windows.end() ? EmptyLog() : it->second.lastPaint;
}

const DrawLog& HeadlessBackend::ClientDrawing(const CWnd& wnd) const {
    const auto it = m_windows.find(&wnd);
    return it == m_windows.end() ? EmptyLog() : it->second.clientDrawing;
}

void HeadlessBackend::ClearClientDrawing(const CWnd& wnd) {
    Record(wnd).clientDrawing.clear();
}

int HeadlessBackend::PaintCount(const CWnd& wnd) const {
    const auto it = m_windows.find(&wnd);
    return it == m_windows.end() ? 0 : it->second.paints;
}

void HeadlessBackend::WindowDestroyed(CWnd& wnd) {
    m_windows.erase(&wnd);
}

void HeadlessBackend::WindowReplaced(CWnd& from, CWnd& to) {
    if (const auto it = m_windows.find(&from); it != m_windows.end()) {
        m_windows[&to] = std::move(it->second);
        m_windows.erase(&from);
    }
}

void HeadlessBackend::UpdateWindow(CWnd& wnd) {
    WindowRecord& record = Record(wnd);
    record.lastPaint.clear();
    ++record.paints;
    wnd.PaintNow();
}

std::unique_ptr<CDC> HeadlessBackend::CreatePaintDC(CWnd& wnd) {
    CRect client;
    wnd.GetClientRect(&client);
    return std::make_unique<CRecordingDC>(client, wnd.GetPaintBox(), &Record(wnd).lastPaint);
}

std::unique_ptr<CDC> HeadlessBackend::CreateClientDC(CWnd& wnd) {
    CRect client;
    wnd.GetClientRect(&client);
    return std::make_unique<CRecordingDC>(client, client, &Record(wnd).clientDrawing);
}

// --- Metrics.

int HeadlessBackend::GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
        return kScreenWidth;
    case SM_CYSCREEN:
        return kScreenHeight;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 17;
    case SM_CYCAPTION:
        return 23;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CYMENU:
        return 19;
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXDRAG:
    case SM_CYDRAG:
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        return 4;
    default:
        return 0;
    }
}

CSize HeadlessBackend::GetTextExtent(const LOGFONT&, const CString& text) {
    return {CountCharacters(text) * kCharWidth, kLineHeight};
}

TextMetrics HeadlessBackend::GetTextMetrics(const LOGFONT&) {
    TextMetrics metrics;
    metrics.height = kLineHeight;
    metrics.ascent = kAscent;
    metrics.descent = kLineHeight - kAscent;
    metrics.aveCharWidth = kCharWidth;
    return metrics;
}

// --- Modal interactions.

int HeadlessBackend::MessageBox(CWnd* owner, const CString& text, const CString& caption,
                                UINT type) {
    int answer = DefaultAnswer(type);
    if (!m_boxAnswers.empty()) {
        answer = m_boxAnswers.front();
        m_boxAnswers.pop_front();
    }
    m_boxes.push_back({owner, text, caption, type, answer});
    return answer;
}

UINT HeadlessBackend::TrackPopupMenu(const CMenu& popup, UINT flags, CPoint screen, CWnd* owner) {
    UINT answer = 0;
    if (!m_menuAnswers.empty()) {
        answer = m_menuAnswers.front();
        m_menuAnswers.pop_front();
    }
    PopupMenuRecord record;
    record.owner = owner;
    record.flags = flags;
    record.screen = screen;
    record.items = RecordItems(popup);
    record.answer = answer;
    m_menus.push_back(std::move(record));
    return answer;
}

int HeadlessBackend::RunModal(CWnd& dialog) {
    ++m_modalsRun;
    if (m_modalScripts.empty()) {
        return IDCANCEL;
    }
    auto script = std::move(m_modalScripts.front());
    m_modalScripts.pop_front();
    const int result = script(dialog);
    auto* dlg = dynamic_cast<CDialog*>(&dialog);
    if (dlg && IsWindow(dlg) && dlg->IsModalLoopDone()) {
        return dlg->GetModalResult();
    }
    return result;
}

DWORD HeadlessBackend::DoDragDrop(const DragPayload& data, DWORD allowedEffects) {
    DWORD result = DROPEFFECT_NONE;
    if (!m_drags.empty()) {
        ScriptedDrag drag = std::move(m_drags.front());
        m_drags.pop_front();
        DragLoop loop(data, allowedEffects);
        const DWORD keyState = drag.keyState | MK_LBUTTON;
        for (std::size_t i = 0; i < drag.points.size(); ++i) {
            SetCursorPos(drag.points[i]);
            const bool last = i + 1 == drag.points.size();
            if (last && drag.drop) {
                result = loop.Drop(m_cursor, keyState & ~MK_LBUTTON);
            } else {
                loop.MoveTo(m_cursor, keyState);
            }
        }
        loop.Cancel();
    }
    m_dragRecords.push_back({data.format, allowedEffects, result});
    return result;
}

CRect HeadlessBackend::TrackRubberBand(CWnd& wnd, CPoint, const CRect& limitScreen) {
    if (m_rubberBands.empty()) {
        return CRect();
    }
    CRect band = m_rubberBands.front();
    m_rubberBands.pop_front();
    band.NormalizeRect();
    CRect limit = limitScreen;
    wnd.ScreenToClient(&limit);
    CRect limited;
    limited.IntersectRect(band, limit);
    return limited;
}

void HeadlessBackend::ShowTooltip(CWnd&, const CString& text, CPoint) {
    m_tooltips.push_back(text);
}

} // namespace kel::platform
