// Lines of words and quoted texts, the form of the program's own text files (the
// configuration, the library's structure). Inside quotes \\ is a backslash, \" a quote
// and \xHH any byte; bytes below 0x20, 0x7F and bytes that are not part of valid UTF-8
// are written as \xHH, so every text keeps its exact bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The text in quotes, escaped as above.
std::string QuoteBytes(const std::string& bytes);

// Reads the words and quoted texts of one line.
class QuotedLineReader {
public:
    explicit QuotedLineReader(std::string_view line) : m_s(line) {}

    void SkipBlanks() {
        while (m_i < m_s.size() && (m_s[m_i] == ' ' || m_s[m_i] == '\t'))
            ++m_i;
    }
    bool AtEnd() {
        SkipBlanks();
        return m_i >= m_s.size();
    }
    bool AtQuote() {
        SkipBlanks();
        return m_i < m_s.size() && m_s[m_i] == '"';
    }
    std::string_view Word() {
        SkipBlanks();
        std::size_t start = m_i;
        while (m_i < m_s.size() && m_s[m_i] != ' ' && m_s[m_i] != '\t' && m_s[m_i] != '"')
            ++m_i;
        return m_s.substr(start, m_i - start);
    }
    // The next quoted text; false when there is none or it is not closed or escaped well.
    bool Quoted(std::string& out);

private:
    std::string_view m_s;
    std::size_t m_i = 0;
};

