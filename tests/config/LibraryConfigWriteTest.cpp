// Writing the library configuration: the writers, library saves, tree state, options.
#include <gtest/gtest.h>

#include "ConfigTestUtil.h"
#include "support/TestSupport.h"

namespace {

class ConfigWrite : public ::testing::Test {
protected:
    RecordingMessenger messenger;
    MemoryKeyStore store;
    CLibraryConfig config{store};

    // One library save of these categories, as the document does it.
    void Save(const std::vector<CCategory>& categories) {
        config.BeginLibrarySave();
        for (const CCategory& c : categories)
            config.RecordCategory(c);
        config.EndLibrarySave();
    }
    // The configuration a new run reads from the store.
    CLibraryConfig Reload() {
        CLibraryConfig next(store);
        next.LoadProfile();
        return next;
    }
};

TEST_F(ConfigWrite, CustomCategoryGetsItsFileNameAndOneSubKeyPerNamedSlot) {
    CCategory tools = CustomCategory("Tools", {"Loops", "Strings"});
    tools.Slot(5).name = "Far"; // slots need not be packed
    config.WriteCustomCat(tools);
    EXPECT_EQ(DumpApp(store), "CustomCats\n"
                              "CustomCats / Tools { FileName='quorrinTools.txt' }\n"
                              "CustomCats / Tools / Far\n"
                              "CustomCats / Tools / Loops\n"
                              "CustomCats / Tools / Strings\n");
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
    std::uint32_t size = 0;
    KeyHandle key = kNoKey;
    ASSERT_EQ(store.OpenKey(kNoKey, "", kKeyRead, key), keyerr::kInvalidHandle);
    KeyHandle cats = config.OpenAppSubKey("CustomCats");
    ASSERT_EQ(store.OpenKey(cats, "Tools", kKeyRead, key), keyerr::kSuccess);
    EXPECT_EQ(store.QueryValueSize(key, "FileName", size), keyerr::kSuccess);
    EXPECT_EQ(size, std::string("quorrinTools.txt").size() + 1); // the terminator is stored
    store.CloseKey(key);
    store.CloseKey(cats);
}

TEST_F(ConfigWrite, CustomCategoryWithAllFifteenSlotsGetsFifteenSubKeys) {
    CCategory full("Full");
    for (int i = 0; i < kSlotCount; ++i)
        full.Slot(i).name = "S" + std::to_string(100 + i);
    config.WriteCustomCat(full);
    EXPECT_EQ(store.SubKeyNames(AppPath({"CustomCats", "Full"})).size(), 15u);
}

TEST_F(ConfigWrite, DefaultCategoryWritersTakeTheirOwnSlots) {
    CCategory cpp = DefaultCategory("C++", {"Templates", "STL"});
    cpp.Slot(1).inUse = false; // GUI hidden
    CCategory java = DefaultCategory("Java");
    config.WriteCustomSubcats(cpp);
    config.WriteCustomSubcats(java);
    config.WriteHiddenSubcats(cpp);
    config.WriteHiddenSubcats(java);
    EXPECT_EQ(DumpApp(store), "CustomSubcats\n"
                              "CustomSubcats / C++\n"
                              "CustomSubcats / C++ / STL\n"
                              "CustomSubcats / C++ / Templates\n"
                              "HiddenSubcats\n"
                              "HiddenSubcats / C++\n"
                              "HiddenSubcats / C++ / GUI\n");
}

TEST_F(ConfigWrite, HiddenCategoriesGetOneSubKeyEach) {
    config.WriteHiddenCat("C++", false);
    config.WriteHiddenCat("Java", true);
    config.WriteHiddenCat("Visual Basic", false);
    EXPECT_EQ(store.SubKeyNames(AppPath({"HiddenCats"})), (std::vector<std::string>{"C++", "Visual Basic"}));
}

TEST_F(ConfigWrite, WritersCalledOutsideASaveRebuildOnlyAtTheirFirstWrite) {
    store.PutKey(AppPath({"HiddenCats", "Stale"}));
    config.WriteHiddenCat("A", false);
    EXPECT_EQ(store.SubKeyNames(AppPath({"HiddenCats"})), (std::vector<std::string>{"A"}));
    config.WriteHiddenCat("B", false);
    EXPECT_EQ(store.SubKeyNames(AppPath({"HiddenCats"})), (std::vector<std::string>{"A", "B"}));
}

TEST_F(ConfigWrite, EachSaveLeavesExactlyWhatTheLibraryHolds) {
    CCategory cpp = DefaultCategory("C++", {"Templates"});
    CCategory java = DefaultCategory("Java");
    java.SetDisplayed(false);
    CCategory vb = DefaultCategory("Visual Basic");
    vb.Slot(2).inUse = false;
    CCategory tools = CustomCategory("Tools", {"Loops"});
    CCategory games = CustomCategory("Games");
    Save({cpp, games, java, tools, vb});
    EXPECT_EQ(DumpApp(store), "CustomCats\n"
                              "CustomCats / Games { FileName='quorrinGames.txt' }\n"
                              "CustomCats / Tools { FileName='quorrinTools.txt' }\n"
                              "CustomCats / Tools / Loops\n"
                              "CustomSubcats\n"
                              "CustomSubcats / C++\n"
                              "CustomSubcats / C++ / Templates\n"
                              "HiddenCats\n"
                              "HiddenCats / Java\n"
                              "HiddenSubcats\n"
                              "HiddenSubcats / Visual Basic\n"
                              "HiddenSubcats / Visual Basic / COM\n");

    // Second save of the run: a custom category and a custom sub-category deleted,
    // Java shown again (Restore defaults), COM of Visual Basic shown again.
    cpp.RemoveSubcategory("Templates");
    java.SetDisplayed(true);
    vb.Slot(2).inUse = true;
    Save({cpp, java, tools, vb});
    EXPECT_EQ(DumpApp(store), "CustomCats\n"
                              "CustomCats / Tools { FileName='quorrinTools.txt' }\n"
                              "CustomCats / Tools / Loops\n"
                              "CustomSubcats\n"
                              "HiddenCats\n"
                              "HiddenSubcats\n");
    CLibraryConfig next = Reload();
    EXPECT_EQ(next.g_customCatFiles, (std::map<std::string, std::string>{{"Tools", "quorrinTools.txt"}}));
    EXPECT_TRUE(next.g_customSubcats.empty());
    EXPECT_TRUE(next.IsCategoryShown("Java"));
    EXPECT_TRUE(next.IsSubcategoryShown("Visual Basic", "COM"));

    // Third save: the last custom category deleted.
    Save({cpp, java, vb});
    EXPECT_EQ(DumpApp(store), "CustomCats\nCustomSubcats\nHiddenCats\nHiddenSubcats\n");
    EXPECT_TRUE(Reload().g_customCatFiles.empty());
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(ConfigWrite, EverySaveRebuildsEvenWhenAllDefaultCategoriesAreHidden) {
    CCategory cpp = DefaultCategory("C++");
    cpp.Slot(0).inUse = false;
    Save({cpp});
    EXPECT_EQ(store.SubKeyNames(AppPath({"HiddenSubcats", "C++"})), (std::vector<std::string>{"General"}));
    cpp.SetDisplayed(false);
    Save({cpp});
    // A hidden category's sub-categories are not recorded, and the old entry is gone.
    EXPECT_TRUE(store.SubKeyNames(AppPath({"HiddenSubcats"})).empty());
    EXPECT_EQ(store.SubKeyNames(AppPath({"HiddenCats"})), (std::vector<std::string>{"C++"}));
}

TEST_F(ConfigWrite, ASaveReplacesWhatAnEarlierRunLeft) {
    store.PutKey(AppPath({"CustomCats", "Old", "Sub", "Deeper"}));
    store.PutKey(AppPath({"HiddenCats", "Gone"}));
    Save({DefaultCategory("C++")});
    EXPECT_EQ(DumpApp(store), "CustomCats\nCustomSubcats\nHiddenCats\nHiddenSubcats\n");
}

TEST_F(ConfigWrite, ExpandedStateIsRebuiltFromTheTableIncludingCategoriesWithoutSubcategories) {
    store.PutKey(AppPath({"ExpandedCats", "Old", "Sub"}));
    config.g_expandedSubcats = {{"C++", {"GUI", "General"}}, {"Tools", {}}};
    config.WriteExpandedCats();
    EXPECT_EQ(DumpApp(store), "ExpandedCats\n"
                              "ExpandedCats / C++\n"
                              "ExpandedCats / C++ / GUI\n"
                              "ExpandedCats / C++ / General\n"
                              "ExpandedCats / Tools\n");
    CLibraryConfig next = Reload();
    EXPECT_EQ(next.g_expandedCats, (NameSet{"C++", "Tools"}));
    EXPECT_EQ(next.g_expandedSubcats, config.g_expandedSubcats);

    // Every call rebuilds.
    config.g_expandedSubcats.erase("C++");
    config.WriteExpandedCats();
    EXPECT_EQ(DumpApp(store), "ExpandedCats\nExpandedCats / Tools\n");
    EXPECT_TRUE(messenger.shown.empty());
}

TEST_F(ConfigWrite, OptionsAreWrittenAsDwordsAndReadBack) {
    config.m_bAutoSaveOnSwitch = false;
    config.m_bSaveTreeState = true;
    config.SaveSettings();
    EXPECT_EQ(DumpApp(store), "Settings { AutoSaveOnSwitch=0 SaveTreeState=1 }\n");
    CLibraryConfig next = Reload();
    EXPECT_FALSE(next.m_bAutoSaveOnSwitch);
    EXPECT_TRUE(next.m_bSaveTreeState);
}

TEST_F(ConfigWrite, RebuildOnOlderPlatformsDeletesTheBranchAtOnce) {
    store.SetPlatformId(1);
    store.PutKey(AppPath({"ExpandedCats", "A", "B"}));
    config.g_expandedSubcats = {{"C", {}}};
    config.WriteExpandedCats();
    EXPECT_EQ(store.CallCount(MemoryKeyStore::Op::Delete), 1);
    EXPECT_EQ(DumpApp(store), "ExpandedCats\nExpandedCats / C\n");

    MemoryKeyStore nt;
    CLibraryConfig ntConfig(nt);
    nt.PutKey(AppPath({"ExpandedCats", "A", "B"}));
    nt.PutKey(AppPath({"ExpandedCats", "A", "C"}));
    ntConfig.WriteExpandedCats();
    // Bottom-up: B and C, then A, then the key itself.
    EXPECT_EQ(nt.CallCount(MemoryKeyStore::Op::Delete), 4);
    EXPECT_EQ(DumpApp(nt), "ExpandedCats\n");
}

// A store that counts flushes and can fail them.
class FlushingStore : public MemoryKeyStore {
public:
    int flushes = 0;
    bool fail = false;
    bool Flush(std::string& error) override {
        ++flushes;
        error = fail ? "File: /x/Tindrel.conf\nReason: The disk is full." : "";
        return !fail;
    }
};

TEST(ConfigFlush, SavesTreeStateAndOptionsFlushAndAFailedFlushIsShownOnce) {
    RecordingMessenger messenger;
    FlushingStore store;
    CLibraryConfig config(store);
    config.BeginLibrarySave();
    config.RecordCategory(DefaultCategory("C++"));
    EXPECT_EQ(store.flushes, 0);
    config.EndLibrarySave();
    EXPECT_EQ(store.flushes, 1);
    config.WriteExpandedCats();
    config.SaveSettings();
    EXPECT_EQ(store.flushes, 3);
    EXPECT_TRUE(messenger.shown.empty());

    store.fail = true;
    config.SaveSettings();
    ASSERT_EQ(messenger.shown.size(), 1u);
    EXPECT_EQ(messenger.shown[0].text,
              "Tindrel was unable to save the library configuration.\n"
              "File: /x/Tindrel.conf\nReason: The disk is full.\n"
              "The configuration saved before is kept; Tindrel tries again at the next "
              "save.");
}

} // namespace
