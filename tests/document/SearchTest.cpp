// The counting search: what counts nothing, the instant find's index, the category limit,
// the order of the results and the found line.
#include <algorithm>
#include <cstdio>
#include <random>

#include "DocTestSupport.h"
#include "library/FilterIndex.h"
#include "library/LibrarySearch.h"

namespace {

// A text of up to maxPieces pieces, picked at random.
std::string RandomText(std::mt19937& rng, const std::vector<std::string>& pieces, int maxPieces) {
    std::string out;
    for (int n = static_cast<int>(rng() % static_cast<unsigned>(maxPieces + 1)); n > 0; --n)
        out += pieces[rng() % pieces.size()];
    return out;
}

// The instant find's index answers as the matcher does over titles and keywords, for
// random libraries and texts in every encoding, and follows the library's changes.
class FilterIndexTest : public DocFixture {};

TEST_F(FilterIndexTest, FindsWhatTheMatcherFindsInTitlesAndKeywords) {
    Load();
    std::mt19937 rng(777);
    const std::vector<std::string> pieces = {"a",        "A",    "b",    " ",        "\xC3\x84",
                                             "\xC3\xA4", "\xC4", "\xE4", "\xD0\x96", "\xD0\xB6",
                                             "ab",       "\xFF", "Z",    "z",        ","};
    auto randomText = [&](int maxPieces) { return RandomText(rng, pieces, maxPieces); };
    for (int i = 0; i < 400; ++i) {
        auto sample = std::make_unique<CSample>(MakeSample(randomText(4) + "#" + std::to_string(i), "C++",
                                                           "General", randomText(5), "", randomText(8)));
        doc->AddSample(std::move(sample));
    }
    CFilterIndex index;
    for (int round = 0; round < 2; ++round) {
        index.Update(*doc);
        ASSERT_TRUE(index.IsCurrent(*doc));
        for (int k = 0; k < 300; ++k) {
            std::string needle = randomText(2);
            std::vector<const CSample*> expected;
            CSampleMatcher matcher(needle, SearchScope::TitleAndKeywords, false);
            for (const auto& [title, sample] : doc->Samples())
                if (matcher.Contains(*sample))
                    expected.push_back(sample.get());
            ASSERT_EQ(index.Find(needle), expected) << "needle \"" << needle << "\"";
        }
        // A change of the library: the index is behind until updated.
        CSample changed = *doc->Samples().begin()->second;
        changed.SetKeywords("zebra");
        ASSERT_TRUE(doc->UpdateSample(changed.GetTitle(), changed));
        EXPECT_FALSE(index.IsCurrent(*doc));
    }
    index.Update(*doc);
    EXPECT_EQ(index.Find("ZEBRA").size(), 1u);
    EXPECT_TRUE(index.Find("").empty());
}

// The count of a word, in any field of any length and letter case on or off, is that
// of comparing at every place from the left: over texts of few letters (many near
// misses and overlaps) and bytes that differ from a letter only in the case bit, with
// words of two to eighteen bytes.
TEST(WordCount, CountsAsComparingAtEveryPlace) {
    std::mt19937 rng(4242);
    const std::string letters = "abAB@`\x08(\xC1\xE1rn";
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (int round = 0; round < 4000; ++round) {
        std::string text(rng() % 300, ' ');
        for (char& c : text)
            c = letters[rng() % letters.size()];
        std::string needle(2 + rng() % 4, ' ');
        for (char& c : needle)
            c = letters[rng() % 8];
        if (rng() % 2 && text.size() >= 18) {
            // A longer word taken from the text, so that it is found, its letters' case
            // flipped here and there.
            std::string word = text.substr(rng() % (text.size() - 17), 2 + rng() % 17);
            for (char& c : word)
                if (rng() % 3 == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
                    c = static_cast<char>(c ^ 0x20);
            // Only an ASCII word: the others are folded as their encodings fold.
            if (std::all_of(word.begin(), word.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
                needle = word;
        }
        const bool matchCase = rng() % 2 == 0;
        unsigned expected = 0;
        for (size_t pos = 0; pos + needle.size() <= text.size();) {
            bool same = true;
            for (size_t k = 0; k < needle.size() && same; ++k)
                same = matchCase ? text[pos + k] == needle[k] : lower(text[pos + k]) == lower(needle[k]);
            if (same) {
                ++expected;
                pos += needle.size();
            } else {
                ++pos;
            }
        }
        CSampleMatcher matcher(needle, SearchScope::Everything, matchCase);
        CSample sample;
        sample.SetText(text);
        ASSERT_EQ(matcher.Count(sample), expected) << "\"" << needle << "\" in \"" << text << "\" "
                                                   << (matchCase ? "match case" : "any case");
        if (matchCase) {
            ASSERT_EQ(CountNonOverlapping(text, needle), expected);
            // Counted up to a limit, the count stops there.
            const unsigned limit = 1 + rng() % 3;
            ASSERT_EQ(CountNonOverlapping(text, needle, limit), std::min(expected, limit));
        }
    }
}

class Search : public DocFixture {
protected:
    void SetUp() override {
        ConfigureCustom("Tools", "quorrinTools.txt", {});
        Load();
        for (const CSample& s : {MakeSample("b-list", "C++", "General", "list,listbox", "", "nothing"),
                                 MakeSample("a-none", "Java", "General", "", "", "no match here"),
                                 MakeSample("C-upper", "Tools", "", "", "LIST and List\r\n", ""),
                                 MakeSample("d-cat", "list", "list", "", "", "")})
            Add(s);
    }
    std::vector<std::pair<std::string, unsigned>> Run(const SearchOptions& options,
                                                      SearchTotals* totals = nullptr) {
        std::vector<std::pair<std::string, unsigned>> rows;
        SearchTotals t = SearchLibrary(*doc, options, [&](const CSample& s, unsigned n) {
            rows.emplace_back(s.GetTitle(), n);
            return true;
        });
        if (totals)
            *totals = t;
        return rows;
    }
};

using Rows = std::vector<std::pair<std::string, unsigned>>;

TEST_F(Search, CategoryLimitIsExact) {
    SearchOptions options;
    options.text = "list";
    SearchTotals totals;
    EXPECT_EQ(Run(options, &totals), (Rows{{"C-upper", 2}, {"b-list", 3}})); // "C" < "b"
    EXPECT_EQ(FoundLine(totals.occurrences, totals.samples), "Found 5 occurrence(s) in 2 sample(s)");
    options.category = "Tools";
    EXPECT_EQ(Run(options), (Rows{{"C-upper", 2}}));
    options.category = "tools";
    EXPECT_TRUE(Run(options).empty());
    options.category = kNoLimit;
    EXPECT_EQ(Run(options).size(), 2u);

    // Within the category: title order, also for samples added and moved in later, and
    // a stop asked for by the caller.
    Add(MakeSample("z-tools", "Tools", "", "list"));
    Add(MakeSample("a-tools", "Tools", "", "", "a list"));
    CSample moved = *doc->PeekSample("b-list");
    moved.SetCategory("Tools");
    ASSERT_TRUE(doc->UpdateSample("b-list", moved));
    options.category = "Tools";
    EXPECT_EQ(Run(options), (Rows{{"C-upper", 2}, {"a-tools", 1}, {"b-list", 3}, {"z-tools", 1}}));
    int calls = 0;
    const SearchTotals stopped =
        SearchLibrary(*doc, options, [&](const CSample&, unsigned) { return ++calls < 2; });
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(stopped.samples, 2);
}

} // namespace

namespace {

// Many samples are counted on several threads at once, in the order they lie in memory
// (here not their titles' order): every match still comes in title order with its own
// count, and a stop asked for by the caller ends the visits there.
TEST_F(Search, ManySamplesComeInTitleOrderWithTheirCounts) {
    Rows expected;
    for (int added = 0; added < 5000; ++added) {
        const int i = added * 7919 % 5000;
        char title[16];
        std::snprintf(title, sizeof title, "s%04d", i);
        std::string text;
        for (int k = 0; k < i % 4; ++k)
            text += "a needle ";
        Add(MakeSample(title, "Tools", "", "", "", text));
        if (i % 4)
            expected.emplace_back(title, static_cast<unsigned>(i % 4));
    }
    std::sort(expected.begin(), expected.end());
    SearchOptions options;
    options.text = "needle";
    EXPECT_EQ(Run(options), expected);
    // The library changes between two searches: the second finds it changed.
    ASSERT_TRUE(doc->DeleteSample("s0001"));
    Add(MakeSample("s9999", "Tools", "", "", "", "needle"));
    expected.erase(expected.begin());
    expected.emplace_back("s9999", 1u);
    EXPECT_EQ(Run(options), expected);
    options.category = "Tools";
    EXPECT_EQ(Run(options), expected);
    int calls = 0;
    const SearchTotals stopped =
        SearchLibrary(*doc, options, [&](const CSample&, unsigned) { return ++calls < 3000; });
    EXPECT_EQ(stopped.samples, 3000);
}

} // namespace
