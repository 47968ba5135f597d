// The language chosen for a custom category: kept beside its FileName, through saves
// (which rebuild the custom category keys) and reloads.
#include <gtest/gtest.h>

#include "ConfigTestUtil.h"

namespace {

class CategoryLanguageConfig : public ConfigTest {};

TEST_F(CategoryLanguageConfig, AChoiceSurvivesSavesAndReloadsAndOnlyChosenOnesAreWritten) {
    const std::vector<CCategory> categories = {DefaultCategory("C++"), CustomCategory("Scripts", {"Backup"}),
                                               CustomCategory("Tools")};
    // Chosen before the category was ever saved: no key yet, written by the save.
    config.SetCustomCategoryLanguage("Scripts", "shell");
    EXPECT_EQ(DumpApp(store), "");
    SaveLibrary(config, categories);
    ExpectFileEq(DumpApp(store), "config/language-save.txt");

    // The next run reads it with the file name, and its own save keeps it.
    CLibraryConfig next = Loaded(store);
    EXPECT_EQ(next.CustomCategoryLanguage("Scripts"), "shell");
    EXPECT_EQ(next.CustomCategoryLanguage("Tools"), "");
    EXPECT_EQ(next.g_customCatFiles.at("Scripts"), "quorrinScripts.txt");
    const std::string before = DumpApp(store);
    SaveLibrary(next, categories);
    EXPECT_EQ(DumpApp(store), before);

    // A choice for a category that has its key is stored at once, without a save.
    next.SetCustomCategoryLanguage("Tools", "python");
    CLibraryConfig third = Loaded(store);
    EXPECT_EQ(third.CustomCategoryLanguage("Tools"), "python");
    EXPECT_EQ(third.CustomCategoryLanguage("Scripts"), "shell");

    // Going back to the guess leaves nothing behind after the next save.
    third.SetCustomCategoryLanguage("Tools", "");
    EXPECT_EQ(third.CustomCategoryLanguage("Tools"), "");
    EXPECT_EQ(Loaded(store).CustomCategoryLanguage("Tools"), "");
    SaveLibrary(third, categories);
    EXPECT_EQ(DumpApp(store), before);

    // A deleted category takes its choice with it: a new one of that name starts afresh.
    third.ForgetCategory("Scripts");
    EXPECT_EQ(third.CustomCategoryLanguage("Scripts"), "");
    SaveLibrary(third, {DefaultCategory("C++"), CustomCategory("Tools"), CustomCategory("Scripts")});
    EXPECT_EQ(DumpApp(store).find("Language"), std::string::npos);
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

} // namespace
