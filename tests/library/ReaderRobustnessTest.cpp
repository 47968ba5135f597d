// Feeds the reader random and mutated files (fixed seeds, bounded count): it never
// crashes or reads outside the bytes (under AddressSanitizer), and whatever it reads can
// be written and read back unchanged.
#include <gtest/gtest.h>

#include <random>

#include "CategoryTestUtil.h"
#include "library/CategoryFormat.h"
#include "library/CategoryWriter.h"
#include "library/ContentCheck.h"

namespace {

// The marker lines, line ends and a few other pieces.
const std::vector<std::string> kTokens = [] {
    std::vector<std::string> tokens = {"\r\n",     "\n",  "\r", ", ", "a", std::string(1, '\0'),
                                       "\xC3\x84", "\xFF"};
    for (std::string_view m :
         {marker::kSampleBegin, marker::kCategory, marker::kSubcategory, marker::kTitle,
          marker::kKeywordsBegin, marker::kKeywordsEnd, marker::kCommentsBegin, marker::kCommentsEnd,
          marker::kTextBegin, marker::kTextEnd, marker::kSampleEnd})
        tokens.emplace_back(m);
    return tokens;
}();

std::string RandomFile(std::mt19937& rng) {
    std::string out;
    for (int n = static_cast<int>(rng() % 60); n > 0; --n)
        out +=
            rng() % 5 == 0 ? std::string(1, static_cast<char>(rng() % 256)) : kTokens[rng() % kTokens.size()];
    return out;
}

std::string Mutate(std::string data, std::mt19937& rng) {
    for (int n = 1 + static_cast<int>(rng() % 4); n > 0; --n) {
        const size_t pos = data.empty() ? 0 : rng() % (data.size() + 1);
        switch (rng() % 5) {
        case 0: // flip a byte
            if (!data.empty())
                data[pos % data.size()] = static_cast<char>(rng() % 256);
            break;
        case 1: // cut a range
            data.erase(pos, rng() % 40);
            break;
        case 2: // insert a token
            data.insert(pos, kTokens[rng() % kTokens.size()]);
            break;
        case 3: // truncate
            data.resize(pos);
            break;
        default: // a line end somewhere
            data.insert(pos, rng() % 2 ? "\n" : "\r");
            break;
        }
    }
    return data;
}

// The lone empty keyword of "," has an empty joined form and so reads back as none.
bool SameAfterRewrite(const CSample& a, const CSample& b) {
    auto kw = [](const CSample& s) { return s.Keywords() == Words{""} ? Words{} : s.Keywords(); };
    return a.GetTitle() == b.GetTitle() && a.GetCategory() == b.GetCategory() &&
           a.GetSubcategory() == b.GetSubcategory() && kw(a) == kw(b) && a.GetComments() == b.GetComments() &&
           a.GetText() == b.GetText();
}

void CheckOne(const std::string& bytes) {
    Parsed r = Parse(bytes);
    std::string rewritten;
    for (const auto& s : r.samples) {
        ASSERT_EQ(CheckSampleStorable(*s), "") << s->GetTitle();
        ASSERT_TRUE(AppendSampleBytes(rewritten, *s));
    }
    Parsed back = Parse(rewritten);
    ASSERT_EQ(back.failedAt, "");
    ASSERT_EQ(back.samples.size(), r.samples.size());
    for (size_t i = 0; i < r.samples.size(); ++i)
        ASSERT_TRUE(SameAfterRewrite(*back.samples[i], *r.samples[i])) << r.samples[i]->GetTitle();
}

TEST(ReaderRobustness, RandomAndMutatedFiles) {
    std::mt19937 rng(1);
    std::vector<std::string> seeds;
    for (const char* f :
         {"writer_edge_case.txt", "writer_several.txt", "reader_oddities.txt", "seq_input_sample_text.txt"})
        seeds.push_back(Fixture(f));
    for (int i = 0; i < 3000; ++i) {
        SCOPED_TRACE(i);
        CheckOne(i % 2 ? RandomFile(rng) : Mutate(seeds[rng() % seeds.size()], rng));
        if (HasFatalFailure())
            return;
    }
}

TEST(ReaderRobustness, ALineOfAMegabyte) {
    const std::string longLine(1 << 20, 'x');
    CheckOne(longLine);
    CheckOne(std::string(marker::kSampleBegin) + "\r\n" + longLine);
    std::string file = Fixture("writer_edge_case.txt");
    file.insert(file.find("\r\nx\r") + 2, longLine);
    Parsed r = Parse(file);
    ASSERT_EQ(r.samples.size(), 1u);
    EXPECT_EQ(r.samples[0]->GetComments(), longLine + "x\r\n");
}

} // namespace
