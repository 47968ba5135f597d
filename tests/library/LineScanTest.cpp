// The block-wise line-end search and line copy under the category file reader and
// writer: the same LFs as a byte-by-byte search at every length and alignment, and no
// byte read outside the range (the buffers are exactly as long as their content, so
// AddressSanitizer catches an over-read).
#include <gtest/gtest.h>

#include <random>

#include "CategoryTestUtil.h"
#include "library/LineScan.h"

namespace {

std::vector<size_t> LfsByBytes(std::string_view data) {
    std::vector<size_t> out;
    for (size_t i = 0; i < data.size(); ++i)
        if (data[i] == '\n')
            out.push_back(i);
    return out;
}

std::vector<size_t> LfsByFinder(std::string_view data) {
    std::vector<size_t> out;
    linescan::LfFinder finder(data);
    for (size_t at = finder.Next(); at != data.size(); at = finder.Next())
        out.push_back(at);
    // Once exhausted it stays so.
    EXPECT_EQ(finder.Next(), data.size());
    return out;
}

TEST(LineScan, FindsEveryLfAtEveryLengthAndOffset) {
    std::mt19937 rng(7);
    // Dense, sparse and rare LFs among bytes of every value (NUL and bytes above 0x7F must
    // not be taken for LF); lengths across several 64-byte blocks and their edges.
    for (int density : {2, 9, 70, 0}) {
        for (size_t length = 0; length <= 200; ++length) {
            std::string text(length, 'x');
            for (char& c : text)
                c = density > 0 && rng() % density == 0 ? '\n' : static_cast<char>(rng() % 256);
            for (size_t offset : {size_t{0}, size_t{1}, size_t{15}, size_t{63}}) {
                if (offset > length)
                    continue;
                auto exact = Exact(text);
                std::string_view view(exact.get() + offset, length - offset);
                ASSERT_EQ(LfsByFinder(view), LfsByBytes(view)) << "length " << length << " offset " << offset;
            }
        }
    }
}

TEST(LineScan, CopyLineCopiesExactlyAndStaysInsideTheSource) {
    std::mt19937 rng(11);
    for (size_t sourceLength = 0; sourceLength <= 150; ++sourceLength) {
        std::string source(sourceLength, '\0');
        for (char& c : source)
            c = static_cast<char>('a' + rng() % 26);
        auto exact = Exact(source);
        for (size_t from = 0; from <= sourceLength; from += 7) {
            const size_t n = sourceLength - from;
            std::string dst(n + linescan::kCopySlack, '#');
            linescan::CopyLine(dst.data(), exact.get() + from, n, exact.get() + sourceLength);
            ASSERT_EQ(dst.substr(0, n), source.substr(from)) << sourceLength << " from " << from;
        }
    }
}

} // namespace
