#include "library/LibrarySearch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "library/QuorrinDoc.h"
#include "library/Sample.h"

unsigned CountNonOverlapping(std::string_view haystack, std::string_view needle) {
    const size_t n = needle.size();
    if (n == 0 || haystack.size() < n)
        return 0;
    unsigned count = 0;
    const char* p = haystack.data();
    const char* const end = p + haystack.size();
    if (n == 1)
        return static_cast<unsigned>(std::count(p, end, needle[0]));
    while (static_cast<size_t>(end - p) >= n) {
#ifdef __GLIBC__
        const void* hit = memmem(p, static_cast<size_t>(end - p), needle.data(), n);
        if (!hit)
            break;
        p = static_cast<const char*>(hit) + n;
#else
        std::string_view rest(p, static_cast<size_t>(end - p));
        size_t at = rest.find(needle);
        if (at == std::string_view::npos)
            break;
        p += at + n;
#endif
        ++count;
    }
    return count;
}

namespace {

// Lower-cases A-Z into out, eight bytes at a time; false as soon as a byte is not ASCII.
bool FoldAscii(std::string_view text, char* out) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    const char* in = text.data();
    size_t n = text.size();
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, in + i, 8);
        if (w & kHigh)
            return false;
        // Per byte (all below 0x80, so no carries): high bit set when >= 'A', and when > 'Z'.
        const std::uint64_t atLeastA = w + kOnes * (0x80 - 'A');
        const std::uint64_t aboveZ = w + kOnes * (0x80 - 'Z' - 1);
        const std::uint64_t upper = atLeastA & ~aboveZ & kHigh;
        w |= upper >> 2; // 0x80 >> 2 == 0x20, the case bit
        std::memcpy(out + i, &w, 8);
    }
    for (; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        if (c >= 0x80)
            return false;
        out[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return true;
}

} // namespace

CSampleMatcher::CSampleMatcher(std::string_view needle, bool keywordsOnly, bool matchCase)
    : m_needle(matchCase ? std::string(needle) : FoldCase(needle)), m_keywordsOnly(keywordsOnly),
      m_matchCase(matchCase) {}

unsigned CSampleMatcher::CountField(std::string_view field) {
    if (m_matchCase)
        return CountNonOverlapping(field, m_needle);
    // Plain ASCII folds into the reused buffer; anything else goes through FoldCase,
    // whose result depends on the whole field.
    m_folded.resize(field.size());
    if (!FoldAscii(field, m_folded.data()))
        return CountNonOverlapping(FoldCase(field), m_needle);
    return CountNonOverlapping(m_folded, m_needle);
}

unsigned CSampleMatcher::Count(const CSample& sample) {
    if (m_needle.empty())
        return 0;
    unsigned count = 0;
    for (const std::string& keyword : sample.Keywords())
        count += CountField(keyword);
    if (!m_keywordsOnly) {
        count += CountField(sample.GetTitle());
        count += CountField(sample.GetComments());
        count += CountField(sample.GetText());
    }
    return count;
}

SearchTotals SearchLibrary(const CQuorrinDoc& doc, const SearchOptions& options,
                           const std::function<bool(const CSample&, unsigned)>& onMatch) {
    SearchTotals totals;
    if (options.text.empty())
        return totals;
    const bool limited = !options.category.empty() && options.category != kNoLimit;
    CSampleMatcher matcher(options.text, options.keywordsOnly, options.matchCase);
    for (const auto& [title, sample] : doc.Samples()) {
        if (limited && sample->GetCategory() != options.category)
            continue;
        const unsigned n = matcher.Count(*sample);
        if (n == 0)
            continue;
        totals.occurrences += n;
        ++totals.samples;
        if (onMatch && !onMatch(*sample, n)) {
            totals.stopped = true;
            break;
        }
    }
    return totals;
}

std::string FoundLine(long long occurrences, int samples) {
    return "Found " + std::to_string(occurrences) + " occurrence(s) in " + std::to_string(samples) +
           " sample(s)";
}
