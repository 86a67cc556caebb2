#include "studio_host.h"

#include "dialog/automation.h"

#include "host/scene/play_scene.h"
#include "host/scene/sample_scene.h"
#include "host/scene/scene_file.h"
#include "host/services/auto_save.h"
#include "host/services/recovery_file.h"
#include "host/services/tool_box.h"
#include "res/resource.h"

namespace kel::studio {

// A framework window of the studio's that hears one registered message of the editor and hands
// its flag to the host: the main window hears that the document changed, the frame the edit
// dialog lives in that the host's panels are to be disabled or enabled.
class StudioHost::MessageShim : public CWnd {
public:
    MessageShim(StudioHost& host, const char* message, void (StudioHost::*handler)(bool))
        : m_host(host), m_message(RegisterWindowMessage(message)), m_handler(handler) {}

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == m_message && m_message != 0) {
            (m_host.*m_handler)(wParam != 0);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    StudioHost& m_host;
    UINT m_message;
    void (StudioHost::*m_handler)(bool);
};

StudioHost::StudioHost(std::function<void()> changed) : m_changed(std::move(changed)) {}

void StudioHost::SetPanelsEnabled(bool enabled) {
    if (m_panelsEnabled == enabled) {
        return;
    }
    m_panelsEnabled = enabled;
    if (m_panelsListener) {
        m_panelsListener(enabled);
    }
}

bool StudioHost::IsLoaded() const {
    CWnd* dialog = Dialog();
    kel::automation::EditorState state;
    return dialog != nullptr &&
           dialog->SendMessage(RegisterWindowMessage(kel::automation::kAutomationMessageName), 0,
                               reinterpret_cast<LPARAM>(&state)) == 1 &&
           state.loaded;
}

void StudioHost::ShowUploadButton() {
    CWnd* dialog = Dialog();
    CWnd* upload = dialog ? dialog->GetDlgItem(IDC_BTN_UPLOAD) : nullptr;
    if (upload != nullptr && !IsLoaded()) {
        upload->ShowWindow(SW_SHOW);
    }
}

void StudioHost::StopPlay() {
    if (m_scene) {
        m_scene->RequestStop();
    }
}

StudioHost::~StudioHost() {
    Shutdown();
}

void StudioHost::Changed() const {
    if (m_changed) {
        m_changed();
    }
}

void StudioHost::SetDirty(bool dirty) {
    // Every change the editor reports, not only the first: each is saved automatically.
    if (dirty) {
        NoteChange();
    }
    if (m_dirty != dirty) {
        m_dirty = dirty;
        Changed();
    }
}

CWnd* StudioHost::Dialog() const {
    return IsWindow(m_dialog) ? m_dialog : nullptr;
}

void StudioHost::UseSample() {
    Replace(KelCreateSampleScene(), std::string());
}

bool StudioHost::OpenScene(const std::string& path, std::string* error) {
    KelSceneFileStatus status;
    std::unique_ptr<CKelPlaySceneObj> scene = KelLoadSceneFile(CString(path), &status);
    if (!scene) {
        if (error) {
            *error = status.strMessage.IsEmpty() ? "cannot open " + path : status.strMessage.str();
        }
        return false;
    }
    Replace(std::move(scene), path);
    return true;
}

void StudioHost::Replace(std::unique_ptr<CKelPlaySceneObj> scene, std::string path) {
    // The panels and the editor let go of the old scene before it is destroyed.
    if (m_history) {
        m_history->Forget();
    }
    if (m_navigator) {
        m_navigator->Clear();
    }
    std::unique_ptr<CKelPlaySceneObj> old = std::move(m_scene);
    m_scene = std::move(scene);
    if (IsStarted() && m_module.IsLoaded()) {
        if (old) {
            m_module.Entries().undoRedoClose(); // the old scene's history is discarded
        }
        m_module.Entries().setCurScene(m_scene.get());
        RefreshEditor();
        // The editor names the history only when it is activated or records a step.
        if (m_history) {
            m_history->ShowCurrentHistory();
        }
    }
    old.reset();
    m_path = std::move(path);
    m_dirty = false;
    if (m_saver) {
        // The scene that goes was closed as the user chose: its recovery goes with it.
        m_saver->Discard();
        m_saver->SetScenePath(m_path);
    }
    Changed();
}

bool StudioHost::RecoverScene(const std::string& recoveryPath, const std::string& scenePath,
                              std::string* error, int* stepsKept, int* steps) {
    kel::host::KelHistoryRestore history;
    std::unique_ptr<CKelPlaySceneObj> scene =
        kel::host::KelLoadRecovery(recoveryPath, error, nullptr, &history);
    if (!scene) {
        return false;
    }
    if (stepsKept) {
        *stepsKept = history.kept;
    }
    if (steps) {
        *steps = history.steps;
    }
    Replace(std::move(scene), scenePath);
    SetDirty(true);
    return true;
}

void StudioHost::EnableAutoSave(const std::string& folder) {
    if (m_saver || folder.empty()) {
        return;
    }
    m_saver = std::make_unique<kel::host::KelAutoSaver>(
        folder, [this] { return static_cast<const CKelPlaySceneObj*>(m_scene.get()); });
    m_saver->SetScenePath(m_path);
    if (m_dirty) {
        m_saver->NoteChange();
    }
}

void StudioHost::NoteChange() {
    if (m_saver) {
        m_saver->NoteChange();
    }
}

void StudioHost::PollAutoSave() {
    if (m_saver && m_scene) {
        m_saver->Poll(*m_scene);
    }
}

bool StudioHost::SaveScene(const std::string& path, std::string* error) {
    if (!m_scene) {
        return false;
    }
    const KelSceneFileStatus status = KelSaveSceneFile(*m_scene, CString(path));
    if (status.nResult != KEL_SCENE_OK) {
        if (error) {
            *error = status.strMessage.IsEmpty() ? "cannot save " + path : status.strMessage.str();
        }
        return false;
    }
    m_path = path;
    m_dirty = false;
    if (m_saver) {
        m_saver->Discard();
        m_saver->SetScenePath(m_path);
    }
    Changed();
    return true;
}

bool StudioHost::Start(std::string* error) {
    if (IsStarted()) {
        return true;
    }
    if (!m_scene) {
        UseSample();
    }
    if (!m_module.Load()) {
        if (error) {
            *error = m_module.Error();
        }
        return false;
    }
    auto scene = [this] { return m_scene.get(); };
    m_main =
        std::make_unique<MessageShim>(*this, "WM_CG_FILE_SETDIRTY_FLAG", &StudioHost::SetDirty);
    m_main->CreateEx(0, nullptr, "KelSB Studio", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1280, 800),
                     nullptr, 0);
    m_parent = std::make_unique<MessageShim>(*this, "WM_CG_ENABLE_ALL_PANEL_STUFF",
                                             &StudioHost::SetPanelsEnabled);
    m_parent->CreateEx(0, nullptr, "Studio Frame", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1280, 800),
                       m_main.get(), 0);
    m_itemEdit = std::make_unique<kel::hostkit::ItemEditWindow>(scene);
    m_itemEdit->CreateEx(0, nullptr, "Item Edit", WS_CHILD, CRect(0, 0, 10, 10), m_main.get(), 0);
    m_history = std::make_unique<HistoryPanel>(scene, [this] { return Dialog(); });
    m_history->CreatePanel(CRect(40, 460, 360, 760));
    m_navigator = std::make_unique<NavigatorPanel>(scene);
    m_navigator->CreatePanel(CRect(380, 460, 700, 680));
    kel::platform::SetMainWindow(m_main.get());
    m_panelsEnabled = true;
    m_gate =
        std::make_unique<InputGate>([this] { return !m_panelsEnabled; }, [this] { StopPlay(); });
    KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, m_history.get());
    KelToolRegisterToolBox(KEL_TOOLBOX_SB_NAVIGATOR, m_navigator.get());
    m_history->ShowWindow(SW_SHOWNA);

    // The host's calling order: open, create under the frame, the item-edit window again after
    // every creation, then the scene.
    const kel::hostkit::ModuleEntryPoints& module = m_module.Entries();
    module.open();
    m_dialog = module.createDlg(m_parent.get());
    if (!m_dialog) {
        if (error) {
            *error = "the editor could not create its dialog";
        }
        module.close();
        return false;
    }
    module.setItemEditWnd(m_itemEdit.get());
    m_dialog->SetWindowText(kel::hostkit::kEditorInitialCaption);
    module.setCurScene(m_scene.get());
    m_dialog->ShowWindow(SW_SHOW);
    RefreshEditor();
    m_history->ShowCurrentHistory();
    return true;
}

void StudioHost::RefreshEditor() {
    // The editor fetches the scene from the item-edit window; from then on it knows that the
    // host has a scene, and keeps the history panel on its storyboard's history when another
    // window of the host (the studio's workspace) takes the activation.
    if (CWnd* dialog = Dialog()) {
        dialog->SendMessage(RegisterWindowMessage("WM_CG_SB_REFRESH_WINDOW"), 0, 0);
    }
}

void StudioHost::PlaceDialog(const CRect& client) {
    CWnd* dialog = Dialog();
    if (!dialog) {
        return;
    }
    const CRect insets = dialog->GetNonClientInsets();
    dialog->SetWindowPos(nullptr, client.left - insets.left, client.top - insets.top,
                         client.Width() + insets.left + insets.right,
                         client.Height() + insets.top + insets.bottom,
                         SWP_NOZORDER | SWP_NOACTIVATE);
}

void StudioHost::Shutdown() {
    // A normal end: what was not saved, the user chose not to keep.
    if (m_saver) {
        m_saver->Discard();
    }
    if (m_module.IsLoaded() && m_dialog) {
        m_module.Entries().undoRedoClose();
        m_module.Entries().close();
    }
    m_dialog = nullptr;
    m_gate.reset();
    m_panelsEnabled = true;
    if (!m_main) {
        return;
    }
    KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, nullptr);
    KelToolRegisterToolBox(KEL_TOOLBOX_SB_NAVIGATOR, nullptr);
    kel::platform::SetMainWindow(nullptr);
    for (CWnd* wnd : {static_cast<CWnd*>(m_navigator.get()), static_cast<CWnd*>(m_history.get()),
                      static_cast<CWnd*>(m_itemEdit.get()), m_parent.get(), m_main.get()}) {
        if (IsWindow(wnd)) {
            wnd->DestroyWindow();
        }
    }
    m_navigator.reset();
    m_history.reset();
    m_itemEdit.reset();
    m_parent.reset();
    m_main.reset();
}

} // namespace kel::studio
