// Every failure message of the library configuration, through the in-memory
// store's fault injection.
#include <gtest/gtest.h>

#include "ConfigTestUtil.h"
#include "support/TestSupport.h"

namespace {

using Op = MemoryKeyStore::Op;
using Texts = std::vector<std::string>;

const std::string kDenied = "Access is denied.\r\n";

class ConfigFailure : public ::testing::Test {
protected:
    RecordingMessenger messenger;
    MemoryKeyStore store;
    CLibraryConfig config{store};

    void Put(std::initializer_list<std::string> rest) { store.PutKey(AppPath(rest)); }
};

// --- Reading ---

TEST_F(ConfigFailure, InformationQueryOfEachTopKeyHasItsMessageAndTheOtherKeysAreStillRead) {
    const struct {
        const char* key;
        const char* message;
    } cases[] = {
        {"ExpandedCats", "Error attempting to query registry!\n"},
        {"CustomCats", "Error attempting to query registry!\n"},
        {"CustomSubcats", "Error attempting to query registry for custom subcategories!\n"},
        {"HiddenCats", "Error attempting to query registry!\n"},
        {"HiddenSubcats", "Error attempting to query registry for hidden subcategories!\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        MemoryKeyStore s;
        for (const char* k : {"ExpandedCats", "CustomCats", "CustomSubcats", "HiddenCats", "HiddenSubcats"})
            s.PutKey(AppPath({k, "C++", "GUI"}));
        s.PutValue(AppPath({"CustomCats", "C++"}), "FileName", {false, "f.txt", 0});
        s.FailCall(Op::QueryInfo, keyerr::kAccessDenied, 1, std::string(c.key));
        CLibraryConfig cfg(s);
        messenger.Clear();
        EXPECT_TRUE(cfg.LoadProfile());
        EXPECT_EQ(messenger.Texts(), (Texts{c.message + kDenied}));
        const std::string key = c.key;
        EXPECT_EQ(cfg.g_expandedCats.size(), key == "ExpandedCats" ? 0u : 1u);
        EXPECT_EQ(cfg.g_customCatFiles.size(), key == "CustomCats" ? 0u : 1u);
        EXPECT_EQ(cfg.g_customSubcats.size(), key == "CustomSubcats" ? 0u : 1u);
        EXPECT_EQ(cfg.m_hiddenCats.size(), key == "HiddenCats" ? 0u : 1u);
        EXPECT_EQ(cfg.m_hiddenSubcats.size(), key == "HiddenSubcats" ? 0u : 1u);
        EXPECT_EQ(s.OpenHandleCount(), 0u);
    }
}

TEST_F(ConfigFailure, OpeningACategorySubKeyStopsThatRead) {
    Put({"HiddenSubcats", "A", "x"});
    Put({"HiddenSubcats", "B", "y"});
    Put({"HiddenSubcats", "C", "z"});
    store.FailCall(Op::Open, keyerr::kAccessDenied, 1, std::string("B"));
    EXPECT_TRUE(config.LoadProfile());
    EXPECT_EQ(messenger.Texts(), (Texts{"Error attempting to enumerate registry items!\n" + kDenied}));
    EXPECT_EQ(config.m_hiddenSubcats, (NameSetMap{{"A", {"x"}}}));
    EXPECT_EQ(store.OpenHandleCount(), 0u);

    // Called directly, the read reports failure.
    store.FailCall(Op::Open, keyerr::kAccessDenied, 1, std::string("A"));
    KeyHandle key = config.OpenAppSubKey("HiddenSubcats");
    EXPECT_FALSE(config.ReadCategoryKeys(key, 3, CLibraryConfig::kReadHiddenSubcats));
    store.CloseKey(key);
}

TEST_F(ConfigFailure, ReadingASubcategoryNameSkipsOnlyThatCategory) {
    Put({"ExpandedCats", "A", "x"});
    Put({"ExpandedCats", "B", "y"});
    store.FailCall(Op::Enum, keyerr::kRegistryIO, 1, std::string("A"));
    config.LoadProfile();
    EXPECT_EQ(messenger.Texts(), (Texts{"Error attempting to enumerate registry items!\n" +
                                        MemoryKeyStore::SystemErrorText(keyerr::kRegistryIO)}));
    EXPECT_EQ(config.g_expandedCats, (NameSet{"A", "B"}));
    EXPECT_EQ(config.g_expandedSubcats, (NameSetMap{{"B", {"y"}}}));
}

TEST_F(ConfigFailure, QueryingACategorySubKeySkipsOnlyThatCategory) {
    Put({"CustomSubcats", "A", "x"});
    Put({"CustomSubcats", "B", "y"});
    store.FailCall(Op::QueryInfo, keyerr::kAccessDenied, 1, std::string("A"));
    config.LoadProfile();
    EXPECT_EQ(messenger.Texts(),
              (Texts{"Error attempting to query registry for subcategories!\n" + kDenied}));
    EXPECT_EQ(config.g_customSubcats, (NameSetMap{{"B", {"y"}}}));
}

TEST_F(ConfigFailure, FileNameSizeQueryNamesTheKeyAndTheRestIsRead) {
    Put({"CustomCats", "Tools", "Loops"});
    Put({"CustomCats", "Web"});
    store.PutValue(AppPath({"CustomCats", "Tools"}), "FileName", {false, "t.txt", 0});
    store.PutValue(AppPath({"CustomCats", "Web"}), "FileName", {false, "w.txt", 0});
    store.FailCall(Op::QueryValueSize, keyerr::kRegistryIO, 1, std::string("Tools"));
    config.LoadProfile();
    EXPECT_EQ(messenger.Texts(), (Texts{"Error attempting to obtain FileName value for key Tools.\nReason: " +
                                        MemoryKeyStore::SystemErrorText(keyerr::kRegistryIO)}));
    EXPECT_EQ(config.g_customCatFiles, (std::map<std::string, std::string>{{"Tools", ""}, {"Web", "w.txt"}}));
    EXPECT_EQ(config.g_customCatSubcats, (NameSetMap{{"Tools", {"Loops"}}, {"Web", {}}}));
}

TEST_F(ConfigFailure, FileNameOfTheWrongTypeIsReportedLikeAMissingOne) {
    Put({"CustomCats", "Tools"});
    store.PutValue(AppPath({"CustomCats", "Tools"}), "FileName", {true, "", 3});
    config.LoadProfile();
    EXPECT_EQ(messenger.Texts(), (Texts{"Error attempting to obtain FileName value for key Tools.\nReason: "
                                        "The data is invalid.\r\n"}));
    EXPECT_EQ(config.g_customCatFiles.at("Tools"), "");
}

TEST_F(ConfigFailure, NamesLongerThanTheEnumerationBufferAreReported) {
    Put({"HiddenCats", std::string(260, 'n')});
    Put({"HiddenSubcats", "C++", std::string(300, 's')});
    config.LoadProfile();
    const std::string more = "Error attempting to enumerate registry items!\nMore data is available.\r\n";
    EXPECT_EQ(messenger.Texts(), (Texts{more, more}));
    EXPECT_TRUE(config.m_hiddenCats.empty());
    EXPECT_TRUE(config.m_hiddenSubcats.empty());
}

TEST_F(ConfigFailure, AnApplicationKeyThatCannotBeOpenedReadsNothingSilently) {
    Put({"HiddenCats", "C++"});
    store.FailCall(Op::Open, keyerr::kAccessDenied, 1, std::string("Tindrel"), -1);
    EXPECT_TRUE(config.LoadProfile());
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_TRUE(config.m_hiddenCats.empty());
    EXPECT_TRUE(config.m_bSaveTreeState);
}

// --- Writing ---

TEST_F(ConfigFailure, StoreErrorMessageIsExact) {
    config.ReportStoreError(keyerr::kAccessDenied);
    EXPECT_EQ(messenger.Texts(), (Texts{"Quorrin was unable to store the state of\n"
                                        "the sample tree.\nReason: Access is denied.\r\n\n"
                                        "All sample data is OK, but the tree items will not be expanded\n"
                                        "to match their current state the next time you open the library."}));
    EXPECT_EQ(messenger.shown[0].buttons, MsgButtons::Ok);
}

TEST_F(ConfigFailure, ErrorReasonOfMinusOneIsTheStoresLastError) {
    KeyHandle none = kNoKey;
    store.OpenKey(kCurrentUserKey, "nothing", kKeyRead, none);
    EXPECT_EQ(config.GetErrorReason(), "The system cannot find the file specified.\r\n");
    EXPECT_EQ(config.GetErrorReason(keyerr::kNoMoreItems), "No more data is available.\r\n");
}

TEST_F(ConfigFailure, WritersFailAtTheirFirstStepWhenTheApplicationKeyCannotBeMade) {
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("Software"), -1);
    config.WriteHiddenCat("C++", false);
    config.WriteCustomCat(CustomCategory("Tools"));
    config.WriteExpandedCats();
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5), StoreErrorText(5), StoreErrorText(5)}));
    EXPECT_EQ(DumpApp(store), "");
}

TEST_F(ConfigFailure, UndeletableSubKeyGivesOneMessagePerFailingNameThenTheStoreError) {
    Put({"HiddenSubcats", "C++", "GUI"});
    Put({"HiddenSubcats", "Java", "COM"});
    store.FailCall(Op::Delete, keyerr::kAccessDenied, 1, std::string("GUI"));
    CCategory cpp = DefaultCategory("C++");
    cpp.Slot(2).inUse = false;
    config.WriteHiddenSubcats(cpp);
    EXPECT_EQ(messenger.Texts(),
              (Texts{"Error attempting to delete subkey GUI!\nReason: " + kDenied,
                     "Error attempting to delete subkey C++!\nReason: " + kDenied, StoreErrorText(5)}));
    EXPECT_EQ(DumpApp(store), "HiddenSubcats\nHiddenSubcats / C++\nHiddenSubcats / C++ / GUI\n");

    // The write did not count: the next one rebuilds again and succeeds.
    messenger.Clear();
    config.WriteHiddenSubcats(cpp);
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(DumpApp(store), "HiddenSubcats\nHiddenSubcats / C++\nHiddenSubcats / C++ / COM\n");
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(ConfigFailure, DeletingTheKeyItselfFails) {
    Put({"ExpandedCats", "Old"});
    store.FailCall(Op::Delete, keyerr::kRegistryIO, 1, std::string("ExpandedCats"));
    config.g_expandedSubcats = {{"New", {}}};
    config.WriteExpandedCats();
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(keyerr::kRegistryIO)}));
    EXPECT_EQ(DumpApp(store), "ExpandedCats\n"); // emptied, not rewritten
}

TEST_F(ConfigFailure, RebuiltKeyReportedAsExistingIsAFailureWithCodeZeroAndIsRetried) {
    store.ReportOpenedExisting(std::string("HiddenCats"));
    config.WriteHiddenCat("C++", false);
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(0)}));
    EXPECT_NE(messenger.shown[0].text.find("Reason: The operation completed successfully.\r\n"),
              std::string::npos);
    EXPECT_TRUE(store.SubKeyNames(AppPath({"HiddenCats"})).empty());
    messenger.Clear();
    config.WriteHiddenCat("Java", false);
    EXPECT_TRUE(messenger.shown.empty());
    EXPECT_EQ(store.SubKeyNames(AppPath({"HiddenCats"})), (std::vector<std::string>{"Java"}));
}

TEST_F(ConfigFailure, CreatingOrOpeningTheRebuiltKeyFails) {
    store.FailCall(Op::Create, keyerr::kChildMustBeVolatile, 1, std::string("CustomCats"));
    config.WriteCustomCat(CustomCategory("Tools"));
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(1021)}));
    EXPECT_FALSE(store.KeyExists(AppPath({"CustomCats"})));

    // The open before the rebuild and the one after creating it: fail the second.
    messenger.Clear();
    store.FailCall(Op::Open, keyerr::kAccessDenied, 2, std::string("CustomCats"));
    config.WriteCustomCat(CustomCategory("Tools"));
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5)}));
    EXPECT_EQ(DumpApp(store), "CustomCats\n");
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(ConfigFailure, OpeningTheKeyAtALaterWriteFails) {
    config.WriteHiddenCat("C++", false);
    store.FailCall(Op::Open, keyerr::kAccessDenied, 1, std::string("HiddenCats"));
    config.WriteHiddenCat("Java", false);
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5)}));
    EXPECT_EQ(store.SubKeyNames(AppPath({"HiddenCats"})), (std::vector<std::string>{"C++"}));
}

TEST_F(ConfigFailure, CustomCategoryWriteFailures) {
    // The category key cannot be created: nothing else is written.
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("Tools"));
    config.WriteCustomCat(CustomCategory("Tools", {"Loops"}));
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5)}));
    EXPECT_EQ(DumpApp(store), "CustomCats\n");

    // It cannot be opened after creating it.
    messenger.Clear();
    store.FailCall(Op::Open, keyerr::kAccessDenied, 1, std::string("Tools"));
    config.WriteCustomCat(CustomCategory("Tools", {"Loops"}));
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5)}));
    EXPECT_EQ(DumpApp(store), "CustomCats\nCustomCats / Tools\n");

    // FileName cannot be set and one sub-category cannot be created: the rest is written.
    messenger.Clear();
    store.FailCall(Op::SetString, keyerr::kRegistryIO, 1, std::string("FileName"));
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("Loops"));
    config.WriteCustomCat(CustomCategory("Web", {"Loops", "Strings"}));
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(keyerr::kRegistryIO), StoreErrorText(5)}));
    EXPECT_EQ(DumpApp(store),
              "CustomCats\nCustomCats / Tools\nCustomCats / Web\nCustomCats / Web / Strings\n");
}

TEST_F(ConfigFailure, SubcategoryWriteFailures) {
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("C++"));
    config.WriteCustomSubcats(DefaultCategory("C++", {"A", "B"}));
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5)}));
    EXPECT_EQ(DumpApp(store), "CustomSubcats\n");

    messenger.Clear();
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("A"));
    config.WriteCustomSubcats(DefaultCategory("Java", {"A", "B"}));
    CCategory vb = DefaultCategory("Visual Basic");
    vb.Slot(0).inUse = vb.Slot(1).inUse = false;
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("General"));
    config.WriteHiddenSubcats(vb);
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5), StoreErrorText(5)}));
    EXPECT_EQ(DumpApp(store),
              "CustomSubcats\nCustomSubcats / Java\nCustomSubcats / Java / B\n"
              "HiddenSubcats\nHiddenSubcats / Visual Basic\nHiddenSubcats / Visual Basic / GUI\n");
}

TEST_F(ConfigFailure, HiddenCategoryWriteFailure) {
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("C++"));
    config.WriteHiddenCat("C++", false);
    config.WriteHiddenCat("Java", false);
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5)}));
    EXPECT_EQ(store.SubKeyNames(AppPath({"HiddenCats"})), (std::vector<std::string>{"Java"}));
}

TEST_F(ConfigFailure, ExpandedStateWriteGoesOnAfterEachFailure) {
    config.g_expandedSubcats = {{"A", {"a1"}}, {"B", {"b1"}}, {"C", {"c1", "c2"}}};
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("A"));
    store.FailCall(Op::Open, keyerr::kAccessDenied, 1, std::string("B"));
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("c1"));
    config.WriteExpandedCats();
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5), StoreErrorText(5), StoreErrorText(5)}));
    EXPECT_EQ(DumpApp(store), "ExpandedCats\nExpandedCats / B\nExpandedCats / C\nExpandedCats / C / c2\n");
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

TEST_F(ConfigFailure, AFailedWriteInASaveIsShownOnceAndTheSaveGoesOn) {
    CCategory java = DefaultCategory("Java");
    java.SetDisplayed(false);
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("HiddenCats"));
    config.BeginLibrarySave();
    config.RecordCategory(java);
    config.RecordCategory(CustomCategory("Tools"));
    config.EndLibrarySave();
    // The only write of HiddenCats failed: it is not tried again at the end of the save.
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5)}));
    EXPECT_EQ(DumpApp(store), "CustomCats\nCustomCats / Tools { FileName='quorrinTools.txt' }\n"
                              "CustomSubcats\nHiddenSubcats\n");

    // A key no category writes to is rebuilt empty at the end; its failure is shown once.
    messenger.Clear();
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("CustomCats"));
    config.BeginLibrarySave();
    config.RecordCategory(DefaultCategory("C++"));
    config.EndLibrarySave();
    EXPECT_EQ(messenger.Texts(), (Texts{StoreErrorText(5)}));
    EXPECT_FALSE(store.KeyExists(AppPath({"CustomCats"})));
}

} // namespace
