// The library's structure file: its exact bytes, and what a damaged, foreign or newer
// file gives.
#include <gtest/gtest.h>

#include "library/LibraryStructure.h"
#include "support/TestSupport.h"

namespace {

TEST(LibraryStructure, WritesAndReadsTheFileByteForByte) {
    const std::string fixture = ReadFileBytes(std::string(TINDREL_TEST_DATA) + "/structure/library.txt");
    LibraryStructure built;
    built["Tools"] = {"quorrinTools.txt", "", {"Sorting", "\xC3\xA9t\xC3\xA9"}};
    built["C++"] = {"", "", {"Templates", "Atomics"}};
    built["Say \"hi\""] = {"quorrinSay.txt", "Python", {"Gr\xFC\xDF" "e"}};
    EXPECT_EQ(StructureText(built), fixture);

    LibraryStructure read;
    const StructureReadResult result = ParseStructure(fixture, read);
    EXPECT_TRUE(result.whole);
    EXPECT_EQ(read, built);
}

TEST(LibraryStructure, ADamagedFileGivesWhatCanBeReadAndSaysWhere) {
    struct Case {
        const char* what;
        std::string text;
        bool whole, foreign, newer;
        int badLine;
        std::vector<std::string> names; // the categories read
    };
    const std::string good = "TindrelLibrary 1\ncategory \"A\" file \"quorrinA.txt\"\nsubcategory \"A\" \"S\"\n";
    const Case cases[] = {
        {"whole, CR LF and a byte-order mark", "\xEF\xBB\xBFTindrelLibrary 1\r\ncategory \"A\" file \"quorrinA.txt\"\r\nend\r\n",
         true, false, false, 0, {"A"}},
        {"cut before its end line", good, false, false, false, 0, {"A"}},
        {"cut inside a line", good + "subcategory \"A\" \"T", false, false, false, 4, {"A"}},
        {"a line not understood", good + "category \"B\" colour \"red\"\nend\n", false, false, false, 4, {"A"}},
        {"an unclosed quote", "TindrelLibrary 1\ncategory \"B\nend\n", false, false, false, 2, {}},
        {"text after the end", good + "end\ncategory \"B\"\n", false, false, false, 5, {"A"}},
        {"comments and blank lines", "TindrelLibrary 1\n# mine\n\ncategory \"A\"\nend\n", true, false, false, 0, {"A"}},
        {"another program's file", "TindrelConfig 1\nend\n", false, true, false, 0, {}},
        {"a later version", "TindrelLibrary 2\ncategory \"A\"\nend\n", false, false, true, 0, {}},
    };
    for (const Case& c : cases) {
        LibraryStructure read;
        const StructureReadResult result = ParseStructure(c.text, read);
        EXPECT_EQ(result.whole, c.whole) << c.what;
        EXPECT_EQ(result.foreign, c.foreign) << c.what;
        EXPECT_EQ(result.newer, c.newer) << c.what;
        EXPECT_EQ(result.firstBadLine, c.badLine) << c.what;
        std::vector<std::string> names;
        for (const auto& [name, entry] : read)
            names.push_back(name);
        EXPECT_EQ(names, c.names) << c.what;
    }
}

} // namespace
