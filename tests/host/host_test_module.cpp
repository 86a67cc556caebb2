#include "host_test_module.h"

#include "host/gui/skinned_controls.h"
#include "platform/controls.h"

namespace hosttest {

ModuleResources MakeResources() {
    ModuleResources r;
    r.strings[kStrGreeting] = "Are You Sure?";
    r.strings[kStrTip] = "Storyboard Operation";

    MenuItemTemplate popup;
    popup.text = "Zoom";
    for (int i = 0; i < 4; ++i) {
        MenuItemTemplate item;
        item.id = kCmdFirst + static_cast<UINT>(i);
        item.text = CString("&Step ") + CString(std::to_string(i));
        popup.popup.push_back(item);
    }
    r.menus[kMenuZoom].items.push_back(popup);

    ImageData strip;
    strip.width = 64;
    strip.height = 16;
    strip.pixels.resize(64 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x)
            strip.pixels[static_cast<std::size_t>(y * 64 + x)] =
                0xFF000000u | static_cast<std::uint32_t>(x / 16 + 1);
    r.bitmaps[kBmpStrip] = strip;
    ImageData single;
    single.width = single.height = 16;
    single.pixels.assign(256, 0xFF00FF00u);
    r.bitmaps[kBmpSingle] = single;

    CursorData cursor;
    cursor.image = single;
    r.cursors[kCursorEdge] = cursor;
    r.cursors[kCursorOther] = cursor;

    DialogTemplate dlg;
    dlg.caption = "Storyboard Edit";
    dlg.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    dlg.cx = 200;
    dlg.cy = 100;
    DialogItemTemplate button;
    button.id = kDlgButton;
    button.windowClass = "BUTTON";
    button.caption = "Normal";
    button.style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | BS_PUSHLIKE | WS_GROUP;
    button.x = 4;
    button.y = 4;
    button.cx = 16;
    button.cy = 16;
    dlg.items.push_back(button);
    r.dialogs[kDlgMain] = dlg;
    return r;
}

ScopedModule::ScopedModule() : m_resources(MakeResources()) {
    CKelModuleRC::RegisterModule(Handle(), &m_resources);
}

ScopedModule::~ScopedModule() {
    CKelModuleRC::UnregisterModule(Handle());
}

BOOL RecorderWnd::CreateTop(const CRect& rect) {
    return CreateEx(0, nullptr, "recorder", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
}

std::vector<Received> RecorderWnd::Of(UINT message) const {
    std::vector<Received> out;
    for (const Received& r : received)
        if (r.message == message)
            out.push_back(r);
    return out;
}

LRESULT RecorderWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND || message == WM_HSCROLL || message == WM_VSCROLL) {
        Received r{message, wParam, lParam, -1};
        if (message != WM_COMMAND && lParam)
            if (auto* bar = dynamic_cast<CKelAquaScrollBar*>(reinterpret_cast<CWnd*>(lParam)))
                r.trackPos = bar->GetPos(static_cast<int>(SB_THUMBTRACK));
        received.push_back(r);
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

} // namespace hosttest
