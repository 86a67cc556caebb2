// The headless backend with one addition for scripts: a drag gesture in progress tells it where
// the cursor will still go, so that an OLE drag the editor starts in the middle of the gesture
// follows the rest of it and drops where the gesture ends.
#pragma once

#include "platform/headless_backend.h"

#include <functional>
#include <vector>

namespace kel::script {

class ScriptBackend : public kel::platform::HeadlessBackend {
public:
    // The points (screen) a gesture visits from the current one on, the last being its release.
    void SetPendingGesture(std::vector<CPoint> points) { m_pending = std::move(points); }
    void ClearGesture() { m_pending.clear(); }
    // How many OLE drags ran since the process started.
    int DragsRun() const { return m_dragsRun; }

    DWORD DoDragDrop(const kel::platform::DragPayload& data, DWORD allowedEffects) override;

    // The next modal dialog runs in `handler` (once) instead of answering from the queue: the
    // script goes on inside the dialog until it ends. An empty function disarms it.
    void RunNextModalIn(std::function<int(CWnd& dialog)> handler) {
        m_modalHandler = std::move(handler);
    }
    int RunModal(CWnd& dialog) override;

private:
    std::function<int(CWnd&)> m_modalHandler;
    std::vector<CPoint> m_pending;
    int m_dragsRun = 0;
};

} // namespace kel::script
