// The sample host's windows: what a real host has around the editor, reduced to what the editor
// talks to. The main window, the frame the dialog lives in, the item-edit window that answers
// which scene is current, and the two tool boxes (history panel, storyboard navigator).
#pragma once

#include "platform/wnd.h"

#include <functional>
#include <memory>
#include <string>

class CKelPlaySceneObj;

namespace kel::script {

class HostWindows {
public:
    // Where the item-edit window finds the host's current scene.
    using SceneSource = std::function<CKelPlaySceneObj*()>;

    explicit HostWindows(SceneSource scene);
    // Unregisters the tool boxes and destroys the windows.
    ~HostWindows();
    HostWindows(const HostWindows&) = delete;
    HostWindows& operator=(const HostWindows&) = delete;

    CWnd* Main() const { return m_main.get(); }
    CWnd* Parent() const { return m_parent.get(); }
    CWnd* ItemEdit() const { return m_itemEdit.get(); }
    CWnd* History() const { return m_history.get(); }
    CWnd* Navigator() const { return m_navigator.get(); }

    // The name a dump gives one of these windows ("main", "parent", "itemedit", "history",
    // "navigator"); empty for any other window.
    std::string NameOf(const CWnd* wnd) const;
    // A top-level window of the host whose title is exactly `title`, or null.
    CWnd* FindByTitle(const std::string& title) const;

private:
    std::unique_ptr<CWnd> m_main;
    std::unique_ptr<CWnd> m_parent;
    std::unique_ptr<CWnd> m_itemEdit;
    std::unique_ptr<CWnd> m_history;
    std::unique_ptr<CWnd> m_navigator;
};

} // namespace kel::script
