#include "module/module_instance.h"

#include "host/services/module_rc.h"
#include "res/module_resources.h"

namespace kel::sbedit {
namespace {

// The handle is the address of an object no other module can have.
const char g_moduleTag = 0;

// Joins the host's resource chain when the module is loaded and leaves it when unloaded, so
// every text, menu, bitmap, cursor and template of the editor is found by the handle.
struct ModuleRecord {
    ModuleRecord() { CKelModuleRC::RegisterModule(&g_moduleTag, &kel::res::KelSBEditResources()); }
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
