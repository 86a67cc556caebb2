#include "platform/cursor.h"

#include "platform/backend.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct CursorTable {
    std::map<UINT, std::unique_ptr<CursorHandle>> standard;
    std::map<UINT, std::vector<std::unique_ptr<CursorHandle>>> resources; // by resource id
    HCURSOR current = nullptr;
    int waitDepth = 0;
    HCURSOR beforeWait = nullptr;
};

CursorTable& Table() {
    static CursorTable table;
    return table;
}

const char* StandardName(UINT id) {
    switch (id) {
    case 32512:
        return "arrow";
    case 32513:
        return "ibeam";
    case 32514:
        return "wait";
    case 32515:
        return "cross";
    case 32516:
        return "uparrow";
    case 32642:
        return "sizenwse";
    case 32643:
        return "sizenesw";
    case 32644:
        return "sizewe";
    case 32645:
        return "sizens";
    case 32646:
        return "sizeall";
    case 32648:
        return "no";
    case 32649:
        return "hand";
    case 32650:
        return "appstarting";
    default:
        return nullptr;
    }
}

HCURSOR Standard(UINT id) {
    const char* name = StandardName(id);
    if (!name)
        return nullptr;
    auto& slot = Table().standard[id];
    if (!slot) {
        slot = std::make_unique<CursorHandle>();
        slot->standardId = id;
        slot->name = name;
    }
    return slot.get();
}

} // namespace

HCURSOR LoadCursor(HINSTANCE instance, LPCTSTR name) {
    if (instance || !name || !IS_INTRESOURCE(name))
        return nullptr;
    return Standard(static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name)));
}

HCURSOR SetCursor(HCURSOR cursor) {
    CursorTable& t = Table();
    HCURSOR previous = std::exchange(t.current, cursor);
    kel::platform::GetBackend().SetCursor(cursor);
    return previous;
}

HCURSOR GetCursor() {
    return Table().current;
}

void BeginWaitCursor() {
    CursorTable& t = Table();
    if (t.waitDepth++ == 0)
        t.beforeWait = t.current;
    SetCursor(Standard(32514));
}

void EndWaitCursor() {
    CursorTable& t = Table();
    // An end without a begin must not show a stale cursor or drive the depth negative.
    if (t.waitDepth == 0)
        return;
    if (--t.waitDepth == 0)
        SetCursor(std::exchange(t.beforeWait, nullptr));
}

void RestoreWaitCursor() {
    if (Table().waitDepth > 0)
        SetCursor(Standard(32514));
}

namespace kel::platform {

HCURSOR CursorFromResource(const CursorData& data, UINT resourceId) {
    // Matched by content, not by address: two modules may use the same id for different
    // pictures, and a caller's data may move.
    auto& handles = Table().resources[resourceId];
    for (const auto& h : handles)
        if (h->data.hotX == data.hotX && h->data.hotY == data.hotY &&
            h->data.image.width == data.image.width && h->data.image.height == data.image.height &&
            h->data.image.pixels == data.image.pixels)
            return h.get();
    auto handle = std::make_unique<CursorHandle>();
    handle->resourceId = resourceId;
    handle->data = data;
    handle->name.Format("resource %u", resourceId);
    handles.push_back(std::move(handle));
    return handles.back().get();
}

int WaitCursorDepth() {
    return Table().waitDepth;
}

} // namespace kel::platform
