#include "dialog/module_instance.h"

#include "dialog/messages.h"
#include "undo/sbedit_editor.h"

#include "host/services/module_rc.h"
#include "host/services/tool_box.h"
#include "host/undo/ur_manager.h"
#include "platform/wnd.h"
#include "res/module_resources.h"

namespace kel::sbedit {
namespace {

// The handle is the address of an object no other module can have.
const char g_moduleTag = 0;

CString LoadHistoryText(UINT nTextId) {
    return CKelModuleRC::LoadStringW(&g_moduleTag, nTextId);
}

// WM_CG_UPDATE_HISTORY: the panel shows the history before a step goes in, and the step after.
void TellHistoryPanel(bool bAdded, CKelURBase* pHistory) {
    CWnd* pPanel = KelToolGetToolBox(KEL_TOOLBOX_HISTORY);
    if (pPanel != nullptr && IsWindow(pPanel))
        pPanel->SendMessage(WM_CG_UPDATE_HISTORY,
                            bAdded ? KEL_UR_HISTORY_ADDED : KEL_UR_HISTORY_SHOW,
                            reinterpret_cast<LPARAM>(pHistory));
}

// Joins the host's resource chain when the module is loaded and leaves it when unloaded, so
// every text, menu, bitmap, cursor and template of the editor is found by the handle. The undo
// layer gets its history texts and the history panel from here.
struct ModuleRecord {
    ModuleRecord() {
        CKelModuleRC::RegisterModule(&g_moduleTag, &kel::res::KelSBEditResources());
        KelSBSetHistoryServices({&LoadHistoryText, &TellHistoryPanel});
    }
    ~ModuleRecord() { CKelModuleRC::UnregisterModule(&g_moduleTag); }
    ModuleRecord(const ModuleRecord&) = delete;
    ModuleRecord& operator=(const ModuleRecord&) = delete;
};

const ModuleRecord g_moduleRecord;

} // namespace

HINSTANCE ModuleInstance() {
    return &g_moduleTag;
}

} // namespace kel::sbedit
