// Sync tools' conflict copies: merged by record into the file they copy, set aside only
// after that file is written, and only reported by a read-only load.
#include <sys/stat.h>

#include "DocTestSupport.h"

#include "library/ConflictCopy.h"
#include "library/LibraryStructure.h"

namespace {

using ConflictCopies = DocFixture;
using Strings = std::vector<std::string>;

const char* kJavaCopy = "quorrinjava.sync-conflict-20261201-101010-ABCDEFG.txt";
const char* kStructureCopy = "tindrel-library (conflicted copy 2026-12-01 101010).txt";

TEST_F(ConflictCopies, ACopyIsMergedByRecordAndSetAsideOnlyOnceItsFileIsWritten) {
    const CSample a = MakeSample("A", "Java", "General", "", "", "a\r\n");
    const CSample b = MakeSample("B", "Java", "General", "", "", "b\r\n");
    const CSample b2 = MakeSample("B", "Java", "General", "", "", "b changed there\r\n");
    const CSample c = MakeSample("C", "Java", "GUI", "", "", "c\r\n");
    const CSample d = MakeSample("D", "Nowhere", "General", "", "", "d\r\n");
    const std::string java = FileBytes({a, b});
    const std::string copy = FileBytes({a, b2, c, d});
    const std::string structureCopy = "TindrelLibrary 1\ncategory \"Go\" file \"quorrinGo.txt\"\nend\n";
    WriteFileBytes("quorrinjava.txt", java);
    WriteFileBytes(kJavaCopy, copy);
    WriteFileBytes(kStructureCopy, structureCopy);

    // The command-line tool's read-only load says what merging would do and writes nothing.
    Load(LoadMode::ReadOnly);
    EXPECT_EQ(Titles(), (Strings{"A", "B"}));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find("would add 1 sample and keep 2 samples twice (1 already"),
              std::string::npos);
    doc.reset();
    messages.Clear();
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), java);
    EXPECT_FALSE(fileio::FileExists(kStructureFileName));

    Load();
    EXPECT_EQ(Titles(), (Strings{"A", "B", "C"}));
    EXPECT_EQ(ErrorTitles(), (Strings{"B", "D"}));
    EXPECT_NE(doc->PeekCategory("Go"), nullptr);
    // A save that cannot write the Java file leaves the copy where it is.
    fileio::Faults::FailNext(fileio::Op::Rename, fileio::kDiskFull);
    doc->OnSaveDocument();
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), java);
    EXPECT_EQ(ReadFileBytes(kJavaCopy), copy);
    messages.Clear();
    ASSERT_TRUE(doc->OnSaveDocument());
    const std::string merged = FileBytes({a, b, c, b2, d});
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), merged);
    EXPECT_FALSE(fileio::FileExists(kJavaCopy));
    EXPECT_FALSE(fileio::FileExists(kStructureCopy));
    const std::string aside = std::string(kMergedCopiesFolder) + "/";
    EXPECT_EQ(ReadFileBytes(aside + kJavaCopy), copy);
    EXPECT_EQ(ReadFileBytes(aside + kStructureCopy), structureCopy);
    EXPECT_NE(ReadFileBytes(kStructureFileName).find("category \"Go\" file \"quorrinGo.txt\""), std::string::npos);
    Close();

    // Nothing of it is merged twice, also when the same copy turns up again.
    WriteFileBytes(kJavaCopy, copy);
    errors.Remove("B");
    errors.Remove("D");
    Load();
    EXPECT_EQ(Titles(), (Strings{"A", "B", "C"}));
    EXPECT_EQ(ErrorTitles(), (Strings{"B", "D"}));
    Close();
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), merged);
    EXPECT_EQ(ReadFileBytes(aside + kJavaCopy + ".2"), copy);
}

TEST_F(ConflictCopies, ACopyBroughtWhileTheLibraryIsOpenIsToldWithTheOutsideChanges) {
    const CSample a = MakeSample("A", "Java");
    WriteFileBytes("quorrinjava.txt", FileBytes({a}));
    Load();
    const std::string copy = FileBytes({a, MakeSample("New", "Java")});
    WriteFileBytes(kJavaCopy, copy);
    doc->ReloadChangedCategories();
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(view.outside.size(), 1u);
    EXPECT_NE(view.outside[0].find("1 sample added"), std::string::npos);
    doc->ReloadChangedCategories(); // once only
    EXPECT_EQ(view.outside.size(), 1u);
    ASSERT_TRUE(doc->OnSaveDocument());
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), copy);
    EXPECT_EQ(ReadFileBytes(std::string(kMergedCopiesFolder) + "/" + kJavaCopy), copy);
}

TEST_F(ConflictCopies, ACopyThatCannotBeReadToItsEndIsLeftAsItIs) {
    const std::string java = FileBytes({MakeSample("A", "Java")});
    const std::string cut = FileBytes({MakeSample("X", "Java", "General", "", "", "x\r\n")}).substr(0, 30);
    WriteFileBytes("quorrinjava.txt", java);
    WriteFileBytes(kJavaCopy, cut);
    Load();
    EXPECT_EQ(Titles(), Strings{"A"});
    ASSERT_EQ(messages.shown.size(), 1u);
    Close();
    EXPECT_EQ(ReadFileBytes(kJavaCopy), cut);
    EXPECT_EQ(ReadFileBytes("quorrinjava.txt"), java);
}

} // namespace
