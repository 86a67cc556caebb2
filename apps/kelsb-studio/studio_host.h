// The studio as a host of the editor module, without its Qt main window: the scene and its
// file, the module and its calling order, the windows the editor talks to, and the document's
// changed state. The main window and the screenshot mode both drive this.
#pragma once

#include "host_panels.h"
#include "hostkit/item_edit_window.h"
#include "hostkit/module_loader.h"
#include "input_gate.h"

#include "platform/wnd.h"

#include <functional>
#include <memory>
#include <string>

class CKelPlaySceneObj;

namespace kel::host {
class KelAutoSaver;
}

namespace kel::studio {

class StudioHost {
public:
    // `changed` runs whenever the scene, its file or its changed state changes.
    explicit StudioHost(std::function<void()> changed = {});
    // Closes the editor and destroys the host's windows.
    ~StudioHost();
    StudioHost(const StudioHost&) = delete;
    StudioHost& operator=(const StudioHost&) = delete;

    // Starts on the sample scene.
    void UseSample();
    // Replaces the scene with the one in `path`; the open scene stays when that fails.
    bool OpenScene(const std::string& path, std::string* error);
    bool SaveScene(const std::string& path, std::string* error);
    // Replaces the scene with what the recovery file `recoveryPath` holds of `scenePath` ("" for a
    // scene never saved): the changes are unsaved again. The open scene stays when that fails
    // (the file is then set aside and `error` says where).
    // `stepsKept` and `steps` say how many undo steps of the histories came back.
    bool RecoverScene(const std::string& recoveryPath, const std::string& scenePath,
                      std::string* error, int* stepsKept = nullptr, int* steps = nullptr);

    // Automatic saving of the scene into `folder` from now on (the host's flag permitting); off
    // until called. A normal end and an explicit save remove the recovery file.
    void EnableAutoSave(const std::string& folder);
    // The document may have changed: it is saved at the saver's next turn.
    void NoteChange();
    // The saver's turn; the window's timer gives it a few times a second.
    void PollAutoSave();
    kel::host::KelAutoSaver* AutoSaver() const { return m_saver.get(); }

    // Loads the module, creates the host's windows and opens the editor on the scene in the
    // host's calling order; the dialog is shown. False with a reason when the module is
    // missing or refuses.
    bool Start(std::string* error);
    bool IsStarted() const { return m_dialog != nullptr; }
    // Puts the dialog's client area at `client` (screen coordinates).
    void PlaceDialog(const CRect& client);
    // Closes the editor (the last calls of the calling order) and destroys the windows.
    void Shutdown();

    CKelPlaySceneObj* Scene() const { return m_scene.get(); }
    const std::string& Path() const { return m_path; }
    bool IsDirty() const { return m_dirty; }
    CWnd* Dialog() const;
    CWnd* MainWindow() const { return m_main.get(); }
    HistoryPanel* History() const { return m_history.get(); }
    // Whether the editor has the host's panels enabled: it disables them around a play, a
    // compile, a load and an unload. While they are disabled the user's input is dropped but
    // for a stop (InputGate).
    bool PanelsEnabled() const { return m_panelsEnabled; }
    // Runs whenever the editor enables or disables the panels, with the new state.
    void SetPanelsListener(std::function<void(bool enabled)> listener) {
        m_panelsListener = std::move(listener);
    }
    // Stops a running play after the frame on the air (Esc, Space, the Stop button).
    void StopPlay();
    const InputGate* Gate() const { return m_gate.get(); }
    // Whether the editor's storyboard is loaded onto the output (the dialog's loaded flag).
    bool IsLoaded() const;
    // Reveals the editor's Upload button (the template hides it; the host shows it when it has
    // an output device to load onto). Nothing while loaded: Download stands in its place.
    void ShowUploadButton();
    NavigatorPanel* Navigator() const { return m_navigator.get(); }

private:
    class MessageShim;
    void SetPanelsEnabled(bool enabled);
    void SetDirty(bool dirty);
    void Replace(std::unique_ptr<CKelPlaySceneObj> scene, std::string path);
    void Changed() const;
    // Tells the editor to fetch the scene, as a host does after handing it a new one.
    void RefreshEditor();

    std::function<void()> m_changed;
    std::unique_ptr<CKelPlaySceneObj> m_scene;
    std::string m_path; // empty for the sample until it is saved
    bool m_dirty = false;
    kel::hostkit::ModuleLoader m_module;
    std::unique_ptr<CWnd> m_main;
    std::unique_ptr<CWnd> m_parent;
    std::unique_ptr<kel::hostkit::ItemEditWindow> m_itemEdit;
    std::unique_ptr<HistoryPanel> m_history;
    std::unique_ptr<NavigatorPanel> m_navigator;
    CWnd* m_dialog = nullptr; // the module's; valid between Start and Shutdown
    bool m_panelsEnabled = true;
    std::function<void(bool)> m_panelsListener;
    std::unique_ptr<InputGate> m_gate;
    std::unique_ptr<kel::host::KelAutoSaver> m_saver;
};

} // namespace kel::studio
