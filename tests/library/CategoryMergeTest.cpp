// The three-way merge of a category file's bytes, as a table: each row a small base, ours
// and theirs, and the bytes the merge must give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/CategoryMerge.h"

namespace {

// One record as the program writes it; text is one line.
std::string R(const std::string& title, const std::string& text, const std::string& category = "Java") {
    return ">>>>SAMPLE_BEGIN>>>>>>>>>>>>>>>>>>>>>>>\r\n"
           "***CATEGORY=" + category + "\r\n"
           "***SUBCATEGORY=General\r\n"
           "***TITLE=" + title + "\r\n"
           "***KEYWORDS_BEGIN***\r\n\r\n***KEYWORDS_END***\r\n"
           "***COMMENTS_BEGIN***\r\n\r\n***COMMENTS_END***\r\n"
           "***TEXT_BEGIN***\r\n" + text + "\r\n***TEXT_END***\r\n"
           "<<<<SAMPLE_END<<<<<<<<<<<<<<<<<<<<<<<<<\r\n";
}

struct Row {
    const char* name;
    std::string base, ours, theirs;
    std::string merged;
    std::vector<std::string> keptTwice;
};

TEST(CategoryMerge, Table) {
    const std::string a1 = R("A", "a1"), a2 = R("A", "a2"), a3 = R("A", "a3");
    const std::string b1 = R("B", "b1"), b2 = R("B", "b2"), c1 = R("C", "c1"), d1 = R("D", "d1");
    const std::vector<Row> rows = {
        {"edits to different records", a1 + b1, a2 + b1, a1 + b2, a2 + b2, {}},
        {"one record edited on both sides", a1 + b1, a2 + b1, a3 + b1, a2 + b1 + a3, {"A"}},
        {"deleted here, edited there", a1 + b1, b1, a2 + b1, b1 + a2, {}},
        {"edited here, deleted there", a1 + b1, a2 + b1, b1, a2 + b1, {}},
        {"deleted there, unchanged here", a1 + b1, a1 + b1, b1, b1, {}},
        {"added on both sides", a1, a1 + c1, a1 + d1, a1 + c1 + d1, {}},
        {"the same addition on both sides", a1, a1 + c1, a1 + c1, a1 + c1, {}},
        {"added on both sides, differently", "", c1, R("C", "other"), c1 + R("C", "other"), {"C"}},
        {"moved to another category there", a1, a1, R("A", "a1", "C++"), R("A", "a1", "C++"), {}},
        // A duplicate kept by an earlier merge, corrected here (renamed): it goes once.
        {"a duplicate corrected on one side", a2 + a3, a2 + R("A (2)", "a3"), a2 + a3, a2 + R("A (2)", "a3"), {}},
        {"a duplicate left on both sides stays once", a2 + a3, a2 + a3 + b1, a2 + a3, a2 + a3 + b1, {}},
    };
    for (const Row& row : rows) {
        const categorymerge::Result r = categorymerge::Merge(row.base, row.ours, row.theirs);
        EXPECT_EQ(r.bytes, row.merged) << row.name;
        EXPECT_EQ(r.keptTwice, row.keptTwice) << row.name;
        EXPECT_FALSE(r.wholeVersions) << row.name;
        EXPECT_EQ(r.bytes.find("<<<<<<< "), std::string::npos) << row.name;
        EXPECT_EQ(r.bytes.find(">>>>>>> "), std::string::npos) << row.name;
    }
}

TEST(CategoryMerge, AVersionCutShortKeepsBothWholeVersions) {
    const std::string a1 = R("A", "a1"), b1 = R("B", "b1"), b2 = R("B", "b2");
    const std::string cut = a1 + b2.substr(0, 60);
    // The readable version first, then the cut one as it is (the load stops at its break).
    categorymerge::Result r = categorymerge::Merge(a1 + b1, cut, a1 + b1);
    EXPECT_TRUE(r.wholeVersions);
    EXPECT_EQ(r.bytes, a1 + b1 + cut);
    r = categorymerge::Merge(a1 + b1, a1 + b1 + R("C", "c1"), cut);
    EXPECT_EQ(r.bytes, a1 + b1 + R("C", "c1") + cut);
    // Without a final line end the next version still starts on a line of its own.
    r = categorymerge::Merge("", cut, cut);
    EXPECT_EQ(r.bytes, cut + "\r\n" + cut);
}

} // namespace
