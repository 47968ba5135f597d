// Finding line ends 64 bytes at a time. Category files hold millions of short
// lines; a library call per line to find its end and another to copy it cost more
// than the line's bytes themselves.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace linescan {

// Bit i is set when p[i] is LF, for the n (at most 64) bytes at p. Blocks of 64 bytes
// hold a few lines each, so the walk below seldom branches to load the next one.
inline std::uint64_t LfMask(const char* p, size_t n) {
#if defined(__SSE2__)
    if (n == 64) {
        const __m128i lf = _mm_set1_epi8('\n');
        auto part = [&](int k) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
            return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lf))));
        };
        return part(0) | part(1) << 16 | part(2) << 32 | part(3) << 48;
    }
#endif
    std::uint64_t mask = 0;
    for (size_t i = 0; i < n; ++i)
        mask |= static_cast<std::uint64_t>(p[i] == '\n') << i;
    return mask;
}

// The LFs of a byte range in order. Never reads outside the range.
class LfFinder {
public:
    LfFinder() = default;
    explicit LfFinder(std::string_view data) : m_data(data) { m_mask = Load(0); }

    // Offset of the next LF, or the size when there is none left.
    size_t Next() {
        while (m_mask == 0) {
            m_block += kBlock;
            if (m_block >= m_data.size()) {
                m_block = m_data.size();
                return m_data.size();
            }
            m_mask = Load(m_block);
        }
        const size_t at = m_block + static_cast<size_t>(std::countr_zero(m_mask));
        m_mask &= m_mask - 1;
        return at;
    }

private:
    static constexpr size_t kBlock = 64;
    std::uint64_t Load(size_t at) const {
        const size_t left = m_data.size() - at;
        return LfMask(m_data.data() + at, left < kBlock ? left : kBlock);
    }

    std::string_view m_data;
    size_t m_block = 0;       // offset of the block m_mask describes
    std::uint64_t m_mask = 0; // its LFs not yet returned
};

// Copies n bytes from src to dst. When src may be read far enough before srcEnd, whole
// 16-byte blocks are moved, at least two (they may write up to kCopySlack bytes past dst + n,
// which the caller overwrites or cuts off): most lines are copied without a branch or a
// library call.
inline void CopyLine(char* dst, const char* src, size_t n, const char* srcEnd) {
    const size_t wide = n <= 32 ? 32 : (n + 15) & ~static_cast<size_t>(15);
    if (static_cast<size_t>(srcEnd - src) >= wide) {
        std::memcpy(dst, src, 16);
        std::memcpy(dst + 16, src + 16, 16);
        for (size_t i = 32; i < n; i += 16)
            std::memcpy(dst + i, src + i, 16);
    } else {
        std::memcpy(dst, src, n);
    }
}

// The room CopyLine may write beyond the bytes it copies.
inline constexpr size_t kCopySlack = 32;

} // namespace linescan
