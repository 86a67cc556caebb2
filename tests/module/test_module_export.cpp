// The module as a host sees it: loaded with dlopen, its entry points found by their decorated
// names, and nothing else of it visible.
#include "platform/headless_backend.h"
#include "platform/wnd.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

class ModuleExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        kel::platform::ResetHeadless();
        handle = dlopen(KELSB_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
    }
    void TearDown() override {
        if (handle)
            dlclose(handle);
    }
    void* handle = nullptr;
};

TEST_F(ModuleExportTest, OnlyTheSevenEntryPointsResolve) {
    for (const char* name :
         {"_Z13KelSBEditOpenv", "_Z18KelSBEditCreateDlgP4CWnd", "_Z19KelSBSetItemEditWndP4CWnd",
          "_Z16KelSBSetCurSceneP16CKelPlaySceneObj", "_Z15KelSBEditGetDlgv",
          "_Z22KelSBEditUndoRedoClosev", "_Z14KelSBEditClosev"})
        EXPECT_NE(dlsym(handle, name), nullptr) << name;
    for (const char* name :
         {"_ZN13CKelSBEditDlgC1Ev", "_ZN14CKelSBEditViewC1Ev", "_ZN3kel6sbedit14ModuleInstanceEv",
          "WM_CG_SB_REFRESH_WINDOW", "_ZN3kel3res18KelSBEditResourcesEv"})
        EXPECT_EQ(dlsym(handle, name), nullptr) << name;
}

TEST_F(ModuleExportTest, AHostCanOpenCreateAndCloseTheEditor) {
    using OpenFn = int (*)();
    using CreateFn = CWnd* (*)(CWnd*);
    using GetFn = CWnd* (*)();
    auto open = reinterpret_cast<OpenFn>(dlsym(handle, "_Z13KelSBEditOpenv"));
    auto create = reinterpret_cast<CreateFn>(dlsym(handle, "_Z18KelSBEditCreateDlgP4CWnd"));
    auto get = reinterpret_cast<GetFn>(dlsym(handle, "_Z15KelSBEditGetDlgv"));
    auto close = reinterpret_cast<OpenFn>(dlsym(handle, "_Z14KelSBEditClosev"));
    ASSERT_TRUE(open && create && get && close);

    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Parent", WS_POPUP | WS_VISIBLE, CRect(0, 0, 800, 600),
                                nullptr, 0));
    EXPECT_EQ(get(), nullptr);
    EXPECT_EQ(open(), 1);
    CWnd* dlg = create(&parent);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg, get());
    EXPECT_EQ(dlg->GetWindowText().Find("Storyboard Edit") >= 0, true);
    EXPECT_EQ(close(), 1);
    EXPECT_EQ(get(), nullptr);
}

} // namespace
