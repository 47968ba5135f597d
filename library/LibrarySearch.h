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
    bool regex = false;   // text is a regular expression (CRegexMatcher)
    std::string category; // empty or "(no limit)": no limit; otherwise the exact name
};

// The fields a search looks at; never category or sub-category.
enum class SearchScope {
    Everything,       // each keyword, title, comments and text
    KeywordsOnly,     // each keyword
    TitleAndKeywords, // each keyword and the title (the window's instant find)
};

// The sum of count(field) over the fields of scope: each keyword alone, then the title,
// comments and text as the scope has them. Stops once the sum reaches limit.
template <class Sample, class CountField>
unsigned CountSearchedFields(const Sample& sample, SearchScope scope, CountField&& count,
                             unsigned limit = ~0u) {
    unsigned total = 0;
    for (const auto& keyword : sample.Keywords()) {
        total += count(keyword);
        if (total >= limit)
            return total;
    }
    if (scope == SearchScope::KeywordsOnly)
        return total;
    total += count(sample.GetTitle());
    if (total >= limit || scope == SearchScope::TitleAndKeywords)
        return total;
    total += count(sample.GetComments());
    if (total >= limit)
        return total;
    return total + count(sample.GetText());
}

// A text as the search looks for it, prepared once: folded unless match case (FoldCase),
// as UTF-8 and, when it has such a form, as Windows-1252. The text is taken as typed:
// UTF-8, or Windows-1252 when it is not valid UTF-8.
struct SearchNeedle {
    SearchNeedle(std::string_view text, bool matchCase);
    // The form to look for in a field of that encoding (a field that is not valid UTF-8
    // is Windows-1252); empty when the text cannot occur there.
    const std::string& For(bool fieldIsUtf8) const { return ascii || fieldIsUtf8 ? utf8 : cp1252; }

    bool ascii = true;
    std::string utf8;   // plain ASCII: the same bytes in either encoding
    std::string cp1252; // empty when the text has no Windows-1252 form, or is ASCII
};

// The places in a needle of two bytes or more of its rarest byte and of its next rarest
// in program text: the bytes a search looks for first.
struct NeedleAnchors {
    size_t rare = 0;
    size_t second = 1;
};

// Counts occurrences of one needle in samples: each keyword alone, then (unless keywords
// only) title, comments and text; never category or sub-category; non-overlapping, from
// the left; lower case (FoldCase) unless match case. The needle is text as typed (UTF-8,
// or Windows-1252 when it is not valid UTF-8); a field in the other encoding is searched
// for the same characters in its own encoding.
class CSampleMatcher {
public:
    CSampleMatcher(std::string_view needle, bool keywordsOnly, bool matchCase);
    CSampleMatcher(std::string_view needle, SearchScope scope, bool matchCase);
    // 0 for an empty needle.
    unsigned Count(const CSample& sample);
    // Whether the needle occurs at all (stops at the first occurrence); false for an
    // empty needle.
    bool Contains(const CSample& sample);

private:
    unsigned CountField(std::string_view field, unsigned limit);

    SearchNeedle m_needle;
    SearchScope m_scope;
    bool m_matchCase;
    std::string m_folded; // reused buffer for folding a field
    NeedleAnchors m_anchors; // where the ASCII needle is looked for first
};

// Non-overlapping occurrences of needle (non-empty) in haystack, counted up to limit.
unsigned CountNonOverlapping(std::string_view haystack, std::string_view needle, unsigned limit = ~0u);

struct SearchTotals {
    long long occurrences = 0;
    int samples = 0;
    bool stopped = false; // onMatch asked to stop
    std::string error;    // the pattern is not valid, or ran away (nothing more was searched)
};

// Visits every sample with count > 0 in title order; onMatch returns false to stop.
// An empty search text finds nothing. A regular expression that does not compile
// searches nothing; one that runs away ends the search at that sample; both leave the
// message in the totals' error.
SearchTotals SearchLibrary(const CQuorrinDoc& doc, const SearchOptions& options,
                           const std::function<bool(const CSample& sample, unsigned count)>& onMatch);

// "Found %d occurrence(s) in %d sample(s)"
std::string FoundLine(long long occurrences, int samples);
