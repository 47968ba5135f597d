// The search's regular expressions: what is counted in a field, how a bad pattern is
// told, and that a pattern that runs away ends with the limit instead of hanging.
#include <gtest/gtest.h>

#include "library/RegexMatcher.h"
#include "support/TestSupport.h"

namespace {

TEST(RegexMatcher, CountsNonEmptyMatchesFromTheLeft) {
    struct Row {
        const char* pattern;
        const char* field;
        bool matchCase;
        unsigned count;
    };
    const Row rows[] = {
        {"a+", "aaa baa", false, 2},
        {"aa", "aaaaa", false, 2},            // without overlap
        {"x*", "abc", false, 0},               // only empty matches: nothing
        {"x*", "xxaxx", false, 2},             // the empty ones between are not counted
        {"(?=a)", "aaa", false, 0},            // a look-ahead alone matches no character
        {"LIST", "list List", false, 2},
        {"LIST", "list List", true, 0},
        {"^int", "int a;\r\nint b;\r\n int c;", false, 2}, // ^ at each line
        {";$", "int a;\r\nint b;", false, 2},              // $ before CR LF
        {"\\d{2,}", "1 22 333", false, 2},
        {"\xC3\xA4", "B\xE4r \xC4", false, 2},     // Windows-1252 field, matched decoded
        {"^\xC3\x84", "\xC4rger", true, 1},
        {"\xE4", "B\xC3\xA4r", false, 1},          // a Windows-1252 pattern, a UTF-8 field
        {".", "\xC3\xA4\xC3\xB6", false, 2},       // characters, not bytes
    };
    for (const Row& row : rows) {
        CRegexMatcher matcher(row.pattern, false, row.matchCase);
        ASSERT_TRUE(matcher.Ok()) << row.pattern << ": " << matcher.Error();
        EXPECT_EQ(matcher.CountField(row.field), row.count) << row.pattern << " in " << row.field;
    }
}

TEST(RegexMatcher, CountsEachKeywordAloneAndTheFieldsTheSearchCounts) {
    const CSample sample = MakeSample("list title", "list", "list", "list, listbox", "a list", "list\r\nlist");
    EXPECT_EQ(CRegexMatcher("list", true, false).Count(sample), 2u);
    EXPECT_EQ(CRegexMatcher("list", false, false).Count(sample), 6u);
    EXPECT_EQ(CRegexMatcher("t,\\s*l", false, false).Count(sample), 0u); // never across two keywords
}

TEST(RegexMatcher, ABadPatternSaysWhereAndCountsNothing) {
    CRegexMatcher matcher("ab(c", false, false);
    EXPECT_FALSE(matcher.Ok());
    EXPECT_EQ(matcher.Error(), "The regular expression is not valid at character 5: missing closing parenthesis.");
    EXPECT_EQ(matcher.Count(MakeSample("ab(c")), 0u);
    EXPECT_EQ(CRegexMatcher("\xC3\xA4[", false, false).Error(),
              "The regular expression is not valid at character 3: missing terminating ] for character class.");
}

TEST(RegexMatcher, APatternThatRunsAwayIsEndedByTheLimit) {
    CRegexMatcher matcher("(a+)+$", false, true);
    const CSample sample = MakeSample("t", "C++", "General", "", "", std::string(40, 'a') + "b");
    EXPECT_EQ(matcher.Count(sample), 0u);
    EXPECT_TRUE(matcher.RanAway());
    // The next sample starts afresh.
    EXPECT_EQ(matcher.Count(MakeSample("aa")), 1u);
    EXPECT_FALSE(matcher.RanAway());
    EXPECT_NE(RanAwayMessage("t").find("\"t\""), std::string::npos);
}

} // namespace
