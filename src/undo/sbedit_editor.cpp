#include "undo/sbedit_editor.h"

#include <unordered_set>

namespace {

// Everything here runs on the user-interface thread.
std::unordered_set<const CKelSBEditorServices*>& LiveEditors() {
    static std::unordered_set<const CKelSBEditorServices*> editors;
    return editors;
}

// Set while other files are still being initialised, so they must be ready before any of it runs.
constinit KelSBCurrentEditorFn g_pfnCurrentEditor = nullptr;
constinit KelSBHistoryServices g_historyServices;

} // namespace

bool CKelSBEditorServices::IsLive(const CKelSBEditorServices* pEditor) {
    return pEditor != nullptr && LiveEditors().count(pEditor) != 0;
}

void CKelSBEditorServices::SetLive(bool bLive) {
    if (bLive)
        LiveEditors().insert(this);
    else
        LiveEditors().erase(this);
}

void KelSBSetCurrentEditorSource(KelSBCurrentEditorFn pfnCurrent) {
    g_pfnCurrentEditor = pfnCurrent;
}

CKelSBEditorServices* KelSBCurrentEditor() {
    return g_pfnCurrentEditor != nullptr ? g_pfnCurrentEditor() : nullptr;
}

void KelSBSetHistoryServices(const KelSBHistoryServices& services) {
    g_historyServices = services;
}

const KelSBHistoryServices& KelSBGetHistoryServices() {
    return g_historyServices;
}
