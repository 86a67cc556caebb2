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

const char* In(const Translated& text, LANGID language) {
    switch (language) {
    case LANG_ENGLISH_US:
        return text.en;
    case LANG_CHINESE_SIMPLIFIED:
        return text.zhCN;
    case LANG_CHINESE_TRADITIONAL:
        return text.zhTW;
    default:
        Fail("no texts in language " + std::to_string(language));
    }
}

void AddStrings(LanguageResources& res, LANGID language) {
    for (const StringEntry& entry : Strings()) {
        if (!res.strings.emplace(entry.id, CString(In(entry.text, language))).second)
            Fail("string " + std::to_string(entry.id) + " is defined twice");
    }
}

} // namespace detail

namespace {

void AddLanguage(LanguageResources& res, LANGID language) {
    detail::AddStrings(res, language);
    detail::AddMenus(res, language);
    detail::AddDialogs(res, language);
}

ModuleResources Build() {
    ModuleResources res;
    AddLanguage(res, LANG_ENGLISH_US);
    for (const LANGID language : {LANG_CHINESE_SIMPLIFIED, LANG_CHINESE_TRADITIONAL})
        AddLanguage(res.translations[language], language);
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
