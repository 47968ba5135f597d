// What a category file cannot hold: the input check's messages, and the writer refusing
// exactly what the check refuses and what the reader could not give back.
#include <gtest/gtest.h>

#include <random>

#include "CategoryTestUtil.h"
#include "library/CategoryWriter.h"
#include "library/ContentCheck.h"

namespace {

TEST(ContentCheck, FieldsAndTheirMessages) {
    const std::string comments = "A line of the comments cannot be exactly \"***COMMENTS_END***\".";
    const std::string text = "A line of the text cannot be exactly \"***TEXT_END***\".";
    const struct {
        const char* field;
        std::string value;
        std::string message;
    } rows[] = {
        {"title", "a\nb", "The title cannot contain a line break."},
        {"title", "a\rb", "The title cannot contain a line break."},
        {"category", "x\r\n", "The category cannot contain a line break."},
        {"sub-category", "\n", "The sub-category cannot contain a line break."},
        {"title", "***TITLE=ok, fine", ""},
        {"unknown", "\n", ""},
        {"keywords", "a, b", ""},
        {"keywords", "a, b\nc", "A keyword cannot contain a line break."},
        {"keywords", "solo\r\n", "A keyword cannot contain a line break."},
        {"keywords", "a,\r\nb\r\n", ""}, // line ends around commas are trimmed away
        {"comments", "a\r\n***COMMENTS_END***", comments},
        {"comments", "a\n***COMMENTS_END***\nb", comments},
        {"comments", "\n***COMMENTS_END***", comments},
        {"text", "x\r\n***TEXT_END***", text},
        // What the reader gives back unchanged is accepted: the first line of a section
        // is never compared, a CR LF line keeps its CR in the file, the other section's
        // marker is plain text, and a marker with more on the line is no marker.
        {"comments", "***COMMENTS_END***", ""},
        {"comments", "a\r\n***COMMENTS_END***\r\nb", ""},
        {"comments", "a\r\n***TEXT_END***", ""},
        {"text", "a\r\n***COMMENTS_END***", ""},
        {"text", "a\r\n ***TEXT_END***", ""},
        {"text", "a\r\n***TEXT_END*** ", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(CheckFieldContent(r.field, r.value), r.message) << r.field << " [" << r.value << "]";

    // A sample is refused for its first bad field. A lone CR is refused as input, but a
    // sample read with one can be stored again.
    CSample s = MakeSample("ok", "Tools", "x\ny", "k\r", "c", "a\n***TEXT_END***");
    EXPECT_EQ(CheckSampleContent(s), "The sub-category cannot contain a line break.");
    s.SetSubcategory("General");
    EXPECT_EQ(CheckSampleContent(s), "A keyword cannot contain a line break.");
    s.SetKeywords("k");
    EXPECT_EQ(CheckSampleContent(s), text);
    s = MakeSample("a\rb", "C\r", "S", "k\r");
    EXPECT_NE(CheckSampleContent(s), "");
    EXPECT_EQ(CheckSampleStorable(s), "");
    s.SetTitle("a\nb");
    EXPECT_EQ(CheckSampleStorable(s), "The title cannot contain a line break.");
}

std::string RandomValue(std::mt19937& rng) {
    static const std::vector<std::string> pieces = {
        "a", "\n", "\r\n", "\r", "***TEXT_END***", "***COMMENTS_END***", " ", "*", "\n\n", ""};
    std::string v;
    for (size_t n = rng() % 8; n > 0; --n)
        v += pieces[rng() % pieces.size()];
    return v;
}

// The writer stores a sample exactly when the check lets it through, and then as the
// format says; the reader gives a stored sample back, and it is stable from then on.
TEST(ContentCheck, TheWriterRefusesExactlyWhatTheReaderCouldNotGiveBack) {
    std::mt19937 rng(99);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        CSample s = MakeSample("T", "Tools", "General", "k", RandomValue(rng), RandomValue(rng));
        const unsigned kind = rng() % 5; // which one-line field gets a random value too, if any
        if (kind == 0)
            s.SetTitle("T" + RandomValue(rng));
        else if (kind == 1)
            s.SetSubcategory(RandomValue(rng));
        else if (kind == 2)
            s.SetKeywords("k," + RandomValue(rng));
        std::string bytes;
        const bool written = AppendSampleBytes(bytes, s);
        const std::string problem = CheckSampleStorable(s);
        ASSERT_EQ(written, problem.empty()) << "round " << round;
        if (kind > 2) { // no lone CR in a one-line field: the input check says the same
            EXPECT_EQ(CheckSampleContent(s).empty(), written) << "round " << round;
        }
        if (!written) {
            ++refused;
            continue;
        }
        ASSERT_EQ(bytes, FileBytes({s})) << "round " << round;
        const Parsed r = Parse(bytes);
        ASSERT_EQ(r.failedAt, "") << "round " << round;
        ASSERT_EQ(r.samples.size(), 1u);
        // Read back, written again and read again: nothing changes any more.
        std::string again;
        ASSERT_TRUE(AppendSampleBytes(again, *r.samples[0]));
        EXPECT_EQ(Dump(*Parse(again).samples.at(0)), Dump(*r.samples[0])) << "round " << round;
    }
    EXPECT_GT(refused, 300); // the generator does reach the refused cases
}

} // namespace
