// Loads the editor module the way a host does: dlopen, then the seven entry points by their
// decorated names. Nothing of the module is linked in. Shared by every host program.
#pragma once

#include <string>

class CWnd;
class CKelPlaySceneObj;

namespace kel::hostkit {

struct ModuleEntryPoints {
    int (*open)() = nullptr;
    CWnd* (*createDlg)(CWnd* parent) = nullptr;
    void (*setItemEditWnd)(CWnd* itemEdit) = nullptr;
    void (*setCurScene)(CKelPlaySceneObj* scene) = nullptr;
    CWnd* (*getDlg)() = nullptr;
    int (*undoRedoClose)() = nullptr;
    int (*close)() = nullptr;
};

// What a host writes into the editor's caption before handing it a scene. The editor keeps of
// the caption what precedes the first character of its mark "x Screen" and the two characters
// from it, and puts the status line behind: this caption leaves "1x " (the host's one output
// screen), the same in every language and after every update, where the template's own caption
// would leave a clipped word ("St" of "Storyboard Edit").
inline constexpr const char* kEditorInitialCaption = "1x Screen";

class ModuleLoader {
public:
    ModuleLoader() = default;
    // The module stays loaded until the process ends, as in a host: run-time classes and
    // registrations it made may be looked at until then.
    ~ModuleLoader() = default;
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // The module's path: $KELSB_MODULE when set, else libKelSBEdit.so in the library folder
    // beside this executable's (../lib in the build tree).
    static std::string DefaultPath();

    // Loads once; later calls answer from the first. False with a reason in Error().
    bool Load();
    bool IsLoaded() const { return m_handle != nullptr; }
    const ModuleEntryPoints& Entries() const { return m_entries; }
    const std::string& Error() const { return m_error; }

private:
    void* m_handle = nullptr;
    ModuleEntryPoints m_entries;
    std::string m_error;
};

} // namespace kel::hostkit
