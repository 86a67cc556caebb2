#include "host/services/module_rc.h"

#include "host/services/ui_language.h"
#include "platform/controls.h"
#include "platform/cursor.h"
#include "platform/dialog.h"
#include "platform/gdi.h"
#include "platform/menu.h"
#include "platform/wnd.h"

#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace {

struct ModuleEntry {
    const ModuleResources* resources = nullptr; // owned by the module
    std::map<UINT, HCURSOR> cursors;
};

std::map<HINSTANCE, ModuleEntry>& modules() {
    static std::map<HINSTANCE, ModuleEntry> registry;
    return registry;
}

// Registration order: framework code that knows only an id (dialog templates, tooltip texts)
// searches the modules in the order they joined, as a resource chain does.
std::vector<HINSTANCE>& chain() {
    static std::vector<HINSTANCE> order;
    return order;
}

std::optional<LANGID>& chosenLanguage() {
    static std::optional<LANGID> language;
    return language;
}

// A text-carrying entry in the current language, else in the module's English base.
template <typename Map>
const typename Map::mapped_type* findLocalized(const ModuleResources& resources,
                                               Map LanguageResources::*table, UINT id) {
    const LANGID language = CKelModuleRC::GetLanguage();
    if (const auto local = resources.translations.find(language);
        local != resources.translations.end()) {
        const Map& map = local->second.*table;
        if (const auto it = map.find(id); it != map.end())
            return &it->second;
    }
    const Map& map = resources.*table;
    const auto it = map.find(id);
    return it == map.end() ? nullptr : &it->second;
}

template <typename Map>
const typename Map::mapped_type* findInChain(Map LanguageResources::*table, UINT id) {
    for (HINSTANCE module : chain()) {
        if (const auto* found = findLocalized(*modules().at(module).resources, table, id))
            return found;
    }
    return nullptr;
}

void installFrameworkLookups() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    kel::platform::SetDialogTemplateResolver(
        [](UINT id) { return findInChain(&LanguageResources::dialogs, id); });
    kel::platform::SetTooltipStringLoader([](UINT id) {
        const CString* text = findInChain(&LanguageResources::strings, id);
        return text ? *text : CString();
    });
}

ModuleEntry* findModule(HINSTANCE module) {
    if (!module)
        return nullptr;
    const auto it = modules().find(module);
    return it == modules().end() ? nullptr : &it->second;
}

template <typename Map>
const typename Map::mapped_type* findIn(HINSTANCE module, Map ModuleResources::*table, UINT id) {
    const ModuleEntry* entry = findModule(module);
    if (!entry)
        return nullptr;
    const Map& map = entry->resources->*table;
    const auto it = map.find(id);
    return it == map.end() ? nullptr : &it->second;
}

template <typename Map>
const typename Map::mapped_type* findText(HINSTANCE module, Map LanguageResources::*table,
                                          UINT id) {
    const ModuleEntry* entry = findModule(module);
    return entry ? findLocalized(*entry->resources, table, id) : nullptr;
}

} // namespace

int CKelModuleRC::RegisterModule(HINSTANCE module, const ModuleResources* resources) {
    if (!module || !resources)
        return 0;
    installFrameworkLookups();
    if (!findModule(module))
        chain().push_back(module);
    ModuleEntry& entry = modules()[module];
    entry.resources = resources;
    entry.cursors.clear();
    return 1;
}

int CKelModuleRC::UnregisterModule(HINSTANCE module) {
    if (modules().erase(module) == 0)
        return 0;
    std::erase(chain(), module);
    return 1;
}

bool CKelModuleRC::IsModuleRegistered(HINSTANCE module) {
    return findModule(module) != nullptr;
}

LANGID CKelModuleRC::GetLanguage() {
    std::optional<LANGID>& language = chosenLanguage();
    if (!language)
        language =
            kel::host::LanguageFromEnvironment([](const char* name) { return std::getenv(name); });
    return *language;
}

void CKelModuleRC::SetLanguage(LANGID language) {
    const bool known = language == LANG_ENGLISH_US || language == LANG_CHINESE_SIMPLIFIED ||
                       language == LANG_CHINESE_TRADITIONAL;
    chosenLanguage() = known ? language : LANG_ENGLISH_US;
}

CString CKelModuleRC::LoadStringW(HINSTANCE module, UINT id) {
    CString text;
    LoadStringW(module, id, text);
    return text;
}

int CKelModuleRC::LoadStringW(HINSTANCE module, UINT id, CString& text) {
    text.Empty();
    const CString* found = findText(module, &LanguageResources::strings, id);
    if (!found)
        return 0;
    text = *found;
    return 1;
}

int CKelModuleRC::LoadMenuW(HINSTANCE module, UINT id, CMenu& menu) {
    const MenuTemplate* found = FindMenuTemplate(module, id);
    if (!found || menu.GetSafeHmenu())
        return 0;
    return menu.LoadMenuIndirect(*found) ? 1 : 0;
}

int CKelModuleRC::LoadBitmapW(HINSTANCE module, UINT id, CBitmap& bitmap) {
    const ImageData* found = FindBitmapImage(module, id);
    if (!found || found->width <= 0 || found->height <= 0)
        return 0;
    if (bitmap.GetSafeHandle())
        bitmap.DeleteObject();
    return bitmap.CreateFromImage(*found, id) ? 1 : 0;
}

HCURSOR CKelModuleRC::LoadCursorW(HINSTANCE module, UINT id) {
    ModuleEntry* entry = findModule(module);
    if (!entry)
        return nullptr;
    if (const auto cached = entry->cursors.find(id); cached != entry->cursors.end())
        return cached->second;
    const auto it = entry->resources->cursors.find(id);
    if (it == entry->resources->cursors.end())
        return nullptr;
    HCURSOR cursor = kel::platform::CursorFromResource(it->second, id);
    if (cursor)
        entry->cursors[id] = cursor;
    return cursor;
}

const DialogTemplate* CKelModuleRC::FindDialogTemplate(HINSTANCE module, UINT id) {
    return findText(module, &LanguageResources::dialogs, id);
}

const MenuTemplate* CKelModuleRC::FindMenuTemplate(HINSTANCE module, UINT id) {
    return findText(module, &LanguageResources::menus, id);
}

const ImageData* CKelModuleRC::FindBitmapImage(HINSTANCE module, UINT id) {
    return findIn(module, &ModuleResources::bitmaps, id);
}

CString CKelModuleRC::GetHostCaption() {
    return "Kel Storyboard Studio";
}

int CKelModuleRC::MessageBoxW(HINSTANCE module, UINT textId, UINT style, CWnd* owner) {
    CString text;
    if (!LoadStringW(module, textId, text))
        return 0;
    if (owner && IsWindow(owner))
        return owner->MessageBox(text.GetString(), GetHostCaption().GetString(), style);
    return kel::platform::GetBackend().MessageBox(nullptr, text, GetHostCaption(), style);
}

int CKelModuleRC::AddTips(HINSTANCE module, CToolTipCtrl& tips, CWnd* control, UINT stringId) {
    if (!control || !IsWindow(control) || !tips.GetSafeHwnd())
        return 0;
    CString text;
    if (!LoadStringW(module, stringId, text))
        return 0;
    return tips.AddTool(control, text.GetString()) ? 1 : 0;
}
