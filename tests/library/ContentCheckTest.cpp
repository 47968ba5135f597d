#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "library/CategoryWriter.h"
#include "CategoryTestUtil.h"
#include "library/ContentCheck.h"
#include "support/TestSupport.h"

namespace {

TEST(ContentCheck, OneLineFieldsRefuseLineBreaks) {
    EXPECT_EQ(CheckFieldContent("title", "a\nb"), "The title cannot contain a line break.");
    EXPECT_EQ(CheckFieldContent("title", "a\rb"), "The title cannot contain a line break.");
    EXPECT_EQ(CheckFieldContent("category", "x\r\n"), "The category cannot contain a line break.");
    EXPECT_EQ(CheckFieldContent("sub-category", "\n"), "The sub-category cannot contain a line break.");
    EXPECT_EQ(CheckFieldContent("title", "***TITLE=ok, fine"), "");
    EXPECT_EQ(CheckFieldContent("category", ""), "");
    EXPECT_EQ(CheckFieldContent("unknown", "\n"), "");
}

TEST(ContentCheck, KeywordsAreJudgedAsParsed) {
    EXPECT_EQ(CheckFieldContent("keywords", "a, b"), "");
    EXPECT_EQ(CheckFieldContent("keywords", "a\nb"), "A keyword cannot contain a line break.");
    EXPECT_EQ(CheckFieldContent("keywords", "a, b\nc"), "A keyword cannot contain a line break.");
    EXPECT_EQ(CheckFieldContent("keywords", "solo\r\n"), "A keyword cannot contain a line break.");
    // Line ends around commas are trimmed away by the parsing, so they do no harm.
    EXPECT_EQ(CheckFieldContent("keywords", "a,\r\nb\r\n"), "");
}

TEST(ContentCheck, EndMarkerLinesInCommentsAndText) {
    const std::string commentsMsg = "A line of the comments cannot be exactly \"***COMMENTS_END***\".";
    const std::string textMsg = "A line of the text cannot be exactly \"***TEXT_END***\".";
    EXPECT_EQ(CheckFieldContent("comments", "a\r\n***COMMENTS_END***"), commentsMsg);
    EXPECT_EQ(CheckFieldContent("comments", "a\n***COMMENTS_END***\nb"), commentsMsg);
    EXPECT_EQ(CheckFieldContent("comments", "\n***COMMENTS_END***"), commentsMsg);
    EXPECT_EQ(CheckFieldContent("text", "x\r\n***TEXT_END***"), textMsg);
    // What the reader gives back unchanged is accepted: the first line of a section is
    // never compared, a CR LF line keeps its CR in the file, the other section's marker
    // is plain text, and a marker with more on the line is no marker.
    EXPECT_EQ(CheckFieldContent("comments", "***COMMENTS_END***"), "");
    EXPECT_EQ(CheckFieldContent("comments", "***COMMENTS_END***\r\nmore"), "");
    EXPECT_EQ(CheckFieldContent("comments", "a\r\n***COMMENTS_END***\r\nb"), "");
    EXPECT_EQ(CheckFieldContent("comments", "a\r\n***TEXT_END***"), "");
    EXPECT_EQ(CheckFieldContent("text", "a\r\n***COMMENTS_END***"), "");
    EXPECT_EQ(CheckFieldContent("text", "a\r\n ***TEXT_END***"), "");
    EXPECT_EQ(CheckFieldContent("text", "a\r\n***TEXT_END*** "), "");
    EXPECT_EQ(CheckFieldContent("text", ""), "");
}

TEST(ContentCheck, SampleCheckNamesTheFirstBadField) {
    CSample s = MakeSample("ok", "Tools", "General", "a, b", "c", "t");
    EXPECT_EQ(CheckSampleContent(s), "");
    s.SetSubcategory("x\ny");
    EXPECT_EQ(CheckSampleContent(s), "The sub-category cannot contain a line break.");
    s.SetSubcategory("General");
    s.SetKeywords("k\r");
    EXPECT_EQ(CheckSampleContent(s), "A keyword cannot contain a line break.");
    s.SetKeywords("k");
    s.SetText("a\n***TEXT_END***");
    EXPECT_EQ(CheckSampleContent(s), "A line of the text cannot be exactly \"***TEXT_END***\".");
}

TEST(ContentCheck, TheWriterAcceptsALoneCrThatTheFileGivesBack) {
    CSample s = MakeSample("a\rb", "C\r", "S", "k\r");
    EXPECT_NE(CheckSampleContent(s), "");  // input is refused
    EXPECT_EQ(CheckSampleStorable(s), ""); // but a sample read with it can be saved
    s.SetTitle("a\nb");
    EXPECT_EQ(CheckSampleStorable(s), "The title cannot contain a line break.");
}

// The precise rule: a comment or text value is accepted exactly when writing it and
// reading it back gives a readable file. Checked on many generated values.
TEST(ContentCheck, SectionRuleMatchesTheReaderExactly) {
    RecordingMessenger messages;
    TempDir dir;
    const char* pieces[] = {"a", "\r", "\n", "\r\n", "***COMMENTS_END***", "***TEXT_END***", " ", ""};
    std::mt19937 rng(20240611);
    int refused = 0;
    for (int round = 0; round < 400; ++round) {
        std::string comments, text;
        int n = static_cast<int>(rng() % 6);
        for (int i = 0; i < n; ++i)
            comments += pieces[rng() % 8];
        n = static_cast<int>(rng() % 6);
        for (int i = 0; i < n; ++i)
            text += pieces[rng() % 8];
        CSample s = MakeSample("T", "Tools", "General", "", comments, text);
        std::string bytes;
        AppendSampleBytes(bytes, s);
        std::remove("f.txt");
        WriteFileBytes("f.txt", bytes);
        messages.Clear();
        ReadResult r = ReadCategoryFile("f.txt");
        bool readable = r.complete && r.samples.size() == 1;
        bool accepted = CheckSampleStorable(s).empty();
        ASSERT_EQ(accepted, readable) << "comments [" << comments << "] text [" << text << "]";
        EXPECT_EQ(CheckSampleContent(s).empty(), accepted);
        if (!accepted)
            ++refused;
        if (readable) {
            // Read back, written again and read again: nothing changes any more.
            const CSample& back = *r.samples.at("T");
            std::string again;
            AppendSampleBytes(again, back);
            std::remove("f.txt");
            WriteFileBytes("f.txt", again);
            ReadResult r2 = ReadCategoryFile("f.txt");
            ASSERT_TRUE(r2.complete);
            EXPECT_TRUE(SameSample(*r2.samples.at("T"), back));
        }
    }
    EXPECT_GT(refused, 0); // the generator does reach the refused cases
}

} // namespace
