// The editor opened the way a host opens it: open, create under the parent frame, item-edit
// window, scene, shown.
#pragma once

#include "dialog/messages.h"
#include "dialog/sbedit_dlg.h"
#include "module/entry_points.h"
#include "module_fixture.h"
#include "view/sbedit_view.h"

#include "host/scene/sample_scene.h"
#include "host/undo/ur_manager.h"

namespace kel::test {

// A recorded step whose undo can be made to fail.
class CountingCmd : public CKelURCmd {
public:
    CountingCmd(int* pUndos, int bUndoSucceeds)
        : CKelURCmd(nullptr, 1, "Test step"), m_pUndos(pUndos), m_bUndoSucceeds(bUndoSucceeds) {}
    int Undo() override {
        ++*m_pUndos;
        return m_bUndoSucceeds;
    }
    int Redo(int /*bFirst*/) override { return 1; }

private:
    int* m_pUndos;
    int m_bUndoSucceeds;
};

class EditorTest : public ModuleHostTest {
protected:
    void SetUp() override {
        ModuleHostTest::SetUp();
        scene = KelCreateSampleScene();
        itemEdit.answerMessage = WM_CG_EDW_FETCH_CURRENT_SCENE;
        itemEdit.answer = reinterpret_cast<LRESULT>(scene.get());
        ASSERT_EQ(KelSBEditOpen(), 1);
        ASSERT_NE(KelSBEditCreateDlg(&parent), nullptr);
        KelSBSetItemEditWnd(&itemEdit);
        KelSBSetCurScene(scene.get());
        dlg = static_cast<CKelSBEditDlg*>(KelSBEditGetDlg());
        view = dlg->GetView();
        ASSERT_NE(view, nullptr);
        dlg->ShowWindow(SW_SHOW);
        ClearReceived();
        headless->ClearRecords();
    }

    void TearDown() override {
        KelSBEditClose();
        ModuleHostTest::TearDown();
    }

    // Gives the view a client area of exactly width x height (its border is one pixel).
    void SizeView(int width, int height) {
        view->MoveWindow(CRect(0, 49, width + 2, 49 + height + 2));
    }

    std::unique_ptr<CKelPlaySceneObj> scene;
    CKelSBEditDlg* dlg = nullptr;
    CKelSBEditView* view = nullptr;
};

} // namespace kel::test
