// The structure file's merge, one rule a row: two versions changed apart from one base.
#include <gtest/gtest.h>

#include "library/StructureMerge.h"

namespace {

using structuremerge::Merge;
using structuremerge::UsedNames;

// A compact way to write a structure: "Name=file|lang|sub,sub;Name2=..." (an empty part
// is empty).
LibraryStructure S(const std::string& text) {
    LibraryStructure out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find(';', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string item = text.substr(at, end - at);
        const size_t eq = item.find('=');
        const std::string name = item.substr(0, eq);
        std::string rest = eq == std::string::npos ? "" : item.substr(eq + 1);
        StructureCategory entry;
        const size_t p1 = rest.find('|');
        const size_t p2 = p1 == std::string::npos ? p1 : rest.find('|', p1 + 1);
        entry.fileName = rest.substr(0, p1);
        if (p1 != std::string::npos)
            entry.language = rest.substr(p1 + 1, p2 - p1 - 1);
        if (p2 != std::string::npos) {
            std::string subs = rest.substr(p2 + 1);
            size_t s = 0;
            while (s < subs.size()) {
                size_t comma = subs.find(',', s);
                if (comma == std::string::npos)
                    comma = subs.size();
                entry.subcategories.push_back(subs.substr(s, comma - s));
                s = comma + 1;
            }
        }
        out[name] = entry;
        at = end + 1;
    }
    return out;
}

TEST(StructureMerge, OneRuleARow) {
    struct Row {
        const char* rule;
        const char* base;
        const char* ours;
        const char* theirs;
        UsedNames used;
        const char* merged;
    };
    const Row rows[] = {
        {"nothing changed", "A=qA.txt||S", "A=qA.txt||S", "A=qA.txt||S", {}, "A=qA.txt||S"},
        {"a category added there", "A=qA.txt||", "A=qA.txt||", "A=qA.txt||;B=qB.txt|Go|T", {}, "A=qA.txt||;B=qB.txt|Go|T"},
        {"a category added here", "", "B=qB.txt||", "", {}, "B=qB.txt||"},
        {"added on both sides, differently", "", "B=qB.txt|Go|S", "B=qB.txt|Rust|T", {}, "B=qB.txt|Go|S,T"},
        {"deleted there, unchanged here", "A=qA.txt||S;B=qB.txt||", "A=qA.txt||S;B=qB.txt||", "B=qB.txt||", {},
         "B=qB.txt||"},
        {"deleted here, unchanged there", "A=qA.txt||S", "", "A=qA.txt||S", {}, ""},
        {"deleted there, a sub-category added here", "A=qA.txt||S", "A=qA.txt||S,T", "", {}, "A=qA.txt||S,T"},
        {"deleted there, its language changed here", "A=qA.txt||", "A=qA.txt|Go|", "", {}, "A=qA.txt|Go|"},
        {"deleted there, still named by records here", "A=qA.txt||S,T", "A=qA.txt||S,T", "", {{"A", {"T"}}},
         "A=qA.txt||T"},
        {"a sub-category added on each side", "C++=||S", "C++=||S,T", "C++=||S,U", {}, "C++=||S,T,U"},
        {"a sub-category deleted there", "C++=||S,T", "C++=||S,T", "C++=||T", {}, "C++=||T"},
        {"a sub-category deleted here", "C++=||S,T", "C++=||T", "C++=||S,T", {}, "C++=||T"},
        {"a deleted sub-category a record names", "C++=||S,T", "C++=||S,T", "C++=||T", {{"C++", {"S"}}},
         "C++=||S,T"},
        {"a language changed there", "A=qA.txt|Go|", "A=qA.txt|Go|", "A=qA.txt|Rust|", {}, "A=qA.txt|Rust|"},
        {"a language changed on both sides", "A=qA.txt|Go|", "A=qA.txt|C|", "A=qA.txt|Rust|", {}, "A=qA.txt|C|"},
        {"no base: both sides kept whole", "", "A=qA.txt||S", "A=qA.txt||T;B=qB.txt||", {},
         "A=qA.txt||S,T;B=qB.txt||"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        const auto result = Merge(S(row.base), S(row.ours), S(row.theirs), row.used);
        EXPECT_EQ(StructureText(result.merged), StructureText(S(row.merged)));
        EXPECT_TRUE(result.withoutPlace.empty());
    }
}

TEST(StructureMerge, AdditionsPastTheCategorysPlacesAreReportedNotWritten) {
    // Twelve places left by the category's three default sub-categories; each side added
    // seven.
    std::string ours = "C++=||", theirs = "C++=||";
    for (int i = 0; i < 7; ++i) {
        ours += (i ? "," : "") + std::string("o") + std::to_string(i);
        theirs += (i ? "," : "") + std::string("t") + std::to_string(i);
    }
    const auto result = Merge({}, S(ours), S(theirs), {}, [](const std::string&) { return size_t{12}; });
    ASSERT_EQ(result.merged.at("C++").subcategories.size(), 12u);
    EXPECT_EQ(result.merged.at("C++").subcategories[7], "t0");
    const std::vector<std::pair<std::string, std::string>> left = {{"C++", "t5"}, {"C++", "t6"}};
    EXPECT_EQ(result.withoutPlace, left);
}

} // namespace
