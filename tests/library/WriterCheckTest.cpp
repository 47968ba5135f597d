// The writer refuses exactly the samples the content check says a category file cannot
// hold, whatever line breaks and marker lines their fields carry.
#include <gtest/gtest.h>

#include <random>

#include "library/CategoryWriter.h"
#include "CategoryTestUtil.h"
#include "library/ContentCheck.h"
#include "support/TestSupport.h"

namespace {

std::string RandomValue(std::mt19937& rng) {
    static const std::vector<std::string> pieces = {
        "a", "\n", "\r\n", "\r", "***TEXT_END***", "***COMMENTS_END***", "*", "x y", "\n\n", "END***"};
    std::string v;
    for (size_t n = rng() % 8; n > 0; --n)
        v += pieces[rng() % pieces.size()];
    return v;
}

TEST(WriterCheck, WriteSampleRefusesExactlyWhatTheCheckRefuses) {
    TempDir dir;
    std::mt19937 rng(99);
    int refused = 0;
    for (int round = 0; round < 600; ++round) {
        CSample s = MakeSample("T" + std::to_string(round), "Tools", "General");
        switch (rng() % 5) {
        case 0:
            s.SetTitle(s.GetTitle() + RandomValue(rng));
            break;
        case 1:
            s.SetSubcategory(RandomValue(rng));
            break;
        case 2:
            s.SetKeywords("k," + RandomValue(rng));
            break;
        case 3:
            s.SetComments(RandomValue(rng));
            break;
        default:
            s.SetText(RandomValue(rng));
            break;
        }
        RecordingMessenger messages;
        CCategory c = CategoryFor("w.txt");
        ASSERT_TRUE(c.OpenFile());
        c.EmptyFile();
        const bool written = c.WriteSample(s);
        const std::string problem = CheckSampleStorable(s);
        ASSERT_EQ(written, problem.empty()) << "round " << round;
        if (!written) {
            ++refused;
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_NE(messages.shown[0].text.find(problem), std::string::npos);
        }
        const bool closed = c.CloseFile();
        EXPECT_EQ(closed, written);
        if (written) {
            std::string expected;
            AppendSampleBytes(expected, s);
            EXPECT_EQ(ReadFileBytes("w.txt"), expected) << "round " << round;
        }
    }
    EXPECT_GT(refused, 50);
}

} // namespace
