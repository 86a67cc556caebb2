#include "module/entry_points.h"

#include "dialog/sbedit_dlg.h"
#include "undo/sbedit_editor.h"
#include "view/sbedit_view.h"

#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"

#include <memory>

namespace {

// The one editor of the module. The module owns it; the host only borrows it.
std::unique_ptr<CKelSBEditDlg> g_pEditDlg;

// Where a command whose view was destroyed continues: the view of the one editor, if any.
CKelSBEditorServices* CurrentEditor() {
    return g_pEditDlg ? g_pEditDlg->GetView() : nullptr;
}

void CloseInstance() {
    if (!g_pEditDlg)
        return;
    if (g_pEditDlg->GetSafeHwnd())
        g_pEditDlg->DestroyWindow();
    g_pEditDlg.reset();
}

} // namespace

// Nothing may throw across the module's boundary: every export catches and reports refusal.

int KelSBEditOpen() {
    try {
        // An instance left open would otherwise keep its window alive with nobody to close it.
        CloseInstance();
        KelSBSetCurrentEditorSource(&CurrentEditor);
        g_pEditDlg = std::make_unique<CKelSBEditDlg>();
        return 1;
    } catch (...) {
        return 0;
    }
}

CWnd* KelSBEditCreateDlg(CWnd* pParent) {
    try {
        if (!g_pEditDlg)
            return nullptr;
        if (g_pEditDlg->GetSafeHwnd())
            g_pEditDlg->DestroyWindow();
        return g_pEditDlg->CreateEditDlg(pParent) ? g_pEditDlg.get() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

void KelSBSetItemEditWnd(CWnd* pWnd) {
    if (g_pEditDlg)
        g_pEditDlg->SetItemEditWnd(pWnd);
}

void KelSBSetCurScene(CKelPlaySceneObj* pScene) {
    try {
        if (!g_pEditDlg || !g_pEditDlg->GetSafeHwnd())
            return;
        if (CKelSBEditView* pView = g_pEditDlg->GetView())
            pView->SetCurScene(pScene);
    } catch (...) {
    }
}

CWnd* KelSBEditGetDlg() {
    return g_pEditDlg.get();
}

int KelSBEditUndoRedoClose() {
    try {
        if (!g_pEditDlg)
            return 0;
        CKelSBEditView* pView = g_pEditDlg->GetView();
        if (!pView || !pView->GetCurScene() || !pView->GetSBEditObj())
            return 0;
        pView->GetSBEditObj()->ClearHistory();
        return 1;
    } catch (...) {
        return 0;
    }
}

int KelSBEditClose() {
    try {
        CloseInstance();
    } catch (...) {
        (void)g_pEditDlg.release(); // a half-destroyed editor is leaked rather than touched again
    }
    return 1;
}
