#include <gtest/gtest.h>

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

TEST(SampleCount, CountsNonOverlappingMatches) {
    EXPECT_EQ(CountIn("aaaa", "aa"), 2u);
    EXPECT_EQ(CountIn("abab", "ab"), 2u);
    EXPECT_EQ(CountIn("", "a"), 0u);
    EXPECT_EQ(CountIn("a", "ab"), 0u);
    EXPECT_EQ(CountIn("abc", ""), 0u);
    EXPECT_EQ(CountIn("aaa", "a"), 3u);
}

TEST(SampleCount, KeywordsTitleCommentsAndText) {
    CSample s;
    s.SetKeywords("abab, xab");
    s.SetTitle("ab title");
    s.SetComments("AB comments ab");
    s.SetText("text ab");
    s.SetCategory("ab");
    s.SetSubcategory("ab");
    EXPECT_EQ(s.CountOccurrences("ab", true, true), 3u);
    EXPECT_EQ(s.CountOccurrences("ab", false, true), 6u); // category and sub-category never count
    EXPECT_EQ(s.CountOccurrences("AB", true, false), 3u);
    EXPECT_EQ(s.CountOccurrences("AB", false, false), 7u);
    EXPECT_EQ(s.CountOccurrences("AB", false, true), 1u);
}

TEST(SampleCount, MatchesNeverSpanTwoKeywords) {
    CSample s;
    s.SetKeywords("a,b");
    EXPECT_EQ(s.GetKeywords(), "a, b");
    EXPECT_EQ(s.CountOccurrences("a, b", true, true), 0u);
    EXPECT_EQ(s.CountOccurrences("ab", true, true), 0u);
}

TEST(SampleCount, KeywordsOnlyIgnoresTheText) {
    CSample s;
    s.SetText("needle needle");
    EXPECT_EQ(s.CountOccurrences("needle", true, true), 0u);
    EXPECT_EQ(s.CountOccurrences("needle", false, true), 2u);
}

TEST(SampleCount, CaseInsensitiveSearchFoldsNonAsciiText) {
    CSample s;
    s.SetText("\xC3\x84pfel und \xC3\xA4pfel"); // "Äpfel und äpfel" in UTF-8
    EXPECT_EQ(s.CountOccurrences("\xC3\xA4pfel", false, false), 2u);
    EXPECT_EQ(s.CountOccurrences("\xC3\x84PFEL", false, false), 2u);
    EXPECT_EQ(s.CountOccurrences("\xC3\xA4pfel", false, true), 1u);
    CSample w;
    w.SetText("\xC4pfel \xE4pfel"); // the same in Windows-1252
    EXPECT_EQ(w.CountOccurrences("\xE4PFEL", false, false), 2u);
}

TEST(SampleFoldCase, Ascii) {
    EXPECT_EQ(FoldCase("Hello WORLD 123 [_]"), "hello world 123 [_]");
    EXPECT_EQ(FoldCase(""), "");
}

TEST(SampleFoldCase, Utf8Capitals) {
    EXPECT_EQ(FoldCase("\xC3\x84\xC3\x96\xC3\x9C"), "\xC3\xA4\xC3\xB6\xC3\xBC"); // ÄÖÜ -> äöü
    EXPECT_EQ(FoldCase("\xC3\x97"), "\xC3\x97");                                 // × stays
    EXPECT_EQ(FoldCase("\xC3\x9F"), "\xC3\x9F");                                 // ß stays
    EXPECT_EQ(FoldCase("\xC5\x81\xC5\xBD\xC5\xB8"), "\xC5\x82\xC5\xBE\xC3\xBF"); // ŁŽŸ -> łžÿ
    EXPECT_EQ(FoldCase("\xCE\xA3\xCE\x86"), "\xCF\x83\xCE\xAC");                 // ΣΆ -> σά
    EXPECT_EQ(FoldCase("\xD0\x96\xD0\x81"), "\xD0\xB6\xD1\x91");                 // ЖЁ -> жё
    EXPECT_EQ(FoldCase("A\xE2\x82\xAC"
                       "B"),
              "a\xE2\x82\xAC"
              "b"); // € untouched
}

TEST(SampleFoldCase, Windows1252WhenNotUtf8) {
    EXPECT_EQ(FoldCase("\xC4\xD6\xDC"), "\xE4\xF6\xFC");
    EXPECT_EQ(FoldCase("\xD7\xDF"), "\xD7\xDF");
    EXPECT_EQ(FoldCase("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
    EXPECT_EQ(FoldCase("A\xC0Z"), "a\xE0z");
    // A truncated UTF-8 sequence makes the whole string Windows-1252.
    EXPECT_EQ(FoldCase("\xC3\x84\xC3"), "\xE3\x84\xE3");
}

TEST(SampleFoldCase, LengthNeverChanges) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all.push_back(static_cast<char>(c));
    EXPECT_EQ(FoldCase(all).size(), all.size());
    std::string utf8;
    for (unsigned cp = 0x80; cp < 0x800; ++cp) {
        utf8.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        utf8.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    std::string folded = FoldCase(utf8);
    ASSERT_EQ(folded.size(), utf8.size());
    EXPECT_EQ(FoldCase(folded), folded); // lower case is a fixed point
}

} // namespace
