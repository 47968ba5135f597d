// Reading the library configuration at start.
#include <gtest/gtest.h>

#include "ConfigTestUtil.h"

namespace {

class ConfigRead : public ::testing::Test {
protected:
    RecordingMessenger messenger;
    MemoryKeyStore store;
    CLibraryConfig config{store};

    void Put(std::initializer_list<std::string> rest) { store.PutKey(AppPath(rest)); }
    void Load(const std::string& fixture) { LoadKeys(store, fixture); }
};

TEST_F(ConfigRead, NothingStoredShowsEverythingSilentlyAndChangesNothing) {
    for (const char* k :
         {"ExpandedCats", "CustomCats", "CustomSubcats", "HiddenCats", "HiddenSubcats", "Settings"})
        Put({k});
    config.m_bAutoSaveOnSwitch = false;
    EXPECT_TRUE(config.LoadProfile());
    EXPECT_EQ(Tables(config), "expanded\nfiles\ncustom\ncustomsubs\nhidden\nhiddensubs\n");
    for (const char* cat : {"C++", "Java", "", "gui"}) {
        EXPECT_TRUE(config.IsCategoryShown(cat));
        for (const char* sub : {"General", "GUI", "COM", ""})
            EXPECT_TRUE(config.IsSubcategoryShown(cat, sub));
    }
    EXPECT_TRUE(config.m_bAutoSaveOnSwitch);
    EXPECT_TRUE(config.m_bSaveTreeState);
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
    MemoryKeyStore empty;
    CLibraryConfig first(empty);
    EXPECT_TRUE(first.LoadProfile());
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
        MemoryKeyStore::Value stored;
        bool expected;
    } rows[] = {{{true, "", 0}, false}, {{true, "", 7}, true}, {{false, "0", 0}, true} /* unreadable */};
    for (const auto& r : rows) {
        MemoryKeyStore s;
        s.PutValue(AppPath({"Settings"}), "AutoSaveOnSwitch", r.stored);
        s.PutValue(AppPath({"Settings"}), "SaveTreeState", r.stored);
        CLibraryConfig c(s);
        c.m_bAutoSaveOnSwitch = c.m_bSaveTreeState = !r.expected;
        c.LoadProfile();
        EXPECT_EQ(c.m_bAutoSaveOnSwitch, r.expected);
        EXPECT_EQ(c.m_bSaveTreeState, r.expected);
    }
    EXPECT_TRUE(messenger.shown.empty());
}

} // namespace
