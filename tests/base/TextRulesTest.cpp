// The text rules: UTF-8 encoding, the two encodings, lower case and the order of
// names.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/TextRules.h"

namespace {

// Windows-1252 text, the overlong forms of each length, a surrogate, past U+10FFFF, cut
// short, a stray and a missing continuation byte.
TEST(TextRules, Utf8RefusesWhatTheStandardRefuses) {
    for (const char* bytes : {"caf\xE9", "\xC0\xAF", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",
                              "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xE2\x86", "\x80", "\xC3\x28"})
        EXPECT_FALSE(IsValidUtf8(bytes)) << bytes;
}

// Every code point but the surrogates: its length, read back, valid.
TEST(TextRules, Utf8EncodingRoundTripsForEveryCodePoint) {
    for (char32_t cp = 0; cp <= 0x10FFFF; cp = cp == 0xD7FF ? 0xE000 : cp + 1) {
        SCOPED_TRACE(static_cast<unsigned>(cp));
        std::string bytes;
        AppendUtf8(bytes, cp);
        ASSERT_EQ(bytes.size(), cp < 0x80 ? 1u : cp < 0x800 ? 2u : cp < 0x10000 ? 3u : 4u);
        size_t i = 0;
        char32_t back = 0;
        ASSERT_TRUE(NextUtf8(bytes, i, back));
        ASSERT_EQ(static_cast<unsigned>(back), static_cast<unsigned>(cp));
        ASSERT_EQ(i, bytes.size());
        ASSERT_TRUE(IsValidUtf8(bytes));
    }
}

TEST(TextRules, Windows1252BothWays) {
    for (int b = 0; b < 256; ++b) {
        unsigned char back = 0;
        ASSERT_TRUE(Windows1252Byte(Windows1252Char(static_cast<unsigned char>(b)), back)) << b;
        EXPECT_EQ(back, b);
    }
    EXPECT_EQ(Windows1252Char(0x80), U'\u20AC');
    EXPECT_EQ(Windows1252Char(0x81), U'\u0081'); // undefined: the C1 control
    unsigned char none = 0;
    EXPECT_FALSE(Windows1252Byte(U'\u0080', none)); // 0x80 is the euro sign
    std::string out;
    EXPECT_TRUE(Utf8ToWindows1252("\xE2\x82\xAC \xC3\xA4", out));
    EXPECT_EQ(out, "\x80 \xE4");
    EXPECT_FALSE(Utf8ToWindows1252("\xD0\x96", out)); // Cyrillic has no byte there
    std::string utf8;
    InBothEncodings("caf\xE9", utf8, out);
    EXPECT_EQ(utf8, "caf\xC3\xA9");
    EXPECT_EQ(out, "caf\xE9");
    InBothEncodings("\xD0\x96", utf8, out);
    EXPECT_EQ(utf8, "\xD0\x96");
    EXPECT_EQ(out, "");
}

TEST(FoldCase, ValidUtf8AsCharactersAnythingElseAsWindows1252) {
    const struct {
        std::string text, folded;
    } rows[] = {
        {"Hello WORLD 123 [_]", "hello world 123 [_]"},
        {"", ""},
        {"\xC3\x84\xC3\x96\xC3\x9C", "\xC3\xA4\xC3\xB6\xC3\xBC"}, // ÄÖÜ -> äöü
        {"\xC3\x97\xC3\x9F", "\xC3\x97\xC3\x9F"},                 // × and ß stay
        {"\xC5\x81\xC5\xBD\xC5\xB8", "\xC5\x82\xC5\xBE\xC3\xBF"}, // ŁŽŸ -> łžÿ
        {"\xCE\xA3\xCE\x86", "\xCF\x83\xCE\xAC"},                 // ΣΆ -> σά
        {"\xD0\x96\xD0\x81", "\xD0\xB6\xD1\x91"},                 // ЖЁ -> жё
        {"A\u20ACB", "a\u20ACb"},                                 // € untouched
        {"\xC4\xD6\xDC", "\xE4\xF6\xFC"},                         // Windows-1252
        {"\xD7\xDF", "\xD7\xDF"},
        {"\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF"},
        {"A\xC0Z", "a\xE0z"},
        {"\xC3\x84\xC3", "\xE3\x84\xE3"}, // a cut UTF-8 sequence makes it all Windows-1252
    };
    for (const auto& r : rows)
        EXPECT_EQ(FoldCase(r.text), r.folded) << r.text;
}

TEST(CompareNames, LetterCaseDecidesOnlyBetweenOtherwiseEqualNames) {
    // Each name before the next.
    const std::vector<std::string> ordered = {
        "",          "A", "a", "Ab", "aB", "ab", "b", "COM", "General", "GUI",
        "\xC3\x84",  // Ä (UTF-8)
        "\xC3\xA4",  // ä (UTF-8)
        "\xC3\x84x", // Äx
        "\xE4y",     // äy (Windows-1252)
        "\xD0\xB6",  // ж
    };
    for (size_t i = 0; i < ordered.size(); ++i) {
        EXPECT_EQ(CompareNames(ordered[i], ordered[i]), 0) << i;
        for (size_t j = i + 1; j < ordered.size(); ++j) {
            EXPECT_LT(CompareNames(ordered[i], ordered[j]), 0) << i << " " << j;
            EXPECT_GT(CompareNames(ordered[j], ordered[i]), 0) << i << " " << j;
        }
    }
    // The same characters in the two encodings are told apart by their bytes.
    EXPECT_NE(CompareNames("\xC3\xA4", "\xE4"), 0);
}

} // namespace
