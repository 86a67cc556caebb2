// A backend for the drawing and control tests: fixed-pitch text (6 pixels a character, 13 a
// line), recorded paints, scripted pop-up menu answers, and a log of cursors and tooltips.
#pragma once

#include "platform/backend.h"
#include "platform/menu.h"
#include "platform/recording_dc.h"
#include "platform/wnd.h"

#include <deque>
#include <memory>
#include <vector>

namespace kel::test {

class GdiTestBackend : public kel::platform::Backend {
public:
    static constexpr int kCharWidth = 6;
    static constexpr int kLineHeight = 13;

    std::unique_ptr<CDC> CreatePaintDC(CWnd& wnd) override {
        CRect client;
        wnd.GetClientRect(&client);
        CRect paint = wnd.GetPaintBox();
        return std::make_unique<CRecordingDC>(client, paint.IsRectEmpty() ? client : paint,
                                              &paints);
    }
    std::unique_ptr<CDC> CreateClientDC(CWnd& wnd) override {
        CRect client;
        wnd.GetClientRect(&client);
        return std::make_unique<CRecordingDC>(client, client, &paints);
    }
    int GetSystemMetrics(int) override { return 0; }
    CSize GetTextExtent(const LOGFONT&, const CString& text) override {
        int chars = 0;
        for (char c : text.str())
            if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
                ++chars;
        return {chars * kCharWidth, kLineHeight};
    }
    kel::platform::TextMetrics GetTextMetrics(const LOGFONT&) override {
        return {kLineHeight, 10, 3, kCharWidth};
    }
    short GetKeyState(int) override { return 0; }
    CPoint GetCursorPos() override { return cursorPos; }
    void SetCursorPos(CPoint p) override { cursorPos = p; }
    void ClipCursor(const CRect*) override {}
    void SetCursor(HCURSOR cursor) override { cursors.push_back(cursor); }
    int MessageBox(CWnd*, const CString&, const CString&, UINT) override { return IDOK; }
    UINT TrackPopupMenu(const CMenu& popup, UINT flags, CPoint, CWnd*) override {
        shownMenuItems = popup.GetMenuItemCount();
        shownMenuFlags = flags;
        if (menuAnswers.empty())
            return 0;
        UINT answer = menuAnswers.front();
        menuAnswers.pop_front();
        return answer;
    }
    int RunModal(CWnd&) override { return IDCANCEL; }
    DWORD DoDragDrop(const kel::platform::DragPayload&, DWORD) override { return 0; }
    CRect TrackRubberBand(CWnd&, CPoint, const CRect&) override { return {}; }
    void ShowTooltip(CWnd&, const CString& text, CPoint) override { tips.push_back(text); }

    kel::platform::DrawLog paints;
    std::deque<UINT> menuAnswers;
    int shownMenuItems = -1;
    UINT shownMenuFlags = 0;
    std::vector<HCURSOR> cursors;
    std::vector<CString> tips;
    CPoint cursorPos;
};

// Installs a GdiTestBackend for the life of a test and puts the previous backend back after.
class ScopedGdiBackend {
public:
    ScopedGdiBackend() {
        auto backend = std::make_unique<GdiTestBackend>();
        m_backend = backend.get();
        m_previous = kel::platform::SetBackend(std::move(backend));
    }
    ~ScopedGdiBackend() { kel::platform::SetBackend(std::move(m_previous)); }
    ScopedGdiBackend(const ScopedGdiBackend&) = delete;
    ScopedGdiBackend& operator=(const ScopedGdiBackend&) = delete;
    GdiTestBackend* operator->() const { return m_backend; }
    GdiTestBackend& operator*() const { return *m_backend; }

private:
    GdiTestBackend* m_backend;
    std::unique_ptr<kel::platform::Backend> m_previous;
};

} // namespace kel::test
