// Reading the library configuration: LoadProfile and its read modes.
#include <gtest/gtest.h>

#include "ConfigTestUtil.h"
#include "config/FileKeyStore.h"
#include "base/FileLayer.h"
#include "support/TestSupport.h"

namespace {

class ConfigRead : public ::testing::Test {
protected:
    RecordingMessenger messenger;
    MemoryKeyStore store;
    CLibraryConfig config{store};

    void Put(std::initializer_list<std::string> rest) { store.PutKey(AppPath(rest)); }
};

void ExpectEmptyTables(const CLibraryConfig& config) {
    EXPECT_TRUE(config.g_expandedCats.empty());
    EXPECT_TRUE(config.g_expandedSubcats.empty());
    EXPECT_TRUE(config.g_customCatFiles.empty());
    EXPECT_TRUE(config.g_customCatSubcats.empty());
    EXPECT_TRUE(config.g_customSubcats.empty());
    EXPECT_TRUE(config.m_hiddenCats.empty());
    EXPECT_TRUE(config.m_hiddenSubcats.empty());
}

TEST_F(ConfigRead, FirstRunWithoutAnyKeyIsSilentEmptyAndShowsEverything) {
    EXPECT_TRUE(config.LoadProfile());
    EXPECT_TRUE(messenger.shown.empty());
    ExpectEmptyTables(config);
    for (const char* cat : {"C++", "Java", "Visual Basic", "", "gui"}) {
        EXPECT_TRUE(config.IsCategoryShown(cat));
        for (const char* sub : {"General", "GUI", "COM", ""})
            EXPECT_TRUE(config.IsSubcategoryShown(cat, sub));
    }
    EXPECT_TRUE(config.m_bAutoSaveOnSwitch);
    EXPECT_TRUE(config.m_bSaveTreeState);
    // Reading changes nothing and leaves no handle open.
    EXPECT_EQ(store.ChangeCount(), 0u);
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(ConfigRead, FirstRunWithTheFileStoreAndNoFileIsSilentAndEmpty) {
    TempDir dir;
    FileKeyStore fileStore(dir.File("cfg/Tindrel.conf"));
    EXPECT_EQ(fileStore.State(), FileKeyStore::LoadState::Missing);
    CLibraryConfig fresh(fileStore);
    EXPECT_TRUE(fresh.LoadProfile());
    EXPECT_TRUE(messenger.shown.empty());
    ExpectEmptyTables(fresh);
    EXPECT_FALSE(fileio::FileExists(dir.File("cfg/Tindrel.conf")));
}

TEST_F(ConfigRead, EmptyApplicationKeyAndEmptyTopKeysReadNothing) {
    for (const char* k :
         {"ExpandedCats", "CustomCats", "CustomSubcats", "HiddenCats", "HiddenSubcats", "Settings"})
        Put({k});
    EXPECT_TRUE(config.LoadProfile());
    EXPECT_TRUE(messenger.shown.empty());
    ExpectEmptyTables(config);
}

TEST_F(ConfigRead, EveryKindOfKeyGoesIntoItsTable) {
    Put({"ExpandedCats", "C++", "GUI"});
    Put({"ExpandedCats", "C++", "General"});
    Put({"ExpandedCats", "Tools"});
    Put({"CustomCats", "Tools", "Loops"});
    Put({"CustomCats", "Tools", "Strings"});
    store.PutValue(AppPath({"CustomCats", "Tools"}), "FileName", {false, "quorrinTools.txt", 0});
    Put({"CustomCats", "Empty"});
    store.PutValue(AppPath({"CustomCats", "Empty"}), "FileName", {false, "e.txt", 0});
    Put({"CustomSubcats", "Java", "Swing"});
    Put({"CustomSubcats", "Java", "swing"});
    Put({"HiddenCats", "Visual Basic", "ignored below a hidden category"});
    Put({"HiddenSubcats", "C++", "COM"});
    Put({"HiddenSubcats", "Java"});

    EXPECT_TRUE(config.LoadProfile());
    EXPECT_TRUE(messenger.shown.empty()) << messenger.shown[0].text;

    EXPECT_EQ(config.g_expandedCats, (NameSet{"C++", "Tools"}));
    EXPECT_EQ(config.g_expandedSubcats, (NameSetMap{{"C++", {"GUI", "General"}}, {"Tools", {}}}));
    EXPECT_EQ(config.g_customCatFiles,
              (std::map<std::string, std::string>{{"Empty", "e.txt"}, {"Tools", "quorrinTools.txt"}}));
    EXPECT_EQ(config.g_customCatSubcats, (NameSetMap{{"Empty", {}}, {"Tools", {"Loops", "Strings"}}}));
    EXPECT_EQ(config.g_customSubcats, (NameSetMap{{"Java", {"Swing", "swing"}}}));
    EXPECT_EQ(config.m_hiddenCats, (NameSet{"Visual Basic"}));
    EXPECT_EQ(config.m_hiddenSubcats, (NameSetMap{{"C++", {"COM"}}, {"Java", {}}}));

    EXPECT_FALSE(config.IsCategoryShown("Visual Basic"));
    EXPECT_TRUE(config.IsCategoryShown("visual basic"));
    EXPECT_FALSE(config.IsSubcategoryShown("C++", "COM"));
    EXPECT_TRUE(config.IsSubcategoryShown("C++", "GUI"));
    EXPECT_TRUE(config.IsSubcategoryShown("Java", "COM"));
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(ConfigRead, CategoryKeysWithoutSubKeysFollowTheEmptySetRules) {
    Put({"ExpandedCats", "A"});
    Put({"CustomCats", "B"});
    store.PutValue(AppPath({"CustomCats", "B"}), "FileName", {false, "b.txt", 0});
    Put({"CustomSubcats", "C++"});
    Put({"HiddenSubcats", "Java"});
    config.LoadProfile();
    EXPECT_EQ(config.g_expandedSubcats, (NameSetMap{{"A", {}}}));
    EXPECT_EQ(config.g_customCatSubcats, (NameSetMap{{"B", {}}}));
    EXPECT_TRUE(config.g_customSubcats.empty()); // nothing said about C++
    EXPECT_EQ(config.m_hiddenSubcats, (NameSetMap{{"Java", {}}}));
    EXPECT_TRUE(config.IsSubcategoryShown("Java", "GUI"));
}

TEST_F(ConfigRead, EmptyNamesAreSkippedEverywhere) {
    Put({"ExpandedCats", ""});
    Put({"ExpandedCats", "C++", ""});
    Put({"HiddenCats", ""});
    Put({"CustomSubcats", "Java", ""});
    config.LoadProfile();
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(config.g_expandedCats, (NameSet{"C++"}));
    EXPECT_EQ(config.g_expandedSubcats, (NameSetMap{{"C++", {}}}));
    EXPECT_TRUE(config.m_hiddenCats.empty());
    // The key had a sub-key (with an empty name): its set is stored, empty.
    EXPECT_EQ(config.g_customSubcats, (NameSetMap{{"Java", {}}}));
}

TEST_F(ConfigRead, CustomCategoryWithoutFileNameIsReportedAndKeepsItsSubcategories) {
    Put({"CustomCats", "Tools", "Loops"});
    Put({"CustomCats", "Zeta"});
    store.PutValue(AppPath({"CustomCats", "Zeta"}), "FileName", {false, "z.txt", 0});
    config.LoadProfile();
    ASSERT_EQ(messenger.Texts(),
              (std::vector<std::string>{"Error attempting to obtain FileName value for key Tools.\nReason: "
                                        "The system cannot find the file specified.\r\n"}));
    EXPECT_EQ(config.g_customCatFiles,
              (std::map<std::string, std::string>{{"Tools", ""}, {"Zeta", "z.txt"}}));
    EXPECT_EQ(config.g_customCatSubcats, (NameSetMap{{"Tools", {"Loops"}}, {"Zeta", {}}}));
}

TEST_F(ConfigRead, NamesKeepTheirExactBytes) {
    const std::string odd = "a \"b\" + c\\d \xC3\xA9 \x01";
    const std::string longName(259, 'L');
    Put({"CustomSubcats", "C++", "GUI"});
    Put({"CustomSubcats", "C++", "gui"});
    Put({"CustomSubcats", "C++", odd});
    Put({"CustomSubcats", "C++", longName});
    Put({"HiddenCats", odd});
    config.LoadProfile();
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(config.g_customSubcats.at("C++"), (NameSet{"GUI", odd, "gui", longName}));
    EXPECT_EQ(config.m_hiddenCats, (NameSet{odd}));
}

TEST_F(ConfigRead, OptionsDefaultToOnAndAnyNonZeroValueIsOn) {
    store.PutValue(AppPath({"Settings"}), "AutoSaveOnSwitch", {true, "", 0});
    store.PutValue(AppPath({"Settings"}), "SaveTreeState", {true, "", 7});
    config.LoadProfile();
    EXPECT_FALSE(config.m_bAutoSaveOnSwitch);
    EXPECT_TRUE(config.m_bSaveTreeState);

    MemoryKeyStore other;
    other.PutValue(AppPath({"Settings"}), "AutoSaveOnSwitch", {false, "0", 0}); // wrong type: unreadable
    other.PutValue(AppPath({"Settings"}), "SaveTreeState", {true, "", 0});
    CLibraryConfig second(other);
    second.m_bAutoSaveOnSwitch = false;
    second.LoadProfile();
    EXPECT_TRUE(second.m_bAutoSaveOnSwitch);
    EXPECT_FALSE(second.m_bSaveTreeState);
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(ConfigRead, ReadCategoryKeysStopsAtTheEndOfTheKey) {
    Put({"HiddenCats", "A"});
    Put({"HiddenCats", "B"});
    KeyHandle key = config.OpenAppSubKey("HiddenCats");
    ASSERT_NE(key, kNoKey);
    // A count larger than the key holds ends at "no more items" with success.
    EXPECT_TRUE(config.ReadCategoryKeys(key, 5, CLibraryConfig::kReadHiddenCat));
    store.CloseKey(key);
    EXPECT_EQ(config.m_hiddenCats, (NameSet{"A", "B"}));
    EXPECT_TRUE(messenger.shown.empty());
}

} // namespace
