// The library configuration: which custom categories and sub-categories exist,
// what is hidden, which branches were expanded, and the two options. Read once at
// start (LoadProfile), written by the library save and at exit. All decisions and
// messages live here; the key store only stores.
#pragma once

#include <map>
#include <set>
#include <string>

#include "config/KeyStore.h"

class CCategory;

using NameSet = std::set<std::string>;
using NameSetMap = std::map<std::string, NameSet>;

class CLibraryConfig {
public:
    explicit CLibraryConfig(IKeyStore& store);

    // --- Tables (one instance serves the whole process) ---
    NameSet g_expandedCats;
    NameSetMap g_expandedSubcats;
    std::map<std::string, std::string> g_customCatFiles;
    NameSetMap g_customCatSubcats;
    NameSetMap g_customSubcats;
    NameSet m_hiddenCats;
    NameSetMap m_hiddenSubcats;

    // --- Options ---
    bool m_bAutoSaveOnSwitch = true;
    bool m_bSaveTreeState = true;

    // --- Reading ---
    bool LoadProfile();
    bool IsCategoryShown(const std::string& category) const;
    bool IsSubcategoryShown(const std::string& category, const std::string& subcategory) const;

    // --- Writing ---
    // Around one library save: afterwards the stored configuration says exactly
    // what the categories recorded in between hold.
    void BeginLibrarySave();
    // Records one category: WriteCustomCat, or WriteCustomSubcats, WriteHiddenCat
    // and (when displayed) WriteHiddenSubcats.
    void RecordCategory(const CCategory& category);
    void EndLibrarySave();

    void WriteCustomCat(const CCategory& category);
    void WriteCustomSubcats(const CCategory& category);
    void WriteHiddenCat(const std::string& name, bool displayed);
    void WriteHiddenSubcats(const CCategory& category);
    void WriteExpandedCats();
    // Writes AutoSaveOnSwitch then SaveTreeState below Settings.
    void SaveSettings();
    // Makes the store durable; reports a failure once.
    void Flush();

    // --- Helpers, public for tests ---
    KeyHandle OpenAppKey();
    KeyHandle OpenAppSubKey(const std::string& name);
    void DeleteSubKeys(KeyHandle key);
    std::string GetErrorReason(long code = -1);
    void ReportStoreError(long code);

    IKeyStore& Store() { return m_store; }

    static constexpr const char* kCompanyKey = "Velmora Software";
    static constexpr const char* kAppKey = "Tindrel";

private:
    // (the implementation adds what it needs)
    IKeyStore& m_store;
    int m_countCustomCats = 0;
    int m_countCustomSubcats = 0;
    int m_countHiddenCats = 0;
    int m_countHiddenSubcats = 0;
    bool m_inLibrarySave = false;
    bool m_wroteCustomCat = false;
};
