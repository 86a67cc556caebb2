#include "res/module_resources.h"

#include "res/builders.h"

#include <cstdio>
#include <cstdlib>

namespace kel::res {

namespace detail {

void Fail(const std::string& what) {
    std::fprintf(stderr, "KelSBEdit resources are broken: %s\n", what.c_str());
    std::abort();
}

void AddStrings(LanguageResources& res, const LanguageTexts& texts) {
    for (const StringEntry& entry : texts.strings) {
        if (!res.strings.emplace(entry.id, CString(entry.text)).second) {
            Fail("string " + std::to_string(entry.id) + " of language " +
                 std::to_string(texts.language) + " is defined twice");
        }
    }
}

} // namespace detail

namespace {

void AddLanguage(LanguageResources& res, const detail::LanguageTexts& texts) {
    detail::AddStrings(res, texts);
    detail::AddMenus(res, texts);
    detail::AddDialogs(res, texts);
}

ModuleResources Build() {
    ModuleResources res;
    AddLanguage(res, detail::EnglishTexts());
    for (const detail::LanguageTexts& texts :
         {detail::SimplifiedChineseTexts(), detail::TraditionalChineseTexts()}) {
        AddLanguage(res.translations[texts.language], texts);
    }
    detail::AddBitmaps(res);
    detail::AddCursors(res);
    return res;
}

} // namespace

const ModuleResources& KelSBEditResources() {
    static const ModuleResources resources = Build();
    return resources;
}

} // namespace kel::res
