// The language of a custom category: the Language value beside FileName in the
// category's key below CustomCats.
#include "config/LibraryConfig.h"

void CLibraryConfig::ReadCustomCatLanguage(KeyHandle categoryKey, const std::string& category) {
    std::string word;
    if (m_store.QueryString(categoryKey, kLanguage, word) == keyerr::kSuccess && !word.empty())
        g_customCatLanguages[category] = std::move(word);
}

void CLibraryConfig::WriteCustomCatLanguage(KeyHandle categoryKey, const std::string& category) {
    auto it = g_customCatLanguages.find(category);
    if (it == g_customCatLanguages.end())
        return;
    const long rc = m_store.SetString(categoryKey, kLanguage, it->second);
    if (rc != keyerr::kSuccess)
        ReportStoreError(rc);
}

std::string CLibraryConfig::CustomCategoryLanguage(const std::string& category) const {
    auto it = g_customCatLanguages.find(category);
    return it == g_customCatLanguages.end() ? std::string() : it->second;
}

void CLibraryConfig::SetCustomCategoryLanguage(const std::string& category, const std::string& word) {
    if (word.empty())
        g_customCatLanguages.erase(category);
    else
        g_customCatLanguages[category] = word;
    // A category saved before has its key: the choice is kept at once. A new one gets
    // its key, with the language, at the library save that records it.
    if (m_readOnly)
        return;
    KeyHandle cats = OpenAppSubKey(kCustomCats);
    if (cats == kNoKey)
        return;
    KeyHandle key = kNoKey;
    if (m_store.OpenKey(cats, category, kKeyRead | kKeyWrite, key) == keyerr::kSuccess) {
        // An empty value reads as no choice; the next library save leaves it out.
        const long rc = m_store.SetString(key, kLanguage, word);
        if (rc != keyerr::kSuccess)
            ReportStoreError(rc);
        Close(key);
        Flush();
    }
    Close(cats);
}
