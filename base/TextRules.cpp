#include "base/TextRules.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Windows-1252 bytes 0x80-0x9F.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Capitals of U+0080-U+07FF: from first to last (every step-th character) the lower case
// is the character plus delta.
struct LowerRun {
    char16_t first;
    char16_t last;
    short delta;
    unsigned char step;
};
constexpr LowerRun kLowerRuns[] = {
    {0x00C0, 0x00D6, 32, 1},   {0x00D8, 0x00DE, 32, 1},   {0x0100, 0x012E, 1, 2},    {0x0132, 0x0136, 1, 2},
    {0x0139, 0x0147, 1, 2},    {0x014A, 0x0176, 1, 2},    {0x0178, 0x0178, -121, 1}, {0x0179, 0x017D, 1, 2},
    {0x0181, 0x0181, 210, 1},  {0x0182, 0x0184, 1, 2},    {0x0186, 0x0186, 206, 1},  {0x0187, 0x0187, 1, 1},
    {0x0189, 0x018A, 205, 1},  {0x018B, 0x018B, 1, 1},    {0x018E, 0x018E, 79, 1},   {0x018F, 0x018F, 202, 1},
    {0x0190, 0x0190, 203, 1},  {0x0191, 0x0191, 1, 1},    {0x0193, 0x0193, 205, 1},  {0x0194, 0x0194, 207, 1},
    {0x0196, 0x0196, 211, 1},  {0x0197, 0x0197, 209, 1},  {0x0198, 0x0198, 1, 1},    {0x019C, 0x019C, 211, 1},
    {0x019D, 0x019D, 213, 1},  {0x019F, 0x019F, 214, 1},  {0x01A0, 0x01A4, 1, 2},    {0x01A6, 0x01A6, 218, 1},
    {0x01A7, 0x01A7, 1, 1},    {0x01A9, 0x01A9, 218, 1},  {0x01AC, 0x01AC, 1, 1},    {0x01AE, 0x01AE, 218, 1},
    {0x01AF, 0x01AF, 1, 1},    {0x01B1, 0x01B2, 217, 1},  {0x01B3, 0x01B5, 1, 2},    {0x01B7, 0x01B7, 219, 1},
    {0x01B8, 0x01B8, 1, 1},    {0x01BC, 0x01BC, 1, 1},    {0x01C4, 0x01C4, 2, 1},    {0x01C5, 0x01C5, 1, 1},
    {0x01C7, 0x01C7, 2, 1},    {0x01C8, 0x01C8, 1, 1},    {0x01CA, 0x01CA, 2, 1},    {0x01CB, 0x01DB, 1, 2},
    {0x01DE, 0x01EE, 1, 2},    {0x01F1, 0x01F1, 2, 1},    {0x01F2, 0x01F4, 1, 2},    {0x01F6, 0x01F6, -97, 1},
    {0x01F7, 0x01F7, -56, 1},  {0x01F8, 0x021E, 1, 2},    {0x0220, 0x0220, -130, 1}, {0x0222, 0x0232, 1, 2},
    {0x023B, 0x023B, 1, 1},    {0x023D, 0x023D, -163, 1}, {0x0241, 0x0241, 1, 1},    {0x0243, 0x0243, -195, 1},
    {0x0244, 0x0244, 69, 1},   {0x0245, 0x0245, 71, 1},   {0x0246, 0x024E, 1, 2},    {0x0370, 0x0372, 1, 2},
    {0x0376, 0x0376, 1, 1},    {0x037F, 0x037F, 116, 1},  {0x0386, 0x0386, 38, 1},   {0x0388, 0x038A, 37, 1},
    {0x038C, 0x038C, 64, 1},   {0x038E, 0x038F, 63, 1},   {0x0391, 0x03A1, 32, 1},   {0x03A3, 0x03AB, 32, 1},
    {0x03CF, 0x03CF, 8, 1},    {0x03D8, 0x03EE, 1, 2},    {0x03F4, 0x03F4, -60, 1},  {0x03F7, 0x03F7, 1, 1},
    {0x03F9, 0x03F9, -7, 1},   {0x03FA, 0x03FA, 1, 1},    {0x03FD, 0x03FF, -130, 1}, {0x0400, 0x040F, 80, 1},
    {0x0410, 0x042F, 32, 1},   {0x0460, 0x0480, 1, 2},    {0x048A, 0x04BE, 1, 2},    {0x04C0, 0x04C0, 15, 1},
    {0x04C1, 0x04CD, 1, 2},    {0x04D0, 0x052E, 1, 2},    {0x0531, 0x0556, 48, 1},
};

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// The characters of a name one by one, by the name's own encoding.
class CharReader {
public:
    explicit CharReader(std::string_view text) : m_text(text), m_utf8(IsValidUtf8(text)) {}
    bool Next(char32_t& cp) {
        if (m_pos >= m_text.size())
            return false;
        if (m_utf8 && NextUtf8(m_text, m_pos, cp))
            return true;
        cp = Windows1252Char(static_cast<unsigned char>(m_text[m_pos++]));
        return true;
    }

private:
    std::string_view m_text;
    bool m_utf8;
    size_t m_pos = 0;
};

// Compares the characters of a and b, each through map.
template <class Map> int CompareChars(std::string_view a, std::string_view b, Map map) {
    CharReader x(a);
    CharReader y(b);
    for (;;) {
        char32_t p = 0;
        char32_t q = 0;
        const bool more = x.Next(p);
        const bool moreToo = y.Next(q);
        if (!more || !moreToo)
            return more == moreToo ? 0 : (more ? 1 : -1);
        p = map(p);
        q = map(q);
        if (p != q)
            return p < q ? -1 : 1;
    }
}

} // namespace

std::string_view Trim(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; };
    size_t b = 0;
    size_t e = s.size();
    while (b < e && blank(s[b]))
        ++b;
    while (e > b && blank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool NextUtf8(std::string_view s, size_t& i, char32_t& out) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) {
        out = c;
        ++i;
        return true;
    }
    size_t n;
    char32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return false; // a continuation byte, an overlong two-byte lead or past U+10FFFF
    }
    if (i + n > s.size())
        return false;
    for (size_t k = 1; k < n; ++k) {
        const unsigned char cc = byte(i + k);
        if ((cc & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return false;
    out = cp;
    i += n;
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    char32_t cp;
    while (i < s.size()) {
        if (static_cast<unsigned char>(s[i]) < 0x80)
            ++i;
        else if (!NextUtf8(s, i, cp))
            return false;
    }
    return true;
}

bool IsAscii(std::string_view text) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    const char* p = text.data();
    const size_t n = text.size();
    std::uint64_t any = 0;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t w;
        std::memcpy(&w, p + i, 8);
        any |= w;
    }
    for (; i < n; ++i)
        any |= static_cast<unsigned char>(p[i]);
    return (any & kHigh) == 0;
}

char32_t Windows1252Char(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kCp1252High[byte - 0x80] : byte;
}

bool Windows1252Byte(char32_t cp, unsigned char& byte) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        byte = static_cast<unsigned char>(cp);
        return true;
    }
    for (size_t k = 0; k < kCp1252High.size(); ++k) {
        if (kCp1252High[k] == cp) {
            byte = static_cast<unsigned char>(0x80 + k);
            return true;
        }
    }
    return false;
}

bool Utf8ToWindows1252(std::string_view utf8, std::string& out) {
    out.clear();
    out.reserve(utf8.size());
    size_t i = 0;
    char32_t cp;
    unsigned char byte;
    while (i < utf8.size()) {
        if (!NextUtf8(utf8, i, cp) || !Windows1252Byte(cp, byte))
            return false;
        out += static_cast<char>(byte);
    }
    return true;
}

void InBothEncodings(std::string_view text, std::string& utf8, std::string& windows1252) {
    utf8.clear();
    windows1252.clear();
    if (IsValidUtf8(text)) {
        utf8 = text;
        if (!Utf8ToWindows1252(text, windows1252))
            windows1252.clear();
        return;
    }
    windows1252 = text;
    for (char c : text)
        AppendUtf8(utf8, Windows1252Char(static_cast<unsigned char>(c)));
}

char32_t LowerChar(char32_t cp) {
    if (cp < 0x80)
        return static_cast<char32_t>(AsciiLower(static_cast<char>(cp)));
    if (cp < kLowerRuns[0].first || cp > 0x7FF)
        return cp;
    // The runs are in order; the last one starting at or before cp decides.
    const LowerRun* run = std::upper_bound(std::begin(kLowerRuns), std::end(kLowerRuns), cp,
                                           [](char32_t c, const LowerRun& r) { return c < r.first; });
    --run;
    if (cp > run->last || (cp - run->first) % run->step != 0)
        return cp;
    return static_cast<char32_t>(static_cast<int>(cp) + run->delta);
}

std::string FoldWindows1252(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x80)
            c = AsciiLower(c);
        else if (u >= 0xC0 && u <= 0xDE && u != 0xD7)
            c = static_cast<char>(u + 0x20);
        else if (u == 0x8A || u == 0x8C || u == 0x8E)
            c = static_cast<char>(u + 0x10);
        else if (u == 0x9F)
            c = static_cast<char>(0xFF);
    }
    return out;
}

std::string FoldCase(std::string_view text) {
    std::string out(text);
    bool ascii = true;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) >= 0x80)
            ascii = false;
        else
            c = AsciiLower(c);
    }
    if (ascii)
        return out;
    if (!IsValidUtf8(text))
        return FoldWindows1252(text);
    // Two-byte characters map to two-byte characters, so the length never changes.
    for (size_t i = 0; i < out.size();) {
        const size_t at = i;
        char32_t cp;
        NextUtf8(out, i, cp);
        if (i - at == 2) {
            const char32_t low = LowerChar(cp);
            out[at] = static_cast<char>(0xC0 | (low >> 6));
            out[at + 1] = static_cast<char>(0x80 | (low & 0x3F));
        }
    }
    return out;
}

int CompareNames(std::string_view a, std::string_view b) {
    // Plain ASCII names, nearly all of them, are compared by their bytes.
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80)
            break;
        if (x == y)
            continue;
        const char lx = AsciiLower(static_cast<char>(x));
        const char ly = AsciiLower(static_cast<char>(y));
        if (lx != ly)
            return lx < ly ? -1 : 1;
    }
    if (i == n && IsAscii(a.substr(n)) && IsAscii(b.substr(n))) {
        // Equal in lower case up to the shorter one's end: the shorter first, then the
        // bytes themselves.
        if (a.size() != b.size())
            return a.size() < b.size() ? -1 : 1;
        const int c = a.compare(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (const int c = CompareChars(a, b, LowerChar))
        return c;
    if (const int c = CompareChars(a, b, [](char32_t cp) { return cp; }))
        return c;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string CountOf(size_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}
