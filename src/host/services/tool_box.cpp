#include "host/services/tool_box.h"

#include "platform/wnd.h"

#include <map>

namespace {
std::map<int, CWnd*>& panels() {
    // Not owned: the host creates and destroys its panels.
    static std::map<int, CWnd*> registry;
    return registry;
}
} // namespace

void KelToolRegisterToolBox(int kind, CWnd* panel) {
    if (panel)
        panels()[kind] = panel;
    else
        panels().erase(kind);
}

CWnd* KelToolGetToolBox(int kind) {
    const auto it = panels().find(kind);
    if (it == panels().end())
        return nullptr;
    // A panel the host closed without unregistering must not be handed out.
    return IsWindow(it->second) ? it->second : nullptr;
}
