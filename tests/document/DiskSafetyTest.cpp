// The paths on which samples used to leave the disk without the user deleting them.
#include "DocTestSupport.h"
#include "library/EditRules.h"

namespace {

using DiskSafety = DocFixture;

TEST_F(DiskSafety, LoadErrorsStayInTheirFileUntilCorrectedOrDiscarded) {
    // A duplicate, a sample in a sub-category the configuration lacks, one whose keywords
    // a save would write differently, and one in a hidden category.
    const std::string dup = FileBytes({MakeSample("Dup", "C++", "General", "", "", "second\r\n")});
    const std::string lost =
        ">>>>SAMPLE_BEGIN>>>>>>>>>>>>>>>>>>>>>>>\r\n***CATEGORY=C++\r\n***SUBCATEGORY=Gone\r\n"
        "***TITLE=Lost\r\n***KEYWORDS_BEGIN***\r\na,b ,c\r\n***KEYWORDS_END***\r\n"
        "***COMMENTS_BEGIN***\r\n\r\n***COMMENTS_END***\r\n***TEXT_BEGIN***\r\nx\r\n"
        "***TEXT_END***\r\n<<<<SAMPLE_END<<<<<<<<<<<<<<<<<<<<<<<<<"; // no final line end
    WriteFileBytes("quorrincpp.txt",
                   FileBytes({MakeSample("Dup", "C++"), MakeSample("Keep", "C++")}) + dup + lost);
    Load();
    EXPECT_EQ(ErrorTitles(), (std::vector<std::string>{"Dup", "Lost"}));
    EXPECT_FALSE(doc->CanSave()); // placing them changed nothing

    // A save of C++ keeps both records exactly as they were read.
    doc->DeleteSample("Keep");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("Dup", "C++")}) + dup + lost + "\r\n");

    // Corrected: it moves to its new place, and leaves the old file in the same save.
    errors.Staged() = MakeSample("Lost again", "Java", "General", "a, b, c", "", "x\r\n");
    ASSERT_TRUE(doc->AddStagedSample());
    doc->ReleaseLoadError("Lost", "Lost again");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"),
              FileBytes({MakeSample("Lost again", "Java", "General", "a, b, c", "", "x\r\n")}));
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("Dup", "C++")}) + dup);

    // Discarded: it leaves at the next save.
    doc->ReleaseLoadError("Dup", "");
    EXPECT_EQ(errors.GetCount(), 0);
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({MakeSample("Dup", "C++")}));
}

TEST_F(DiskSafety, ADuplicateStaysWhenItsFileCannotBeReadAgainWhileTheLibraryLoads) {
    const std::string bytes =
        FileBytes({MakeSample("Dup", "C++"), MakeSample("Dup", "C++", "GUI", "k", "", "two\r\n")});
    WriteFileBytes("quorrincpp.txt", bytes);
    // The duplicate's record is fetched from its file once every file has been read; that
    // second open fails, so the record is written as it was read.
    int opens = 0;
    fileio::SetFaultHook([&opens](const fileio::FaultPoint& p, std::size_t&) {
        const bool again = p.op == fileio::Op::Open && p.path == "quorrincpp.txt" && ++opens == 2;
        return static_cast<int>(again ? fileio::kAccessDenied : fileio::kNone);
    });
    Load();
    fileio::SetFaultHook(nullptr);
    EXPECT_EQ(ErrorTitles(), std::vector<std::string>{"Dup"});
    doc->MarkCategoryChanged("C++");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), bytes);
}

TEST_F(DiskSafety, AFileTheConfigurationNamesOutsideTheFolderIsLeftAloneWithItsKeys) {
    ConfigureCustom("Escape", "../escape.txt", {"Sub"});
    ConfigureCustom("Tools", "quorrinTools.txt", {});
    Load();
    EXPECT_EQ(doc->PeekCategory("Escape"), nullptr);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("\"../escape.txt\""), std::string::npos);
    doc->MarkCategoryChanged("Tools");
    ASSERT_TRUE(doc->OnSaveDocument());
    Close();
    EXPECT_FALSE(fileio::FileExists("../escape.txt"));
    // Every save rebuilds the keys; the left-out category's stay as they were.
    EXPECT_TRUE(store.KeyExists(AppPath({"CustomCats", "Escape", "Sub"})));
}

TEST_F(DiskSafety, ADeletedCustomSubcategoryStaysDeleted) {
    ConfigureCustom("Tools", "quorrinTools.txt", {"One", "Two"});
    Load();
    CCategory tools;
    ASSERT_TRUE(doc->FindCategory("Tools", tools));
    ASSERT_TRUE(tools.RemoveSubcategory("One"));
    ASSERT_TRUE(doc->UpdateCategory("Tools", tools));
    ASSERT_TRUE(doc->OnSaveDocument());
    Close();
    config.LoadProfile();
    Load();
    ASSERT_TRUE(doc->FindCategory("Tools", tools));
    EXPECT_LT(tools.FindSlot("One"), 0);
    EXPECT_GE(tools.FindSlot("Two"), 0);
}

TEST_F(DiskSafety, ANewCategoryOverAnExistingFileTakesItsSamples) {
    const std::string bytes = FileBytes({MakeSample("Bash loop", "Shell", "Bash"),
                                         MakeSample("Plain", "Shell", ""), MakeSample("Taken", "Shell", "")});
    WriteFileBytes("quorrinShell.txt", bytes);
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("Taken", "C++")}));
    WriteFileBytes("quorrinBroken.txt", bytes.substr(0, bytes.size() / 2));
    Load();
    EXPECT_TRUE(CheckNewCategoryName(*doc, "Shell").Ok());
    // A file that cannot be read to its end would lose its tail: the name is refused.
    EXPECT_FALSE(CheckNewCategoryName(*doc, "Broken").Ok());

    ASSERT_TRUE(doc->AddCategory(std::make_unique<CCategory>("Shell")));
    ASSERT_NE(doc->PeekSample("Bash loop"), nullptr);
    ASSERT_NE(doc->PeekSample("Plain"), nullptr);
    CCategory shell;
    ASSERT_TRUE(doc->FindCategory("Shell", shell));
    EXPECT_GE(shell.FindSlot("Bash"), 0);
    EXPECT_EQ(ErrorTitles(), std::vector<std::string>{"Taken"});
    // The file was not rewritten, and a save keeps all three records.
    EXPECT_EQ(ReadFileBytes("quorrinShell.txt"), bytes);
    doc->MarkCategoryChanged("Shell");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinShell.txt"),
              FileBytes({MakeSample("Bash loop", "Shell", "Bash"), MakeSample("Plain", "Shell", ""),
                         MakeSample("Taken", "Shell", "")}));
}

TEST_F(DiskSafety, ChangesOnBothSidesKeepBothVersions) {
    WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("A", "C++"), MakeSample("B", "C++")}));
    Load();
    // Here: A is edited. There (another program): A and B are edited, C is added.
    CSample mine = *doc->PeekSample("A");
    mine.SetText("mine\r\n");
    ASSERT_TRUE(doc->UpdateSample("A", mine));
    doc->MarkCategoryChanged("C++");
    const CSample theirs = MakeSample("A", "C++", "General", "", "", "theirs\r\n");
    const CSample theirB = MakeSample("B", "C++", "General", "", "", "theirs\r\n");
    WriteFileBytes("quorrincpp.txt.new", FileBytes({theirs, theirB, MakeSample("C", "C++")}));
    std::rename("quorrincpp.txt.new", "quorrincpp.txt");
    messages.Clear();

    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), FileBytes({mine, theirB, MakeSample("C", "C++"), theirs}));
    EXPECT_EQ(doc->PeekSample("B")->GetText(), "theirs\r\n");
    EXPECT_EQ(ErrorTitles(), std::vector<std::string>{"A"});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("1 sample(s) were changed both here and there"), std::string::npos);

    // Removed there while nothing is unsaved here: read in while idle.
    WriteFileBytes("quorrincpp.txt", FileBytes({mine, MakeSample("C", "C++"), theirs}));
    EXPECT_TRUE(doc->ReloadChangedCategories());
    EXPECT_EQ(doc->PeekSample("B"), nullptr);
    EXPECT_FALSE(doc->ReloadChangedCategories()); // nothing new since
}

} // namespace
