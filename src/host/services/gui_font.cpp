#include "host/services/gui_font.h"

#include "platform/gdi.h"

#include <memory>

CFont* CKelGuiFont::GetFont() {
    static std::unique_ptr<CFont> font;
    if (!font) {
        auto made = std::make_unique<CFont>();
        LOGFONT desc;
        desc.lfHeight = -12;
        desc.lfWeight = FW_NORMAL;
        desc.lfFaceName = "Tahoma";
        if (!made->CreateFontIndirect(&desc))
            return nullptr;
        font = std::move(made);
    }
    return font.get();
}
