// The library configuration: which custom categories and sub-categories exist,
// what is hidden, which branches were expanded, and the two options. Read once at
// start (LoadProfile), written by the library save and at exit. All decisions and
// messages live here; the key store only stores.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "config/KeyStore.h"
#include "library/LibrarySettings.h"

class CLibraryConfig : public ILibrarySettings {
public:
    explicit CLibraryConfig(IKeyStore& store);

    // --- Tables (one instance serves the whole process) ---
    NameSet g_expandedCats;
    NameSetMap g_expandedSubcats;
    std::map<std::string, std::string> g_customCatFiles;
    // The language chosen for a custom category, as its stable word (SampleLanguage);
    // a category without an entry is shown in the language guessed from its name.
    std::map<std::string, std::string> g_customCatLanguages;
    NameSetMap g_customCatSubcats;
    NameSetMap g_customSubcats;
    NameSet m_hiddenCats;
    NameSetMap m_hiddenSubcats;

    // --- Options ---
    bool m_bAutoSaveOnSwitch = true;
    bool m_bSaveTreeState = true;
    // Minutes between syncs of a library folder that is a git repository with a remote,
    // while the window is idle (0: only at start, after saves and on Sync Now).
    static constexpr int kDefaultSyncMinutes = 5;
    int m_syncMinutes = kDefaultSyncMinutes;
    // Deletions older than this many days leave the library's trash at start (0: never).
    static constexpr int kMaxTrashDays = 3650;
    int m_trashDays = 0;

    // --- Reading ---
    bool LoadProfile();
    bool IsCategoryShown(const std::string& category) const override;
    bool IsSubcategoryShown(const std::string& category, const std::string& subcategory) const override;
    const NameSet* CustomSubcategories(const std::string& category) const override;
    const std::map<std::string, std::string>& CustomCategoryFiles() const override { return g_customCatFiles; }
    const NameSet* CustomCategorySubcategories(const std::string& category) const override;

    // --- Changes of the layout by the library's edits ---
    void AddCustomSubcategory(const std::string& category, const std::string& subcategory) override;
    void RemoveCustomSubcategory(const std::string& category, const std::string& subcategory) override;
    void ForgetCategory(const std::string& category) override;

    // --- The language of a custom category ---
    // The stored word, empty when the user chose none.
    std::string CustomCategoryLanguage(const std::string& category) const;
    std::string CategoryLanguage(const std::string& category) const override {
        return CustomCategoryLanguage(category);
    }
    // Keeps the user's choice (an empty word forgets it) and writes it into the
    // category's key at once when the key exists; every library save writes it too.
    void SetCustomCategoryLanguage(const std::string& category, const std::string& word);

    // --- Writing ---
    // A read-only configuration (a window that opened the library read-only) writes
    // nothing to the store: saves, the expanded state, the options and language choices
    // change only the tables.
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool IsReadOnly() const { return m_readOnly; }
    // Around one library save: afterwards the stored configuration says exactly
    // what the categories recorded in between hold.
    void BeginLibrarySave() override;
    // Records one category: WriteCustomCat, or WriteCustomSubcats, WriteHiddenCat
    // and (when displayed) WriteHiddenSubcats.
    void RecordCategory(const CCategory& category) override;
    void EndLibrarySave() override;

    void WriteExpandedCats();
    // Writes AutoSaveOnSwitch then SaveTreeState below Settings.
    void SaveSettings();
    // Makes the store durable; reports a failure once.
    void Flush();

    static constexpr const char* kCompanyKey = "Velmora Software";
    static constexpr const char* kAppKey = "Tindrel";

    static constexpr const char* kExpandedCats = "ExpandedCats";
    static constexpr const char* kCustomCats = "CustomCats";
    static constexpr const char* kCustomSubcats = "CustomSubcats";
    static constexpr const char* kHiddenCats = "HiddenCats";
    static constexpr const char* kHiddenSubcats = "HiddenSubcats";
    static constexpr const char* kFileName = "FileName";
    static constexpr const char* kLanguage = "Language";
    static constexpr const char* kSettings = "Settings";
    static constexpr const char* kAutoSaveOnSwitch = "AutoSaveOnSwitch";
    static constexpr const char* kSaveTreeState = "SaveTreeState";
    // Stored only once it differs from the default.
    static constexpr const char* kSyncMinutes = "SyncMinutes";
    static constexpr const char* kTrashDays = "TrashDays";

private:
    // The read modes, in the order of their numbers.
    enum ReadMode {
        kReadExpanded = 0,
        kReadCustomCat,
        kReadCustomSubcats,
        kReadHiddenCat,
        kReadHiddenSubcats
    };
    bool ReadCategoryKeys(KeyHandle key, std::uint32_t count, ReadMode mode);
    bool ReadSubcategoryKeys(KeyHandle categoryKey, const std::string& category, ReadMode mode);
    void ReadCustomCatFileNames(KeyHandle key, std::uint32_t count);
    // The Language value beside FileName; a missing one is no error.
    void ReadCustomCatLanguage(KeyHandle categoryKey, const std::string& category);

    // The writers RecordCategory uses.
    void WriteCustomCat(const CCategory& category);
    // The Language value of a custom category's key, when a language was chosen.
    void WriteCustomCatLanguage(KeyHandle categoryKey, const std::string& category);
    void WriteCustomSubcats(const CCategory& category);
    void WriteHiddenCat(const std::string& name, bool displayed);
    void WriteHiddenSubcats(const CCategory& category);

    KeyHandle OpenAppKey();
    KeyHandle OpenAppSubKey(const std::string& name);
    void DeleteSubKeys(KeyHandle key);
    std::string GetErrorReason(long code = -1);
    void ReportStoreError(long code);
    IKeyStore& Store() { return m_store; }

    // The application key, created with its parents when missing (writers only);
    // kNoKey with the failing call's code in code.
    KeyHandle CreateAppKey(long& code);
    // Opens key name for writing: rebuilt (deleted and created anew) when count is
    // 0, else opened. Failures are reported and give kNoKey; success adds 1 to count.
    KeyHandle StartWrite(const char* name, int& count);
    KeyHandle RebuildKey(const char* name);
    // Creates sub-key name below parent and opens it for writing; kNoKey after
    // reporting a failure.
    KeyHandle CreateAndOpen(KeyHandle parent, const std::string& name);
    // Creates sub-key name below parent (and closes it); false after reporting.
    bool CreateOnly(KeyHandle parent, const std::string& name);
    // Writes the sub-keys named by the slots that pass the filter below the key of
    // the category, itself below parent.
    template <typename Filter> void WriteSlotKeys(KeyHandle parent, const CCategory& category, Filter filter);
    bool ReadProfileInt(const char* name, bool defaultValue);
    bool m_syncMinutesStored = false;
    bool m_trashDaysStored = false;
    void Close(KeyHandle key);

    IKeyStore& m_store;
    bool m_readOnly = false;
    int m_countCustomCats = 0;
    int m_countCustomSubcats = 0;
    int m_countHiddenCats = 0;
    int m_countHiddenSubcats = 0;
    bool m_inLibrarySave = false;
    bool m_wroteCustomCat = false;
    // Within a library save: which of CustomSubcats, HiddenCats, HiddenSubcats a
    // writer has started.
    bool m_wroteCustomSubcats = false;
    bool m_wroteHiddenCats = false;
    bool m_wroteHiddenSubcats = false;
};
