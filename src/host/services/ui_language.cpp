#include "host/services/ui_language.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <utility>

namespace kel::host {

LANGID LanguageOfLocale(std::string_view locale) {
    // language_TERRITORY, before the code set and the modifier; "zh-TW" is taken as well.
    const std::string_view name = locale.substr(0, locale.find_first_of(".@"));
    std::string key;
    for (const char c : name)
        key += c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    constexpr std::array<std::pair<std::string_view, LANGID>, 4> kChinese = {{
        {"zh_cn", LANG_CHINESE_SIMPLIFIED},
        {"zh_sg", LANG_CHINESE_SIMPLIFIED},
        {"zh_tw", LANG_CHINESE_TRADITIONAL},
        {"zh_hk", LANG_CHINESE_TRADITIONAL},
    }};
    const auto it = std::find_if(kChinese.begin(), kChinese.end(),
                                 [&key](const auto& entry) { return entry.first == key; });
    return it == kChinese.end() ? LANG_ENGLISH_US : it->second;
}

LANGID LanguageFromEnvironment(const EnvironmentLookup& getenv) {
    const auto value = [&getenv](const char* name) -> std::string_view {
        const char* text = getenv ? getenv(name) : nullptr;
        return text ? std::string_view(text) : std::string_view();
    };
    if (const std::string_view forced = value("KELSB_LANG"); !forced.empty()) {
        for (const LANGID language :
             {LANG_ENGLISH_US, LANG_CHINESE_SIMPLIFIED, LANG_CHINESE_TRADITIONAL}) {
            if (forced == std::to_string(language))
                return language;
        }
        return LANG_ENGLISH_US;
    }
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (const std::string_view locale = value(name); !locale.empty())
            return LanguageOfLocale(locale);
    }
    return LANG_ENGLISH_US;
}

} // namespace kel::host
