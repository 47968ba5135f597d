// CSample: one code sample of the library.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Load-error reasons (index into LoadErrorReasonText).
constexpr int kReasonNoParent = 0;
constexpr int kReasonDuplicate = 1;
// "Could not find parent item." / "Duplicate title."; empty for any other index.
const char* LoadErrorReasonText(int reason);

class CSample {
public:
    CSample() = default;
    CSample(const CSample&) = default;
    CSample(CSample&&) noexcept = default;
    virtual CSample& operator=(const CSample& other);
    CSample& operator=(CSample&&) noexcept = default;
    virtual ~CSample() = default;

    // Back to the state of a new record: all empty, reason -1.
    void Reset();

    const std::string& GetTitle() const { return m_title; }
    const std::string& GetCategory() const { return m_category; }
    const std::string& GetSubcategory() const { return m_subcategory; }
    const std::string& GetComments() const { return m_comments; }
    const std::string& GetText() const { return m_text; }
    void SetTitle(std::string v) { m_title = std::move(v); }
    void SetCategory(std::string v) { m_category = std::move(v); }
    void SetSubcategory(std::string v) { m_subcategory = std::move(v); }
    void SetComments(std::string v) { m_comments = std::move(v); }
    void SetText(std::string v) { m_text = std::move(v); }

    int GetLoadErrorReason() const { return m_reason; }
    void SetLoadErrorReason(int reason) { m_reason = reason; }

    // Parses a comma-separated keyword string; false (array untouched) for "".
    bool SetKeywords(const std::string& keywords);
    // The keywords joined with ", ".
    std::string GetKeywords() const;
    size_t GetKeywordCount() const { return m_keywords.size(); }
    const std::string& GetKeyword(size_t i) const { return m_keywords[i]; }
    const std::vector<std::string>& Keywords() const { return m_keywords; }

    // Non-overlapping occurrences of needle (non-empty) in the keywords (each alone)
    // and, unless keywordsOnly, the title, comments and text.
    unsigned CountOccurrences(const std::string& needle, bool keywordsOnly, bool caseSensitive) const;

private:
    int m_reason = -1;
    std::string m_category;
    std::string m_subcategory;
    std::string m_title;
    std::vector<std::string> m_keywords;
    std::string m_comments;
    std::string m_text;
};

// text without the blanks (space, tab, CR, LF, VT, FF) at its two ends.
std::string_view Trim(std::string_view text);

// True when text is valid UTF-8: no overlong forms, surrogates or code points past
// U+10FFFF. Text that is not is taken as Windows-1252.
bool IsValidUtf8(std::string_view text);

// Lower-cases text for the case-insensitive search: ASCII always; when the text is
// valid UTF-8 also the Latin-1, Latin Extended-A, Greek and Cyrillic capitals;
// otherwise the Windows-1252 capitals 0xC0-0xDE (but 0xD7) and 0x8A, 0x8C, 0x8E,
// 0x9F. The length never changes.
std::string FoldCase(std::string_view text);
// Non-overlapping occurrences of needle in haystack (needle non-empty).
unsigned CountIn(std::string_view haystack, std::string_view needle);
