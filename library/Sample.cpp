#include "library/Sample.h"

#include <algorithm>
#include <cstring>

#include "library/LibrarySearch.h"

namespace {

const char* const kReasonTexts[] = {"Could not find parent item.", "Duplicate title."};

// Length of the valid UTF-8 sequence starting at i, or 0 when it is not valid.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = byte(i);
    size_t n;
    unsigned cp;
    if (c < 0x80)
        return 1;
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
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (size_t k = 1; k < n; ++k) {
        unsigned char cc = byte(i + k);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return n;
}


// Lower case of a two-byte code point (U+0080-U+07FF); every mapping stays in that range.
unsigned LowerTwoByte(unsigned cp) {
    if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)
        return cp + 0x20; // Latin-1 capitals
    if (cp >= 0x100 && cp <= 0x17F) {
        // Latin Extended-A: capital/small pairs, even/odd or odd/even.
        if (cp == 0x130 || cp == 0x131 || cp == 0x138 || cp == 0x149 || cp == 0x17F)
            return cp;
        if (cp == 0x178)
            return 0xFF;
        bool oddCapitals = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
        if (oddCapitals)
            return (cp % 2 == 1) ? cp + 1 : cp;
        return (cp % 2 == 0) ? cp + 1 : cp;
    }
    if (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2)
        return cp + 0x20; // Greek capitals
    if (cp == 0x386)
        return 0x3AC;
    if (cp >= 0x388 && cp <= 0x38A)
        return cp + 0x25;
    if (cp == 0x38C)
        return 0x3CC;
    if (cp == 0x38E || cp == 0x38F)
        return cp + 0x3F;
    if (cp >= 0x410 && cp <= 0x42F)
        return cp + 0x20; // Cyrillic capitals
    if (cp >= 0x400 && cp <= 0x40F)
        return cp + 0x50;
    return cp;
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
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

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            ++i;
            continue;
        }
        size_t n = Utf8SequenceLength(s, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

const char* LoadErrorReasonText(int reason) {
    if (reason < 0 || reason > 1)
        return "";
    return kReasonTexts[reason];
}

CSample& CSample::operator=(const CSample& other) {
    if (this == &other)
        return *this;
    m_category = other.m_category;
    m_subcategory = other.m_subcategory;
    m_comments = other.m_comments;
    m_text = other.m_text;
    m_title = other.m_title;
    m_reason = other.m_reason;
    m_keywords.clear();
    m_keywords.reserve(other.m_keywords.size());
    for (const auto& k : other.m_keywords)
        m_keywords.push_back(k);
    return *this;
}

void CSample::Reset() {
    m_reason = -1;
    m_category.clear();
    m_subcategory.clear();
    m_title.clear();
    std::vector<std::string>().swap(m_keywords);
    m_comments.clear();
    m_text.clear();
}

bool CSample::SetKeywords(const std::string& keywords) {
    if (keywords.empty())
        return false;
    std::vector<std::string>().swap(m_keywords);
    std::string_view rest(keywords);
    size_t comma = rest.find(',');
    if (comma == std::string_view::npos) {
        m_keywords.push_back(keywords);
        return true;
    }
    m_keywords.reserve(static_cast<size_t>(std::count(keywords.begin(), keywords.end(), ',')) + 1);
    while (comma != std::string_view::npos) {
        m_keywords.emplace_back(Trim(rest.substr(0, comma)));
        rest.remove_prefix(comma + 1);
        comma = rest.find(',');
    }
    if (!rest.empty())
        m_keywords.emplace_back(Trim(rest));
    return true;
}

std::string CSample::GetKeywords() const {
    std::string out;
    size_t total = 0;
    for (const auto& k : m_keywords)
        total += k.size() + 2;
    out.reserve(total);
    for (size_t i = 0; i < m_keywords.size(); ++i) {
        if (i > 0)
            out += ", ";
        out += m_keywords[i];
    }
    return out;
}

unsigned CSample::CountOccurrences(const std::string& needle, bool keywordsOnly, bool caseSensitive) const {
    // The library search's counting, which searches the fields where they are instead of
    // lower-casing copies of them.
    return CSampleMatcher(needle, keywordsOnly, caseSensitive).Count(*this);
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
    if (IsValidUtf8(text)) {
        // Two-byte sequences map to two-byte sequences, so the length never changes.
        for (size_t i = 0; i < out.size();) {
            unsigned char c = static_cast<unsigned char>(out[i]);
            if (c < 0x80) {
                ++i;
                continue;
            }
            size_t n = Utf8SequenceLength(out, i);
            if (n == 2) {
                unsigned cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(out[i + 1]) & 0x3Fu);
                unsigned low = LowerTwoByte(cp);
                if (low != cp) {
                    out[i] = static_cast<char>(0xC0 | (low >> 6));
                    out[i + 1] = static_cast<char>(0x80 | (low & 0x3F));
                }
            }
            i += n;
        }
        return out;
    }
    // Windows-1252.
    for (char& c : out) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0xC0 && u <= 0xDE && u != 0xD7)
            c = static_cast<char>(u + 0x20);
        else if (u == 0x8A || u == 0x8C || u == 0x8E)
            c = static_cast<char>(u + 0x10);
        else if (u == 0x9F)
            c = static_cast<char>(0xFF);
    }
    return out;
}

unsigned CountIn(std::string_view haystack, std::string_view needle) {
    if (needle.empty() || needle.size() > haystack.size())
        return 0;
    unsigned count = 0;
    size_t pos = haystack.find(needle);
    while (pos != std::string_view::npos) {
        ++count;
        pos = haystack.find(needle, pos + needle.size());
    }
    return count;
}
