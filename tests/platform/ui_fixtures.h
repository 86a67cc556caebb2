// Shared pieces of the window tests: a fresh headless backend per test and a window that
// writes down the messages its handlers saw.
#pragma once

#include "platform/headless_backend.h"
#include "platform/wnd.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kel::test {

class UiTest : public ::testing::Test {
protected:
    void SetUp() override { headless = &platform::ResetHeadless(); }
    platform::HeadlessBackend* headless = nullptr;
};

// Logs handler calls as short strings ("create", "size 100x50", "lbuttondown 5,6 flags 1").
class LoggingWnd : public CWnd {
public:
    explicit LoggingWnd(std::string name = {}, std::vector<std::string>* sharedLog = nullptr)
        : m_name(std::move(name)), m_log(sharedLog ? sharedLog : &m_ownLog) {}

    std::vector<std::string>& Log() { return *m_log; }
    void Note(const std::string& what) {
        m_log->push_back(m_name.empty() ? what : m_name + ":" + what);
    }
    bool Saw(const std::string& what) const {
        for (const auto& entry : *m_log) {
            if (entry == (m_name.empty() ? what : m_name + ":" + what)) {
                return true;
            }
        }
        return false;
    }

    BOOL CreateChild(CWnd* parent, const CRect& rect, UINT id = 0, DWORD style = WS_VISIBLE) {
        return Create(nullptr, nullptr, WS_CHILD | style, rect, parent, id);
    }
    BOOL CreatePopup(const CRect& screen, DWORD style = WS_VISIBLE, CWnd* owner = nullptr) {
        return CreateEx(0, nullptr, nullptr, WS_POPUP | style, screen, owner, 0);
    }

    bool preTranslateHandles = false;
    int paints = 0;
    int erases = 0;
    std::vector<CRect> paintBoxes;

protected:
    int OnCreate(LPCREATESTRUCT cs) override {
        Note("create");
        return CWnd::OnCreate(cs);
    }
    void OnDestroy() override {
        Note("destroy");
        CWnd::OnDestroy();
    }
    void OnSize(UINT type, int cx, int cy) override {
        Note("size " + std::to_string(cx) + "x" + std::to_string(cy));
        CWnd::OnSize(type, cx, cy);
    }
    void OnMove(int x, int y) override {
        Note("move " + std::to_string(x) + "," + std::to_string(y));
        CWnd::OnMove(x, y);
    }
    void OnShowWindow(BOOL show, UINT status) override {
        Note(show ? "show" : "hide");
        CWnd::OnShowWindow(show, status);
    }
    void OnPaint() override {
        ++paints;
        paintBoxes.push_back(GetPaintBox());
        CWnd::OnPaint();
    }
    BOOL OnEraseBkgnd(CDC* dc) override {
        ++erases;
        return CWnd::OnEraseBkgnd(dc);
    }
    void OnLButtonDown(UINT flags, CPoint p) override {
        Note("lbuttondown " + std::to_string(p.x) + "," + std::to_string(p.y) + " flags " +
             std::to_string(flags));
    }
    void OnLButtonUp(UINT flags, CPoint p) override {
        Note("lbuttonup " + std::to_string(p.x) + "," + std::to_string(p.y) + " flags " +
             std::to_string(flags));
    }
    void OnMouseMove(UINT, CPoint p) override {
        Note("mousemove " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    BOOL OnSetCursor(CWnd* wnd, UINT hit, UINT message) override {
        Note("setcursor " + std::to_string(hit) + " " + std::to_string(message));
        return CWnd::OnSetCursor(wnd, hit, message);
    }
    void OnCaptureChanged(CWnd* wnd) override {
        Note(std::string("capturechanged") + (wnd ? " to other" : " to none"));
        CWnd::OnCaptureChanged(wnd);
    }
    void OnKeyDown(UINT ch, UINT repeat, UINT flags) override {
        Note("keydown " + std::to_string(ch));
        CWnd::OnKeyDown(ch, repeat, flags);
    }
    void OnActivate(UINT state, CWnd* other, BOOL minimized) override {
        Note(std::string(state == WA_INACTIVE ? "inactive" : "active") +
             (other ? " other" : " none"));
        CWnd::OnActivate(state, other, minimized);
    }
    void OnSetFocus(CWnd* old) override {
        Note("setfocus");
        CWnd::OnSetFocus(old);
    }
    void OnKillFocus(CWnd* next) override {
        Note("killfocus");
        CWnd::OnKillFocus(next);
    }
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_KEYDOWN || msg->message == WM_LBUTTONDOWN) {
            Note("pretranslate " + std::to_string(msg->message));
        }
        return preTranslateHandles ? TRUE : CWnd::PreTranslateMessage(msg);
    }

private:
    std::string m_name;
    std::vector<std::string> m_ownLog;
    std::vector<std::string>* m_log;
};

} // namespace kel::test
