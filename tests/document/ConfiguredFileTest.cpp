// Category files the library's structure or a new category's name could give that collide with
// another category's file or with the program's own files in the library folder.
#include "DocTestSupport.h"
#include "base/FolderMarker.h"
#include "library/EditRules.h"
#include "library/LibraryStructure.h"

namespace {

using ConfiguredFile = DocFixture;

TEST_F(ConfiguredFile, AFileAnotherCategoryOrTheProgramUsesLeavesTheCategoryOutWithItsKeys) {
    const std::string cpp = FileBytes({MakeSample("Only", "C++")});
    WriteFileBytes("quorrincpp.txt", cpp);
    WriteFileBytes(CFolderMarker::kFileName, "process 1 on elsewhere\n");
    const char* const refused[][2] = {{"Cee", "quorrincpp.txt"},  {"Dee", ".tindrel.lock"},
                                      {"Eee", "library.txt"},     {"Fff", "shared.txt.bak"},
                                      {"Ggg", "shared.txt.bak2"}, {"Hhh", "shared.txt.tmp-Ab12Cd"}};
    // The library's structure names them (a configuration's such categories are not taken
    // into a folder at all).
    std::string structure = "TindrelLibrary 1\ncategory \"Alpha\" file \"shared.txt\"\n"
                            "category \"Beta\" file \"shared.txt\"\nsubcategory \"Beta\" \"Sub\"\n";
    for (const auto& [name, file] : refused)
        structure += std::string("category \"") + name + "\" file \"" + file + "\"\n";
    structure += "end\n";
    WriteFileBytes(kStructureFileName, structure);
    Load();
    ASSERT_EQ(messages.shown.size(), 7u); // each once
    EXPECT_EQ(messages.shown[0].text,
              "The configuration names the file \"shared.txt\" for category \"Beta\", "
              "which category \"Alpha\" uses already.\n"
              "The category is left out; its settings are kept.");
    EXPECT_NE(doc->PeekCategory("Alpha"), nullptr);
    EXPECT_EQ(doc->PeekCategory("Beta"), nullptr);
    for (const auto& [name, file] : refused)
        EXPECT_EQ(doc->PeekCategory(name), nullptr) << name;
    EXPECT_EQ(Titles(), std::vector<std::string>{"Only"});
    EXPECT_EQ(errors.GetCount(), 0); // nothing doubled
    ASSERT_TRUE(doc->OnSaveDocument());
    Close();
    EXPECT_EQ(ReadFileBytes("quorrincpp.txt"), cpp);
    EXPECT_EQ(ReadFileBytes(CFolderMarker::kFileName), "process 1 on elsewhere\n");
    EXPECT_EQ(ReadFileBytes(kStructureFileName), structure); // the left-out entries stay
}

// "quorrincpp.txt.tmp-ab.txt" looks like a temporary file of the C++ category's file, and
// those are removed at start.
TEST_F(ConfiguredFile, ANewCategoryWhoseFileLooksLikeTheProgramsOwnIsRefused) {
    Load();
    EXPECT_FALSE(CheckNewCategoryName(*doc, "cpp.txt.tmp-ab").Ok());
    EXPECT_TRUE(CheckNewCategoryName(*doc, "x.bak").Ok()); // "quorrinx.bak.txt" is no backup name
}

} // namespace
