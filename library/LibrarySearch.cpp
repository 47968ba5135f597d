#include "library/LibrarySearch.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#define TINDREL_AVX2 1
#include <immintrin.h>
#endif

#include "library/QuorrinDoc.h"
#include "library/RegexMatcher.h"
#include "library/Sample.h"
#include "library/SampleStore.h"
#include "base/TextRules.h"

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;

std::uint64_t Load8(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

// 0x80 in each byte of x that is zero, 0 in every other byte.
std::uint64_t ZeroBytes(std::uint64_t x) {
    return ~(((x & kLow7) + kLow7) | x | kLow7);
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}


// How common each byte is in program text and English, most common first: a fixed
// guess used only to choose which byte of a needle to look for first. It decides the
// speed of a search, never its result.
constexpr std::string_view kByFrequency = " e\nt\rao;in()s=rl,.d_c{}u\"p*mfh0g1-b>y/<2:ETAOINSRLCDUMPHF"
                                          "x[]v'w+k&#3!GBYWVKXJQZ|?4j5q6z798@$%^~\\`\t";

constexpr std::array<unsigned short, 256> MakeCommonness() {
    std::array<unsigned short, 256> rank{};
    for (auto& r : rank)
        r = 0; // not listed: rarer than anything listed
    const unsigned short listed = static_cast<unsigned short>(kByFrequency.size());
    for (unsigned short k = 0; k < listed; ++k)
        rank[static_cast<unsigned char>(kByFrequency[k])] = static_cast<unsigned short>(listed - k);
    return rank;
}
constexpr std::array<unsigned short, 256> kCommonness = MakeCommonness();

constexpr size_t kNoByte = ~size_t{0};

// The position in needle of the byte least likely to occur in text, the position skip
// left out. Fold: the needle is lower case and each letter is looked for in both cases.
size_t AnchorIndex(std::string_view needle, bool fold, size_t skip = kNoByte) {
    size_t best = skip == 0 ? 1 : 0;
    unsigned bestRank = ~0u;
    for (size_t k = 0; k < needle.size(); ++k) {
        if (k == skip)
            continue;
        const unsigned char c = static_cast<unsigned char>(needle[k]);
        unsigned rank = kCommonness[c];
        if (fold && c >= 'a' && c <= 'z')
            rank = std::max(rank, static_cast<unsigned>(kCommonness[c - ('a' - 'A')]));
        if (rank < bestRank) {
            bestRank = rank;
            best = k;
        }
    }
    return best;
}

using Anchors = NeedleAnchors;

// The anchors of needle (two bytes or more): its rarest byte and the rarest of the
// others. Fold: as AnchorIndex.
Anchors AnchorsOf(std::string_view needle, bool fold) {
    Anchors a;
    a.rare = AnchorIndex(needle, fold);
    a.second = AnchorIndex(needle, fold, a.rare);
    return a;
}

#if defined(TINDREL_AVX2)

bool HaveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}

// Thirty-two places at a time from i, while both loads lie inside the n bytes at p: the
// places whose bytes at lo and hi (with the case bit set when folding) are a and b go to
// take, which returns true to stop (then so does this). i is left after the last place
// tested.
template <bool Fold, typename Take>
__attribute__((target("avx2"))) bool ScanPairs32(const char* p, size_t n, size_t m, size_t lo, size_t hi, char a,
                                                 char b, size_t& i, const size_t& next, Take&& take) {
    const __m256i caseBit = _mm256_set1_epi8(Fold ? 0x20 : 0);
    const __m256i wantA = _mm256_set1_epi8(a);
    const __m256i wantB = _mm256_set1_epi8(b);
    while (i + m + 31 <= n) {
        const __m256i x =
            _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + lo)), caseBit);
        const __m256i y =
            _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i + hi)), caseBit);
        const auto candidates = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(x, wantA), _mm256_cmpeq_epi8(y, wantB))));
        if (candidates && take(candidates))
            return true;
        i = std::max(i + 32, next);
    }
    return false;
}
#endif

// The first c in p[from..last], or kNoByte.
size_t FindByte(const char* p, size_t from, size_t last, char c) {
    if (from > last)
        return kNoByte;
    const void* hit = std::memchr(p + from, c, last - from + 1);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - p) : kNoByte;
}

// Non-overlapping occurrences of needle (two bytes or more) in haystack, from the
// left. Fold: the haystack is ASCII and its A-Z count as a-z; the needle is lower case
// already. The text is neither copied nor folded. First the places of the needle's
// rarest byte are visited with memchr; where they come thick, eight places are tested
// at a time for the needle's first and last byte instead (with the case bit set on
// both sides when folding, so that a-z and A-Z meet). Only where a test agrees are the
// bytes compared. anchors: the places of the needle's two rarest bytes (AnchorsOf); the
// sixteen-place test looks for those two.
template <bool Fold>
unsigned CountWords(std::string_view haystack, std::string_view needle, unsigned limit, Anchors anchors) {
    const size_t n = haystack.size();
    const size_t m = needle.size();
    const char* const p = haystack.data();
    const char* const want = needle.data();
    auto matchesAt = [&](size_t pos) {
        if (!Fold)
            return std::memcmp(p + pos, want, m) == 0;
        for (size_t k = 0; k < m; ++k) {
            if (AsciiLower(p[pos + k]) != want[k])
                return false;
        }
        return true;
    };
    unsigned count = 0;
    size_t next = 0; // the first place a further occurrence may start

    // The rarest byte of the needle, at offset k in it; in both cases when folding.
    const size_t k = anchors.rare;
    const char anchor = want[k];
    const bool twoCases = Fold && anchor >= 'a' && anchor <= 'z';
    const char upper = static_cast<char>(anchor - ('a' - 'A'));
    const size_t lastAnchor = n - m + k; // an occurrence starts at most at n - m
    size_t from = k;                     // anchors before from are done
    size_t lower = 0, capital = 0;       // the next anchor of each case, once looked for
    bool lowerKnown = false, capitalKnown = false;
    size_t visits = 0;
    for (;;) {
        if (!lowerKnown || lower < from) {
            lower = FindByte(p, from, lastAnchor, anchor);
            lowerKnown = true;
        }
        size_t hit = lower;
        if (twoCases) {
            if (!capitalKnown || capital < from) {
                capital = FindByte(p, from, lastAnchor, upper);
                capitalKnown = true;
            }
            hit = std::min(hit, capital);
        }
        if (hit == kNoByte)
            return count;
        const size_t start = hit - k;
        if (matchesAt(start)) {
            if (++count >= limit)
                return count;
            next = start + m;
            from = next + k;
        } else {
            from = hit + 1;
        }
        // More than one anchor in 256 bytes on average: the scan of many places at once is faster.
        if (++visits >= 4 && visits * 256 > hit)
            break;
    }

    size_t i = std::max(from - k, next); // every start before from - k is done
    // The places i + (bit >> shift) of the set bits of candidates that hold the needle
    // are counted; true once the count reaches limit.
    auto takeCandidates = [&](std::uint64_t candidates, unsigned shift) {
        while (candidates) {
            const size_t pos = i + (static_cast<size_t>(std::countr_zero(candidates)) >> shift);
            candidates &= candidates - 1;
            if (pos >= next && matchesAt(pos)) {
                if (++count >= limit)
                    return true;
                next = pos + m;
            }
        }
        return false;
    };
    // The two rarest bytes of the needle, in the order of their places.
    const size_t lo = std::min(anchors.rare, anchors.second);
    const size_t hi = std::max(anchors.rare, anchors.second);
    const char wantLo = static_cast<char>(want[lo] | (Fold ? 0x20 : 0));
    const char wantHi = static_cast<char>(want[hi] | (Fold ? 0x20 : 0));
#if defined(TINDREL_AVX2)
    if (HaveAvx2() &&
        ScanPairs32<Fold>(p, n, m, lo, hi, wantLo, wantHi, i, next,
                          [&](std::uint32_t candidates) { return takeCandidates(candidates, 0); }))
        return count;
#endif
#if defined(__SSE2__)
    {
        // Sixteen places at a time.
        const __m128i caseBit = _mm_set1_epi8(Fold ? 0x20 : 0);
        const __m128i first = _mm_set1_epi8(wantLo);
        const __m128i last = _mm_set1_epi8(wantHi);
        // Both loads of sixteen bytes must lie inside the haystack.
        while (i + m + 15 <= n) {
            const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + lo)), caseBit);
            const __m128i b = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + hi)), caseBit);
            const auto candidates = static_cast<unsigned>(
                _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
            if (takeCandidates(candidates, 0))
                return count;
            i = std::max(i + 16, next);
        }
    }
#endif
    if constexpr (std::endian::native == std::endian::little) {
        const std::uint64_t caseBit = Fold ? kOnes * 0x20 : 0;
        const std::uint64_t first = kOnes * static_cast<unsigned char>(wantLo);
        const std::uint64_t last = kOnes * static_cast<unsigned char>(wantHi);
        // Both loads of eight bytes must lie inside the haystack.
        while (i + m + 7 <= n) {
            const std::uint64_t a = Load8(p + i + lo) | caseBit;
            const std::uint64_t b = Load8(p + i + hi) | caseBit;
            if (takeCandidates(ZeroBytes(a ^ first) & ZeroBytes(b ^ last), 3))
                return count;
            i = std::max(i + 8, next);
        }
    }
    for (size_t pos = std::max(i, next); pos + m <= n;) {
        if (matchesAt(pos)) {
            if (++count >= limit)
                return count;
            pos += m;
        } else {
            ++pos;
        }
    }
    return count;
}

} // namespace


unsigned CountNonOverlapping(std::string_view haystack, std::string_view needle, unsigned limit) {
    const size_t n = needle.size();
    if (n == 0 || haystack.size() < n || limit == 0)
        return 0;
    if (n == 1) {
        if (limit == 1)
            return haystack.find(needle[0]) != std::string_view::npos ? 1 : 0;
        return std::min(limit, static_cast<unsigned>(std::count(haystack.begin(), haystack.end(), needle[0])));
    }
    return CountWords<false>(haystack, needle, limit, AnchorsOf(needle, false));
}

namespace {

// Lower-cases A-Z into out, eight bytes at a time; false as soon as a byte is not ASCII.
bool FoldAscii(std::string_view text, char* out) {
    const char* in = text.data();
    size_t n = text.size();
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w = Load8(in + i);
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

SearchNeedle::SearchNeedle(std::string_view text, bool matchCase) : ascii(IsAscii(text)) {
    if (ascii) {
        // The same bytes in either encoding.
        utf8 = matchCase ? std::string(text) : FoldCase(text);
        return;
    }
    std::string asUtf8;
    std::string asCp1252;
    InBothEncodings(text, asUtf8, asCp1252);
    utf8 = matchCase ? asUtf8 : FoldCase(asUtf8);
    cp1252 = matchCase || asCp1252.empty() ? asCp1252 : FoldWindows1252(asCp1252);
}

CSampleMatcher::CSampleMatcher(std::string_view needle, bool keywordsOnly, bool matchCase)
    : CSampleMatcher(needle, keywordsOnly ? SearchScope::KeywordsOnly : SearchScope::Everything, matchCase) {}

CSampleMatcher::CSampleMatcher(std::string_view needle, SearchScope scope, bool matchCase)
    : m_needle(needle, matchCase), m_scope(scope), m_matchCase(matchCase),
      m_anchors(AnchorsOf(m_needle.utf8, !matchCase)) {}

unsigned CSampleMatcher::CountField(std::string_view field, unsigned limit) {
    const std::string& ascii = m_needle.utf8;
    if (!m_needle.ascii) {
        // A needle with other characters is looked for in the field's own encoding.
        const bool utf8 = IsValidUtf8(field);
        const std::string& needle = m_needle.For(utf8);
        if (needle.empty() || field.size() < needle.size())
            return 0;
        if (m_matchCase)
            return CountNonOverlapping(field, needle, limit);
        return CountNonOverlapping(utf8 ? FoldCase(field) : FoldWindows1252(field), needle, limit);
    }
    if (field.size() < ascii.size())
        return 0;
    if (m_matchCase)
        return ascii.size() >= 2 ? CountWords<false>(field, ascii, limit, m_anchors)
                                 : CountNonOverlapping(field, ascii, limit);
    // An ASCII needle is compared in place, A-Z as a-z, in any field: FoldCase lowers
    // A-Z and turns every other byte below 0x80 into itself and every byte from 0x80
    // into one from 0x80, so such a needle meets the folded field exactly where it meets
    // the field with its A-Z lowered. A one-byte needle goes through the fold (it is rare).
    if (ascii.size() >= 2)
        return CountWords<true>(field, ascii, limit, m_anchors);
    m_folded.resize(field.size());
    if (!FoldAscii(field, m_folded.data()))
        return CountNonOverlapping(FoldCase(field), ascii, limit);
    return CountNonOverlapping(m_folded, ascii, limit);
}

unsigned CSampleMatcher::Count(const CSample& sample) {
    if (m_needle.utf8.empty())
        return 0;
    return CountSearchedFields(sample, m_scope, [this](std::string_view field) { return CountField(field, ~0u); });
}

bool CSampleMatcher::Contains(const CSample& sample) {
    if (m_needle.utf8.empty())
        return false;
    return CountSearchedFields(
               sample, m_scope, [this](std::string_view field) { return CountField(field, 1); }, 1) > 0;
}

namespace {

// What the search found in each sample of a list: the count, and where a regular
// expression ran away (the first such sample; the list's size when none did).
struct ListCounts {
    std::vector<unsigned> counts;
    size_t ranAway = 0;
};

// Counts every sample of list, on every core for a long list: each thread takes the
// next run of places that no other has taken, with a counter of its own (this thread
// with counter). The places are visited in order when given (positions in list, each
// once), else in list order; a search that may run away goes in list order, so that
// every sample before the first that ran away is counted.
ListCounts CountAll(const std::vector<const CSample*>& list, const std::vector<std::uint32_t>* order,
                    const SearchOptions& options, CSearchCounter& counter) {
    ListCounts out;
    const size_t n = list.size();
    out.counts.assign(n, 0);
    constexpr size_t kRun = 1024;
    std::atomic<size_t> nextRun{0};
    std::atomic<size_t> ranAway{n};
    auto work = [&](CSearchCounter& counter) {
        for (;;) {
            const size_t from = nextRun.fetch_add(kRun);
            if (from >= n || from >= ranAway.load(std::memory_order_relaxed))
                return;
            const size_t to = std::min(n, from + kRun);
            for (size_t at = from; at < to; ++at) {
                const size_t i = order ? (*order)[at] : at;
                out.counts[i] = counter.Count(*list[i]);
                if (counter.RanAway()) {
                    size_t seen = ranAway.load();
                    while (i < seen && !ranAway.compare_exchange_weak(seen, i)) {
                    }
                    return;
                }
            }
        }
    };
    const size_t threads = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()), 8);
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads && t * kRun < n; ++t)
        helpers.emplace_back([&] {
            CSearchCounter own(options);
            work(own);
        });
    work(counter);
    for (std::thread& t : helpers)
        t.join();
    out.ranAway = ranAway.load();
    return out;
}

} // namespace

SearchTotals SearchLibrary(const CQuorrinDoc& doc, const SearchOptions& options,
                           const std::function<bool(const CSample&, unsigned)>& onMatch) {
    SearchTotals totals;
    if (options.text.empty())
        return totals;
    const bool limited = !options.category.empty() && options.category != kNoLimit;
    CSearchCounter counter(options);
    if (!counter.Ok()) {
        totals.error = counter.Error();
        return totals;
    }
    // The samples in title order (a category's own list is in the same order as the
    // whole library), counted all at once, in the order they lie in memory, and then
    // visited in title order. A regular expression may run away: it counts in title order.
    const std::vector<const CSample*>& list =
        limited ? doc.SamplesOfCategory(options.category) : doc.SamplesInTitleOrder();
    std::vector<std::uint32_t> categoryOrder;
    const std::vector<std::uint32_t>* order = nullptr;
    if (!options.regex) {
        if (limited)
            categoryOrder = AddressOrder(list);
        order = limited ? &categoryOrder : &doc.SamplesInMemoryOrder();
    }
    const ListCounts found = CountAll(list, order, options, counter);
    for (size_t i = 0; i < list.size(); ++i) {
        if (i == found.ranAway) {
            totals.error = RanAwayMessage(list[i]->GetTitle());
            break;
        }
        const unsigned n = found.counts[i];
        if (n == 0)
            continue;
        totals.occurrences += n;
        ++totals.samples;
        totals.stopped = onMatch && !onMatch(*list[i], n);
        if (totals.stopped)
            break;
    }
    return totals;
}

std::string FoundLine(long long occurrences, int samples) {
    return "Found " + std::to_string(occurrences) + " occurrence(s) in " + std::to_string(samples) +
           " sample(s)";
}
