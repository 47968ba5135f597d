// Reading the library configuration at start.
#include <gtest/gtest.h>

#include "ConfigTestUtil.h"

namespace {

class ConfigRead : public ConfigTest {
protected:
    void Put(std::initializer_list<std::string> rest) { store.PutKey(AppPath(rest)); }
    void Load(const std::string& fixture) { LoadKeys(store, fixture); }
};

TEST_F(ConfigRead, NothingStoredShowsEverythingSilentlyAndChangesNothing) {
    for (const char* k :
         {"ExpandedCats", "CustomCats", "CustomSubcats", "HiddenCats", "HiddenSubcats", "Settings"})
        Put({k});
    EXPECT_TRUE(config.LoadProfile());
    EXPECT_EQ(Tables(config), "expanded\nfiles\ncustom\ncustomsubs\nhidden\nhiddensubs\n");
    EXPECT_TRUE(config.IsCategoryShown("C++"));
    EXPECT_TRUE(config.IsSubcategoryShown("C++", "COM"));
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
    MemoryKeyStore empty;
    EXPECT_TRUE(CLibraryConfig(empty).LoadProfile());
    EXPECT_EQ(empty.ChangeCount(), 0u); // reading creates nothing
}

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

TEST_F(ConfigRead, OptionsDefaultToOnAndAnyNonZeroValueIsOn) {
    const struct {
        std::optional<MemoryKeyStore::Value> stored;
        bool expected;
    } rows[] = {{std::nullopt, true},
                {{{true, "", 0}}, false},
                {{{true, "", 7}}, true},
                {{{false, "0", 0}}, true} /* unreadable */};
    for (const auto& r : rows) {
        MemoryKeyStore s;
        s.PutKey(AppPath({"Settings"}));
        for (const char* name : {"AutoSaveOnSwitch", "SaveTreeState"})
            if (r.stored)
                s.PutValue(AppPath({"Settings"}), name, *r.stored);
        CLibraryConfig c(s);
        c.m_bAutoSaveOnSwitch = c.m_bSaveTreeState = !r.expected;
        c.LoadProfile();
        EXPECT_EQ(c.m_bAutoSaveOnSwitch, r.expected);
        EXPECT_EQ(c.m_bSaveTreeState, r.expected);
    }
    EXPECT_TRUE(messenger.shown.empty());
}

} // namespace
