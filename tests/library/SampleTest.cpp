#include <gtest/gtest.h>

#include "base/TextRules.h"
#include "library/LibrarySearch.h"
#include "library/Sample.h"

namespace {

std::vector<std::string> Parse(const std::string& text) {
    CSample s;
    s.SetKeywords(text);
    return s.Keywords();
}

using Words = std::vector<std::string>;

TEST(SampleRecord, NewRecordIsEmptyWithNoReason) {
    CSample s;
    EXPECT_EQ(s.GetLoadErrorReason(), -1);
    EXPECT_EQ(s.GetKeywordCount(), 0u);
    EXPECT_EQ(s.GetKeywords(), "");
    EXPECT_EQ(s.GetTitle(), "");
    EXPECT_EQ(s.GetComments(), "");
}

TEST(SampleRecord, SettersStoreValuesUnchanged) {
    CSample s;
    s.SetTitle("  spaced title ");
    s.SetComments("a\r\nb");
    s.SetText("\t");
    EXPECT_EQ(s.GetTitle(), "  spaced title ");
    EXPECT_EQ(s.GetComments(), "a\r\nb");
    EXPECT_EQ(s.GetText(), "\t");
}

TEST(SampleRecord, AssignmentCopiesEverythingIncludingReason) {
    CSample a;
    a.SetTitle("t");
    a.SetCategory("c");
    a.SetSubcategory("s");
    a.SetKeywords("x, y");
    a.SetComments("co");
    a.SetText("te");
    a.SetLoadErrorReason(kReasonDuplicate);
    CSample b;
    b.SetKeywords("old1, old2, old3");
    b = a;
    EXPECT_EQ(b.GetTitle(), "t");
    EXPECT_EQ(b.GetCategory(), "c");
    EXPECT_EQ(b.GetSubcategory(), "s");
    EXPECT_EQ(b.Keywords(), (Words{"x", "y"}));
    EXPECT_EQ(b.GetComments(), "co");
    EXPECT_EQ(b.GetText(), "te");
    EXPECT_EQ(b.GetLoadErrorReason(), kReasonDuplicate);
    // Deep copy: changing the source leaves the copy alone.
    a.SetKeywords("z");
    EXPECT_EQ(b.Keywords(), (Words{"x", "y"}));

    CSample c(b);
    EXPECT_EQ(c.GetLoadErrorReason(), kReasonDuplicate);
    CSample& base = c;
    base = CSample();
    EXPECT_EQ(c.GetLoadErrorReason(), -1);
    EXPECT_EQ(c.GetKeywordCount(), 0u);
}

TEST(SampleRecord, ResetRestoresTheNewState) {
    CSample s;
    s.SetTitle("t");
    s.SetKeywords("a,b");
    s.SetText("x");
    s.SetLoadErrorReason(0);
    s.Reset();
    EXPECT_EQ(s.GetLoadErrorReason(), -1);
    EXPECT_EQ(s.GetKeywordCount(), 0u);
    EXPECT_EQ(s.GetTitle(), "");
    EXPECT_EQ(s.GetText(), "");
}

TEST(SampleRecord, ReasonTexts) {
    EXPECT_STREQ(LoadErrorReasonText(0), "Could not find parent item.");
    EXPECT_STREQ(LoadErrorReasonText(1), "Duplicate title.");
    EXPECT_STREQ(LoadErrorReasonText(-1), "");
    EXPECT_STREQ(LoadErrorReasonText(2), "");
}

TEST(SampleKeywords, EmptyStringIsRefusedAndKeepsTheArray) {
    CSample s;
    ASSERT_TRUE(s.SetKeywords("a, b"));
    EXPECT_FALSE(s.SetKeywords(""));
    EXPECT_EQ(s.Keywords(), (Words{"a", "b"}));
}

TEST(SampleKeywords, ParsingRules) {
    EXPECT_EQ(Parse("red,green , blue"), (Words{"red", "green", "blue"}));
    EXPECT_EQ(Parse(" a "), (Words{" a "})); // no comma: kept whole, untrimmed
    EXPECT_EQ(Parse(" solo "), (Words{" solo "}));
    EXPECT_EQ(Parse("a,,b"), (Words{"a", "", "b"}));    // empty keyword in the middle
    EXPECT_EQ(Parse("a, b,"), (Words{"a", "b"}));       // trailing comma adds nothing
    EXPECT_EQ(Parse("a, b,  "), (Words{"a", "b", ""})); // trailing blanks add one empty keyword
    EXPECT_EQ(Parse(","), (Words{""}));
    EXPECT_EQ(Parse("\ta\t,\tb\t"), (Words{"a", "b"}));
    EXPECT_EQ(Parse("x"), (Words{"x"}));
}

TEST(SampleKeywords, JoiningNormalisesSpacing) {
    CSample s;
    s.SetKeywords("a ,b");
    EXPECT_EQ(s.GetKeywords(), "a, b");
    s.SetKeywords("x,y");
    EXPECT_EQ(s.GetKeywords(), "x, y");
    s.SetKeywords("a,,b");
    EXPECT_EQ(s.GetKeywords(), "a, , b");
    s.SetKeywords("one");
    EXPECT_EQ(s.GetKeywords(), "one");
    EXPECT_EQ(s.GetKeywordCount(), 1u);
    EXPECT_EQ(s.GetKeyword(0), "one");
}

TEST(SampleKeywords, JoinedFormParsesBackToTheSameArray) {
    // What the file stores is the joined form; parsing it again must give the same
    // keywords for any array the parser can produce (the lone empty keyword of ","
    // is the one exception: its joined form is empty).
    for (const char* text :
         {"a", " a ", "a,b", "a, b, c", "a,,b", "a, b,  ", " x , y ", "a,b,", "k1, , k3"}) {
        CSample s;
        s.SetKeywords(text);
        CSample back;
        back.SetKeywords(s.GetKeywords());
        EXPECT_EQ(back.Keywords(), s.Keywords()) << text;
    }
}

TEST(SampleCount, KeywordsTitleCommentsAndText) {
    CSample s;
    s.SetKeywords("abab, xab");
    s.SetTitle("ab title");
    s.SetComments("AB comments ab");
    s.SetText("text ab");
    s.SetCategory("ab");
    s.SetSubcategory("ab");
    EXPECT_EQ(CSampleMatcher("ab", true, true).Count(s), 3u);
    EXPECT_EQ(CSampleMatcher("ab", false, true).Count(s), 6u); // category and sub-category never count
    EXPECT_EQ(CSampleMatcher("AB", true, false).Count(s), 3u);
    EXPECT_EQ(CSampleMatcher("AB", false, false).Count(s), 7u);
    EXPECT_EQ(CSampleMatcher("AB", false, true).Count(s), 1u);
}

TEST(SampleCount, MatchesNeverSpanTwoKeywords) {
    CSample s;
    s.SetKeywords("a,b");
    EXPECT_EQ(s.GetKeywords(), "a, b");
    EXPECT_EQ(CSampleMatcher("a, b", true, true).Count(s), 0u);
    EXPECT_EQ(CSampleMatcher("ab", true, true).Count(s), 0u);
}

TEST(SampleCount, KeywordsOnlyIgnoresTheText) {
    CSample s;
    s.SetText("needle needle");
    EXPECT_EQ(CSampleMatcher("needle", true, true).Count(s), 0u);
    EXPECT_EQ(CSampleMatcher("needle", false, true).Count(s), 2u);
}

TEST(SampleCount, CaseInsensitiveSearchFoldsNonAsciiText) {
    CSample s;
    s.SetText("\xC3\x84pfel und \xC3\xA4pfel"); // "Äpfel und äpfel" in UTF-8
    EXPECT_EQ(CSampleMatcher("\xC3\xA4pfel", false, false).Count(s), 2u);
    EXPECT_EQ(CSampleMatcher("\xC3\x84PFEL", false, false).Count(s), 2u);
    EXPECT_EQ(CSampleMatcher("\xC3\xA4pfel", false, true).Count(s), 1u);
    CSample w;
    w.SetText("\xC4pfel \xE4pfel"); // the same in Windows-1252
    EXPECT_EQ(CSampleMatcher("\xE4PFEL", false, false).Count(w), 2u);
    // What is typed as UTF-8 is found in Windows-1252 text too, and the other way round.
    EXPECT_EQ(CSampleMatcher("\xC3\xA4PFEL", false, false).Count(w), 2u);
    EXPECT_EQ(CSampleMatcher("\xC4pfel", false, true).Count(s), 1u);
}

} // namespace
