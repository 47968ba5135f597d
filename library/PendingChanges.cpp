#include "library/PendingChanges.h"

void CPendingChanges::Changing(const std::string& category, const CSample& asInFile) {
    m_byCategory[category].try_emplace(asInFile.GetTitle(), asInFile);
}

void CPendingChanges::Arriving(const std::string& category, const std::string& title) {
    m_byCategory[category].try_emplace(title, std::nullopt);
}

const std::optional<CSample>* CPendingChanges::Find(const std::string& category, const std::string& title) const {
    auto c = m_byCategory.find(category);
    if (c == m_byCategory.end())
        return nullptr;
    auto t = c->second.find(title);
    return t == c->second.end() ? nullptr : &t->second;
}

std::vector<std::string> CPendingChanges::Titles(const std::string& category) const {
    std::vector<std::string> titles;
    if (auto c = m_byCategory.find(category); c != m_byCategory.end())
        for (const auto& [title, asInFile] : c->second)
            titles.push_back(title);
    return titles;
}
