#include "hostkit/module_loader.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>

namespace kel::hostkit {

namespace {

template <typename Fn>
bool Resolve(void* handle, const char* name, Fn& out, std::string& error) {
    void* symbol = dlsym(handle, name);
    if (!symbol) {
        error = std::string("the module does not export ") + name;
        return false;
    }
    out = reinterpret_cast<Fn>(symbol);
    return true;
}

} // namespace

std::string ModuleLoader::DefaultPath() {
    if (const char* overridden = std::getenv("KELSB_MODULE"); overridden && *overridden) {
        return overridden;
    }
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return "libKelSBEdit.so"; // the loader's search path, as a last resort
    }
    // The build tree keeps it in lib/; an installation in its library folder, such as
    // lib/x86_64-linux-gnu.
    const std::filesystem::path prefix = self.parent_path().parent_path();
    const std::filesystem::path installed = prefix / KELSB_INSTALL_LIBDIR / "libKelSBEdit.so";
    if (std::filesystem::exists(installed, ec)) {
        return installed.string();
    }
    return (prefix / "lib" / "libKelSBEdit.so").string();
}

bool ModuleLoader::Load() {
    if (m_handle) {
        return true;
    }
    if (!m_error.empty()) {
        return false; // a failed load is not retried: every later command would fail alike
    }
    const std::string path = DefaultPath();
    // RTLD_LOCAL: the module's own symbols must not leak into the host's namespace.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        m_error = "cannot load the module " + path + ": " + (reason ? reason : "unknown reason");
        return false;
    }
    ModuleEntryPoints entries;
    const bool complete =
        Resolve(handle, "_Z13KelSBEditOpenv", entries.open, m_error) &&
        Resolve(handle, "_Z18KelSBEditCreateDlgP4CWnd", entries.createDlg, m_error) &&
        Resolve(handle, "_Z19KelSBSetItemEditWndP4CWnd", entries.setItemEditWnd, m_error) &&
        Resolve(handle, "_Z16KelSBSetCurSceneP16CKelPlaySceneObj", entries.setCurScene, m_error) &&
        Resolve(handle, "_Z15KelSBEditGetDlgv", entries.getDlg, m_error) &&
        Resolve(handle, "_Z22KelSBEditUndoRedoClosev", entries.undoRedoClose, m_error) &&
        Resolve(handle, "_Z14KelSBEditClosev", entries.close, m_error);
    if (!complete) {
        dlclose(handle);
        return false;
    }
    m_handle = handle;
    m_entries = entries;
    return true;
}

} // namespace kel::hostkit
