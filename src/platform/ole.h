// OLE drag and drop, window side: drop targets registered on windows, the data object a target
// reads, the data source a drag starts from, and the drag loop that backends drive.
#pragma once

#include "platform/backend.h"
#include "platform/object.h"
#include "platform/win_consts.h"
#include "platform/wnd.h"

#include <cstddef>
#include <vector>

// What a drop target sees of the payload in flight.
class COleDataObject {
public:
    COleDataObject() = default;
    explicit COleDataObject(const kel::platform::DragPayload* payload) : m_payload(payload) {}
    void Attach(const kel::platform::DragPayload* payload) { m_payload = payload; }
    void Release() { m_payload = nullptr; }

    // A registered clipboard format id (RegisterClipboardFormat) or its name.
    BOOL IsDataAvailable(CLIPFORMAT format) const;
    BOOL IsDataAvailableNamed(const CString& formatName) const;
    // The payload's bytes when it has `format`, else null; the drag source keeps them alive
    // while the drag runs.
    const void* GetData(CLIPFORMAT format, std::size_t* size = nullptr) const;
    const kel::platform::DragPayload* GetPayload() const { return m_payload; }

private:
    const kel::platform::DragPayload* m_payload = nullptr;
};

class COleDropTarget : public CObject {
public:
    COleDropTarget();
    ~COleDropTarget() override;
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    // Registers this target for `wnd` (one target a window; a later one replaces it). The
    // registration ends with Revoke, with this object, or when the window is destroyed.
    BOOL Register(CWnd* wnd);
    void Revoke();
    CWnd* GetWindow() const { return m_wnd; }

    // Points are client coordinates of `wnd`. The defaults refuse the drop.
    virtual DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
    virtual DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
    virtual void OnDragLeave(CWnd* wnd);
    virtual BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point);

private:
    class Adapter;
    CWnd* m_wnd = nullptr;
    std::unique_ptr<Adapter> m_adapter;
};

// A payload to drag: one registered format with an owned copy of the bytes.
class COleDataSource : public CObject {
public:
    void CacheData(CLIPFORMAT format, const void* data, std::size_t size);
    // Runs the drag through the backend; returns the effect of the drop (DROPEFFECT_NONE when
    // it was cancelled or refused).
    DROPEFFECT DoDragDrop(DWORD allowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE);
    const kel::platform::DragPayload& GetPayload() const { return m_payload; }

private:
    std::vector<unsigned char> m_bytes;
    kel::platform::DragPayload m_payload;
};

namespace kel::platform {

void RegisterDropTarget(CWnd& wnd, DropTarget* target);
void RevokeDropTarget(CWnd& wnd);
// The window under a screen point that takes drops (it or its nearest ancestor with a target).
CWnd* FindDropWindow(CPoint screen, DropTarget** target);

// One drag in progress. A backend creates it, feeds cursor positions and ends it with Drop or
// Cancel; it enters and leaves drop targets as the cursor crosses windows, and tolerates
// windows and targets that vanish during the drag.
class DragLoop {
public:
    DragLoop(const DragPayload& payload, DWORD allowedEffects);
    ~DragLoop();
    DragLoop(const DragLoop&) = delete;
    DragLoop& operator=(const DragLoop&) = delete;

    // Returns the effect the target under the point offers (masked by the allowed effects).
    DWORD MoveTo(CPoint screen, DWORD keyState);
    DWORD Drop(CPoint screen, DWORD keyState);
    void Cancel();

private:
    void Leave();

    DragPayload m_payload;
    DWORD m_allowed;
    CWnd* m_wnd = nullptr;
    DropTarget* m_target = nullptr;
    DWORD m_effect = DROPEFFECT_NONE;
    bool m_done = false;
};

} // namespace kel::platform
