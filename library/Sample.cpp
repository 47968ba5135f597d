#include "library/Sample.h"

#include <algorithm>
#include <cstring>

#include "base/TextRules.h"

namespace {

const char* const kReasonTexts[] = {"Could not find parent item.", "Duplicate title."};

} // namespace

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

