// The library's structure lives in its folder: taken over from a configuration once,
// seen from any other configuration, category files nobody configured shown, and no
// empty files made at start.
#include "DocTestSupport.h"

#include "library/LibraryStructure.h"

namespace {

using FolderStructure = DocFixture;
using Strings = std::vector<std::string>;

Strings CategoryNames(const CQuorrinDoc& doc) {
    Strings names;
    for (const auto& [name, category] : doc.Categories())
        names.push_back(name);
    return names;
}

Strings Slots(const CQuorrinDoc& doc, const std::string& category) {
    Strings names;
    const CCategory* c = doc.PeekCategory(category);
    for (int i = 0; c && i < kSlotCount; ++i)
        if (!c->Slot(i).name.empty())
            names.push_back(c->Slot(i).name);
    return names;
}

TEST_F(FolderStructure, ALibraryMadeUnderOneConfigurationIsSeenFromAFreshOne) {
    // This folder's category and one the user made for another folder.
    WriteFileBytes("quorrinTools.txt", FileBytes({MakeSample("Quick", "Tools", "Sorting")}));
    ConfigureCustom("Tools", "quorrinTools.txt", {"Sorting", "Empty"});
    store.PutValue(AppPath({"CustomCats", "Tools"}), "Language", MemoryKeyStore::Value{false, "Python", 0});
    store.PutKey(AppPath({"CustomCats", "Elsewhere"}));
    store.PutValue(AppPath({"CustomCats", "Elsewhere"}), "FileName",
                   MemoryKeyStore::Value{false, "quorrinElsewhere.txt", 0});
    store.PutKey(AppPath({"CustomSubcats", "Java", "Streams"}));
    // On a file the library cannot give it: not taken over.
    store.PutKey(AppPath({"CustomCats", "Twin"}));
    store.PutValue(AppPath({"CustomCats", "Twin"}), "FileName", MemoryKeyStore::Value{false, "quorrinTools.txt", 0});
    Load();
    EXPECT_EQ(CategoryNames(*doc), (Strings{"C++", "Java", "Tools", "Visual Basic"}));
    EXPECT_FALSE(fileio::FileExists("quorrinElsewhere.txt"));
    // Written at the first open, the configuration left as it was.
    EXPECT_EQ(ReadFileBytes(kStructureFileName), "TindrelLibrary 1\n"
                                                 "category \"Java\"\n"
                                                 "subcategory \"Java\" \"Streams\"\n"
                                                 "category \"Tools\" file \"quorrinTools.txt\" language \"Python\"\n"
                                                 "subcategory \"Tools\" \"Empty\"\n"
                                                 "subcategory \"Tools\" \"Sorting\"\n"
                                                 "end\n");
    Close();
    CLibraryConfig again(store); // the other folder's category stays in the configuration
    again.LoadProfile();
    EXPECT_EQ(again.g_customCatFiles.count("Elsewhere"), 1u);

    // Another user: nothing in the configuration.
    MemoryKeyStore freshStore;
    CLibraryConfig fresh(freshStore);
    fresh.LoadProfile();
    CLoadErrorList freshErrors;
    CQuorrinDoc other(fresh, freshErrors);
    ASSERT_TRUE(other.OnNewDocument(LoadMode::ReadOnly));
    EXPECT_EQ(CategoryNames(other), (Strings{"C++", "Java", "Tools", "Visual Basic"}));
    EXPECT_EQ(Slots(other, "Tools"), (Strings{"Empty", "Sorting"}));
    EXPECT_EQ(Slots(other, "Java"), (Strings{"General", "GUI", "COM", "Streams"}));
    EXPECT_NE(other.PeekSample("Quick"), nullptr);
}

TEST_F(FolderStructure, TheStructureFollowsTheLibrarysChangesAndNeverForgetsWhatItLeftOut) {
    WriteFileBytes(kStructureFileName, "TindrelLibrary 1\n"
                                       "category \"Tools\" file \"quorrinTools.txt\"\n"
                                       "category \"Bad\" file \"../outside.txt\"\n"
                                       "end\n");
    Load();
    EXPECT_EQ(CategoryNames(*doc), (Strings{"C++", "Java", "Tools", "Visual Basic"}));
    EXPECT_EQ(messages.shown.size(), 1u); // the file name outside the folder
    auto added = std::make_unique<CCategory>("Rust");
    ASSERT_TRUE(doc->AddCategory(std::move(added)));
    doc->AddCustomSubcategoryToConfig("Tools", "Graphs");
    CCategory tools = *doc->PeekCategory("Tools");
    tools.Slot(0) = SubcategorySlot{"Graphs", true, true};
    ASSERT_TRUE(doc->UpdateCategory("Tools", tools));
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes(kStructureFileName), "TindrelLibrary 1\n"
                                                 "category \"Bad\" file \"../outside.txt\"\n"
                                                 "category \"Rust\" file \"quorrinRust.txt\"\n"
                                                 "category \"Tools\" file \"quorrinTools.txt\"\n"
                                                 "subcategory \"Tools\" \"Graphs\"\n"
                                                 "end\n");
    doc->DeleteCategoryAndSamples("Rust");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes(kStructureFileName).find("Rust"), std::string::npos);
}

TEST_F(FolderStructure, ACategoryFileNobodyConfiguredIsShownAndKept) {
    WriteFileBytes("quorrinRust.txt", FileBytes({MakeSample("Borrow", "Rust", "Lifetimes"),
                                                 MakeSample("Box", "Rust", "")}));
    // Records that name another category than the file: named after the file.
    WriteFileBytes("quorrinGo.txt", FileBytes({MakeSample("Chan", "Golang", "Sync"), MakeSample("Defer", "Go", "")}));
    // A copy of a category that has its own file: neither loaded nor changed.
    const std::string copy = FileBytes({MakeSample("J1", "Java")});
    WriteFileBytes("quorrinjava copy.txt", copy);
    Load(LoadMode::ReadOnly);
    EXPECT_EQ(CategoryNames(*doc), (Strings{"C++", "Go", "Java", "Rust", "Visual Basic"}));
    EXPECT_TRUE(messages.shown.size() == 1u && messages.shown[0].text.find("quorrinjava copy.txt") != std::string::npos);
    EXPECT_FALSE(fileio::FileExists(kStructureFileName));
    doc.reset();
    messages.Clear();
    errors.Remove("Chan");

    Load();
    EXPECT_EQ(Titles(), (Strings{"Borrow", "Box", "Defer"}));
    EXPECT_EQ(Slots(*doc, "Rust"), (Strings{"Lifetimes"}));
    EXPECT_EQ(ErrorTitles(), Strings{"Chan"}); // names a category the library lacks: kept in its file
    EXPECT_EQ(ReadFileBytes("quorrinjava copy.txt"), copy);
    Close();
    EXPECT_EQ(ReadFileBytes(kStructureFileName), "TindrelLibrary 1\n"
                                                 "category \"Go\" file \"quorrinGo.txt\"\n"
                                                 "category \"Rust\" file \"quorrinRust.txt\"\n"
                                                 "subcategory \"Rust\" \"Lifetimes\"\n"
                                                 "end\n");
    // A structure file lost: rebuilt from the files, nothing of them dropped.
    std::remove(kStructureFileName);
    Load();
    EXPECT_EQ(Titles(), (Strings{"Borrow", "Box", "Defer"}));
    EXPECT_TRUE(fileio::FileExists(kStructureFileName));
}

TEST_F(FolderStructure, ADamagedStructureFileIsCopiedAsideAndItsCategoriesStay) {
    WriteFileBytes("quorrinTools.txt", FileBytes({MakeSample("Quick", "Tools", "Sorting")}));
    const std::string cut = "TindrelLibrary 1\ncategory \"Tools\" file \"quorrinTools.txt\"\nsubcategory \"Tools\" \"Sor";
    WriteFileBytes(kStructureFileName, cut);
    Load();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(doc->PeekSample("Quick"), nullptr); // its sub-category taken from its record
    EXPECT_EQ(ReadFileBytes(std::string(kStructureFileName) + ".bak"), cut);
    EXPECT_EQ(ReadFileBytes(kStructureFileName),
              "TindrelLibrary 1\ncategory \"Tools\" file \"quorrinTools.txt\"\nsubcategory \"Tools\" \"Sorting\"\nend\n");
}

TEST_F(FolderStructure, CategoriesAnotherProgramAddsAreTakenInAndKept) {
    ConfigureCustom("Tools", "quorrinTools.txt", {"Sorting"});
    Load();
    ASSERT_TRUE(fileio::FileExists(kStructureFileName));
    // tindrel-cli category add, subcategory add.
    const std::string theirs = "TindrelLibrary 1\n"
                               "category \"Rust\" file \"quorrinRust.txt\" language \"rust\"\n"
                               "subcategory \"Rust\" \"Async\"\n"
                               "category \"Tools\" file \"quorrinTools.txt\"\n"
                               "subcategory \"Tools\" \"Sorting\"\n"
                               "subcategory \"Tools\" \"Graphs\"\n"
                               "end\n";
    WriteFileBytes(kStructureFileName, theirs);
    doc->ReloadChangedCategories();
    EXPECT_EQ(view.outside, (Strings{"Rust: new category from another program",
                                     "Tools: 1 new sub-category from another program"}));
    EXPECT_EQ(Slots(*doc, "Rust"), Strings{"Async"});
    EXPECT_EQ(Slots(*doc, "Tools"), (Strings{"Sorting", "Graphs"}));
    EXPECT_EQ(doc->CategoryLanguageWord("Rust"), "rust");
    view.outside.clear();
    doc->ReloadChangedCategories(); // once only
    EXPECT_TRUE(view.outside.empty());
    ASSERT_TRUE(Add(MakeSample("Spawn", "Rust", "Async")));
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes(kStructureFileName), theirs);
}

TEST_F(FolderStructure, TwoCopiesChangingTheStructureAtOnceKeepBothSidesChanges) {
    WriteFileBytes("quorrinTools.txt", FileBytes({MakeSample("Quick", "Tools", "Sorting")}));
    WriteFileBytes(kStructureFileName, "TindrelLibrary 1\n"
                                       "category \"C++\"\n"
                                       "subcategory \"C++\" \"Templates\"\n"
                                       "category \"Old\" file \"quorrinOld.txt\"\n"
                                       "category \"Tools\" file \"quorrinTools.txt\"\n"
                                       "subcategory \"Tools\" \"Sorting\"\n"
                                       "subcategory \"Tools\" \"Empty\"\n"
                                       "end\n");
    Load();
    // Here: a new category and a new sub-category.
    ASSERT_TRUE(doc->AddCategory(std::make_unique<CCategory>("Rust")));
    doc->AddCustomSubcategoryToConfig("Tools", "Graphs");
    CCategory tools = *doc->PeekCategory("Tools");
    tools.Slot(2) = SubcategorySlot{"Graphs", true, true};
    ASSERT_TRUE(doc->UpdateCategory("Tools", tools));
    // Meanwhile another copy deleted "Old" and two sub-categories of Tools (one still
    // holds a sample), added a category and a sub-category of a default one.
    WriteFileBytes(kStructureFileName, "TindrelLibrary 1\n"
                                       "category \"C++\"\n"
                                       "subcategory \"C++\" \"Templates\"\n"
                                       "subcategory \"C++\" \"Atomics\"\n"
                                       "category \"Go\" file \"quorrinGo.txt\"\n"
                                       "subcategory \"Go\" \"Chan\"\n"
                                       "category \"Tools\" file \"quorrinTools.txt\"\n"
                                       "end\n");
    ASSERT_TRUE(doc->OnSaveDocument());
    const std::string merged = "TindrelLibrary 1\n"
                               "category \"C++\"\n"
                               "subcategory \"C++\" \"Templates\"\n"
                               "subcategory \"C++\" \"Atomics\"\n"
                               "category \"Go\" file \"quorrinGo.txt\"\n"
                               "subcategory \"Go\" \"Chan\"\n"
                               "category \"Rust\" file \"quorrinRust.txt\"\n"
                               "category \"Tools\" file \"quorrinTools.txt\"\n"
                               "subcategory \"Tools\" \"Sorting\"\n"
                               "subcategory \"Tools\" \"Graphs\"\n"
                               "end\n";
    EXPECT_EQ(ReadFileBytes(kStructureFileName), merged);
    EXPECT_EQ(CategoryNames(*doc), (Strings{"C++", "Go", "Java", "Rust", "Tools", "Visual Basic"}));
    EXPECT_EQ(Slots(*doc, "Tools"), (Strings{"Sorting", "Graphs"}));
    EXPECT_NE(doc->PeekSample("Quick"), nullptr);
    // The next save keeps it so; a fresh load sees the same.
    ASSERT_TRUE(doc->OnSaveDocument());
    Close();
    EXPECT_EQ(ReadFileBytes(kStructureFileName), merged);
    Load();
    EXPECT_EQ(Slots(*doc, "C++"), (Strings{"General", "GUI", "COM", "Templates", "Atomics"}));
}

TEST_F(FolderStructure, NoEmptyFileIsMadeAtStart) {
    Load();
    for (const char* file : {"quorrincpp.txt", "quorrinjava.txt", "quorrinvb.txt", kStructureFileName})
        EXPECT_FALSE(fileio::FileExists(file)) << file;
    ASSERT_TRUE(Add(MakeSample("First", "Java")));
    Close(); // the last save
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), FileBytes({MakeSample("First", "Java")}));
    EXPECT_FALSE(fileio::FileExists("quorrincpp.txt"));
}

} // namespace
