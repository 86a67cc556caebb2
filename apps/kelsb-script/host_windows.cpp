#include "host_windows.h"

#include "hostkit/item_edit_window.h"

#include "host/services/tool_box.h"

namespace kel::script {

namespace {

std::unique_ptr<CWnd> MakeWindow(std::unique_ptr<CWnd> wnd, const char* title, DWORD style,
                                 const CRect& rect, CWnd* parent) {
    wnd->CreateEx(0, nullptr, title, style, rect, parent, 0);
    return wnd;
}

} // namespace

HostWindows::HostWindows(SceneSource scene) {
    // The tool boxes float at the right edge of the screen, clear of where the editor opens,
    // so that bringing one to the front never covers a point a script clicks.
    m_main = MakeWindow(std::make_unique<CWnd>(), "KelSBEdit Sample Host",
                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 1920, 1080), nullptr);
    m_parent = MakeWindow(std::make_unique<CWnd>(), "Host Frame", WS_CHILD | WS_VISIBLE,
                          CRect(0, 0, 1400, 1000), m_main.get());
    m_itemEdit = MakeWindow(std::make_unique<kel::hostkit::ItemEditWindow>(std::move(scene)),
                            "Item Edit", WS_CHILD, CRect(0, 0, 400, 300), m_main.get());
    m_history =
        MakeWindow(std::make_unique<CWnd>(), "History Panel", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                   CRect(1500, 0, 1900, 400), m_main.get());
    m_navigator = MakeWindow(std::make_unique<CWnd>(), "Storyboard Navigator",
                             WS_POPUP | WS_CAPTION, CRect(1500, 500, 1900, 900), m_main.get());
    kel::platform::SetMainWindow(m_main.get());
    KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, m_history.get());
    KelToolRegisterToolBox(KEL_TOOLBOX_SB_NAVIGATOR, m_navigator.get());
}

HostWindows::~HostWindows() {
    KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, nullptr);
    KelToolRegisterToolBox(KEL_TOOLBOX_SB_NAVIGATOR, nullptr);
    kel::platform::SetMainWindow(nullptr);
    for (auto* wnd :
         {m_navigator.get(), m_history.get(), m_itemEdit.get(), m_parent.get(), m_main.get()}) {
        if (IsWindow(wnd)) {
            wnd->DestroyWindow();
        }
    }
}

std::string HostWindows::NameOf(const CWnd* wnd) const {
    if (!wnd) {
        return {};
    }
    if (wnd == m_main.get()) {
        return "main";
    }
    if (wnd == m_parent.get()) {
        return "parent";
    }
    if (wnd == m_itemEdit.get()) {
        return "itemedit";
    }
    if (wnd == m_history.get()) {
        return "history";
    }
    if (wnd == m_navigator.get()) {
        return "navigator";
    }
    return {};
}

CWnd* HostWindows::FindByTitle(const std::string& title) const {
    for (CWnd* wnd : {m_main.get(), m_history.get(), m_navigator.get()}) {
        if (IsWindow(wnd) && wnd->GetWindowText().str() == title) {
            return wnd;
        }
    }
    return nullptr;
}

} // namespace kel::script
