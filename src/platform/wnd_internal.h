// The window tables shared by the window sources of the platform library (not installed).
#pragma once

#include "platform/wnd.h"

#include <algorithm>
#include <deque>
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

namespace kel::platform::detail {

struct WindowTables {
    std::unordered_set<const CWnd*> objects; // every CWnd object alive
    std::unordered_set<const CWnd*> windows; // every window that exists
    std::vector<CWnd*> topLevel;             // z order, front first
    CWnd* focus = nullptr;
    CWnd* capture = nullptr;
    CWnd* active = nullptr;
    CWnd* mainWnd = nullptr;
    std::deque<MSG> posted;
};

// Never destroyed: windows of static objects may still be destroyed during exit.
WindowTables& Tables();

inline void Erase(std::vector<CWnd*>& list, const CWnd* wnd) {
    list.erase(std::remove(list.begin(), list.end(), wnd), list.end());
}

// The tables may still name a window that has been destroyed since; that one counts as none.
inline CWnd* Checked(CWnd* wnd) {
    return IsWindow(wnd) ? wnd : nullptr;
}

} // namespace kel::platform::detail

// The window sources' access to CWnd's private state.
struct WndAccess {
    static std::vector<CWnd*>& Children(CWnd& w) { return w.m_children; }
    static CWnd* Parent(const CWnd& w) { return w.m_parent; }
    static bool IsChildStyle(const CWnd& w) { return (w.m_style & WS_CHILD) != 0; }
    static const CRect& Rect(const CWnd& w) { return w.m_rect; }
    static void DestroyInternal(CWnd& w) { w.DestroyInternal(); }
    // The screen position of the client area's top-left corner.
    static CPoint ClientOrigin(const CWnd& w);
    // The list of siblings the window lives in (its parent's children or the top level).
    static std::vector<CWnd*>& Siblings(const CWnd& w);
};
