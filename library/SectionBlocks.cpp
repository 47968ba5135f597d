// A section's value 64 bytes at a time: in a block of the file's bytes, each line end
// either stays, loses its CR, or goes with the line when the line is empty. The bytes
// that stay are packed together in one instruction, so a block of short lines costs as
// much as one long line; the end marker is looked for in the same pass.
#include "library/SectionBlocks.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#define TINDREL_AVX512 1
#include <immintrin.h>
#endif

namespace sectionblocks {

#if defined(TINDREL_AVX512)

bool Available() {
    static const bool have = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                             __builtin_cpu_supports("avx512vbmi2");
    return have;
}

__attribute__((target("avx512f,avx512bw,avx512vbmi2,popcnt"))) Found SectionValue(std::string_view rest,
                                                                                  std::string_view lfEnd,
                                                                                  std::string& scratch) {
    const char* p = rest.data();
    const size_t n = rest.size();
    const __m512i cr = _mm512_set1_epi8('\r');
    const __m512i lf = _mm512_set1_epi8('\n');
    const __m512i second = _mm512_set1_epi8(lfEnd[1]); // markers are longer than one byte
    // Whether the marker line starting after the LF at i ends there.
    auto isEnd = [&](size_t i) {
        const size_t after = i + lfEnd.size();
        return after <= n && std::memcmp(p + i, lfEnd.data(), lfEnd.size()) == 0 &&
               (after == n || p[after] == '\n' || (p[after] == '\r' && after + 1 < n && p[after + 1] == '\n'));
    };
    size_t written = 0;
    // What the block before says of its last byte; the first byte of rest starts a line,
    // as if an LF stood before it.
    std::uint64_t lastLf = 1;
    std::uint64_t lastCr = 0;
    std::uint64_t lastStart = 0;
    for (size_t at = 0; at < n; at += 64) {
        if (scratch.size() < written + 64)
            scratch.resize(2 * scratch.size() + 64);
        const size_t left = n - at;
        std::uint64_t valid = left >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << left) - 1;
        const std::uint64_t validNext = left > 64 ? ~std::uint64_t{0} : valid >> 1;
        const __m512i v = _mm512_maskz_loadu_epi8(valid, p + at);
        const __m512i w = _mm512_maskz_loadu_epi8(validNext, p + at + 1);
        std::uint64_t l = _mm512_mask_cmpeq_epi8_mask(valid, v, lf);
        std::uint64_t c = _mm512_mask_cmpeq_epi8_mask(valid, v, cr);
        // The end marker line: an LF followed by the marker's first byte, then checked.
        bool ended = false;
        for (std::uint64_t maybe = l & _mm512_mask_cmpeq_epi8_mask(validNext, w, second); maybe;
             maybe &= maybe - 1) {
            const unsigned i = static_cast<unsigned>(std::countr_zero(maybe));
            if (isEnd(at + i)) {
                // The lines end with this LF.
                valid = i == 63 ? ~std::uint64_t{0} : (std::uint64_t{2} << i) - 1;
                l &= valid;
                c &= valid;
                ended = true;
                break;
            }
        }
        // Bit i of each: byte i starts a line; byte i-1 is a CR; byte i-1 starts a line;
        // byte i+1 is an LF.
        const std::uint64_t start = l << 1 | lastLf;
        const std::uint64_t crBefore = c << 1 | lastCr;
        const std::uint64_t startBefore = start << 1 | lastStart;
        const std::uint64_t nextLf = _mm512_mask_cmpeq_epi8_mask(validNext, w, lf);
        // A non-empty line ending in LF alone would need a CR added.
        if (l & ~start & ~crBefore)
            return Found{Found::Declined, 0, 0};
        // The CR of a line end goes when the line is empty or its content ends in CR;
        // the LF goes when the line is empty.
        const std::uint64_t drop = (c & nextLf & (start | crBefore)) | (l & crBefore & startBefore) | (l & start);
        const std::uint64_t keep = valid & ~drop;
        _mm512_storeu_si512(scratch.data() + written, _mm512_maskz_compress_epi8(keep, v));
        written += static_cast<size_t>(std::popcount(keep));
        if (ended)
            return Found{Found::Value, written, at + static_cast<size_t>(63 - std::countl_zero(l))};
        lastLf = l >> 63;
        lastCr = c >> 63;
        lastStart = start >> 63;
    }
    return Found{Found::NoEnd, 0, 0};
}

#else

bool Available() {
    return false;
}

Found SectionValue(std::string_view, std::string_view, std::string&) {
    return Found{};
}

#endif

} // namespace sectionblocks
