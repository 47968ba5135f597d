#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/FileLayer.h"
#include "base/FolderMarker.h"
#include "support/TestSupport.h"

namespace {

using namespace fileio;

TEST(FileLayer, CauseTexts) {
    EXPECT_STREQ(CauseText(0), "No error occurred.");
    EXPECT_STREQ(CauseText(1), "An unspecified error occurred.");
    EXPECT_STREQ(CauseText(2), "The file could not be located.");
    EXPECT_STREQ(CauseText(3), "All or part of the path is invalid.");
    EXPECT_STREQ(CauseText(4), "The permitted number of open files was exceeded.");
    EXPECT_STREQ(CauseText(5), "The file could not be accessed.");
    EXPECT_STREQ(CauseText(6), "There was an attempt to use an invalid file handle.");
    EXPECT_STREQ(CauseText(7), "The current working directory cannot be removed.");
    EXPECT_STREQ(CauseText(8), "There are no more directory entries.");
    EXPECT_STREQ(CauseText(9), "There was an error trying to set the file pointer.");
    EXPECT_STREQ(CauseText(10), "There was a hardware error.");
    EXPECT_STREQ(CauseText(11), "SHARE.EXE was not loaded, or a shared region was locked.");
    EXPECT_STREQ(CauseText(12), "There was an attempt to lock a region that was already locked.");
    EXPECT_STREQ(CauseText(13), "The disk is full.");
    EXPECT_STREQ(CauseText(14), "The end of file was reached.");
    EXPECT_STREQ(CauseText(15), "");
    EXPECT_STREQ(CauseText(-1), "");
}

TEST(FileLayer, ErrnoMapping) {
    EXPECT_EQ(CauseFromErrno(ENOENT), kFileNotFound);
    EXPECT_EQ(CauseFromErrno(ENOTDIR), kBadPath);
    EXPECT_EQ(CauseFromErrno(ENAMETOOLONG), kBadPath);
    EXPECT_EQ(CauseFromErrno(EMFILE), kTooManyOpenFiles);
    EXPECT_EQ(CauseFromErrno(ENFILE), kTooManyOpenFiles);
    EXPECT_EQ(CauseFromErrno(EACCES), kAccessDenied);
    EXPECT_EQ(CauseFromErrno(EPERM), kAccessDenied);
    EXPECT_EQ(CauseFromErrno(EROFS), kAccessDenied);
    EXPECT_EQ(CauseFromErrno(EBADF), kInvalidFile);
    EXPECT_EQ(CauseFromErrno(EIO), kHardIO);
    EXPECT_EQ(CauseFromErrno(ENOSPC), kDiskFull);
    EXPECT_EQ(CauseFromErrno(EDQUOT), kDiskFull);
    EXPECT_EQ(CauseFromErrno(EWOULDBLOCK), kSharingViolation);
    EXPECT_EQ(CauseFromErrno(EINVAL), kGeneric);
    EXPECT_EQ(CauseFromErrno(0), kNone);
}

class FileLayerFiles : public ::testing::Test {
protected:
    TempDir dir;
    void TearDown() override { Faults::Clear(); }
};

TEST_F(FileLayerFiles, ExclusiveOpenCreatesAndLocks) {
    File a, b;
    int cause = 0;
    ASSERT_TRUE(a.OpenExclusive("f.txt", cause));
    EXPECT_TRUE(FileExists("f.txt"));
    EXPECT_FALSE(b.OpenExclusive("f.txt", cause));
    EXPECT_EQ(cause, kSharingViolation);
    EXPECT_FALSE(a.OpenExclusive("f.txt", cause)); // already open
    EXPECT_EQ(cause, kInvalidFile);
    ASSERT_TRUE(a.Close(cause));
    EXPECT_TRUE(b.OpenExclusive("f.txt", cause));
}

TEST_F(FileLayerFiles, ExclusiveOpenNeverTruncates) {
    WriteFileBytes("f.txt", "keep me");
    File f;
    int cause = 0;
    ASSERT_TRUE(f.OpenExclusive("f.txt", cause));
    std::string data;
    ASSERT_TRUE(f.ReadAll(data, cause));
    EXPECT_EQ(data, "keep me");
    std::uint64_t size = 0;
    ASSERT_TRUE(f.Size(size, cause));
    EXPECT_EQ(size, 7u);
}

TEST_F(FileLayerFiles, ReadBufferIsReusedForFilesOfAnySize) {
    const std::string big(100000, 'x');
    WriteFileBytes("big.txt", big + "end");
    WriteFileBytes("small.txt", "small");
    WriteFileBytes("empty.txt", "");
    ReadBuffer buffer;
    int cause = 0;
    for (const auto& [name, content] : std::vector<std::pair<std::string, std::string>>{
             {"small.txt", "small"}, {"big.txt", big + "end"}, {"small.txt", "small"}, {"empty.txt", ""}}) {
        File f;
        ASSERT_TRUE(f.OpenForRead(name, cause)) << name;
        ASSERT_TRUE(f.ReadAll(buffer, cause)) << name;
        EXPECT_EQ(buffer.View(), content) << name;
    }
    EXPECT_GE(buffer.capacity, big.size() + 3);

    File f;
    ASSERT_TRUE(f.OpenForRead("small.txt", cause));
    Faults::FailNext(Op::Read, kHardIO);
    EXPECT_FALSE(f.ReadAll(buffer, cause));
    EXPECT_EQ(cause, kHardIO);
    EXPECT_TRUE(buffer.View().empty());
    File closed;
    EXPECT_FALSE(closed.ReadAll(buffer, cause));
    EXPECT_EQ(cause, kInvalidFile);
}

TEST_F(FileLayerFiles, ClosedHandleOperationsFail) {
    File f;
    int cause = 0;
    std::string data;
    std::uint64_t size;
    EXPECT_FALSE(f.ReadAll(data, cause));
    EXPECT_EQ(cause, kInvalidFile);
    EXPECT_FALSE(f.Write("x", cause));
    EXPECT_FALSE(f.Size(size, cause));
    EXPECT_FALSE(f.Sync(cause));
    EXPECT_FALSE(f.Close(cause));
    EXPECT_EQ(cause, kInvalidFile);
}

TEST_F(FileLayerFiles, ArmedFaultsFireOnceInOrder) {
    Faults::FailNext(Op::Open, kAccessDenied, 1);
    Faults::FailNext(Op::Open, kHardIO);
    int cause = 0;
    File a, b, c, d;
    EXPECT_FALSE(a.OpenForWrite("a", cause));
    EXPECT_EQ(cause, kHardIO);
    EXPECT_FALSE(b.OpenForWrite("b", cause));
    EXPECT_EQ(cause, kAccessDenied);
    EXPECT_TRUE(c.OpenForWrite("c", cause));
    Faults::FailNext(Op::Open, kAccessDenied);
    Faults::Clear();
    EXPECT_TRUE(d.OpenForWrite("d", cause));
}

TEST_F(FileLayerFiles, WriteLimitFailsTheCrossingWrite) {
    File f;
    int cause = 0;
    ASSERT_TRUE(f.OpenForWrite("f.txt", cause));
    Faults::FailWritesAfter(5, kHardIO);
    EXPECT_TRUE(f.Write("abc", cause));
    EXPECT_TRUE(f.Write("de", cause)); // exactly at the limit
    EXPECT_FALSE(f.Write("f", cause));
    EXPECT_EQ(cause, kHardIO);
    EXPECT_TRUE(f.Write("g", cause)); // fired once
    f.Close(cause);
    EXPECT_EQ(ReadFileBytes("f.txt"), "abcdeg");
}

TEST_F(FileLayerFiles, WriteLimitLetsTheBytesBeforeItLand) {
    File f;
    int cause = 0;
    ASSERT_TRUE(f.OpenForWrite("f.txt", cause));
    Faults::FailWritesAfter(3);
    EXPECT_FALSE(f.Write("abcdef", cause));
    EXPECT_EQ(cause, kDiskFull);
    f.Close(cause);
    EXPECT_EQ(ReadFileBytes("f.txt"), "abc");
}

TEST_F(FileLayerFiles, AtomicWriteReplacesOrLeavesAlone) {
    WriteFileBytes("f.txt", "old");
    int cause = 0;
    ASSERT_TRUE(WriteFileAtomically("f.txt", "new", cause));
    EXPECT_EQ(ReadFileBytes("f.txt"), "new");
    ASSERT_TRUE(WriteFileAtomically("created.txt", "", cause));
    EXPECT_TRUE(FileExists("created.txt"));
    Faults::FailNext(Op::Rename, kAccessDenied);
    EXPECT_FALSE(WriteFileAtomically("f.txt", "newer", cause));
    EXPECT_EQ(cause, kAccessDenied);
    EXPECT_EQ(ReadFileBytes("f.txt"), "new");
    EXPECT_FALSE(WriteFileAtomically("no-such-folder/f.txt", "x", cause));
    EXPECT_EQ(cause, kFileNotFound);
}

TEST_F(FileLayerFiles, RemoveRenameAndCopy) {
    WriteFileBytes("a", "bytes");
    int cause = 0;
    ASSERT_TRUE(CopyFile("a", "b", cause));
    EXPECT_EQ(ReadFileBytes("b"), "bytes");
    ASSERT_TRUE(RenameFile("b", "c", cause));
    EXPECT_FALSE(FileExists("b"));
    ASSERT_TRUE(RemoveFile("c", cause));
    EXPECT_FALSE(RemoveFile("c", cause));
    EXPECT_EQ(cause, kFileNotFound);
    EXPECT_FALSE(CopyFile("missing", "d", cause));
    EXPECT_EQ(cause, kFileNotFound);
    EXPECT_FALSE(RenameFile("missing", "d", cause));
    EXPECT_EQ(cause, kFileNotFound);
}

} // namespace

namespace {

// Things in the folder that are not regular files, or that point out of it.
TEST_F(FileLayerFiles, OnlyRegularFilesOpenAndNoLinkLeadsOutOfTheFolder) {
    ASSERT_EQ(mkfifo("pipe.txt", 0600), 0);
    fileio::File f;
    int cause = 0;
    // A pipe nobody writes to would block for ever; it is refused at once.
    EXPECT_FALSE(f.OpenExclusive("pipe.txt", cause));
    EXPECT_EQ(cause, fileio::kAccessDenied);
    EXPECT_FALSE(f.OpenForRead("pipe.txt", cause));
    EXPECT_FALSE(f.OpenForRead("/dev/null", cause));
    // A link to a file that does not exist is not followed to create it.
    ASSERT_EQ(symlink((dir.Path() + "/outside/made.txt").c_str(), "link.txt"), 0);
    ASSERT_EQ(mkdir("outside", 0700), 0);
    EXPECT_FALSE(f.OpenExclusive("link.txt", cause));
    EXPECT_FALSE(fileio::FileExists("outside/made.txt"));
    // A link to an existing file is the user's own arrangement: it is used.
    WriteFileBytes("outside/real.txt", "x");
    ASSERT_EQ(symlink((dir.Path() + "/outside/real.txt").c_str(), "real-link.txt"), 0);
    EXPECT_TRUE(f.OpenExclusive("real-link.txt", cause));
    f.Close(cause);
}

TEST_F(FileLayerFiles, LeftoverTemporariesOfOurFilesGoOthersStay) {
    for (const char* name : {"quorrincpp.txt.tmp-a1B2c3", "quorrincpp.txt.bak2.tmp-XyZ123", "other.txt.tmp-abcdef",
                             "quorrincpp.txt.tmp-short", "quorrincpp.txt"})
        WriteFileBytes(name, "x");
    EXPECT_EQ(fileio::RemoveLeftoverTemporaries(".", {"quorrincpp.txt"}), 2);
    EXPECT_FALSE(fileio::FileExists("quorrincpp.txt.tmp-a1B2c3"));
    EXPECT_FALSE(fileio::FileExists("quorrincpp.txt.bak2.tmp-XyZ123"));
    for (const char* kept : {"other.txt.tmp-abcdef", "quorrincpp.txt.tmp-short", "quorrincpp.txt"})
        EXPECT_TRUE(fileio::FileExists(kept)) << kept;
    // Young leftovers may be another writer's, when nobody holds the folder's lock.
    WriteFileBytes("quorrincpp.txt.tmp-new123", "x");
    EXPECT_EQ(fileio::RemoveLeftoverTemporaries(".", {"quorrincpp.txt"}, 60), 0);
}

TEST_F(FileLayerFiles, TheFolderLockIsWaitedForAndThenRefused) {
    fileio::FolderWriteLock first;
    fileio::FolderWriteLock second;
    int cause = 0;
    ASSERT_TRUE(first.Acquire(".", 0, cause));
    EXPECT_FALSE(second.Acquire(".", 60, cause));
    EXPECT_EQ(cause, fileio::kSharingViolation);
    first.Release();
    EXPECT_TRUE(second.Acquire(".", 0, cause));
}

TEST_F(FileLayerFiles, TheExclusiveOpenLocksTheFileThePathNamesAfterAReplace) {
    WriteFileBytes("a.txt", "old");
    // Between the open and the lock another writer replaces the file by rename.
    bool replaced = false;
    fileio::SetFaultHook([&replaced](const fileio::FaultPoint& p, std::size_t&) {
        if (p.op == fileio::Op::Lock && !replaced) {
            replaced = true;
            WriteFileBytes("a.txt.new", "new");
            std::rename("a.txt.new", "a.txt");
        }
        return static_cast<int>(fileio::kNone);
    });
    fileio::File f;
    int cause = 0;
    ASSERT_TRUE(f.OpenExclusive("a.txt", cause));
    fileio::SetFaultHook(nullptr);
    std::string bytes;
    ASSERT_TRUE(f.ReadAll(bytes, cause));
    EXPECT_EQ(bytes, "new");
}

} // namespace

namespace {

TEST_F(FileLayerFiles, TheFolderMarkerNamesItsHolderAndGoesWithIt) {
    std::string holder;
    {
        CFolderMarker first;
        ASSERT_EQ(first.Take(".", holder), CFolderMarker::Result::Taken);
        CFolderMarker second;
        EXPECT_EQ(second.Take(".", holder), CFolderMarker::Result::HeldByOther);
        EXPECT_EQ(holder.rfind("process " + std::to_string(getpid()) + " on ", 0), 0u) << holder;
    }
    EXPECT_FALSE(FileExists(CFolderMarker::kFileName)); // released with its holder
    // A marker left behind unlocked (its process is gone) is taken over.
    WriteFileBytes(CFolderMarker::kFileName, "process 1 on elsewhere\n");
    CFolderMarker third;
    EXPECT_EQ(third.Take(".", holder), CFolderMarker::Result::Taken);
}

} // namespace
