#include "script_backend.h"

#include <utility>

namespace kel::script {

DWORD ScriptBackend::DoDragDrop(const kel::platform::DragPayload& data, DWORD allowedEffects) {
    ++m_dragsRun;
    if (!m_pending.empty()) {
        // The drag loop owns the rest of the gesture: the button comes up at its end.
        kel::platform::ScriptedDrag drag;
        drag.points = std::move(m_pending);
        m_pending.clear();
        QueueDrag(std::move(drag));
    }
    return HeadlessBackend::DoDragDrop(data, allowedEffects);
}

int ScriptBackend::RunModal(CWnd& dialog) {
    if (m_modalHandler) {
        const auto handler = std::exchange(m_modalHandler, {});
        return handler(dialog);
    }
    return HeadlessBackend::RunModal(dialog);
}

} // namespace kel::script
