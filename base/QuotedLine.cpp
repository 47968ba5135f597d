#include "base/QuotedLine.h"

#include "base/TextRules.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string QuoteBytes(const std::string& bytes) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() + 2);
    out.push_back('"');
    char32_t cp = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (std::size_t next = i; c >= 0x80 && NextUtf8(bytes, next, cp)) {
            out.append(bytes, i, next - i);
            i = next;
        } else {
            out += "\\x";
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
            ++i;
        }
    }
    out.push_back('"');
    return out;
}

bool QuotedLineReader::Quoted(std::string& out) {
    out.clear();
    if (!AtQuote())
        return false;
    ++m_i;
    while (m_i < m_s.size()) {
        char c = m_s[m_i++];
        if (c == '"')
            return true;
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (m_i >= m_s.size())
            return false;
        char e = m_s[m_i++];
        if (e == '\\' || e == '"') {
            out.push_back(e);
        } else if (e == 'x' && m_i + 2 <= m_s.size() && HexDigit(m_s[m_i]) >= 0 &&
                   HexDigit(m_s[m_i + 1]) >= 0) {
            out.push_back(static_cast<char>(HexDigit(m_s[m_i]) * 16 + HexDigit(m_s[m_i + 1])));
            m_i += 2;
        } else {
            return false;
        }
    }
    return false; // no closing quote
}
