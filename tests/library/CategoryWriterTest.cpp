// Saving a category file: the exact bytes, the atomic replacement and what it keeps, every
// failure leaving the old file whole, and the backup of a file that was not read whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "CategoryTestUtil.h"

namespace {

namespace fs = std::filesystem;

const std::string kFile = "quorrintest.txt";
const std::string kOld = ">>>>old content that must survive\r\n";

std::vector<std::string> FolderEntries(const std::string& folder = ".") {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

CSample EdgeCase() {
    return MakeSample("T", "Tools", "General", "a,b", "x\r\n", "");
}
std::vector<CSample> Several() {
    return {MakeSample("Empty", "C++", "General"),
            MakeSample("LF only", "C++", "GUI", "solo", "one\ntwo\n", "first\r\n\n\r\nlast\n"),
            MakeSample("No final line end", "C++", "COM", "k1, ,k3", "abc", "int x;\r\nint y;")};
}

class CategoryWriter : public ::testing::Test {
protected:
    RecordingMessenger messages;
    TempDir dir;
    std::string transcript; // what each step showed, compared with the test's fixture at its end
    void Step(const std::string& name) { transcript += "== " + name + "\n" + TakeShown(messages); }
    ~CategoryWriter() override { fileio::Faults::Clear(); }
    void TearDown() override {
        if (!transcript.empty())
            ExpectFileEq(transcript, std::string("category/") +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                                         ".txt");
    }
};

TEST_F(CategoryWriter, SavesAreByteExactAndReplaceTheFileKeepingItsLinkAndPermissions) {
    fs::create_directory("real");
    WriteFileBytes("real/target.txt", kOld);
    fs::permissions("real/target.txt", fs::perms(0640));
    fs::create_symlink("real/target.txt", kFile);
    ASSERT_TRUE(SaveCategoryFile(kFile, {EdgeCase()}));
    EXPECT_TRUE(fs::is_symlink(kFile));
    ExpectFileEq(FileAt{"real/target.txt"}, "category/writer_edge_case.txt");
    EXPECT_EQ(fs::status("real/target.txt").permissions(), fs::perms(0640));
    EXPECT_EQ(FolderEntries("real"), std::vector<std::string>{"target.txt"}); // no temporary left

    ASSERT_TRUE(SaveCategoryFile("several.txt", Several()));
    ExpectFileEq(FileAt{"several.txt"}, "category/writer_several.txt");
    ASSERT_TRUE(SaveCategoryFile("several.txt", {}));
    EXPECT_EQ(ReadFileBytes("several.txt"), "");
    EXPECT_TRUE(messages.shown.empty());
}

// Every failing step of a save leaves the old file whole and no temporary file, shows the
// write message with its cause, and the next save succeeds.
TEST_F(CategoryWriter, AFailingStepLeavesTheOldFile) {
    const struct {
        const char* step;
        std::function<void()> arm;
    } rows[] = {
        {"create", [] { fileio::Faults::FailNext(fileio::Op::Open, fileio::kAccessDenied); }},
        {"write", [] { fileio::Faults::FailNext(fileio::Op::Write, fileio::kDiskFull); }},
        {"disk full part way", [] { fileio::Faults::FailWritesAfter(100); }},
        {"sync", [] { fileio::Faults::FailNext(fileio::Op::Sync, fileio::kHardIO); }},
        {"close", [] { fileio::Faults::FailNext(fileio::Op::Close, fileio::kGeneric); }},
        {"rename", [] { fileio::Faults::FailNext(fileio::Op::Rename, fileio::kAccessDenied); }},
        {"unknown cause", [] { fileio::Faults::FailNext(fileio::Op::Write, 99); }},
    };
    for (const auto& row : rows) {
        WriteFileBytes(kFile, kOld);
        messages.Clear();
        CCategory c = CategoryFor(kFile);
        ASSERT_TRUE(c.OpenFile());
        c.EmptyFile();
        for (const auto& s : Several())
            EXPECT_TRUE(c.WriteSample(s));
        row.arm();
        EXPECT_FALSE(c.CloseFile()) << row.step;
        EXPECT_EQ(ReadFileBytes(kFile), kOld) << row.step;
        EXPECT_EQ(FolderEntries(), std::vector<std::string>{kFile}) << row.step;
        Step(row.step);
        fileio::Faults::Clear();
        ASSERT_TRUE(SaveCategoryFile(c, Several()));
        ExpectFileEq(FileAt{kFile}, "category/writer_several.txt");
    }
}

TEST_F(CategoryWriter, FailuresAfterTheRenameKeepTheNewContent) {
    WriteFileBytes(kFile, kOld);
    fileio::Faults::FailNext(fileio::Op::Sync, fileio::kHardIO, 1); // the file syncs, the folder does not
    EXPECT_TRUE(SaveCategoryFile(kFile, {EdgeCase()}));
    Step("the folder cannot be synced");
    ExpectFileEq(FileAt{kFile}, "category/writer_edge_case.txt");

    fileio::Faults::FailNext(fileio::Op::Close, fileio::kInvalidFile, 1); // the locked handle's close
    EXPECT_TRUE(SaveCategoryFile(kFile, Several()));
    ExpectFileEq(FileAt{kFile}, "category/writer_several.txt");
    Step("the locked handle cannot be closed");
}

TEST_F(CategoryWriter, AnUnstorableSampleFailsTheWholeSave) {
    WriteFileBytes(kFile, kOld);
    CCategory c = CategoryFor(kFile);
    ASSERT_TRUE(c.OpenFile());
    c.EmptyFile();
    EXPECT_TRUE(c.WriteSample(MakeSample("A")));
    EXPECT_FALSE(c.WriteSample(MakeSample("Bad", "Tools", "General", "", "intro\r\n***COMMENTS_END***", "")));
    EXPECT_FALSE(c.WriteSample(MakeSample("C"))); // the save has failed; nothing more is taken
    EXPECT_FALSE(c.CloseFile());
    EXPECT_EQ(ReadFileBytes(kFile), kOld);
    Step("a sample cannot be stored");
    EXPECT_TRUE(SaveCategoryFile(c, {MakeSample("A")})); // the next save starts afresh
    Step("the next save");
}

// --- Files that were not read to their end ---

class CategoryBackup : public CategoryWriter {
protected:
    const std::string original = Fixture("seq_end_of_sample.txt"); // one good sample, then garbage
    std::vector<std::unique_ptr<CSample>> read;
    CCategory c = CategoryFor(kFile);

    void LoadPartly() {
        WriteFileBytes(kFile, original);
        ASSERT_TRUE(c.OpenFile());
        EXPECT_FALSE(c.ReadSampleList(read));
        EXPECT_TRUE(c.CloseFile());
        EXPECT_TRUE(c.ReadIncomplete());
        messages.Clear();
    }
    bool Save() { return SaveCategoryFile(c, {*read.at(0)}); }
};

TEST_F(CategoryBackup, TheFirstRewriteKeepsTheOriginalUnderAFreeNameAndTellsTheUserOnce) {
    WriteFileBytes(kFile + ".bak2", "older backup 2");
    LoadPartly();
    ASSERT_TRUE(Save());
    EXPECT_EQ(ReadFileBytes(kFile + ".bak"), original);
    EXPECT_EQ(c.BackupPath(), kFile + ".bak");
    EXPECT_FALSE(c.ReadIncomplete());
    Step("the first rewrite");
    EXPECT_EQ(Parse(ReadFileBytes(kFile)).failedAt, "");
    ASSERT_TRUE(Save());
    Step("the second rewrite");
    EXPECT_FALSE(fileio::FileExists(kFile + ".bak3"));

    // Taken names are skipped.
    WriteFileBytes(kFile, original);
    CCategory other = CategoryFor(kFile);
    ASSERT_TRUE(other.OpenFile());
    other.ReadSampleList(read);
    ASSERT_TRUE(SaveCategoryFile(other, {*read.at(0)}));
    EXPECT_EQ(ReadFileBytes(kFile + ".bak2"), "older backup 2");
    EXPECT_EQ(ReadFileBytes(kFile + ".bak3"), original);
}

TEST_F(CategoryBackup, NoBackupNoRewriteAndABackupMadeIsNotMadeAgain) {
    LoadPartly();
    fileio::Faults::FailNext(fileio::Op::Write, fileio::kDiskFull); // the backup's write
    EXPECT_FALSE(Save());
    EXPECT_EQ(ReadFileBytes(kFile), original);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{kFile});
    Step("the backup cannot be written");
    EXPECT_TRUE(c.ReadIncomplete());

    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kAccessDenied,
                             1); // the backup renames, the file not
    EXPECT_FALSE(Save());
    EXPECT_EQ(ReadFileBytes(kFile), original);
    EXPECT_EQ(ReadFileBytes(kFile + ".bak"), original);
    Step("the backup is made, the file cannot be renamed");
    ASSERT_TRUE(Save());
    Step("the next save");
    EXPECT_FALSE(fileio::FileExists(kFile + ".bak2"));
}

TEST_F(CategoryBackup, AFileThatFailedToReadOrOpenIsBackedUpAWholeOneIsNot) {
    const std::string several = Fixture("writer_several.txt");
    const struct {
        const char* what;
        std::optional<fileio::Op> atLoad;
        bool failedOpenLater; // a save that could not open the file came between
        bool backup;
    } rows[] = {{"read fails", fileio::Op::Read, false, true},
                {"open fails", fileio::Op::Open, false, true},
                {"whole read", std::nullopt, false, false},
                {"whole read, then a locked file", std::nullopt, true, false}};
    for (const auto& row : rows) {
        fs::remove(kFile + ".bak");
        WriteFileBytes(kFile, several);
        CCategory cat = CategoryFor(kFile);
        if (row.atLoad)
            fileio::Faults::FailNext(*row.atLoad, fileio::kHardIO);
        if (cat.OpenFile())
            cat.ReadSampleList(read);
        cat.CloseFile();
        if (row.failedOpenLater) {
            fileio::Faults::FailNext(fileio::Op::Open, fileio::kSharingViolation);
            EXPECT_FALSE(cat.OpenFile());
        }
        fileio::Faults::Clear();
        ASSERT_TRUE(SaveCategoryFile(cat, {MakeSample("New")})) << row.what;
        EXPECT_EQ(fileio::FileExists(kFile + ".bak"), row.backup) << row.what;
        if (row.backup) {
            EXPECT_EQ(ReadFileBytes(kFile + ".bak"), several);
        }
    }
    // A new category that never read its file and finds none needs no backup either.
    messages.Clear();
    ASSERT_TRUE(SaveCategoryFile("quorrinfresh.txt", {MakeSample("New")}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryBackup, DeletingAPartlyReadFileKeepsItsSamplesOrTheFile) {
    LoadPartly();
    fileio::Faults::FailNext(fileio::Op::Open, fileio::kAccessDenied); // reading the original fails
    c.DeleteFile();
    EXPECT_EQ(ReadFileBytes(kFile), original);
    Step("the original cannot be read for its backup");
    c.DeleteFile();
    EXPECT_FALSE(fileio::FileExists(kFile));
    EXPECT_EQ(ReadFileBytes(kFile + ".bak"), original);
    Step("deleted after its backup");
}

} // namespace
