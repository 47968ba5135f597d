// Loading and saving the library: default and custom categories, files that cannot be
// opened, the changed categories a save writes, and the configuration it records.
#include <sys/stat.h>

#include "DocTestSupport.h"

namespace {

using DocLoad = DocFixture;
using Strings = std::vector<std::string>;

// Each category as "name file kind shown: its slots (name, c for custom, + for in use)".
std::string Describe(const CCategory& c) {
    std::string out = c.GetName() + " " + c.GetFileName() + (c.IsCustom() ? " custom" : " default") +
                      (c.IsDisplayed() ? " shown:" : " hidden:");
    for (int i = 0; i < kSlotCount; ++i)
        if (!c.Slot(i).name.empty() || c.Slot(i).inUse || c.Slot(i).custom != (i >= kDefaultSlotCount))
            out += " " + c.Slot(i).name + (c.Slot(i).custom ? "c" : "") + (c.Slot(i).inUse ? "+" : "");
    return out;
}

TEST_F(DocLoad, WithoutAConfigurationTheThreeDefaultsAreThere) {
    WriteFileBytes("library.txt", "my notes\n");     // a user's own library.txt keeps its content
    WriteFileBytes("quorrinvb.txt.tmp-a1B2c3", "x"); // left by a crash during a save
    Load();
    EXPECT_FALSE(fileio::FileExists("quorrinvb.txt.tmp-a1B2c3"));
    Strings described;
    for (const auto& [name, category] : doc->Categories())
        described.push_back(Describe(*category));
    EXPECT_EQ(described, (Strings{"C++ quorrincpp.txt default shown: General+ GUI+ COM+",
                                  "Java quorrinjava.txt default shown: General+ GUI+ COM+",
                                  "Visual Basic quorrinvb.txt default shown: General+ GUI+ COM+"}));
    EXPECT_EQ(ReadFileBytes("library.txt"), "my notes\n");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(doc->CanSave());
    Close();
    std::remove("library.txt");
    Load();
    EXPECT_EQ(ReadFileBytes("library.txt"), ""); // made when absent
}

TEST_F(DocLoad, CustomCategoriesAndSubcategoriesComeFromTheConfiguration) {
    ConfigureCustom("Tools", "tools.txt", {"Sorting", "Hashing"});
    ConfigureCustom("C++", "other.txt", {}); // a name already present is not inserted again
    for (int i = 0; i < 14; ++i)             // twelve custom sub-categories at most
        store.PutKey(AppPath({"CustomSubcats", "Java", "S" + std::string(1, static_cast<char>('a' + i))}));
    store.PutKey(AppPath({"HiddenCats", "Visual Basic"}));
    store.PutKey(AppPath({"HiddenSubcats", "Java", "COM"}));
    store.PutKey(AppPath({"CustomCats", "NoFile"})); // no FileName value
    Load();

    Strings described;
    for (const auto& [name, category] : doc->Categories())
        described.push_back(Describe(*category));
    EXPECT_EQ(described,
              (Strings{"C++ quorrincpp.txt default shown: General+ GUI+ COM+",
                       "Java quorrinjava.txt default shown: General+ GUI+ COM Sac+ Sbc+ Scc+ Sdc+ Sec+ Sfc+ "
                       "Sgc+ Shc+ Sic+ Sjc+ Skc+ Slc+",
                       "Tools tools.txt custom shown: Hashingc+ Sortingc+",
                       "Visual Basic quorrinvb.txt default hidden: General+ GUI+ COM+"}));
    EXPECT_TRUE(doc->AnyHidden());
    // The configuration's about the category without a file; that category has no file in
    // this folder, so it is not this library's.
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Error attempting to obtain FileName value for key NoFile.", 0), 0u);
}

TEST_F(DocLoad, AFileThatCannotBeOpenedGivesAnEmptyCategoryWhoseSaveKeepsTheFile) {
    WriteFileBytes("quorrinjava.txt", FileBytes({MakeSample("J1", "Java")}));
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("C1", "C++")}));
    fileio::File holder;
    int cause = 0;
    ASSERT_TRUE(holder.OpenExclusive("quorrinjava.txt", cause));
    Load();
    EXPECT_EQ(messages.shown.size(), 2u); // the file's message, then the category's
    EXPECT_EQ(Titles(), Strings{"C1"});
    ASSERT_NE(doc->PeekCategory("Java"), nullptr);
    // Once the file can be opened again, a save of the category keeps what it held.
    holder.Close(cause);
    Add(MakeSample("J2", "Java"));
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"),
              FileBytes({MakeSample("J1", "Java"), MakeSample("J2", "Java")}));
}

TEST_F(DocLoad, ASampleFiledInAnotherCategorysFileLeavesItOnlyOnceItsOwnFileHoldsIt) {
    const std::string cpp =
        FileBytes({MakeSample("Mine", "C++"), MakeSample("Stray", "Java"), MakeSample("Wander", "Java")});
    WriteFileBytes("quorrincpp.txt", cpp);
    Load();
    EXPECT_TRUE(ChangedCategories().empty()); // placing it marks nothing changed
    EXPECT_EQ(doc->PeekSample("Stray")->GetCategory(), "Java");
    // Saving C++ for another reason keeps the records: the Java file does not hold them yet.
    doc->MarkCategoryChanged("C++");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), cpp);
    // Retitled while the Java file cannot be written: the record waits under the new title.
    ASSERT_TRUE(doc->RetitleSample("Wander", "Wandered"));
    fileio::File holder;
    int cause = 0;
    ASSERT_TRUE(holder.OpenExclusive("quorrinjava.txt", cause));
    EXPECT_FALSE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), cpp);
    holder.Close(cause);
    // Once the Java file holds them, the C++ file lets them go in the same save.
    doc->MarkCategoryChanged("Java");
    doc->MarkCategoryChanged("C++");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"),
              FileBytes({MakeSample("Stray", "Java"), MakeSample("Wandered", "Java")}));
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("Mine", "C++")}));
    EXPECT_TRUE(ChangedCategories().empty());
    Close();
    Load(); // found once, in its own category, and nothing is changed any more
    EXPECT_EQ(Titles(), (Strings{"Mine", "Stray", "Wandered"}));
    EXPECT_EQ(errors.GetCount(), 0);
    EXPECT_FALSE(doc->CanSave());
}

TEST_F(DocLoad, ReadOnlyReadsLockedFilesAndCreatesChangesAndSavesNothing) {
    const std::string cpp = FileBytes({MakeSample("Only", "C++"), MakeSample("Stray", "Java")});
    WriteFileBytes("quorrincpp.txt", cpp);
    WriteFileBytes("quorrincpp.txt.tmp-a1B2c3", "x");
    fileio::File holder;
    int cause = 0;
    ASSERT_TRUE(holder.OpenExclusive("quorrincpp.txt", cause));
    Load(LoadMode::ReadOnly);
    EXPECT_TRUE(doc->IsReadOnly());
    EXPECT_EQ(Titles(), (Strings{"Only", "Stray"}));
    for (const char* absent : {"library.txt", "quorrinjava.txt", "quorrinvb.txt"})
        EXPECT_FALSE(fileio::FileExists(absent)) << absent;
    EXPECT_TRUE(fileio::FileExists("quorrincpp.txt.tmp-a1B2c3"));
    EXPECT_TRUE(messages.shown.empty());
    doc->DeleteSample("Only"); // in memory only
    EXPECT_FALSE(doc->CanSave());
    EXPECT_FALSE(doc->OnSaveDocument());
    Close();
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), cpp);
    EXPECT_FALSE(fileio::FileExists("quorrinjava.txt"));
}

// --- Saving ---------------------------------------------------------------------------

using DocSave = DocFixture;

TEST_F(DocSave, WritesExactlyTheChangedCategoriesInTitleOrderAndRecordsEveryCategory) {
    ConfigureCustom("Tools", "tools.txt", {"Sorting"});
    store.PutKey(AppPath({"HiddenCats", "Java"}));
    WriteFileBytes("quorrinjava.txt", FileBytes({MakeSample("J", "Java")}));
    Load();
    struct stat javaBefore {};
    ASSERT_EQ(stat("quorrinjava.txt", &javaBefore), 0);
    Add(MakeSample("zeta", "C++", "GUI", "k1,k2", "c\r\n", "t\r\n"));
    Add(MakeSample("Beta", "C++"));
    Add(MakeSample("alpha", "C++", ""));
    EXPECT_EQ(ChangedCategories(), Strings{"C++"});
    WriteFileBytes("quorrinvb.txt", "not a category file"); // unchanged files are not touched
    store.ClearTree();

    ASSERT_TRUE(doc->OnSaveDocument());
    ExpectFileEq(FileAt{"quorrincpp.txt"}, "document/title-order.txt"); // "Beta" < "alpha" < "zeta"
    EXPECT_EQ(ReadFileBytes("quorrinvb.txt"), "not a category file");
    struct stat javaAfter {};
    ASSERT_EQ(stat("quorrinjava.txt", &javaAfter), 0);
    EXPECT_EQ(javaAfter.st_ino, javaBefore.st_ino);
    EXPECT_TRUE(ChangedCategories().empty());
    EXPECT_EQ(view.calls, Strings{"saved"});
    EXPECT_EQ(DumpApp(store), "CustomCats\nCustomCats / Tools { FileName='tools.txt' }\nCustomCats / Tools / "
                              "Sorting\nCustomSubcats\nHiddenCats\nHiddenCats / Java\nHiddenSubcats\n");
}

TEST_F(DocSave, AFileThatCannotBeOpenedStopsTheSaveAndKeepsLaterCategoriesChanged) {
    ConfigureCustom("Tools", "tools.txt", {});
    Load();
    Add(MakeSample("c", "C++"));
    Add(MakeSample("j", "Java"));
    Add(MakeSample("t", "Tools", ""));
    fileio::File holder;
    int cause = 0;
    ASSERT_TRUE(holder.OpenExclusive("quorrinjava.txt", cause));
    store.ClearTree();
    EXPECT_FALSE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("c", "C++")}));
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), "");
    EXPECT_EQ(ReadFileBytes("tools.txt"), "");
    EXPECT_EQ(ChangedCategories(), (Strings{"Java", "Tools"}));
    EXPECT_EQ(messages.shown.size(), 1u);
    // The configuration is rebuilt by the save: categories after the failure are kept.
    EXPECT_TRUE(store.KeyExists(AppPath({"CustomCats", "Tools"})));
    EXPECT_TRUE(view.calls.empty());

    holder.Close(cause);
    messages.Clear();
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), FileBytes({MakeSample("j", "Java")}));
    EXPECT_EQ(ReadFileBytes("tools.txt"), FileBytes({MakeSample("t", "Tools", "")}));
    EXPECT_TRUE(ChangedCategories().empty());
    EXPECT_TRUE(messages.shown.empty()); // the file was read whole: no backup is made
}

TEST_F(DocSave, AFailedWriteKeepsTheOldFileAndTheChangedMark) {
    Load();
    Add(MakeSample("new", "C++"));
    fileio::Faults::FailNext(fileio::Op::Write, fileio::kDiskFull);
    EXPECT_TRUE(doc->OnSaveDocument()); // opened: the save goes on
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), "");
    EXPECT_EQ(ChangedCategories(), Strings{"C++"});
    EXPECT_EQ(messages.Texts().size(), 1u);
}

// A file that could not be read at all has no "unreadable part" of its own bytes: nothing
// of the file read before it (whose bytes the reading buffer still holds) goes into it.
TEST_F(DocSave, AFileThatCouldNotBeReadGetsNothingOfAnotherFile) {
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("First", "C++")}));
    const std::string java = FileBytes({MakeSample("J", "Java")});
    WriteFileBytes("quorrinjava.txt", java);
    fileio::SetFaultHook([](const fileio::FaultPoint& p, std::size_t&) {
        return static_cast<int>(p.op == fileio::Op::Read && p.path == "quorrinjava.txt" ? fileio::kHardIO
                                                                                          : fileio::kNone);
    });
    Load();
    fileio::SetFaultHook(nullptr);
    Add(MakeSample("Added", "Java"));
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), FileBytes({MakeSample("Added", "Java")}));
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt.bak"), java); // what it held is kept aside
}

// The files are read one after another and parsed on other threads meanwhile: what each
// has to say still comes in category order, and each keeps its own unreadable part.
TEST_F(DocLoad, WhatTheFilesSayComesInCategoryOrder) {
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("First", "C++")}) + "broken C++\r\n");
    WriteFileBytes("quorrinjava.txt", FileBytes({MakeSample("J", "Java")}));
    WriteFileBytes("quorrinvb.txt", FileBytes({MakeSample("V", "Visual Basic")}) + "broken VB\r\n");
    fileio::SetFaultHook([](const fileio::FaultPoint& p, std::size_t&) {
        return static_cast<int>(p.op == fileio::Op::Read && p.path == "quorrinjava.txt" ? fileio::kHardIO
                                                                                          : fileio::kNone);
    });
    Load();
    fileio::SetFaultHook(nullptr);
    const std::vector<std::string> texts = messages.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "Error processing at start of sample.\nInput file quorrincpp.txt not in proper sequence!");
    EXPECT_EQ(texts[1].rfind("Unable to read from file quorrinjava.txt.", 0), 0u) << texts[1];
    EXPECT_EQ(texts[2], "Error processing at start of sample.\nInput file quorrinvb.txt not in proper sequence!");
    EXPECT_EQ(Titles(), (Strings{"First", "V"}));
    Add(MakeSample("Added", "Visual Basic"));
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("First", "C++")}) + "broken C++\r\n");
    EXPECT_EQ(ReadFileBytes("quorrinvb.txt"),
              FileBytes({MakeSample("Added", "Visual Basic"), MakeSample("V", "Visual Basic")}) + "broken VB\r\n");
}

TEST_F(DocSave, TheUnreadablePartOfAFileStaysAtItsEndByteForByte) {
    const std::string tail = "broken\r\n" + FileBytes({MakeSample("Behind", "C++")}) + ">>>>SAMPLE_BEGIN>>";
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("First", "C++")}) + tail);
    Load();
    EXPECT_EQ(Titles(), Strings{"First"});
    Add(MakeSample("Added", "C++"));
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_FALSE(fileio::FileExists("quorrincpp.txt.bak"));
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"),
              FileBytes({MakeSample("Added", "C++"), MakeSample("First", "C++")}) + tail);
    EXPECT_EQ(messages.Texts().size(), 1u); // the sequence error
}

// Two libraries in one process, neither in the current folder: each document reads,
// merges, moves and writes only the files of its own folder.
TEST_F(DocLoad, TwoLibraryFoldersInOneProcess) {
    ASSERT_EQ(::mkdir("one", 0700), 0);
    ASSERT_EQ(::mkdir("two", 0700), 0);
    const std::string one = dir.File("one"), two = dir.File("two");
    WriteFileBytes(one + "/quorrincpp.txt", FileBytes({MakeSample("First", "C++")}));
    WriteFileBytes(one + "/quorrinjava.txt", "broken\r\n");
    ConfigureCustom("Tools", "quorrinTools.txt", {"Sorting"});
    std::rename("quorrinTools.txt", (two + "/quorrinTools.txt").c_str()); // the second library's
    config.LoadProfile();
    CLoadErrorList errorsTwo;
    CQuorrinDoc docOne(config, errors), docTwo(config, errorsTwo);
    docOne.SetFolder(one);
    docTwo.SetFolder(two);
    ASSERT_TRUE(docOne.OnNewDocument());
    ASSERT_TRUE(docTwo.OnNewDocument());
    ASSERT_NE(docOne.PeekSample("First"), nullptr);
    EXPECT_EQ(docTwo.PeekSample("First"), nullptr);
    CSample moved = *docOne.PeekSample("First");
    moved.SetCategory("Java");
    ASSERT_TRUE(docOne.UpdateSample("First", moved));
    docTwo.AddSample(std::make_unique<CSample>(MakeSample("Second", "Tools", "Sorting")));
    ASSERT_TRUE(docOne.OnSaveDocument());
    ASSERT_TRUE(docTwo.OnSaveDocument());
    EXPECT_EQ(ReadFileBytes(one + "/quorrinjava.txt"), FileBytes({moved}) + "broken\r\n");
    EXPECT_EQ(ReadFileBytes(one + "/quorrincpp.txt"), "");
    EXPECT_EQ(ReadFileBytes(two + "/quorrinTools.txt"), FileBytes({MakeSample("Second", "Tools", "Sorting")}));
    EXPECT_TRUE(fileio::FileExists(two + "/library.txt"));
    for (const char* name : {"quorrincpp.txt", "quorrinTools.txt", "library.txt"})
        EXPECT_FALSE(fileio::FileExists(name)) << name;
}

} // namespace

namespace {

// A sample its file cannot hold fails the save of that file once: one message, the walk
// stops, the file keeps what it held and the category stays marked for the next save.
TEST_F(DocLoad, ASaveStopsAtTheFirstSampleItsFileCannotHold) {
    const std::string old = FileBytes({MakeSample("Old", "Java")});
    WriteFileBytes("quorrinjava.txt", old);
    Load();
    ASSERT_TRUE(Add(MakeSample("Bad\none", "Java")));
    ASSERT_TRUE(Add(MakeSample("Bad\ntwo", "Java")));
    doc->OnSaveDocument();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("cannot be written to file quorrinjava.txt"), std::string::npos);
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), old);
    EXPECT_TRUE(doc->CanSave());
}

} // namespace
