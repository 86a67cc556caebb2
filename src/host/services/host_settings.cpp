#include "host/services/host_settings.h"

#include <map>
#include <utility>

namespace {
int g_useHotKey = 1;
int g_autoSave = 1;
int g_nextListener = 0;

std::map<int, std::function<void(bool)>>& Listeners() {
    static std::map<int, std::function<void(bool)>> listeners;
    return listeners;
}
} // namespace

int KelDoesUseHotKey() {
    return g_useHotKey;
}
void KelSetUseHotKey(int use) {
    g_useHotKey = use != 0;
}

void KelEnableAutoSave(int enable) {
    const bool on = enable != 0;
    if (!on) {
        // Copied: a listener may remove itself.
        const auto listeners = Listeners();
        for (const auto& [id, listener] : listeners)
            listener(false);
    }
    g_autoSave = on;
    if (on) {
        const auto listeners = Listeners();
        for (const auto& [id, listener] : listeners)
            listener(true);
    }
}

int KelAddAutoSaveListener(std::function<void(bool enabled)> listener) {
    Listeners().emplace(++g_nextListener, std::move(listener));
    return g_nextListener;
}

void KelRemoveAutoSaveListener(int id) {
    Listeners().erase(id);
}
int KelIsAutoSaveEnabled() {
    return g_autoSave;
}
