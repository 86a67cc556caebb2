// The smallest host: it loads the installed module, finds the seven entry points by their names
// and drives the editor through open, create, item-edit window, scene, undo close and close.
// Exit 0 when every entry point answered as a host expects; otherwise the first that did not.
#include "host/scene/sample_scene.h"
#include "platform/headless_backend.h"
#include "platform/wnd.h"

#include <cstdio>
#include <dlfcn.h>
#include <memory>
#include <string>

namespace {

int Fail(const std::string& what) {
    std::fprintf(stderr, "tiny_host: %s\n", what.c_str());
    return 1;
}

template <typename Fn>
Fn Find(void* module, const char* name) {
    return reinterpret_cast<Fn>(dlsym(module, name));
}

} // namespace

int main() {
    if (std::string(KELSB_MODULE_FILE) != KELSB_MODULE_VARIABLE)
        return Fail(std::string("the package names two modules: ") + KELSB_MODULE_FILE + " and " +
                    KELSB_MODULE_VARIABLE);
    kel::platform::ResetHeadless();
    void* module = dlopen(KELSB_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return Fail(std::string("cannot load the module: ") + dlerror());

    const auto open = Find<int (*)()>(module, "_Z13KelSBEditOpenv");
    const auto createDlg = Find<CWnd* (*)(CWnd*)>(module, "_Z18KelSBEditCreateDlgP4CWnd");
    const auto setItemEditWnd = Find<void (*)(CWnd*)>(module, "_Z19KelSBSetItemEditWndP4CWnd");
    const auto setCurScene =
        Find<void (*)(CKelPlaySceneObj*)>(module, "_Z16KelSBSetCurSceneP16CKelPlaySceneObj");
    const auto getDlg = Find<CWnd* (*)()>(module, "_Z15KelSBEditGetDlgv");
    const auto undoRedoClose = Find<int (*)()>(module, "_Z22KelSBEditUndoRedoClosev");
    const auto close = Find<int (*)()>(module, "_Z14KelSBEditClosev");
    if (!open || !createDlg || !setItemEditWnd || !setCurScene || !getDlg || !undoRedoClose ||
        !close)
        return Fail("an entry point is missing");

    CWnd frame;
    if (!frame.CreateEx(0, nullptr, "Tiny Host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1000, 400),
                        nullptr, 0))
        return Fail("cannot create the host's frame");
    if (getDlg() != nullptr || undoRedoClose() != 0)
        return Fail("an editor answered before it was opened");
    if (open() != 1)
        return Fail("KelSBEditOpen did not answer 1");
    CWnd* dialog = createDlg(&frame);
    if (!dialog || getDlg() != dialog || !dialog->GetSafeHwnd())
        return Fail("KelSBEditCreateDlg made no dialog window");
    setItemEditWnd(&frame);
    if (undoRedoClose() != 0)
        return Fail("KelSBEditUndoRedoClose cleared a history without a scene");
    const std::unique_ptr<CKelPlaySceneObj> scene = KelCreateSampleScene();
    setCurScene(scene.get());
    if (undoRedoClose() != 1)
        return Fail("KelSBEditUndoRedoClose did not clear the scene's history");
    setCurScene(nullptr);
    if (close() != 1 || getDlg() != nullptr || close() != 1)
        return Fail("KelSBEditClose did not close the editor");
    std::printf("tiny_host: the module answered through its seven entry points\n");
    return 0;
}
