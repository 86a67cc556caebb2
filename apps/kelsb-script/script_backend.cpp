#include "script_backend.h"

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

} // namespace kel::script
