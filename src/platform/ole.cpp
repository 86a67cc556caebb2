#include "platform/ole.h"

#include <cstring>
#include <map>

namespace {

std::map<const CWnd*, kel::platform::DropTarget*>& DropTargets() {
    static auto* targets = new std::map<const CWnd*, kel::platform::DropTarget*>;
    return *targets;
}

bool HasFormat(const kel::platform::DragPayload* payload, CLIPFORMAT format) {
    return payload && format != 0 && !payload->format.IsEmpty() &&
           RegisterClipboardFormat(payload->format.GetString()) == format;
}

} // namespace

// --- COleDataObject.

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT format) const {
    return HasFormat(m_payload, format) ? TRUE : FALSE;
}

BOOL COleDataObject::IsDataAvailableNamed(const CString& formatName) const {
    return m_payload && !formatName.IsEmpty() &&
           m_payload->format.CompareNoCase(formatName.str()) == 0;
}

const void* COleDataObject::GetData(CLIPFORMAT format, std::size_t* size) const {
    if (!HasFormat(m_payload, format)) {
        if (size) {
            *size = 0;
        }
        return nullptr;
    }
    if (size) {
        *size = m_payload->size;
    }
    return m_payload->data;
}

// --- COleDropTarget.

// Turns the platform's drop target calls into the framework's virtual handlers.
class COleDropTarget::Adapter : public kel::platform::DropTarget {
public:
    explicit Adapter(COleDropTarget& owner) : m_owner(owner) {}
    DWORD OnDragEnter(CWnd& wnd, const kel::platform::DragPayload& data, DWORD keyState,
                      CPoint point) override {
        COleDataObject object(&data);
        return m_owner.OnDragEnter(&wnd, &object, keyState, point);
    }
    DWORD OnDragOver(CWnd& wnd, const kel::platform::DragPayload& data, DWORD keyState,
                     CPoint point) override {
        COleDataObject object(&data);
        return m_owner.OnDragOver(&wnd, &object, keyState, point);
    }
    void OnDragLeave(CWnd& wnd) override { m_owner.OnDragLeave(&wnd); }
    BOOL OnDrop(CWnd& wnd, const kel::platform::DragPayload& data, DWORD effect,
                CPoint point) override {
        COleDataObject object(&data);
        return m_owner.OnDrop(&wnd, &object, effect, point);
    }

private:
    COleDropTarget& m_owner;
};

COleDropTarget::COleDropTarget() : m_adapter(std::make_unique<Adapter>(*this)) {}

COleDropTarget::~COleDropTarget() {
    Revoke();
}

BOOL COleDropTarget::Register(CWnd* wnd) {
    if (!IsWindow(wnd)) {
        return FALSE;
    }
    Revoke();
    m_wnd = wnd;
    kel::platform::RegisterDropTarget(*wnd, m_adapter.get());
    return TRUE;
}

void COleDropTarget::Revoke() {
    if (!m_wnd) {
        return;
    }
    auto& targets = DropTargets();
    const auto it = targets.find(m_wnd);
    if (it != targets.end() && it->second == m_adapter.get()) {
        targets.erase(it);
    }
    m_wnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) {
    return DROPEFFECT_NONE;
}
DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) {
    return DROPEFFECT_NONE;
}
void COleDropTarget::OnDragLeave(CWnd*) {}
BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) {
    return FALSE;
}

// --- COleDataSource.

void COleDataSource::CacheData(CLIPFORMAT format, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    m_bytes.assign(bytes, bytes + (data ? size : 0));
    m_payload.format = kel::platform::RegisteredClipboardFormatName(format);
    m_payload.data = m_bytes.data();
    m_payload.size = m_bytes.size();
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD allowedEffects) {
    if (m_payload.format.IsEmpty()) {
        return DROPEFFECT_NONE;
    }
    return kel::platform::GetBackend().DoDragDrop(m_payload, allowedEffects);
}

namespace kel::platform {

void RegisterDropTarget(CWnd& wnd, DropTarget* target) {
    if (target) {
        DropTargets()[&wnd] = target;
    } else {
        DropTargets().erase(&wnd);
    }
}

void RevokeDropTarget(CWnd& wnd) {
    DropTargets().erase(&wnd);
}

CWnd* FindDropWindow(CPoint screen, DropTarget** target) {
    auto& targets = DropTargets();
    for (CWnd* wnd = WindowFromPoint(screen); wnd; wnd = wnd->GetParent()) {
        if (const auto it = targets.find(wnd); it != targets.end()) {
            if (target) {
                *target = it->second;
            }
            return wnd;
        }
        if (!(wnd->GetStyle() & WS_CHILD)) {
            break;
        }
    }
    if (target) {
        *target = nullptr;
    }
    return nullptr;
}

// --- DragLoop.

DragLoop::DragLoop(const DragPayload& payload, DWORD allowedEffects)
    : m_payload(payload), m_allowed(allowedEffects) {}

DragLoop::~DragLoop() {
    if (!m_done) {
        Cancel();
    }
}

namespace {

// The target still registered for the window, or null when either has gone.
DropTarget* StillRegistered(CWnd* wnd, DropTarget* target) {
    if (!IsWindow(wnd)) {
        return nullptr;
    }
    const auto it = DropTargets().find(wnd);
    return it != DropTargets().end() && it->second == target ? target : nullptr;
}

} // namespace

void DragLoop::Leave() {
    if (DropTarget* target = StillRegistered(m_wnd, m_target)) {
        target->OnDragLeave(*m_wnd);
    }
    m_wnd = nullptr;
    m_target = nullptr;
    m_effect = DROPEFFECT_NONE;
}

DWORD DragLoop::MoveTo(CPoint screen, DWORD keyState) {
    if (m_done) {
        return DROPEFFECT_NONE;
    }
    DropTarget* target = nullptr;
    CWnd* wnd = FindDropWindow(screen, &target);
    if (wnd != m_wnd || target != m_target || !StillRegistered(m_wnd, m_target)) {
        Leave();
        if (!wnd) {
            return DROPEFFECT_NONE;
        }
        m_wnd = wnd;
        m_target = target;
        CPoint client = screen;
        wnd->ScreenToClient(&client);
        m_effect = target->OnDragEnter(*wnd, m_payload, keyState, client) & m_allowed;
        return m_effect;
    }
    CPoint client = screen;
    wnd->ScreenToClient(&client);
    m_effect = target->OnDragOver(*wnd, m_payload, keyState, client) & m_allowed;
    return m_effect;
}

DWORD DragLoop::Drop(CPoint screen, DWORD keyState) {
    if (m_done) {
        return DROPEFFECT_NONE;
    }
    MoveTo(screen, keyState);
    DropTarget* target = StillRegistered(m_wnd, m_target);
    const DWORD effect = m_effect & ~DROPEFFECT_SCROLL;
    if (!target || effect == DROPEFFECT_NONE) {
        Cancel();
        return DROPEFFECT_NONE;
    }
    m_done = true;
    CWnd* wnd = m_wnd;
    m_wnd = nullptr;
    m_target = nullptr;
    CPoint client = screen;
    wnd->ScreenToClient(&client);
    return target->OnDrop(*wnd, m_payload, effect, client) ? effect : DROPEFFECT_NONE;
}

void DragLoop::Cancel() {
    if (m_done) {
        return;
    }
    Leave();
    m_done = true;
}

} // namespace kel::platform
