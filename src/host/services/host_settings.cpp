#include "host/services/host_settings.h"

namespace {
int g_useHotKey = 1;
int g_autoSave = 1;
} // namespace

int KelDoesUseHotKey() {
    return g_useHotKey;
}
void KelSetUseHotKey(int use) {
    g_useHotKey = use != 0;
}

void KelEnableAutoSave(int enable) {
    g_autoSave = enable != 0;
}
int KelIsAutoSaveEnabled() {
    return g_autoSave;
}
