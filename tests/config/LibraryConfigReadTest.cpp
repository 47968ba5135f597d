// Reading the library configuration at start.
#include <gtest/gtest.h>

#include "ConfigTestUtil.h"

namespace {

class ConfigRead : public ConfigTest {
protected:
    void Put(std::initializer_list<std::string> rest) { store.PutKey(AppPath(rest)); }
    void Load(const std::string& fixture) { LoadKeys(store, fixture); }
};

TEST_F(ConfigRead, EveryKindOfKeyGoesIntoItsTableWithItsExactBytes) {
    Load("config/every-kind.conf");
    Put({"ExpandedCats", ""});        // empty names are skipped everywhere
    Put({"CustomSubcats", "VB", ""}); // VB had a sub-key: its set is kept, empty
    EXPECT_TRUE(config.LoadProfile());
    EXPECT_TRUE(messenger.shown.empty());

    EXPECT_EQ(config.g_expandedCats, (NameSet{"C++", "Tools"}));
    ExpectFileEq(Tables(config), "config/every-kind-tables.txt");
    EXPECT_FALSE(config.IsCategoryShown("Visual Basic"));
    EXPECT_TRUE(config.IsCategoryShown("visual basic"));
    EXPECT_FALSE(config.IsSubcategoryShown("C++", "COM"));
    EXPECT_TRUE(config.IsSubcategoryShown("C++", "GUI"));
    EXPECT_TRUE(config.IsSubcategoryShown("Java", "COM"));
    EXPECT_EQ(store.OpenHandleCount(), 0u);

    // A second read says what the store holds now.
    store.ClearTree();
    config.LoadProfile();
    EXPECT_TRUE(config.m_hiddenCats.empty());
    EXPECT_TRUE(config.g_customCatFiles.empty());
}

TEST_F(ConfigRead, ACustomCategoryWithoutAReadableFileNameIsReportedAndKeepsItsSubcategories) {
    Load("config/no-file-name.conf"); // Tools has no FileName, Typed's is a number
    config.LoadProfile();
    ExpectFileEq(Lines(messenger.Texts()) + Tables(config), "config/no-file-name-read.txt");
}

} // namespace
