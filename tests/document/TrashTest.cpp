// Deleting through the trash: what goes is in tindrel-trash.txt before its category's
// file lets it go, and restoring it gives the file its bytes back.
#include <gtest/gtest.h>

#include "DocTestSupport.h"
#include "library/Trash.h"

namespace {

class Trash : public DocFixture {
protected:
    void SetUp() override {
        WriteFileBytes("quorrincpp.txt", FileBytes({MakeSample("A", "C++", "General", "k1, k2", "note\r\n", "int a;\r\n"),
                                                    MakeSample("B", "C++", "GUI", "", "", "b\r\n\r\nc\r\n")}));
        Load();
        doc->RemoveUnplacedSamples();
    }
    std::vector<trash::Deletion> InTrash() {
        std::vector<trash::Deletion> out;
        std::string problem;
        EXPECT_TRUE(trash::Read(".", out, problem)) << problem;
        return out;
    }
};

TEST_F(Trash, DeleteThenRestoreGivesTheSameBytes) {
    const std::string before = ReadFileBytes("quorrincpp.txt");
    ASSERT_TRUE(doc->TrashSample("B"));
    ASSERT_EQ(doc->TrashSubcategory("C++", "General"), "");
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), "");
    std::vector<trash::Deletion> deletions = InTrash();
    ASSERT_EQ(deletions.size(), 2u);
    EXPECT_EQ(trash::Describe(deletions[0]), "Sample \"B\"");
    EXPECT_EQ(trash::Describe(deletions[1]), "Sub-category \"General\" of \"C++\" (1 sample)");

    // Newest first, as Undo Delete takes them; the sub-category comes back with its sample.
    ASSERT_TRUE(doc->RestoreFromTrash(deletions[1].id));
    ASSERT_TRUE(doc->RestoreFromTrash(deletions[0].id));
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), before);
    EXPECT_TRUE(InTrash().empty());
    EXPECT_GE(doc->PeekCategory("C++")->FindSlot("General"), 0);
}

TEST_F(Trash, ATakenTitleIsRestoredUnderAFreeOne) {
    ASSERT_TRUE(doc->TrashSample("A"));
    ASSERT_TRUE(Add(MakeSample("A", "C++", "GUI")));
    std::vector<std::string> restored;
    ASSERT_TRUE(doc->RestoreFromTrash(InTrash().at(0).id, &restored));
    EXPECT_EQ(restored, std::vector<std::string>({"A (restored)"}));
    EXPECT_EQ(doc->PeekSample("A (restored)")->GetText(), "int a;\r\n");
}

TEST_F(Trash, NothingIsDeletedWhenTheTrashCannotBeWritten) {
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kDiskFull);
    EXPECT_FALSE(doc->TrashSample("A"));
    EXPECT_NE(doc->PeekSample("A"), nullptr);
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kDiskFull);
    EXPECT_FALSE(doc->TrashCategory("C++"));
    EXPECT_TRUE(fileio::FileExists("quorrincpp.txt"));
}

// A crash after the trash is written and before the category's file is: the sample is on
// disk twice, never nowhere.
TEST_F(Trash, ACrashBetweenTheTrashAndTheCategoryFileLosesNothing) {
    ASSERT_TRUE(doc->TrashSample("A"));
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kHardIO);
    doc->OnSaveDocument();
    doc.reset();
    EXPECT_NE(ReadFileBytes("quorrincpp.txt").find("***TITLE=A\r\n"), std::string::npos);
    ASSERT_EQ(InTrash().size(), 1u);
    EXPECT_EQ(InTrash()[0].samples.at(0).GetTitle(), "A");
}

// A restore its category's file cannot take yet leaves the deletion in the trash.
TEST_F(Trash, ARestoreStaysInTheTrashUntilItsFileHoldsIt) {
    ASSERT_TRUE(doc->TrashSample("A"));
    ASSERT_TRUE(doc->OnSaveDocument());
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kDiskFull);
    EXPECT_TRUE(doc->RestoreFromTrash(InTrash().at(0).id));
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt").find("***TITLE=A\r\n"), std::string::npos);
    EXPECT_EQ(InTrash().size(), 1u);
}

} // namespace
