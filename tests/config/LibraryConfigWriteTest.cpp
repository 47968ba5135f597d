// Writing the library configuration: library saves, the expanded state, the options and a
// category's language.
#include <gtest/gtest.h>

#include "ConfigTestUtil.h"

namespace {

class ConfigWrite : public ConfigTest {};

TEST_F(ConfigWrite, EachSaveLeavesExactlyWhatTheLibraryHolds) {
    store.PutKey(AppPath({"CustomCats", "Old", "Sub", "Deeper"})); // what an earlier run left
    store.PutKey(AppPath({"HiddenCats", "Gone"}));
    CCategory cpp = DefaultCategory("C++", {"Templates"});
    CCategory java = DefaultCategory("Java", {"Swing"});
    java.SetDisplayed(false);
    java.Slot(1).inUse = false; // a hidden category's sub-categories are not recorded
    CCategory vb = DefaultCategory("Visual Basic");
    vb.Slot(2).inUse = false;
    CCategory tools = CustomCategory("Tools", {"Loops", "Strings"});
    tools.Slot(5).name = "Far"; // slots need not be packed
    CCategory games = CustomCategory("Games");
    SaveLibrary(config, {cpp, games, java, tools, vb});
    ExpectFileEq(DumpApp(store), "config/first-save.txt");

    // A custom category and a custom sub-category deleted, Java shown again (Restore
    // defaults), COM of Visual Basic shown again, GUI of C++ hidden.
    cpp.RemoveSubcategory("Templates");
    cpp.Slot(1).inUse = false;
    java = DefaultCategory("Java");
    vb.Slot(2).inUse = true;
    SaveLibrary(config, {cpp, java, tools, vb});
    ExpectFileEq(DumpApp(store), "config/second-save.txt");
    CLibraryConfig next = Loaded(store);
    EXPECT_EQ(next.g_customCatFiles, (std::map<std::string, std::string>{{"Tools", "quorrinTools.txt"}}));
    EXPECT_TRUE(next.IsCategoryShown("Java"));
    EXPECT_FALSE(next.IsSubcategoryShown("C++", "GUI"));

    // The last custom category deleted, C++ hidden: its hidden sub-category goes.
    cpp.SetDisplayed(false);
    SaveLibrary(config, {cpp, java, vb});
    EXPECT_EQ(DumpApp(store), "CustomCats\nCustomSubcats\nHiddenCats\nHiddenCats / C++\nHiddenSubcats\n");
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(ConfigWrite, TheExpandedStateIsWrittenAndEveryKeyClosed) {
    config.g_expandedSubcats = {{"C++", {"GUI"}}, {"Tools", {}}};
    config.WriteExpandedCats();
    EXPECT_EQ(DumpApp(store),
              "ExpandedCats\nExpandedCats / C++\nExpandedCats / C++ / GUI\nExpandedCats / Tools\n");
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(ConfigWrite, OptionsAreWrittenAsDwordsAndReadBack) {
    config.m_bAutoSaveOnSwitch = false;
    config.SaveSettings();
    EXPECT_EQ(DumpApp(store), "Settings { AutoSaveOnSwitch=0 SaveTreeState=1 }\n");
    CLibraryConfig next = Loaded(store);
    EXPECT_FALSE(next.m_bAutoSaveOnSwitch);
    EXPECT_TRUE(next.m_bSaveTreeState);
    store.PutValue(AppPath({"Settings"}), "AutoSaveOnSwitch", {true, "", 7}); // any value but 0 is on
    EXPECT_TRUE(Loaded(store).m_bAutoSaveOnSwitch);
}

// Going back to the guess, or deleting the category, leaves no choice behind.
TEST_F(ConfigWrite, ALanguageChoiceGoesBackToTheGuessAndGoesWithItsCategory) {
    config.SetCustomCategoryLanguage("Scripts", "shell");
    config.SetCustomCategoryLanguage("Scripts", "");
    EXPECT_EQ(config.CustomCategoryLanguage("Scripts"), "");
    config.SetCustomCategoryLanguage("Scripts", "shell");
    config.ForgetCategory("Scripts");
    EXPECT_EQ(config.CustomCategoryLanguage("Scripts"), "");
}

} // namespace
