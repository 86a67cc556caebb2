// Which language the user interface speaks, and how the resource service answers in it.
#include "host_test_module.h"

#include "host/services/module_rc.h"
#include "host/services/ui_language.h"
#include "platform/headless_backend.h"
#include "platform/menu.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

using namespace hosttest;

LANGID Choose(const std::map<std::string, std::string>& environment) {
    return kel::host::LanguageFromEnvironment([&environment](const char* name) -> const char* {
        const auto it = environment.find(name);
        return it == environment.end() ? nullptr : it->second.c_str();
    });
}

TEST(UiLanguage, TheLocaleNamesTheLanguage) {
    struct Case {
        const char* locale;
        LANGID language;
    };
    const Case cases[] = {
        {"zh_CN.UTF-8", 2052},  {"zh_CN", 2052},
        {"zh_SG.GB2312", 2052}, {"zh-CN", 2052},
        {"zh_TW.UTF-8", 1028},  {"zh_TW.Big5@stroke", 1028},
        {"zh_HK.UTF-8", 1028},  {"zh", 1033},
        {"zh_CNX", 1033},       {"en_US.UTF-8", 1033},
        {"ja_JP.UTF-8", 1033},  {"C", 1033},
        {"POSIX", 1033},        {"", 1033},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Choose({{"LANG", c.locale}}), c.language) << '"' << c.locale << '"';
    EXPECT_EQ(Choose({}), 1033);
}

TEST(UiLanguage, LcAllThenLcMessagesThenLang) {
    EXPECT_EQ(Choose({{"LC_ALL", "zh_TW.UTF-8"}, {"LC_MESSAGES", "zh_CN"}, {"LANG", "en_US"}}),
              1028);
    EXPECT_EQ(Choose({{"LC_MESSAGES", "zh_CN"}, {"LANG", "zh_TW"}}), 2052);
    // A locale that is set but empty does not count, as with setlocale.
    EXPECT_EQ(Choose({{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "zh_HK"}}), 1028);
    EXPECT_EQ(Choose({{"LC_ALL", "C"}, {"LANG", "zh_CN"}}), 1033);
}

TEST(UiLanguage, KelsbLangForcesALanguageAndAnyOtherValueMeansEnglish) {
    EXPECT_EQ(Choose({{"KELSB_LANG", "2052"}, {"LC_ALL", "zh_TW"}}), 2052);
    EXPECT_EQ(Choose({{"KELSB_LANG", "1028"}}), 1028);
    EXPECT_EQ(Choose({{"KELSB_LANG", "1033"}, {"LANG", "zh_CN"}}), 1033);
    for (const char* invalid :
         {"chinese", "2052x", " 2052", "0", "-1", "4294969348", "99999999999999999999", "zh_CN"})
        EXPECT_EQ(Choose({{"KELSB_LANG", invalid}, {"LANG", "zh_CN"}}), 1033) << invalid;
    // Set but empty: as if not set.
    EXPECT_EQ(Choose({{"KELSB_LANG", ""}, {"LANG", "zh_CN"}}), 2052);
}

class ServiceLanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        kel::platform::ResetHeadless();
        resources.strings[kStrGreeting] = "Are You Sure?";
        resources.strings[kStrTip] = "Storyboard Operation";
        LanguageResources& chinese = resources.translations[LANG_CHINESE_SIMPLIFIED];
        chinese.strings[kStrGreeting] = "确定吗？";
        MenuItemTemplate popup;
        popup.text = "缩放";
        popup.popup.push_back({kCmdFirst, "第一步", false, {}});
        chinese.menus[kMenuZoom].items.push_back(popup);
        chinese.dialogs[kDlgMain].caption = "故事板编辑";
        CKelModuleRC::RegisterModule(&handle, &resources);
    }
    void TearDown() override {
        CKelModuleRC::UnregisterModule(&handle);
        CKelModuleRC::SetLanguage(LANG_ENGLISH_US);
    }
    ModuleResources resources;
    int handle = 0;
};

TEST_F(ServiceLanguageTest, AnswersInTheChosenLanguageAndFallsBackToEnglish) {
    CKelModuleRC::SetLanguage(LANG_CHINESE_SIMPLIFIED);
    EXPECT_EQ(CKelModuleRC::GetLanguage(), LANG_CHINESE_SIMPLIFIED);
    EXPECT_EQ(CKelModuleRC::LoadStringW(&handle, kStrGreeting), "确定吗？");
    // An entry the translation lacks comes in English rather than not at all.
    EXPECT_EQ(CKelModuleRC::LoadStringW(&handle, kStrTip), "Storyboard Operation");
    CMenu menu;
    ASSERT_EQ(CKelModuleRC::LoadMenuW(&handle, kMenuZoom, menu), 1);
    EXPECT_EQ(menu.GetSubMenu(0)->GetMenuItemCount(), 1);
    ASSERT_NE(CKelModuleRC::FindDialogTemplate(&handle, kDlgMain), nullptr);
    EXPECT_EQ(CKelModuleRC::FindDialogTemplate(&handle, kDlgMain)->caption, "故事板编辑");

    // A module with English only answers in English, whatever the language.
    ScopedModule englishOnly;
    EXPECT_EQ(CKelModuleRC::LoadStringW(englishOnly.Handle(), kStrGreeting), "Are You Sure?");

    // Traditional Chinese, which this module lacks: English. A language the editor does not
    // know is English.
    CKelModuleRC::SetLanguage(LANG_CHINESE_TRADITIONAL);
    EXPECT_EQ(CKelModuleRC::LoadStringW(&handle, kStrGreeting), "Are You Sure?");
    CKelModuleRC::SetLanguage(1031);
    EXPECT_EQ(CKelModuleRC::GetLanguage(), LANG_ENGLISH_US);
    EXPECT_EQ(CKelModuleRC::LoadStringW(&handle, kStrGreeting), "Are You Sure?");
}

} // namespace
