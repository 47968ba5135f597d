// What a category file cannot hold: the writer refuses exactly what the input check
// refuses and what the reader could not give back.
#include <gtest/gtest.h>

#include <random>

#include "CategoryTestUtil.h"
#include "library/CategoryWriter.h"
#include "library/ContentCheck.h"

namespace {

// As input, a lone CR breaks a keyword's line like an LF (the round trip below cannot tell).
TEST(ContentCheck, ALoneCrIsALineBreakInAKeyword) {
    EXPECT_EQ(CheckFieldContent("keywords", "a, k\rx"), "A keyword cannot contain a line break.");
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
