// Loading and saving the library: default and custom categories, duplicates, files
// that cannot be opened, the changed categories a save writes, and the configuration
// it records.
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <random>

#include "DocTestSupport.h"

namespace {

using DocLoad = DocFixture;

TEST_F(DocLoad, NoConfigurationGivesTheThreeDefaultsWithEmptyFiles) {
    Load();
    ASSERT_EQ(doc->GetCategoryCount(), 3);
    const char* files[] = {"quorrincpp.txt", "quorrinjava.txt", "quorrinvb.txt"};
    int i = 0;
    for (const auto& [name, category] : doc->Categories()) {
        EXPECT_EQ(name, CQuorrinDoc::kDefaultCategories[i]);
        EXPECT_EQ(category->GetFileName(), files[i]);
        EXPECT_TRUE(category->IsDefault());
        EXPECT_TRUE(category->IsDisplayed());
        EXPECT_FALSE(category->IsChanged());
        EXPECT_EQ(category->Slot(0).name, "General");
        EXPECT_EQ(category->Slot(1).name, "GUI");
        EXPECT_EQ(category->Slot(2).name, "COM");
        for (int slot = 0; slot < 3; ++slot) {
            EXPECT_FALSE(category->Slot(slot).custom);
            EXPECT_TRUE(category->Slot(slot).inUse);
        }
        for (int slot = 3; slot < kSlotCount; ++slot) {
            EXPECT_EQ(category->Slot(slot).name, "");
            EXPECT_TRUE(category->Slot(slot).custom);
            EXPECT_FALSE(category->Slot(slot).inUse);
        }
        EXPECT_TRUE(fileio::FileExists(files[i]));
        EXPECT_EQ(ReadFileBytes(files[i]), "");
        ++i;
    }
    EXPECT_EQ(doc->GetSampleCount(), 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(doc->CanSave());
    EXPECT_FALSE(CQuorrinDoc::CanNew());
    EXPECT_FALSE(CQuorrinDoc::CanOpen());
}

TEST_F(DocLoad, PlaceholderIsCreatedOnlyWhenAbsent) {
    Load();
    EXPECT_TRUE(fileio::FileExists("library.txt"));
    EXPECT_EQ(ReadFileBytes("library.txt"), "");
    Close();

    // A user's own library.txt keeps its content.
    WriteFileBytes("library.txt", "my notes\n");
    Load();
    EXPECT_EQ(ReadFileBytes("library.txt"), "my notes\n");
}

TEST_F(DocLoad, CustomCategoriesAndSubcategoriesComeFromTheConfiguration) {
    ConfigureCustom("Tools", "tools.txt", {"Sorting", "Hashing"});
    ConfigureCustom("C++", "other.txt", {}); // a name already present is not inserted again
    store.PutKey(AppPath({"CustomSubcats", "Java", "Swing"}));
    store.PutKey(AppPath({"HiddenCats", "Visual Basic"}));
    store.PutKey(AppPath({"HiddenSubcats", "Java", "COM"}));
    Load();

    ASSERT_EQ(doc->GetCategoryCount(), 4);
    const CCategory* tools = doc->PeekCategory("Tools");
    ASSERT_NE(tools, nullptr);
    EXPECT_TRUE(tools->IsCustom());
    EXPECT_EQ(tools->GetFileName(), "tools.txt");
    EXPECT_TRUE(tools->IsDisplayed());
    // The configuration's order is byte order.
    EXPECT_EQ(tools->Slot(0).name, "Hashing");
    EXPECT_EQ(tools->Slot(1).name, "Sorting");
    EXPECT_TRUE(tools->Slot(0).custom && tools->Slot(0).inUse);
    EXPECT_EQ(tools->Slot(2).name, "");
    EXPECT_TRUE(fileio::FileExists("tools.txt"));

    EXPECT_EQ(doc->PeekCategory("C++")->GetFileName(), "quorrincpp.txt");
    EXPECT_FALSE(fileio::FileExists("other.txt"));

    const CCategory* java = doc->PeekCategory("Java");
    EXPECT_EQ(java->Slot(3).name, "Swing");
    EXPECT_TRUE(java->Slot(3).custom && java->Slot(3).inUse);
    EXPECT_FALSE(java->Slot(2).inUse); // COM hidden
    EXPECT_TRUE(java->Slot(1).inUse);
    EXPECT_FALSE(doc->PeekCategory("Visual Basic")->IsDisplayed());
    EXPECT_TRUE(doc->AnyHidden());

    // Categories come in byte order: "C++" < "Java" < "Tools" < "Visual Basic".
    std::vector<std::string> names;
    for (const auto& [name, category] : doc->Categories())
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"C++", "Java", "Tools", "Visual Basic"}));
}

TEST_F(DocLoad, MoreThanTwelveCustomSubcategoriesAreCut) {
    for (int i = 0; i < 14; ++i)
        store.PutKey(AppPath({"CustomSubcats", "C++", "S" + std::string(1, static_cast<char>('a' + i))}));
    Load();
    const CCategory* cpp = doc->PeekCategory("C++");
    EXPECT_EQ(cpp->Slot(3).name, "Sa");
    EXPECT_EQ(cpp->Slot(14).name, "Sl");
    EXPECT_EQ(cpp->FindSlot("Sm"), -1);
}

TEST_F(DocLoad, CustomCategoryWithoutFileNameReportsIt) {
    store.PutKey(AppPath({"CustomCats", "Tools"})); // no FileName value
    Load();
    ASSERT_NE(doc->PeekCategory("Tools"), nullptr);
    EXPECT_EQ(doc->PeekCategory("Tools")->GetFileName(), "");
    std::vector<std::string> texts = messages.Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "Unable to open file associated with category Tools.\n"
                                       "Reason: File name is missing.\n"
                                       "Probable cause: Tindrel could not read file name from Registry key.");
    EXPECT_EQ(texts.back(),
              "Could not open the file for category Tools.\nSamples for this category cannot be displayed.");
}

TEST_F(DocLoad, DuplicatesAcrossFilesGoToTheStoreAndTheFirstCategoryKeepsTheTitle) {
    CSample inCpp = MakeSample("Shared", "C++", "General", "", "", "from cpp\r\n");
    CSample inJava = MakeSample("Shared", "Java", "General", "", "", "from java\r\n");
    WriteFileBytes("quorrinjava.txt", FileBytes({inJava, MakeSample("Alpha", "Java")}));
    WriteFileBytes("quorrincpp.txt", FileBytes({inCpp, MakeSample("Shared", "C++", "GUI")}));
    Load();

    EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "Shared"}));
    EXPECT_EQ(doc->PeekSample("Shared")->GetText(), "from cpp\r\n");
    // The second copy in the same file, then the Java copy, in reading order.
    EXPECT_EQ(ErrorTitles(), (std::vector<std::string>{"Shared", "Shared-0"}));
    CLoadErrorList::Cursor cursor;
    CSample record;
    ASSERT_TRUE(errors.GetFirst(record, cursor));
    EXPECT_EQ(record.GetSubcategory(), "GUI");
    EXPECT_EQ(record.GetLoadErrorReason(), 1);
    ASSERT_TRUE(errors.GetNext(record, cursor));
    EXPECT_EQ(record.GetText(), "from java\r\n");
    EXPECT_EQ(record.GetLoadErrorReason(), 1);
    // Duplicates do not mark their category changed: the files stay as they are.
    EXPECT_TRUE(ChangedCategories().empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DocLoad, FilesOutOfTitleOrderLoadAsIfReadSampleBySample) {
    // Hand-made files: titles out of order, a duplicate within a file and across files.
    WriteFileBytes("quorrincpp.txt",
                   FileBytes({MakeSample("Zeta", "C++", "General", "", "", "cpp zeta\r\n"),
                              MakeSample("Beta", "C++", "General", "", "", "cpp beta\r\n"),
                              MakeSample("Beta", "C++", "GUI"), MakeSample("Alpha", "C++")}));
    WriteFileBytes("quorrinjava.txt",
                   FileBytes({MakeSample("Zeta", "Java", "General", "", "", "java zeta\r\n"),
                              MakeSample("Gamma", "Java"),
                              MakeSample("Alpha", "Java", "General", "", "", "java alpha\r\n")}));
    WriteFileBytes("quorrinvb.txt", FileBytes({MakeSample("Delta", "Visual Basic"),
                                               MakeSample("Beta", "Visual Basic", "COM")}));
    Load();

    EXPECT_EQ(Titles(), (std::vector<std::string>{"Alpha", "Beta", "Delta", "Gamma", "Zeta"}));
    EXPECT_EQ(doc->PeekSample("Zeta")->GetText(), "cpp zeta\r\n");
    EXPECT_EQ(doc->PeekSample("Beta")->GetText(), "cpp beta\r\n");
    EXPECT_EQ(doc->PeekSample("Alpha")->GetCategory(), "C++");
    // The losers in reading order: file by file, each file from its start.
    EXPECT_EQ(ErrorTitles(), (std::vector<std::string>{"Beta", "Zeta", "Alpha", "Beta-0"}));
    CLoadErrorList::Cursor cursor;
    CSample record;
    ASSERT_TRUE(errors.GetFirst(record, cursor));
    EXPECT_EQ(record.GetSubcategory(), "GUI");
    ASSERT_TRUE(errors.GetNext(record, cursor));
    EXPECT_EQ(record.GetText(), "java zeta\r\n");
    ASSERT_TRUE(errors.GetNext(record, cursor));
    EXPECT_EQ(record.GetText(), "java alpha\r\n");
    ASSERT_TRUE(errors.GetNext(record, cursor));
    EXPECT_EQ(record.GetSubcategory(), "COM");
    EXPECT_EQ(record.GetLoadErrorReason(), 1);
    EXPECT_TRUE(ChangedCategories().empty());
}

TEST_F(DocLoad, LongSharedTitlePrefixesMergeAsIfReadSampleBySample) {
    // Titles that agree in their first sixteen bytes or more, differ only past them, are
    // shorter than sixteen bytes or hold bytes above 0x7F; files in and out of order,
    // duplicates within and across files. The first sample read under a title wins.
    std::mt19937 rng(17);
    const std::vector<std::string> stems = {"Build angle range 00", "Build angle range 0", "Build angle rang",
                                            "Build angle", "Build angle range \xC3\xA9", "B"};
    const std::vector<std::pair<std::string, std::string>> files = {
        {"C++", "quorrincpp.txt"}, {"Java", "quorrinjava.txt"}, {"Visual Basic", "quorrinvb.txt"}};
    std::map<std::string, std::string> winners; // title -> text of the first one read
    size_t total = 0;
    for (size_t f = 0; f < files.size(); ++f) {
        std::vector<CSample> samples;
        for (int i = 0; i < 150; ++i) {
            const std::string title = stems[rng() % stems.size()] + std::to_string(rng() % 60);
            const std::string text = files[f].first + " " + std::to_string(i) + "\r\n";
            samples.push_back(MakeSample(title, files[f].first, "General", "", "", text));
        }
        if (f != 1) // one file in reading order only, the others in title order
            std::stable_sort(samples.begin(), samples.end(),
                             [](const CSample& a, const CSample& b) { return a.GetTitle() < b.GetTitle(); });
        for (const CSample& sample : samples)
            winners.emplace(sample.GetTitle(), sample.GetText());
        total += samples.size();
        WriteFileBytes(files[f].second, FileBytes(samples));
    }
    Load();

    std::vector<std::string> expectedTitles;
    for (const auto& [title, text] : winners)
        expectedTitles.push_back(title);
    EXPECT_EQ(Titles(), expectedTitles);
    for (const auto& [title, text] : winners)
        EXPECT_EQ(doc->PeekSample(title)->GetText(), text) << title;
    EXPECT_EQ(static_cast<size_t>(errors.GetCount()), total - winners.size());
}

TEST_F(DocLoad, LockedFileGivesTwoMessagesAndAnEmptyCategory) {
    WriteFileBytes("quorrinjava.txt", FileBytes({MakeSample("J1", "Java")}));
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("C1", "C++")}));
    fileio::File holder;
    int cause = 0;
    ASSERT_TRUE(holder.OpenExclusive("quorrinjava.txt", cause));
    Load();

    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(
        messages.shown[0].text,
        "Unable to create/open quorrinjava.txt.\nReason: SHARE.EXE was not loaded, or a shared region was "
        "locked. ");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(messages.shown[1].text,
              "Could not open the file for category Java.\nSamples for this category cannot be displayed.");
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::Exclamation);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"C1"}));
    EXPECT_EQ(doc->CountSamplesInCategory("Java"), 0);
    ASSERT_NE(doc->PeekCategory("Java"), nullptr);
}

TEST_F(DocLoad, UnreadableFileThroughTheFileLayer) {
    WriteFileBytes("quorrinvb.txt", FileBytes({MakeSample("V1", "Visual Basic")}));
    // Opened in turn: library.txt, then the three category files.
    fileio::Faults::FailNext(fileio::Op::Open, fileio::kAccessDenied, 3);
    Load();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text,
              "Unable to create/open quorrinvb.txt.\nReason: The file could not be accessed. ");
    EXPECT_EQ(
        messages.shown[1].text,
        "Could not open the file for category Visual Basic.\nSamples for this category cannot be displayed.");
    EXPECT_EQ(doc->GetSampleCount(), 0);
}

TEST_F(DocLoad, SampleFiledInAnotherCategorysFileLeavesItOnlyOnceItsOwnFileHoldsIt) {
    // The C++ file holds a sample that names Java.
    const std::string cpp = FileBytes({MakeSample("Mine", "C++"), MakeSample("Stray", "Java")});
    WriteFileBytes("quorrincpp.txt", cpp);
    Load();
    // Placing it marks nothing changed.
    EXPECT_TRUE(ChangedCategories().empty());
    EXPECT_EQ(doc->PeekSample("Stray")->GetCategory(), "Java");

    // Saving C++ for another reason keeps the record: the Java file does not hold it yet.
    doc->MarkCategoryChanged("C++");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), cpp);

    // Once the Java file holds it, the C++ file lets it go in the same save.
    doc->MarkCategoryChanged("Java");
    doc->MarkCategoryChanged("C++");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), FileBytes({MakeSample("Stray", "Java")}));
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("Mine", "C++")}));
    EXPECT_TRUE(ChangedCategories().empty());
    Close();

    // Reloading finds it once, in its own category, and nothing is changed any more.
    CLoadErrorList fresh;
    CQuorrinDoc again(config, fresh);
    again.OnNewDocument();
    EXPECT_EQ(again.GetSampleCount(), 2);
    EXPECT_EQ(fresh.GetCount(), 0);
    EXPECT_FALSE(again.CanSave());
}

TEST_F(DocLoad, LoadRestoresTheReasonOfLibrarySamples) {
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("A", "C++"), MakeSample("B", "C++")}));
    WriteFileBytes("quorrinjava.txt", FileBytes({MakeSample("C", "Java")}));
    Load();
    for (const auto& [title, sample] : doc->Samples())
        EXPECT_EQ(sample->GetLoadErrorReason(), -1) << title;
}

TEST_F(DocLoad, SequenceErrorKeepsTheSamplesBeforeIt) {
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("First", "C++")}) + "garbage\r\n" +
                                         FileBytes({MakeSample("Lost", "C++")}));
    Load();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"First"}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "Error processing at start of sample.\nInput file quorrincpp.txt not in proper "
              "sequence!");
}

// --- Read-only loading ----------------------------------------------------------------

TEST_F(DocLoad, ReadOnlyCreatesNothingAndSavesNothing) {
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("Only", "C++"), MakeSample("Stray", "Java")}));
    Load(LoadMode::ReadOnly);
    EXPECT_TRUE(doc->IsReadOnly());
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Only", "Stray"}));
    EXPECT_FALSE(fileio::FileExists("library.txt"));
    EXPECT_FALSE(fileio::FileExists("quorrinjava.txt"));
    EXPECT_FALSE(fileio::FileExists("quorrinvb.txt"));
    EXPECT_TRUE(messages.shown.empty());

    // Placement and edits change memory only.
    doc->DeleteSample("Only");
    EXPECT_FALSE(doc->CanSave());
    EXPECT_FALSE(doc->OnSaveDocument());
    Close();
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"),
              FileBytes({MakeSample("Only", "C++"), MakeSample("Stray", "Java")}));
    EXPECT_FALSE(fileio::FileExists("quorrinjava.txt"));
}

TEST_F(DocLoad, ReadOnlyReadsAFileThatAnotherProgramHoldsLocked) {
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("Held", "C++")}));
    fileio::File holder;
    int cause = 0;
    ASSERT_TRUE(holder.OpenExclusive("quorrincpp.txt", cause));
    Load(LoadMode::ReadOnly);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Held"}));
    EXPECT_TRUE(messages.shown.empty());
}

// --- Saving ---------------------------------------------------------------------------

using DocSave = DocFixture;

TEST_F(DocSave, WritesExactlyTheChangedCategoriesInTitleOrder) {
    WriteFileBytes("quorrinjava.txt", FileBytes({MakeSample("J", "Java")}));
    Load();
    struct stat javaBefore {};
    ASSERT_EQ(stat("quorrinjava.txt", &javaBefore), 0);

    doc->AddSample(std::make_unique<CSample>(MakeSample("zeta", "C++", "GUI", "k1,k2", "c\r\n", "t\r\n")));
    doc->AddSample(std::make_unique<CSample>(MakeSample("Beta", "C++")));
    doc->AddSample(std::make_unique<CSample>(MakeSample("alpha", "C++", "")));
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"C++"}));
    // Unchanged files are not touched, whatever they hold.
    WriteFileBytes("quorrinvb.txt", "not a category file");

    ASSERT_TRUE(doc->OnSaveDocument());
    // Byte order: "Beta" < "alpha" < "zeta".
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"),
              FileBytes({MakeSample("Beta", "C++"), MakeSample("alpha", "C++", ""),
                         MakeSample("zeta", "C++", "GUI", "k1,k2", "c\r\n", "t\r\n")}));
    EXPECT_EQ(ReadFileBytes("quorrinvb.txt"), "not a category file");
    struct stat javaAfter {};
    ASSERT_EQ(stat("quorrinjava.txt", &javaAfter), 0);
    EXPECT_EQ(javaAfter.st_ino, javaBefore.st_ino);
    EXPECT_TRUE(ChangedCategories().empty());
    EXPECT_FALSE(doc->CanSave());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"saved"}));
}

TEST_F(DocSave, RecordsEveryCategoryInTheConfigurationEvenWithoutChanges) {
    ConfigureCustom("Tools", "tools.txt", {"Sorting"});
    store.PutKey(AppPath({"HiddenCats", "Java"}));
    Load();
    store.ClearTree();
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_TRUE(store.KeyExists(AppPath({"CustomCats", "Tools", "Sorting"})));
    auto file = store.GetValue(AppPath({"CustomCats", "Tools"}), "FileName");
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->text, "tools.txt");
    EXPECT_TRUE(store.KeyExists(AppPath({"HiddenCats", "Java"})));
    EXPECT_EQ(store.SubKeyNames(AppPath({"HiddenCats"})), (std::vector<std::string>{"Java"}));
}

TEST_F(DocSave, FailedOpenStopsWritingAndKeepsLaterCategoriesChanged) {
    ConfigureCustom("Tools", "tools.txt", {});
    Load();
    doc->AddSample(std::make_unique<CSample>(MakeSample("c", "C++")));
    doc->AddSample(std::make_unique<CSample>(MakeSample("j", "Java")));
    doc->AddSample(std::make_unique<CSample>(MakeSample("t", "Tools", "")));
    fileio::File holder;
    int cause = 0;
    ASSERT_TRUE(holder.OpenExclusive("quorrinjava.txt", cause));
    store.ClearTree();
    messages.Clear();

    EXPECT_FALSE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("c", "C++")}));
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), "");
    EXPECT_EQ(ReadFileBytes("tools.txt"), "");
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"Java", "Tools"}));
    EXPECT_TRUE(doc->CanSave());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.shown[0].text,
        "Unable to create/open quorrinjava.txt.\nReason: SHARE.EXE was not loaded, or a shared region was "
        "locked. ");
    // The configuration is rebuilt by the save: categories after the failure are kept.
    EXPECT_TRUE(store.KeyExists(AppPath({"CustomCats", "Tools"})));
    EXPECT_TRUE(view.calls.empty());

    holder.Close(cause);
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), FileBytes({MakeSample("j", "Java")}));
    EXPECT_EQ(ReadFileBytes("tools.txt"), FileBytes({MakeSample("t", "Tools", "")}));
    EXPECT_TRUE(ChangedCategories().empty());
}

TEST_F(DocSave, FailedWriteKeepsTheOldFileAndTheChangedMark) {
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("old", "C++")}));
    Load();
    doc->AddSample(std::make_unique<CSample>(MakeSample("new", "C++")));
    fileio::Faults::FailWritesAfter(10, fileio::kDiskFull);
    doc->OnSaveDocument();
    fileio::Faults::Clear();
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("old", "C++")}));
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"C++"}));
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text,
              "Unable to write to file quorrincpp.txt.\nReason: The disk is full. ");

    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"),
              FileBytes({MakeSample("new", "C++"), MakeSample("old", "C++")}));
}

TEST_F(DocSave, LibraryChangedUnderAMessageIsWrittenAsItIsThen) {
    Load();
    doc->AddSample(std::make_unique<CSample>(MakeSample("Two\nlines", "C++"))); // refused by the writer
    doc->AddSample(std::make_unique<CSample>(MakeSample("j1", "Java")));
    doc->AddSample(std::make_unique<CSample>(MakeSample("j2", "Java")));
    // While the message about the refused sample is shown, queued work removes j1.
    struct Acting : IMessenger {
        CQuorrinDoc* doc = nullptr;
        std::vector<std::string> texts;
        MsgAnswer Show(const std::string& text, MsgButtons, MsgIcon) override {
            texts.push_back(text);
            doc->DeleteSample("j1");
            return MsgAnswer::Ok;
        }
    } acting;
    acting.doc = doc.get();
    SetMessenger(&acting);
    doc->OnSaveDocument();
    SetMessenger(&messages);

    ASSERT_EQ(acting.texts.size(), 1u);
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), "");
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), FileBytes({MakeSample("j2", "Java")}));
    EXPECT_EQ(ChangedCategories(), (std::vector<std::string>{"C++"}));
}

TEST_F(DocSave, SaveCommitsThePendingEditFirst) {
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("S", "C++")}));
    Load();
    doc->DisplayedSample() = *doc->PeekSample("S");
    doc->PendingSample() = MakeSample("S", "C++", "General", "", "edited\r\n");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"),
              FileBytes({MakeSample("S", "C++", "General", "", "edited\r\n")}));
}

TEST_F(DocSave, DestructionSavesChangedCategoriesWithoutTellingTheView) {
    Load();
    doc->AddSample(std::make_unique<CSample>(MakeSample("last", "Visual Basic")));
    Close();
    EXPECT_EQ(ReadFileBytes("quorrinvb.txt"), FileBytes({MakeSample("last", "Visual Basic")}));
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(DocSave, CloseStepTellsTheView) {
    Load();
    doc->OnCloseDocument();
    EXPECT_EQ(view.calls, (std::vector<std::string>{"closing"}));
    EXPECT_FALSE(doc->IsClosing());
}

TEST_F(DocSave, UnreadFileIsKeptAsABackupBeforeItsFirstRewrite) {
    const std::string original =
        FileBytes({MakeSample("First", "C++")}) + "broken\r\n" + FileBytes({MakeSample("Behind", "C++")});
    WriteFileBytes("quorrincpp.txt", original);
    Load();
    doc->AddSample(std::make_unique<CSample>(MakeSample("Added", "C++")));
    ASSERT_TRUE(doc->OnSaveDocument());
    // The samples behind the sequence error survive in the backup copy.
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt.bak"), original);
}

} // namespace

namespace {

using DocClose = DocFixture;

TEST_F(DocClose, TheLastSaveWritesEveryCategoryItCanOpen) {
    Load();
    doc->AddSample(std::make_unique<CSample>(MakeSample("c", "C++")));
    doc->AddSample(std::make_unique<CSample>(MakeSample("j", "Java")));
    doc->AddSample(std::make_unique<CSample>(MakeSample("v", "Visual Basic")));
    fileio::File holder;
    int cause = 0;
    ASSERT_TRUE(holder.OpenExclusive("quorrinjava.txt", cause));
    messages.Clear();
    Close();
    // Without a later save to try again, the categories after the locked file are
    // written all the same; only the locked one is lost.
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("c", "C++")}));
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), "");
    EXPECT_EQ(ReadFileBytes("quorrinvb.txt"), FileBytes({MakeSample("v", "Visual Basic")}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Unable to create/open quorrinjava.txt.", 0), 0u);
}

} // namespace
