#include <gtest/gtest.h>

#include <filesystem>

#include "library/CategoryWriter.h"
#include "CategoryTestUtil.h"
#include "support/TestSupport.h"

namespace {

const std::string kFile = "quorrintest.txt";
const std::string kOldContent = ">>>>old content that must survive\r\n";

std::vector<std::string> FolderEntries() {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator("."))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class CategoryWriter : public ::testing::Test {
protected:
    RecordingMessenger messages;
    TempDir dir;
    FaultGuard faults;
};

CSample EdgeCaseSample() {
    return MakeSample("T", "Tools", "General", "a,b", "x\r\n", "");
}

std::vector<CSample> SeveralSamples() {
    return {MakeSample("Empty", "C++", "General"),
            MakeSample("LF only", "C++", "GUI", "solo", "one\ntwo\n", "first\r\n\n\r\nlast\n"),
            MakeSample("No final line end", "C++", "COM", "k1, ,k3", "abc", "int x;\r\nint y;")};
}

TEST_F(CategoryWriter, EdgeCaseIsByteExact) {
    std::string bytes;
    AppendSampleBytes(bytes, EdgeCaseSample());
    EXPECT_EQ(bytes, ReadFileBytes(Fixture("writer_edge_case.txt")));
    ASSERT_TRUE(SaveCategoryFile(kFile, {EdgeCaseSample()}));
    EXPECT_EQ(ReadFileBytes(kFile), ReadFileBytes(Fixture("writer_edge_case.txt")));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryWriter, SeveralSamplesAreByteExact) {
    ASSERT_TRUE(SaveCategoryFile(kFile, SeveralSamples()));
    EXPECT_EQ(ReadFileBytes(kFile), ReadFileBytes(Fixture("writer_several.txt")));
}

TEST_F(CategoryWriter, NoSamplesGiveAnEmptyFile) {
    WriteFileBytes(kFile, ReadFileBytes(Fixture("writer_edge_case.txt")));
    ASSERT_TRUE(SaveCategoryFile(kFile, {}));
    EXPECT_EQ(ReadFileBytes(kFile), "");
    messages.Clear();
    ReadResult r = ReadCategoryFile(kFile);
    EXPECT_TRUE(r.samples.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryWriter, RoundTripGainsOneLineEndThenIsStable) {
    std::vector<CSample> original = {
        MakeSample("A", "Tools", "General", "x, y", "a\r\n\r\nb", "line1\r\nline2"),
        MakeSample("B", "Tools", "General", "", "", ""),
        MakeSample("C", "Tools", "", " solo ", "done\r\n", "\r\n"),
    };
    ASSERT_TRUE(SaveCategoryFile(kFile, original));
    const std::string first = ReadFileBytes(kFile);
    ReadResult r1 = ReadCategoryFile(kFile);
    ASSERT_TRUE(r1.complete);
    ASSERT_EQ(r1.samples.size(), 3u);
    // A value without a final line end gains one; everything else comes back as it was.
    EXPECT_EQ(r1.samples.at("A")->GetComments(), "a\r\n\r\nb\r\n");
    EXPECT_EQ(r1.samples.at("A")->GetText(), "line1\r\nline2\r\n");
    EXPECT_EQ(r1.samples.at("A")->Keywords(), original[0].Keywords());
    EXPECT_TRUE(SameSample(*r1.samples.at("B"), original[1]));
    EXPECT_TRUE(SameSample(*r1.samples.at("C"), original[2]));

    std::vector<CSample> again;
    for (const auto& [title, s] : r1.samples)
        again.push_back(*s);
    ASSERT_TRUE(SaveCategoryFile(kFile, again));
    const std::string second = ReadFileBytes(kFile);
    // The gained line end is one more, empty, line in each such section
    // (and its last line keeps a CR of its own: three more bytes per such section).
    EXPECT_EQ(second.size(), first.size() + 2 * 3);
    ReadResult r2 = ReadCategoryFile(kFile);
    for (const auto& [title, s] : r1.samples)
        EXPECT_TRUE(SameSample(*r2.samples.at(title), *s)) << title;
    ASSERT_TRUE(SaveCategoryFile(kFile, again));
    EXPECT_EQ(ReadFileBytes(kFile), second);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryWriter, BlankMiddleLineSurvives) {
    ASSERT_TRUE(SaveCategoryFile(kFile, {MakeSample("T", "Tools", "General", "", "a\r\n\r\nb\r\n", "")}));
    ReadResult r = ReadCategoryFile(kFile);
    EXPECT_EQ(r.samples.at("T")->GetComments(), "a\r\n\r\nb\r\n");
    ASSERT_TRUE(SaveCategoryFile(kFile, {MakeSample("U", "Tools", "General", "", "a", "")}));
    EXPECT_EQ(ReadCategoryFile(kFile).samples.at("U")->GetComments(), "a\r\n");
}

TEST_F(CategoryWriter, SaveReplacesTheFileWithoutLeftovers) {
    WriteFileBytes(kFile, kOldContent);
    ASSERT_TRUE(SaveCategoryFile(kFile, {EdgeCaseSample()}));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{kFile});
}

TEST_F(CategoryWriter, SaveKeepsTheFilesPermissions) {
    WriteFileBytes(kFile, kOldContent);
    std::filesystem::permissions(kFile, std::filesystem::perms(0640));
    ASSERT_TRUE(SaveCategoryFile(kFile, {EdgeCaseSample()}));
    EXPECT_EQ(std::filesystem::status(kFile).permissions(), std::filesystem::perms(0640));
}

TEST_F(CategoryWriter, SaveThroughASymbolicLinkKeepsTheLink) {
    std::filesystem::create_directory("real");
    WriteFileBytes("real/target.txt", kOldContent);
    std::filesystem::create_symlink("real/target.txt", kFile);
    ASSERT_TRUE(SaveCategoryFile(kFile, {EdgeCaseSample()}));
    EXPECT_TRUE(std::filesystem::is_symlink(kFile));
    EXPECT_EQ(ReadFileBytes("real/target.txt"), ReadFileBytes(Fixture("writer_edge_case.txt")));
}

TEST_F(CategoryWriter, WriteSampleWithoutEmptyFileAppends) {
    WriteFileBytes(kFile, ReadFileBytes(Fixture("writer_edge_case.txt")));
    CCategory c = CategoryFor(kFile);
    ASSERT_TRUE(c.OpenFile());
    ASSERT_TRUE(c.WriteSample(MakeSample("U")));
    ASSERT_TRUE(c.CloseFile());
    ReadResult r = ReadCategoryFile(kFile);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.samples.size(), 2u);
}

TEST_F(CategoryWriter, SaveHoldsTheLockUntilClosed) {
    WriteFileBytes(kFile, kOldContent);
    CCategory c = CategoryFor(kFile);
    ASSERT_TRUE(c.OpenFile());
    c.EmptyFile();
    c.WriteSample(EdgeCaseSample());
    CCategory other = CategoryFor(kFile);
    EXPECT_FALSE(other.OpenFile());
    EXPECT_EQ(ReadFileBytes(kFile), kOldContent); // nothing written before CloseFile
    EXPECT_TRUE(c.CloseFile());
    EXPECT_TRUE(other.OpenFile());
    other.CloseFile();
}

// --- Failures: the old file stays exactly as it was, CloseFile says false. ---

struct WriteFault {
    const char* name;
    fileio::Op op;
    int cause;
    int skip;
    const char* causeText;
};

class CategoryWriterFault : public CategoryWriter, public ::testing::WithParamInterface<WriteFault> {};

TEST_P(CategoryWriterFault, OldFileUntouchedAndWriteMessageShown) {
    WriteFileBytes(kFile, kOldContent);
    CCategory c = CategoryFor(kFile);
    ASSERT_TRUE(c.OpenFile());
    c.EmptyFile();
    for (const auto& s : SeveralSamples())
        EXPECT_TRUE(c.WriteSample(s));
    fileio::Faults::FailNext(GetParam().op, GetParam().cause, GetParam().skip);
    EXPECT_FALSE(c.CloseFile());
    EXPECT_EQ(ReadFileBytes(kFile), kOldContent);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{kFile}); // no temporary file left
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              std::string("Unable to write to file quorrintest.txt.\nReason: ") + GetParam().causeText + " ");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    // The next save (the category stays changed) succeeds.
    messages.Clear();
    ASSERT_TRUE(SaveCategoryFile(c, SeveralSamples()));
    EXPECT_EQ(ReadFileBytes(kFile), ReadFileBytes(Fixture("writer_several.txt")));
    EXPECT_TRUE(messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, CategoryWriterFault,
    ::testing::Values(
        WriteFault{"CreateTemp", fileio::Op::Open, fileio::kAccessDenied, 0,
                   "The file could not be accessed."},
        WriteFault{"Write", fileio::Op::Write, fileio::kDiskFull, 0, "The disk is full."},
        WriteFault{"Sync", fileio::Op::Sync, fileio::kHardIO, 0, "There was a hardware error."},
        WriteFault{"CloseTemp", fileio::Op::Close, fileio::kGeneric, 0, "An unspecified error occurred."},
        WriteFault{"Rename", fileio::Op::Rename, fileio::kAccessDenied, 0, "The file could not be accessed."},
        WriteFault{"OutOfTable", fileio::Op::Write, 99, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CategoryWriter, DiskFullPartWayLeavesTheOldFile) {
    WriteFileBytes(kFile, kOldContent);
    fileio::Faults::FailWritesAfter(100);
    EXPECT_FALSE(SaveCategoryFile(kFile, SeveralSamples()));
    EXPECT_EQ(ReadFileBytes(kFile), kOldContent);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{kFile});
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{
                                    "Unable to write to file quorrintest.txt.\nReason: The disk is full. "});
}

TEST_F(CategoryWriter, FolderSyncFailureAfterTheRenameIsAWarning) {
    WriteFileBytes(kFile, kOldContent);
    fileio::Faults::FailNext(fileio::Op::Sync, fileio::kHardIO, 1); // the file syncs, the folder does not
    // The new content is in place and complete; the user is warned that it may not
    // outlive a crash, and the save counts as done.
    EXPECT_TRUE(SaveCategoryFile(kFile, {EdgeCaseSample()}));
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"The file quorrintest.txt has been written, but the folder holding it "
                                       "could not be flushed to disk.\nReason: There was a hardware error. "
                                       "\nAfter a power failure the file may still hold its old content."});
    EXPECT_EQ(ReadFileBytes(kFile), ReadFileBytes(Fixture("writer_edge_case.txt")));
}

TEST_F(CategoryWriter, OpenFailureAtSaveLeavesTheFile) {
    WriteFileBytes(kFile, kOldContent);
    fileio::Faults::FailNext(fileio::Op::Open, fileio::kSharingViolation);
    EXPECT_FALSE(SaveCategoryFile(kFile, {EdgeCaseSample()}));
    EXPECT_EQ(ReadFileBytes(kFile), kOldContent);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Unable to create/open quorrintest.txt.\nReason: SHARE.EXE "
                                       "was not loaded, or a shared region was locked. "});
}

TEST_F(CategoryWriter, CloseFailureAfterASaveKeepsTheNewContent) {
    WriteFileBytes(kFile, kOldContent);
    CCategory c = CategoryFor(kFile);
    ASSERT_TRUE(c.OpenFile());
    c.EmptyFile();
    c.WriteSample(EdgeCaseSample());
    // Skip the temporary file's close: the locked handle's close fails.
    fileio::Faults::FailNext(fileio::Op::Close, fileio::kInvalidFile, 1);
    EXPECT_TRUE(c.CloseFile());
    EXPECT_EQ(ReadFileBytes(kFile), ReadFileBytes(Fixture("writer_edge_case.txt")));
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Unable to close quorrintest.txt.\nReason: There was an "
                                       "attempt to use an invalid file handle. "});
}

TEST_F(CategoryWriter, RealFullDiskThroughTheFileLayer) {
    if (!fileio::FileExists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    fileio::File f;
    int cause = 0;
    ASSERT_TRUE(f.OpenForWrite("/dev/full", cause));
    EXPECT_FALSE(f.Write("some bytes", cause));
    EXPECT_EQ(cause, fileio::kDiskFull);
    EXPECT_STREQ(fileio::CauseText(cause), "The disk is full.");
    f.Close(cause);
}

// --- Content the format cannot hold ---

TEST_F(CategoryWriter, UnstorableSampleFailsTheWholeSave) {
    WriteFileBytes(kFile, kOldContent);
    CCategory c = CategoryFor(kFile);
    ASSERT_TRUE(c.OpenFile());
    c.EmptyFile();
    EXPECT_TRUE(c.WriteSample(MakeSample("A")));
    EXPECT_FALSE(c.WriteSample(MakeSample("Bad", "Tools", "General", "", "intro\r\n***COMMENTS_END***", "")));
    EXPECT_FALSE(c.WriteSample(MakeSample("C"))); // the save has failed; nothing more is taken
    EXPECT_FALSE(c.CloseFile());
    EXPECT_EQ(ReadFileBytes(kFile), kOldContent);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The sample \"Bad\" cannot be written to file quorrintest.txt.\nA line of the "
              "comments cannot be exactly \"***COMMENTS_END***\".\nThe file keeps its old "
              "content.");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    // The next save starts afresh.
    messages.Clear();
    EXPECT_TRUE(SaveCategoryFile(c, {MakeSample("A")}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryWriter, TitleWithLineBreakIsRefused) {
    EXPECT_FALSE(SaveCategoryFile(kFile, {MakeSample("two\nlines")}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("The title cannot contain a line break."), std::string::npos);
    EXPECT_EQ(ReadFileBytes(kFile), ""); // created empty by the open, never written
}

// --- Files that were not read to their end ---

class CategoryBackup : public CategoryWriter {
protected:
    std::string original;
    SampleMap map;
    CLoadErrorList errors;

    // Loads a file with one good sample and then garbage.
    void LoadPartly(CCategory& c) {
        original = ReadFileBytes(Fixture("seq_end_of_sample.txt"));
        WriteFileBytes(kFile, original);
        ASSERT_TRUE(c.OpenFile());
        EXPECT_FALSE(ReadInto(c, map, errors));
        EXPECT_TRUE(c.CloseFile());
        EXPECT_TRUE(c.ReadIncomplete());
        messages.Clear();
    }
    std::vector<CSample> Loaded() const {
        std::vector<CSample> out;
        for (const auto& [t, s] : map)
            out.push_back(*s);
        return out;
    }
};

TEST_F(CategoryBackup, FirstRewriteKeepsTheOriginalAndTellsTheUserOnce) {
    CCategory c = CategoryFor(kFile);
    LoadPartly(c);
    ASSERT_TRUE(SaveCategoryFile(c, Loaded()));
    EXPECT_EQ(ReadFileBytes(kFile + ".bak"), original);
    EXPECT_EQ(c.BackupPath(), kFile + ".bak");
    EXPECT_FALSE(c.ReadIncomplete());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The file quorrintest.txt holds samples that could not be read into the "
              "library.\nBefore it is rewritten, the original has been kept as "
              "quorrintest.txt.bak.");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Information);
    ReadResult r = ReadCategoryFile(kFile);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.samples.size(), 1u);

    messages.Clear();
    ASSERT_TRUE(SaveCategoryFile(c, Loaded()));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(fileio::FileExists(kFile + ".bak2"));
}

TEST_F(CategoryBackup, TakenBackupNamesAreSkipped) {
    WriteFileBytes(kFile + ".bak", "older backup");
    WriteFileBytes(kFile + ".bak2", "older backup 2");
    CCategory c = CategoryFor(kFile);
    LoadPartly(c);
    ASSERT_TRUE(SaveCategoryFile(c, Loaded()));
    EXPECT_EQ(ReadFileBytes(kFile + ".bak"), "older backup");
    EXPECT_EQ(ReadFileBytes(kFile + ".bak3"), original);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_NE(messages.Texts()[0].find("quorrintest.txt.bak3"), std::string::npos);
}

TEST_F(CategoryBackup, NoBackupMeansNoRewrite) {
    CCategory c = CategoryFor(kFile);
    LoadPartly(c);
    fileio::Faults::FailNext(fileio::Op::Write, fileio::kDiskFull); // the backup's write
    EXPECT_FALSE(SaveCategoryFile(c, Loaded()));
    EXPECT_EQ(ReadFileBytes(kFile), original);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{kFile});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The file quorrintest.txt holds samples that are not in the library, and no "
              "backup copy of it could be made as quorrintest.txt.bak.\nReason: The disk is "
              "full. \nThe file has not been changed.");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(c.ReadIncomplete());
    // Next time it works.
    messages.Clear();
    ASSERT_TRUE(SaveCategoryFile(c, Loaded()));
    EXPECT_EQ(ReadFileBytes(kFile + ".bak"), original);
}

TEST_F(CategoryBackup, BackupMadeButRewriteFailedIsNotRepeated) {
    CCategory c = CategoryFor(kFile);
    LoadPartly(c);
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kAccessDenied,
                             1); // the backup renames, the file does not
    EXPECT_FALSE(SaveCategoryFile(c, Loaded()));
    EXPECT_EQ(ReadFileBytes(kFile), original);
    EXPECT_EQ(ReadFileBytes(kFile + ".bak"), original);
    EXPECT_EQ(messages.shown.size(), 2u); // the backup notice, then the write failure
    messages.Clear();
    ASSERT_TRUE(SaveCategoryFile(c, Loaded()));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(fileio::FileExists(kFile + ".bak2"));
}

TEST_F(CategoryBackup, ReadFailureAlsoLeadsToABackup) {
    original = ReadFileBytes(Fixture("writer_several.txt"));
    WriteFileBytes(kFile, original);
    CCategory c = CategoryFor(kFile);
    ASSERT_TRUE(c.OpenFile());
    fileio::Faults::FailNext(fileio::Op::Read, fileio::kHardIO);
    EXPECT_FALSE(ReadInto(c, map, errors));
    c.CloseFile();
    EXPECT_TRUE(c.ReadIncomplete());
    ASSERT_TRUE(SaveCategoryFile(c, {MakeSample("New")}));
    EXPECT_EQ(ReadFileBytes(kFile + ".bak"), original);
}

TEST_F(CategoryBackup, FileThatCouldNotBeOpenedAtLoadIsBackedUp) {
    original = ReadFileBytes(Fixture("writer_several.txt"));
    WriteFileBytes(kFile, original);
    CCategory c = CategoryFor(kFile);
    fileio::Faults::FailNext(fileio::Op::Open, fileio::kSharingViolation);
    EXPECT_FALSE(c.OpenFile());
    messages.Clear();
    ASSERT_TRUE(SaveCategoryFile(c, {MakeSample("New")}));
    EXPECT_EQ(ReadFileBytes(kFile + ".bak"), original);
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(CategoryBackup, CompleteReadsAndEmptyFilesNeedNoBackup) {
    WriteFileBytes(kFile, ReadFileBytes(Fixture("writer_several.txt")));
    CCategory c = CategoryFor(kFile);
    ASSERT_TRUE(c.OpenFile());
    EXPECT_TRUE(ReadInto(c, map, errors));
    c.CloseFile();
    ASSERT_TRUE(SaveCategoryFile(c, {MakeSample("New")}));
    // A category that never read its file and finds none (a new category).
    CCategory fresh = CategoryFor("quorrinfresh.txt");
    ASSERT_TRUE(SaveCategoryFile(fresh, {MakeSample("New")}));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"quorrinfresh.txt", kFile}));
}

TEST_F(CategoryBackup, DeletingAPartlyReadFileKeepsItsSamples) {
    CCategory c = CategoryFor(kFile);
    LoadPartly(c);
    c.DeleteFile();
    EXPECT_FALSE(fileio::FileExists(kFile));
    EXPECT_EQ(ReadFileBytes(kFile + ".bak"), original);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The file quorrintest.txt holds samples that could not be read into the "
              "library.\nBefore it is deleted, the original has been kept as "
              "quorrintest.txt.bak.");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Information);
}

TEST_F(CategoryBackup, NoBackupMeansNoDelete) {
    CCategory c = CategoryFor(kFile);
    LoadPartly(c);
    fileio::Faults::FailNext(fileio::Op::Open, fileio::kAccessDenied); // reading the original fails
    c.DeleteFile();
    EXPECT_EQ(ReadFileBytes(kFile), original);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The file quorrintest.txt holds samples that are not in the library, and no "
              "backup copy of it could be made.\nReason: The file could not be accessed. "
              "\nThe file has not been changed.");
}

// --- Delete ---

TEST_F(CategoryWriter, DeleteRemovesTheFile) {
    WriteFileBytes(kFile, kOldContent);
    CCategory c = CategoryFor(kFile);
    c.DeleteFile();
    EXPECT_FALSE(fileio::FileExists(kFile));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CategoryWriter, DeleteFailuresShowTheDeleteMessage) {
    CCategory c = CategoryFor(kFile);
    c.DeleteFile();
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Attempt to delete file quorrintest.txt failed.\nReason: The "
                                       "file could not be located. "});
    messages.Clear();
    WriteFileBytes(kFile, kOldContent);
    fileio::Faults::FailNext(fileio::Op::Remove, fileio::kAccessDenied);
    c.DeleteFile();
    EXPECT_EQ(ReadFileBytes(kFile), kOldContent);
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Attempt to delete file quorrintest.txt failed.\nReason: The "
                                       "file could not be accessed. "});
}

TEST_F(CategoryWriter, CloseWithoutSaveJustCloses) {
    WriteFileBytes(kFile, kOldContent);
    CCategory c = CategoryFor(kFile);
    EXPECT_TRUE(c.CloseFile()); // nothing open
    ASSERT_TRUE(c.OpenFile());
    EXPECT_TRUE(c.CloseFile());
    EXPECT_EQ(ReadFileBytes(kFile), kOldContent);
    EXPECT_TRUE(messages.shown.empty());
}

} // namespace
