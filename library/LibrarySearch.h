// The counting search over the library: how often a text occurs in each sample, in
// title order, optionally limited to one category. The needle is prepared once and the
// sample's strings are searched in place.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class CQuorrinDoc;
class CSample;

// The category entry that means "search every category".
constexpr const char* kNoLimit = "(no limit)";

struct SearchOptions {
    std::string text;
    bool keywordsOnly = false;
    bool matchCase = false;
    std::string category; // empty or "(no limit)": no limit; otherwise the exact name
};

// The sum of count(field) over the fields a search looks at: each keyword alone, then
// (unless keywords only) title, comments and text; never category or sub-category.
template <class Sample, class CountField>
unsigned CountSearchedFields(const Sample& sample, bool keywordsOnly, CountField&& count) {
    unsigned total = 0;
    for (const auto& keyword : sample.Keywords())
        total += count(keyword);
    if (!keywordsOnly) {
        total += count(sample.GetTitle());
        total += count(sample.GetComments());
        total += count(sample.GetText());
    }
    return total;
}

// Counts occurrences of one needle in samples: each keyword alone, then (unless keywords
// only) title, comments and text; never category or sub-category; non-overlapping, from
// the left; lower case (FoldCase) unless match case. The needle is text as typed (UTF-8,
// or Windows-1252 when it is not valid UTF-8); a field in the other encoding is searched
// for the same characters in its own encoding.
class CSampleMatcher {
public:
    CSampleMatcher(std::string_view needle, bool keywordsOnly, bool matchCase);
    // 0 for an empty needle.
    unsigned Count(const CSample& sample);

private:
    unsigned CountField(std::string_view field);

    bool m_ascii = true;
    std::string m_needle;  // for ASCII and UTF-8 fields; folded unless match case
    std::string m_cp1252;  // for Windows-1252 fields; empty when the needle has no such form
    bool m_keywordsOnly;
    bool m_matchCase;
    std::string m_folded; // reused buffer for folding a field
};

// Non-overlapping occurrences of needle (non-empty) in haystack.
unsigned CountNonOverlapping(std::string_view haystack, std::string_view needle);

struct SearchTotals {
    long long occurrences = 0;
    int samples = 0;
    bool stopped = false; // onMatch asked to stop
};

// Visits every sample with count > 0 in title order; onMatch returns false to stop.
// An empty search text finds nothing.
SearchTotals SearchLibrary(const CQuorrinDoc& doc, const SearchOptions& options,
                           const std::function<bool(const CSample& sample, unsigned count)>& onMatch);

// "Found %d occurrence(s) in %d sample(s)"
std::string FoundLine(long long occurrences, int samples);
