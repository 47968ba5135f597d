// Sync through git between library folders cloned from one bare repository in a temporary
// folder (no network): the sync run in process, git's merge driver run as tindrel-cli.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/ProcessRunner.h"
#include "library/LibrarySync.h"
#include "library/SyncMerge.h"
#include "support/TestSupport.h"

namespace {

namespace fs = std::filesystem;

std::string Rec(const std::string& title, const std::string& text) {
    return FileBytes({MakeSample(title, "Java", "General", "", "", text + "\r\n")});
}

class Sync : public ::testing::Test {
protected:
    Sync() {
        if (const char* tool = std::getenv("TINDREL_CLI"))
            options.driverProgram = tool;
        Git(dir.Path(), {"init", "-q", "--bare", "-b", "master", bare});
        fs::create_directories(a);
        WriteFileBytes(a + "/quorrinjava.txt", Rec("A", "a1") + Rec("B", "b1") + Rec("C", "c1"));
        WriteFileBytes(a + "/library.txt", "");
        Expect(librarysync::Init(a, bare, options));
        Expect(librarysync::Clone(bare, b, options));
    }
    proc::Result Git(const std::string& folder, std::vector<std::string> args) {
        args.insert(args.begin(), {"git", "-C", folder});
        return proc::Run(args);
    }
    static void Expect(const librarysync::Report& r) {
        std::string problems;
        for (const std::string& p : r.problems)
            problems += p + "\n";
        EXPECT_TRUE(r.ok && r.problems.empty()) << problems;
    }
    std::string Java(const std::string& folder) { return ReadFileBytes(folder + "/quorrinjava.txt"); }
    std::string Log(const std::string& folder) { return Git(folder, {"log", "--format=%s"}).out; }

    // No user or system git configuration: the identity is the one made from user and host.
    EnvVar noGlobal{"GIT_CONFIG_GLOBAL", "/dev/null"};
    EnvVar noSystem{"GIT_CONFIG_NOSYSTEM", "1"};
    TempDir dir;
    std::string bare = dir.File("remote.git"), a = dir.File("a"), b = dir.File("b");
    librarysync::Options options;
};

TEST_F(Sync, TwoFoldersChangedApartHoldEveryVersionAfterSyncingBothWays) {
    // A: edits A, adds D, deletes C. B: edits A differently, edits C, deletes B.
    WriteFileBytes(a + "/quorrinjava.txt", Rec("A", "a2") + Rec("B", "b1") + Rec("D", "d1"));
    WriteFileBytes(b + "/quorrinjava.txt", Rec("A", "a3") + Rec("C", "c2"));
    options.deleted = {{"quorrinjava.txt", {"B", "C"}}};
    Expect(librarysync::Sync(a, options));
    Expect(librarysync::Sync(b, options));
    Expect(librarysync::Sync(a, options));
    // B's copy: its A in place, A's edit of A kept twice after it, C's edit beats A's delete,
    // B's delete of B taken, A's D added.
    const std::string merged = Rec("A", "a3") + Rec("C", "c2") + Rec("A", "a2") + Rec("D", "d1");
    EXPECT_EQ(Java(b), merged);
    EXPECT_EQ(Java(a), merged);
    EXPECT_NE(Log(a).find("Add sample D to Java; Edit sample A in Java; Delete sample C from Java"), std::string::npos);
    EXPECT_NE(Log(a).find("Edit 2 samples in Java; Delete sample B from Java"), std::string::npos);
    const librarysync::Status status = librarysync::GetStatus(a, true);
    EXPECT_EQ(status.state, librarysync::State::KeptTwice);
    EXPECT_EQ(status.keptTwice, std::vector<std::string>{"\"A\" in quorrinjava.txt"});
    EXPECT_EQ(status.ahead + status.behind, 0);
}

TEST_F(Sync, AFileThatLostRecordsOrReadsCutShortIsNotCommitted) {
    WriteFileBytes(a + "/quorrinjava.txt", Rec("A", "a1"));
    librarysync::Report r = librarysync::Sync(a, options);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_NE(r.problems[0].find("has lost 2 samples since the last commit (B, C)"), std::string::npos);
    WriteFileBytes(a + "/quorrinjava.txt", (Rec("A", "a1") + Rec("B", "b2")).substr(0, 300));
    r = librarysync::Sync(a, options);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_NE(r.problems[0].find("could not be read to its end"), std::string::npos);
    EXPECT_EQ(Git(bare, {"show", "master:quorrinjava.txt"}).out, Rec("A", "a1") + Rec("B", "b1") + Rec("C", "c1"));
    EXPECT_EQ(librarysync::GetStatus(a, false).state, librarysync::State::LocalChanges);
}

TEST_F(Sync, ARejectedPushIsFetchedMergedAndPushedAgain) {
    // B has a commit ready; A's pre-push hook pushes it first, so A's push is rejected once.
    WriteFileBytes(b + "/quorrinjava.txt", Rec("A", "a1") + Rec("B", "b2") + Rec("C", "c1"));
    Expect(librarysync::CommitLocal(b, options));
    WriteFileBytes(a + "/.git/hooks/pre-push",
                   "#!/bin/sh\n[ -e \"$0.done\" ] && exit 0\ntouch \"$0.done\"\n"
                   "env -u GIT_DIR -u GIT_WORK_TREE -u GIT_INDEX_FILE git -C '" + b + "' push -q origin master\n");
    fs::permissions(a + "/.git/hooks/pre-push", fs::perms::owner_all);
    WriteFileBytes(a + "/quorrinjava.txt", Rec("A", "a2") + Rec("B", "b1") + Rec("C", "c1"));
    const librarysync::Report r = librarysync::Sync(a, options);
    Expect(r);
    std::string lines;
    for (const std::string& l : r.lines)
        lines += l + "\n";
    EXPECT_NE(lines.find("moved on"), std::string::npos) << lines;
    EXPECT_EQ(Git(bare, {"show", "master:quorrinjava.txt"}).out, Rec("A", "a2") + Rec("B", "b2") + Rec("C", "c1"));
}

TEST_F(Sync, AFailedWriteOfTheMergeUndoesItAndTheNextSyncMerges) {
    // A deletes the whole file on purpose; B edits a record: the edit wins, written here.
    fs::remove(a + "/quorrinjava.txt");
    options.commitDeletions = true;
    Expect(librarysync::CommitLocal(a, options));
    WriteFileBytes(b + "/quorrinjava.txt", Rec("A", "a1") + Rec("B", "b2") + Rec("C", "c1"));
    Expect(librarysync::Sync(b, options));
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kDiskFull);
    const librarysync::Report failed = librarysync::Sync(a, options);
    fileio::Faults::Clear();
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(fs::exists(a + "/quorrinjava.txt"));
    EXPECT_FALSE(fs::exists(a + "/.git/MERGE_HEAD"));
    EXPECT_EQ(Log(a).find("Delete 3 samples from Java"), 0u);
    Expect(librarysync::Sync(a, options));
    EXPECT_EQ(Java(a), Rec("A", "a1") + Rec("B", "b2") + Rec("C", "c1"));
}

TEST_F(Sync, APlainGitPullMergesAsSyncDoes) {
    Expect(librarysync::Clone(bare, dir.File("c"), options));
    const std::string c = dir.File("c");
    WriteFileBytes(a + "/quorrinjava.txt", Rec("A", "a2") + Rec("B", "b1") + Rec("C", "c1"));
    Expect(librarysync::Sync(a, options));
    for (const std::string& folder : {b, c}) {
        WriteFileBytes(folder + "/quorrinjava.txt", Rec("A", "a3") + Rec("B", "b2") + Rec("C", "c1"));
        Expect(librarysync::CommitLocal(folder, options));
    }
    // The same two versions merged by a plain pull in one folder and by a sync in the other.
    const proc::Result pulled = Git(c, {"-c", "user.name=T", "-c", "user.email=t@h", "pull", "-q", "--no-rebase", "--no-edit"});
    EXPECT_TRUE(pulled.Ok()) << pulled.err;
    Expect(librarysync::Sync(b, options));
    EXPECT_EQ(Java(c), Java(b));
    EXPECT_EQ(Java(b), Rec("A", "a3") + Rec("B", "b2") + Rec("C", "c1") + Rec("A", "a2"));
}

TEST_F(Sync, TheStructureFileMerges) {
    WriteFileBytes(a + "/tindrel-library.txt", "TindrelLibrary 1\ncategory \"Java\"\nsubcategory \"Java\" \"Streams\"\nend\n");
    WriteFileBytes(b + "/tindrel-library.txt",
                   "TindrelLibrary 1\ncategory \"Tools\" file \"quorrinTools.txt\"\nend\n");
    Expect(librarysync::Sync(a, options));
    Expect(librarysync::Sync(b, options));
    const std::string merged = "TindrelLibrary 1\ncategory \"Java\"\nsubcategory \"Java\" \"Streams\"\n"
                               "category \"Tools\" file \"quorrinTools.txt\"\nend\n";
    EXPECT_EQ(ReadFileBytes(b + "/tindrel-library.txt"), merged);
}

TEST_F(Sync, InitRefusesAFolderInsideAnotherRepository) {
    fs::create_directories(a + "/inner");
    const librarysync::Report r = librarysync::Init(a + "/inner", "", options);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_NE(r.problems[0].find("is inside the git repository at"), std::string::npos);
    EXPECT_FALSE(fs::exists(a + "/inner/.gitattributes"));
    EXPECT_EQ(ReadFileBytes(a + "/.gitattributes"),
              "quorrin*.txt -text merge=tindrel\ntindrel-library.txt -text merge=tindrel\n");
}

TEST(MergeFile, AFailedWriteLeavesOursAsItWas) {
    TempDir dir;
    WriteFileBytes(dir.File("o"), Rec("A", "a1"));
    WriteFileBytes(dir.File("a"), Rec("A", "a2"));
    WriteFileBytes(dir.File("b"), Rec("A", "a1") + Rec("B", "b1"));
    std::string report;
    fileio::Faults::FailNext(fileio::Op::Write, fileio::kDiskFull);
    EXPECT_EQ(syncmerge::MergeFileInPlace(dir.File("o"), dir.File("a"), dir.File("b"), "quorrinjava.txt", dir.Path(), report), 2);
    fileio::Faults::Clear();
    EXPECT_EQ(ReadFileBytes(dir.File("a")), Rec("A", "a2"));
    EXPECT_EQ(syncmerge::MergeFileInPlace(dir.File("o"), dir.File("a"), dir.File("b"), "quorrinjava.txt", dir.Path(), report), 0);
    EXPECT_EQ(ReadFileBytes(dir.File("a")), Rec("A", "a2") + Rec("B", "b1"));
}

} // namespace
