// The file layer: opening, reading, atomic replacement, leftover temporaries and the
// folder marker.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "base/FileLayer.h"
#include "base/FolderMarker.h"
#include "support/TestSupport.h"

namespace {

using namespace fileio;

class FileLayerFiles : public ::testing::Test {
protected:
    TempDir dir;
    int cause = 0;
    void TearDown() override { Faults::Clear(); }
    // The cause of a call that should fail; -1 when it did not.
    int Failed(bool ok) const { return ok ? -1 : cause; }
};

TEST_F(FileLayerFiles, ExclusiveOpenCreatesLocksAndNeverTruncates) {
    File a, b;
    ASSERT_TRUE(a.OpenExclusive("f.txt", cause));
    EXPECT_EQ(ReadFileBytes("f.txt"), "");
    EXPECT_EQ(Failed(b.OpenExclusive("f.txt", cause)), kSharingViolation);
    EXPECT_EQ(Failed(a.OpenExclusive("f.txt", cause)), kInvalidFile); // already open
    ASSERT_TRUE(a.Close(cause));
    WriteFileBytes("f.txt", "keep me");
    ASSERT_TRUE(b.OpenExclusive("f.txt", cause));
    std::string data;
    ASSERT_TRUE(b.ReadAll(data, cause));
    EXPECT_EQ(data, "keep me");
    std::uint64_t size = 0;
    ASSERT_TRUE(b.Size(size, cause));
    EXPECT_EQ(size, 7u);
}

TEST_F(FileLayerFiles, WholeFilesAreReadIntoAStringOrAReusedBuffer) {
    const std::string big(100000, 'x');
    ReadBuffer buffer;
    // A fresh buffer first meets a one-byte file; then larger and smaller ones.
    for (const std::string& content : {std::string("1"), std::string(""), std::string("small"), big + "end",
                                       std::string("small"), std::string("")}) {
        std::remove("f.txt");
        WriteFileBytes("f.txt", content);
        File f;
        ASSERT_TRUE(f.OpenForRead("f.txt", cause));
        ASSERT_TRUE(f.ReadAll(buffer, cause));
        EXPECT_EQ(buffer.View(), content);
        std::string text = "stale";
        ASSERT_TRUE(f.ReadAll(text, cause));
        EXPECT_EQ(text, content);
    }
    EXPECT_GE(buffer.capacity, big.size() + 3);

    File f;
    ASSERT_TRUE(f.OpenForRead("f.txt", cause));
    Faults::FailNext(Op::Read, kHardIO);
    EXPECT_EQ(Failed(f.ReadAll(buffer, cause)), kHardIO);
    EXPECT_TRUE(buffer.View().empty());
}

TEST_F(FileLayerFiles, AtomicWriteReplacesOrLeavesAloneAndFilesCopyRenameAndGo) {
    WriteFileBytes("f.txt", "old");
    ASSERT_TRUE(WriteFileAtomically("f.txt", "new", cause));
    EXPECT_EQ(ReadFileBytes("f.txt"), "new");
    // A new file gets the mode the process's umask allows, and the umask stays as it is.
    const mode_t before = ::umask(027);
    ASSERT_TRUE(WriteFileAtomically("created.txt", "", cause));
    struct stat st {};
    ASSERT_EQ(::stat("created.txt", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(::umask(before), 027u);
    Faults::FailNext(Op::Rename, kAccessDenied);
    EXPECT_EQ(Failed(WriteFileAtomically("f.txt", "newer", cause)), kAccessDenied);
    EXPECT_EQ(ReadFileBytes("f.txt"), "new");
    EXPECT_EQ(Failed(WriteFileAtomically("no-such-folder/f.txt", "x", cause)), kFileNotFound);

    ASSERT_TRUE(CopyFile("f.txt", "b", cause));
    EXPECT_EQ(ReadFileBytes("b"), "new");
    ASSERT_TRUE(RenameFile("b", "c", cause));
    EXPECT_FALSE(FileExists("b"));
    ASSERT_TRUE(RemoveFile("c", cause));
    int causes[3] = {};
    EXPECT_FALSE(RemoveFile("c", causes[0]));
    EXPECT_FALSE(CopyFile("missing", "d", causes[1]));
    EXPECT_FALSE(RenameFile("missing", "d", causes[2]));
    for (int c : causes)
        EXPECT_EQ(c, kFileNotFound);
    EXPECT_FALSE(FileExists("d"));
}

// Things in the folder that are not regular files, or that point out of it.
TEST_F(FileLayerFiles, OnlyRegularFilesOpenAndNoLinkLeadsOutOfTheFolder) {
    ASSERT_EQ(mkfifo("pipe.txt", 0600), 0);
    File f;
    // A pipe nobody writes to would block for ever; it is refused at once.
    EXPECT_EQ(Failed(f.OpenExclusive("pipe.txt", cause)), kAccessDenied);
    EXPECT_FALSE(f.OpenForRead("pipe.txt", cause));
    EXPECT_FALSE(f.OpenForRead("/dev/null", cause));
    // A link to a file that does not exist is not followed to create it.
    ASSERT_EQ(symlink((dir.Path() + "/outside/made.txt").c_str(), "link.txt"), 0);
    ASSERT_EQ(mkdir("outside", 0700), 0);
    EXPECT_FALSE(f.OpenExclusive("link.txt", cause));
    EXPECT_FALSE(FileExists("outside/made.txt"));
    // A link to an existing file is the user's own arrangement: it is used.
    WriteFileBytes("outside/real.txt", "x");
    ASSERT_EQ(symlink((dir.Path() + "/outside/real.txt").c_str(), "real-link.txt"), 0);
    EXPECT_TRUE(f.OpenExclusive("real-link.txt", cause));
}

TEST_F(FileLayerFiles, LeftoverTemporariesOfOurFilesGoOthersStay) {
    for (const char* name : {"quorrincpp.txt.tmp-a1B2c3", "quorrincpp.txt.bak2.tmp-XyZ123",
                             "other.txt.tmp-abcdef", "quorrincpp.txt.tmp-short", "quorrincpp.txt"})
        WriteFileBytes(name, "x");
    EXPECT_EQ(RemoveLeftoverTemporaries(".", {"quorrincpp.txt"}), 2);
    EXPECT_FALSE(FileExists("quorrincpp.txt.tmp-a1B2c3"));
    EXPECT_FALSE(FileExists("quorrincpp.txt.bak2.tmp-XyZ123"));
    for (const char* kept : {"other.txt.tmp-abcdef", "quorrincpp.txt.tmp-short", "quorrincpp.txt"})
        EXPECT_TRUE(FileExists(kept)) << kept;
    // Young leftovers may be another writer's, when nobody holds the folder's lock.
    WriteFileBytes("quorrincpp.txt.tmp-new123", "x");
    EXPECT_EQ(RemoveLeftoverTemporaries(".", {"quorrincpp.txt"}, 60), 0);
}

TEST_F(FileLayerFiles, TheExclusiveOpenLocksTheFileThePathNamesAfterAReplace) {
    WriteFileBytes("a.txt", "old");
    // Between the open and the lock another writer replaces the file by rename.
    bool replaced = false;
    SetFaultHook([&replaced](const FaultPoint& p, std::size_t&) {
        if (p.op == Op::Lock && !replaced) {
            replaced = true;
            WriteFileBytes("a.txt.new", "new");
            std::rename("a.txt.new", "a.txt");
        }
        return static_cast<int>(kNone);
    });
    File f;
    ASSERT_TRUE(f.OpenExclusive("a.txt", cause));
    SetFaultHook(nullptr);
    std::string bytes;
    ASSERT_TRUE(f.ReadAll(bytes, cause));
    EXPECT_EQ(bytes, "new");
}

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

TEST_F(FileLayerFiles, AMarkerNameThatIsNoRegularFileIsToldAndNothingGoesThroughIt) {
    const std::string name = CFolderMarker::kFileName;
    std::string detail;
    // A link that points nowhere, one to a file, a folder, a pipe: none is opened or left.
    ASSERT_EQ(symlink("elsewhere.txt", name.c_str()), 0);
    CFolderMarker marker;
    EXPECT_EQ(marker.Take(".", detail), CFolderMarker::Result::NotAFile);
    EXPECT_EQ(detail, "a symbolic link");
    EXPECT_FALSE(FileExists("elsewhere.txt"));
    WriteFileBytes("elsewhere.txt", "mine\n");
    EXPECT_EQ(marker.Take(".", detail), CFolderMarker::Result::NotAFile);
    marker.Release();
    EXPECT_EQ(ReadFileBytes("elsewhere.txt"), "mine\n");
    ASSERT_EQ(std::remove(name.c_str()), 0);
    ASSERT_EQ(mkdir(name.c_str(), 0755), 0);
    EXPECT_EQ(marker.Take(".", detail), CFolderMarker::Result::NotAFile);
    EXPECT_EQ(detail, "a folder");
    ASSERT_EQ(rmdir(name.c_str()), 0);
    ASSERT_EQ(mkfifo(name.c_str(), 0644), 0);
    EXPECT_EQ(marker.Take(".", detail), CFolderMarker::Result::NotAFile); // without waiting on it
    EXPECT_EQ(detail, "a named pipe");
    ASSERT_EQ(std::remove(name.c_str()), 0);
    // A marker that is not ours any more is not removed with ours.
    ASSERT_EQ(marker.Take(".", detail), CFolderMarker::Result::Taken);
    ASSERT_EQ(std::remove(name.c_str()), 0);
    WriteFileBytes(name, "process 2 on elsewhere\n");
    marker.Release();
    EXPECT_EQ(ReadFileBytes(name), "process 2 on elsewhere\n");
}

} // namespace
