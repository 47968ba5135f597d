// Regular expressions for the search, one matcher for the Search dialog and for
// `tindrel-cli search --regex`, through PCRE2 with its JIT compiler.
//
// A field is matched as the window shows it: UTF-8 as it is, a field that is not valid
// UTF-8 decoded from Windows-1252 first, so "ä" or "^Ä" find the same characters in
// either. The matches are counted as the plain search counts a text: each keyword
// alone, then the title, comments and text; from the left, without overlap; a match of
// no characters counts nothing. A pattern that runs away (nested repeats on a long
// line) cannot be interrupted inside one match: a match limit ends it instead, and the
// matcher says so.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "library/LibrarySearch.h"

class CSample;

class CRegexMatcher {
public:
    // pattern: UTF-8, or Windows-1252 when it is not valid UTF-8.
    CRegexMatcher(std::string_view pattern, bool keywordsOnly, bool matchCase);
    ~CRegexMatcher();
    CRegexMatcher(CRegexMatcher&&) noexcept;
    CRegexMatcher& operator=(CRegexMatcher&&) noexcept;

    // False when the pattern does not compile; Error() then says why and where.
    bool Ok() const { return m_error.empty(); }
    const std::string& Error() const { return m_error; }

    // The matches in the sample's searched fields; 0 when the pattern is bad. When a
    // field hits the match limit the count stops there and RanAway() is true.
    unsigned Count(const CSample& sample);
    // The non-empty matches in one field (as it is stored).
    unsigned CountField(std::string_view field);
    bool RanAway() const { return m_ranAway; }

    // Matching steps allowed for one match attempt before it is given up.
    static constexpr unsigned kMatchLimit = 5'000'000;

private:
    struct Compiled;
    std::unique_ptr<Compiled> m_compiled;
    std::string m_error;
    bool m_keywordsOnly = false;
    bool m_ranAway = false;
    std::string m_decoded; // a Windows-1252 field as UTF-8, reused
};

// "The regular expression stopped in sample "TITLE": it needs too many steps. ..."
std::string RanAwayMessage(std::string_view title);

// What a search counts with: the plain text (CSampleMatcher) or, with options.regex,
// the pattern. The Search dialog and the command line both count through this.
class CSearchCounter {
public:
    explicit CSearchCounter(const SearchOptions& options);
    bool Ok() const { return !m_regex || m_regex->Ok(); }
    const std::string& Error() const;
    unsigned Count(const CSample& sample);
    bool RanAway() const { return m_regex && m_regex->RanAway(); }

private:
    std::unique_ptr<CSampleMatcher> m_text;
    std::unique_ptr<CRegexMatcher> m_regex;
};
