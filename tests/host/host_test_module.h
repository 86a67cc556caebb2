// A small resource section and a message-recording window shared by the host service tests.
#pragma once

#include "host/services/module_rc.h"
#include "platform/resource_types.h"
#include "platform/wnd.h"

#include <vector>

namespace hosttest {

inline constexpr UINT kStrGreeting = 100;
inline constexpr UINT kStrTip = 101;
inline constexpr UINT kMenuZoom = 200;
inline constexpr UINT kCmdFirst = 5000; // kCmdFirst + i for item i of the zoom pop-up
inline constexpr UINT kBmpStrip = 300;  // 64 x 16: four frames
inline constexpr UINT kBmpSingle = 301; // 16 x 16
inline constexpr UINT kCursorEdge = 400;
inline constexpr UINT kCursorOther = 401;
inline constexpr UINT kDlgMain = 500;
inline constexpr UINT kDlgButton = 1060;

// Frame i of the strip is filled with colour 0xFF000000 | (i + 1).
ModuleResources MakeResources();

// Registers MakeResources() under a handle of its own for the life of the object.
class ScopedModule {
public:
    ScopedModule();
    ~ScopedModule();
    ScopedModule(const ScopedModule&) = delete;
    ScopedModule& operator=(const ScopedModule&) = delete;
    HINSTANCE Handle() const { return &m_resources; }
    const ModuleResources& Resources() const { return m_resources; }

private:
    ModuleResources m_resources;
};

struct Received {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int trackPos = -1; // for scroll messages: the bar's tracking position while handled
};

// A top-level window that records the notifications its children send it.
class RecorderWnd : public CWnd {
public:
    BOOL CreateTop(const CRect& rect = CRect(100, 100, 500, 400));
    std::vector<Received> received;
    std::vector<Received> Of(UINT message) const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

} // namespace hosttest
