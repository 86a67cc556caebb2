#include "hostkit/item_edit_window.h"

namespace kel::hostkit {

ItemEditWindow::ItemEditWindow(SceneSource scene)
    : m_scene(std::move(scene)),
      m_fetchMessage(RegisterWindowMessage("WM_CG_EDW_FETCH_CURRENT_SCENE")) {}

LRESULT ItemEditWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_fetchMessage && m_fetchMessage != 0) {
        return reinterpret_cast<LRESULT>(m_scene ? m_scene() : nullptr);
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

} // namespace kel::hostkit
