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


private:
    int m_reason = -1;
    std::string m_category;
    std::string m_subcategory;
    std::string m_title;
    std::vector<std::string> m_keywords;
    std::string m_comments;
    std::string m_text;
};
