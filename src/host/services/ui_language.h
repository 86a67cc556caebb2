// The language the editor's texts, menus and dialogs speak, chosen from the environment the way
// a program's locale is.
#pragma once

#include "platform/resource_types.h"

#include <functional>
#include <string_view>

namespace kel::host {

// Reads one environment variable: null when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// KELSB_LANG=1033, 2052 or 1028 forces that language; any other value gives English, so a typo
// never leaves the user with an editor in a language they did not ask for. Without it, the
// first of LC_ALL, LC_MESSAGES and LANG that is set and not empty names the locale: zh_CN and
// zh_SG read Simplified Chinese (2052), zh_TW and zh_HK Traditional Chinese (1028), and every
// other locale, "C" included, English (1033).
LANGID LanguageFromEnvironment(const EnvironmentLookup& getenv);

// The language of one locale name such as "zh_TW.UTF-8" or "zh_CN.GB18030@stroke".
LANGID LanguageOfLocale(std::string_view locale);

} // namespace kel::host
