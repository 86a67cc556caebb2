// The host's item-edit window as the editor sees it: the window it asks for the current scene
// (WM_CG_EDW_FETCH_CURRENT_SCENE). Everything else gets the default handling.
#pragma once

#include "platform/wnd.h"

#include <functional>

class CKelPlaySceneObj;

namespace kel::hostkit {

class ItemEditWindow : public CWnd {
public:
    // Where the window finds the host's current scene at the moment it is asked.
    using SceneSource = std::function<CKelPlaySceneObj*()>;
    explicit ItemEditWindow(SceneSource scene);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    SceneSource m_scene;
    UINT m_fetchMessage;
};

} // namespace kel::hostkit
