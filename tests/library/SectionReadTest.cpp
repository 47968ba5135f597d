// Comment and text sections read back exactly as the line rule says, for lines of any
// length and any line ends, checked against the rule written out plainly.
#include <gtest/gtest.h>

#include <random>

#include "CategoryTestUtil.h"

namespace {

// The value the reader makes of a section's file lines (each given without its LF; a
// last line of the file may lack one): a CR before the LF belongs to the line end; then
// a line ending in CR gets LF, another non-empty line CR LF, an empty line nothing.
std::string RuleValue(const std::vector<std::string>& lines) {
    std::string value;
    for (std::string line : lines) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        value += line;
        value += line.back() == '\r' ? "\n" : "\r\n";
    }
    return value;
}

const std::string kHead =
    ">>>>SAMPLE_BEGIN>>>>>>>>>>>>>>>>>>>>>>>\r\n***CATEGORY=Tools\r\n***SUBCATEGORY=\r\n"
    "***TITLE=T\r\n***KEYWORDS_BEGIN***\r\n\r\n***KEYWORDS_END***\r\n";

std::string RandomLine(std::mt19937& rng) {
    static const std::vector<std::string> pieces = {
        "a",  "b c", "\r",  "\r\r", "***TEXT_END",       "x*",
        "\t", "é",   "END", " ",    "***COMMENTS_END**", "0123456789"};
    std::string line;
    const int kind = static_cast<int>(rng() % 10);
    const size_t count = kind == 0 ? 0 : kind == 1 ? 500 + rng() % 5000 : rng() % 12;
    for (size_t i = 0; i < count; ++i)
        line += pieces[rng() % pieces.size()];
    if (rng() % 3 == 0)
        line += '\r'; // a CR LF line end, or CR CR LF after a CR
    return line;
}

TEST(SectionRead, ValuesFollowTheLineRuleForAnyLines) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> comments, text;
        for (size_t n = 1 + rng() % 6; n > 0; --n)
            comments.push_back(RandomLine(rng));
        for (size_t n = 1 + rng() % 40; n > 0; --n)
            text.push_back(RandomLine(rng));
        // The first line of a section is content even when it is the end marker.
        if (round % 7 == 0)
            text.front() = "***TEXT_END***";
        if (round % 11 == 0)
            comments.front() = "***COMMENTS_END***\r";
        // Every line end with a CR, as the program writes them (read a block at a time
        // where the processor can), and now and then one non-empty line without, late in
        // the text (then the whole section is read again line by line).
        if (round % 3 != 0) {
            for (auto* lines : {&comments, &text})
                for (std::string& line : *lines)
                    if (!line.empty() && line.back() != '\r')
                        line += '\r';
            if (round % 3 == 2)
                text.back() = "x";
        }

        std::string file = kHead + "***COMMENTS_BEGIN***\r\n";
        for (const std::string& line : comments)
            file += line + "\n";
        file += "***COMMENTS_END***\r\n***TEXT_BEGIN***\r\n";
        for (const std::string& line : text)
            file += line + "\n";
        // The file ends without a line end after the last marker now and then.
        file += "***TEXT_END***\r\n<<<<SAMPLE_END<<<<<<<<<<<<<<<<<<<<<<<<<";
        if (round % 2 == 0)
            file += "\r\n";

        Parsed r = Parse(file);
        ASSERT_EQ(r.failedAt, "") << "round " << round;
        ASSERT_EQ(r.samples.size(), 1u);
        ASSERT_EQ(r.samples[0]->GetComments(), RuleValue(comments)) << "round " << round;
        ASSERT_EQ(r.samples[0]->GetText(), RuleValue(text)) << "round " << round;
    }
}

TEST(SectionRead, AMissingEndMarkerIsASequenceErrorAfterAnyLine) {
    for (const std::string& tail : {std::string(""), std::string("abc"), std::string(9000, 'x'),
                                    std::string("***TEXT_END***\r"), std::string("***TEXT_END***x\r\n")}) {
        Parsed r =
            Parse(kHead + "***COMMENTS_BEGIN***\r\n\r\n***COMMENTS_END***\r\n***TEXT_BEGIN***\r\nline\r\r\n" +
                  tail);
        EXPECT_EQ(r.failedAt, "input sample text") << tail;
        EXPECT_TRUE(r.samples.empty());
    }
}

} // namespace
