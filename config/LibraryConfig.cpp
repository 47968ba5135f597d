#include "config/LibraryConfig.h"

#include <algorithm>

#include "library/Category.h"
#include "base/Messenger.h"

namespace {

constexpr std::uint32_t kReadWrite = kKeyRead | kKeyWrite;

const char* const kStoreErrorStart = "Quorrin was unable to store the state of\n"
                                     "the sample tree.\nReason: ";
const char* const kStoreErrorEnd = "\nAll sample data is OK, but the tree items will not be expanded\n"
                                   "to match their current state the next time you open the library.";

} // namespace

CLibraryConfig::CLibraryConfig(IKeyStore& store) : m_store(store) {}

// --- Keys ---

void CLibraryConfig::Close(KeyHandle key) {
    if (key != kNoKey)
        m_store.CloseKey(key);
}

KeyHandle CLibraryConfig::OpenAppKey() {
    KeyHandle software = kNoKey;
    if (m_store.OpenKey(kCurrentUserKey, "Software", kReadWrite, software) != keyerr::kSuccess)
        return kNoKey;
    KeyHandle company = kNoKey;
    long rc = m_store.OpenKey(software, kCompanyKey, kReadWrite, company);
    Close(software);
    if (rc != keyerr::kSuccess)
        return kNoKey;
    KeyHandle app = kNoKey;
    rc = m_store.OpenKey(company, kAppKey, kReadWrite, app);
    Close(company);
    return rc == keyerr::kSuccess ? app : kNoKey;
}

KeyHandle CLibraryConfig::OpenAppSubKey(const std::string& name) {
    KeyHandle app = OpenAppKey();
    if (app == kNoKey)
        return kNoKey;
    KeyHandle key = kNoKey;
    long rc = m_store.OpenKey(app, name, kReadWrite, key);
    Close(app);
    return rc == keyerr::kSuccess ? key : kNoKey;
}

KeyHandle CLibraryConfig::CreateAppKey(long& code) {
    KeyHandle key = kCurrentUserKey;
    for (const char* part : {"Software", kCompanyKey, kAppKey}) {
        KeyHandle next = kNoKey;
        bool created = false;
        code = m_store.CreateKey(key, part, kKeyAllAccess, next, created);
        if (key != kCurrentUserKey)
            Close(key);
        if (code != keyerr::kSuccess)
            return kNoKey;
        key = next;
    }
    return key;
}

// --- Messages ---

std::string CLibraryConfig::GetErrorReason(long code) {
    return m_store.ErrorText(code == -1 ? m_store.LastError() : code);
}

void CLibraryConfig::ReportStoreError(long code) {
    ShowMessage(kStoreErrorStart + GetErrorReason(code) + kStoreErrorEnd, MsgButtons::Ok, MsgIcon::None);
}

// --- Reading ---

bool CLibraryConfig::LoadProfile() {
    struct Step {
        const char* key;
        const char* queryMessage;
        ReadMode mode;
    };
    const Step steps[] = {
        {kExpandedCats, "Error attempting to query registry!\n", kReadExpanded},
        {kCustomCats, "Error attempting to query registry!\n", kReadCustomCat},
        {kCustomSubcats, "Error attempting to query registry for custom subcategories!\n",
         kReadCustomSubcats},
        {kHiddenCats, "Error attempting to query registry!\n", kReadHiddenCat},
        {kHiddenSubcats, "Error attempting to query registry for hidden subcategories!\n",
         kReadHiddenSubcats},
    };
    // The tables say what the store holds now, also when it is read again.
    g_expandedCats.clear();
    g_expandedSubcats.clear();
    g_customCatFiles.clear();
    g_customCatLanguages.clear();
    g_customCatSubcats.clear();
    g_customSubcats.clear();
    m_hiddenCats.clear();
    m_hiddenSubcats.clear();
    for (const Step& step : steps) {
        KeyHandle key = OpenAppSubKey(step.key);
        if (key == kNoKey)
            continue; // not written yet: nothing to read
        std::uint32_t count = 0;
        long rc = m_store.QueryInfoKey(key, count);
        if (rc != keyerr::kSuccess) {
            ShowMessage(step.queryMessage + GetErrorReason(rc));
        } else if (count > 0) {
            ReadCategoryKeys(key, count, step.mode);
            if (step.mode == kReadCustomCat)
                ReadCustomCatFileNames(key, count);
        }
        Close(key);
    }
    m_bAutoSaveOnSwitch = ReadProfileInt(kAutoSaveOnSwitch, true);
    m_bSaveTreeState = ReadProfileInt(kSaveTreeState, true);
    if (KeyHandle key = OpenAppSubKey(kSettings); key != kNoKey) {
        std::uint32_t minutes = 0;
        m_syncMinutesStored = m_store.QueryDword(key, kSyncMinutes, minutes) == keyerr::kSuccess;
        if (m_syncMinutesStored)
            m_syncMinutes = static_cast<int>(std::min<std::uint32_t>(minutes, 24 * 60));
        std::uint32_t days = 0;
        m_trashDaysStored = m_store.QueryDword(key, kTrashDays, days) == keyerr::kSuccess;
        if (m_trashDaysStored)
            m_trashDays = static_cast<int>(std::min<std::uint32_t>(days, kMaxTrashDays));
        Close(key);
    }
    return true;
}

bool CLibraryConfig::ReadProfileInt(const char* name, bool defaultValue) {
    KeyHandle key = OpenAppSubKey(kSettings);
    if (key == kNoKey)
        return defaultValue;
    std::uint32_t value = 0;
    long rc = m_store.QueryDword(key, name, value);
    Close(key);
    return rc == keyerr::kSuccess ? value != 0 : defaultValue;
}

bool CLibraryConfig::ReadCategoryKeys(KeyHandle key, std::uint32_t count, ReadMode mode) {
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        long rc = m_store.EnumKey(key, i, name);
        if (rc == keyerr::kNoMoreItems)
            return true;
        // A failed enumeration (a name longer than the buffer included) is reported
        // with its own code rather than opening a cut or stale name.
        KeyHandle sub = kNoKey;
        if (rc == keyerr::kSuccess)
            rc = m_store.OpenKey(key, name, kKeyRead, sub);
        if (rc == keyerr::kNoMoreItems)
            return true;
        if (rc != keyerr::kSuccess) {
            ShowMessage("Error attempting to enumerate registry items!\n" + GetErrorReason(rc));
            return false;
        }
        if (!name.empty()) {
            switch (mode) {
            case kReadExpanded:
                g_expandedCats.insert(name);
                ReadSubcategoryKeys(sub, name, mode);
                break;
            case kReadCustomCat:
                g_customCatFiles.emplace(name, std::string());
                ReadSubcategoryKeys(sub, name, mode);
                break;
            case kReadCustomSubcats:
            case kReadHiddenSubcats:
                ReadSubcategoryKeys(sub, name, mode);
                break;
            case kReadHiddenCat:
                m_hiddenCats.insert(name);
                break;
            }
        }
        Close(sub);
    }
    return true;
}

bool CLibraryConfig::ReadSubcategoryKeys(KeyHandle categoryKey, const std::string& category, ReadMode mode) {
    std::uint32_t count = 0;
    long rc = m_store.QueryInfoKey(categoryKey, count);
    if (rc != keyerr::kSuccess) {
        ShowMessage("Error attempting to query registry for subcategories!\n" + GetErrorReason(rc));
        return false;
    }
    NameSet names;
    for (std::uint32_t j = 0; j < count; ++j) {
        std::string name;
        rc = m_store.EnumKey(categoryKey, j, name);
        if (rc == keyerr::kNoMoreItems)
            break;
        if (rc != keyerr::kSuccess) {
            ShowMessage("Error attempting to enumerate registry items!\n" + GetErrorReason(rc));
            return false;
        }
        if (!name.empty())
            names.insert(std::move(name));
    }
    switch (mode) {
    case kReadExpanded:
        g_expandedSubcats.emplace(category, std::move(names));
        break;
    case kReadCustomCat:
        g_customCatSubcats.emplace(category, std::move(names));
        break;
    case kReadCustomSubcats:
        // A default category key without sub-keys says nothing.
        if (count > 0)
            g_customSubcats.emplace(category, std::move(names));
        break;
    case kReadHiddenSubcats:
        m_hiddenSubcats.emplace(category, std::move(names));
        break;
    case kReadHiddenCat:
        break;
    }
    return true;
}

void CLibraryConfig::ReadCustomCatFileNames(KeyHandle key, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        long rc = m_store.EnumKey(key, i, name);
        if (rc == keyerr::kNoMoreItems)
            return;
        // A failed enumeration (a name longer than the buffer included) is reported
        // with its own code rather than opening a cut or stale name.
        KeyHandle sub = kNoKey;
        if (rc == keyerr::kSuccess)
            rc = m_store.OpenKey(key, name, kKeyRead, sub);
        if (rc == keyerr::kNoMoreItems)
            return;
        if (rc != keyerr::kSuccess) {
            ShowMessage("Error attempting to enumerate registry items!\n" + GetErrorReason(rc));
            return;
        }
        if (!name.empty()) {
            std::uint32_t size = 0;
            std::string fileName;
            rc = m_store.QueryValueSize(sub, kFileName, size);
            if (rc == keyerr::kSuccess)
                rc = m_store.QueryString(sub, kFileName, fileName);
            if (rc != keyerr::kSuccess)
                ShowMessage("Error attempting to obtain FileName value for key " + name +
                            ".\nReason: " + GetErrorReason(rc));
            else
                g_customCatFiles[name] = std::move(fileName);
            ReadCustomCatLanguage(sub, name);
        }
        Close(sub);
    }
}

bool CLibraryConfig::IsCategoryShown(const std::string& category) const {
    return m_hiddenCats.find(category) == m_hiddenCats.end();
}

bool CLibraryConfig::IsSubcategoryShown(const std::string& category, const std::string& subcategory) const {
    auto it = m_hiddenSubcats.find(category);
    return it == m_hiddenSubcats.end() || it->second.find(subcategory) == it->second.end();
}

namespace {

const NameSet* Entry(const NameSetMap& map, const std::string& key) {
    auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

} // namespace

const NameSet* CLibraryConfig::CustomSubcategories(const std::string& category) const {
    return Entry(g_customSubcats, category);
}

const NameSet* CLibraryConfig::CustomCategorySubcategories(const std::string& category) const {
    return Entry(g_customCatSubcats, category);
}

void CLibraryConfig::AddCustomSubcategory(const std::string& category, const std::string& subcategory) {
    g_customSubcats[category].insert(subcategory);
}

void CLibraryConfig::RemoveCustomSubcategory(const std::string& category, const std::string& subcategory) {
    auto it = g_customSubcats.find(category);
    if (it == g_customSubcats.end())
        return;
    it->second.erase(subcategory);
    if (it->second.empty())
        g_customSubcats.erase(it);
}

void CLibraryConfig::ForgetCategory(const std::string& category) {
    g_customSubcats.erase(category);
    g_customCatSubcats.erase(category);
    g_customCatLanguages.erase(category);
}

// --- Writing ---

void CLibraryConfig::DeleteSubKeys(KeyHandle key) {
    std::uint32_t count = 0;
    if (m_store.QueryInfoKey(key, count) != keyerr::kSuccess)
        return;
    std::vector<std::string> names;
    names.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string name;
        if (m_store.EnumKey(key, i, name) != keyerr::kSuccess)
            continue; // nothing sensible to delete under a name not read
        if (name.empty())
            continue; // opening "" would give this key itself back
        KeyHandle sub = kNoKey;
        if (m_store.OpenKey(key, name, kReadWrite, sub) == keyerr::kSuccess) {
            std::uint32_t subCount = 0;
            if (m_store.QueryInfoKey(sub, subCount) == keyerr::kSuccess && subCount > 0)
                DeleteSubKeys(sub);
            Close(sub);
        }
        names.push_back(std::move(name));
    }
    for (const std::string& name : names) {
        long rc = m_store.DeleteKey(key, name);
        if (rc != keyerr::kSuccess)
            ShowMessage("Error attempting to delete subkey " + name + "!\nReason: " + GetErrorReason(rc));
    }
}

KeyHandle CLibraryConfig::RebuildKey(const char* name) {
    long rc = keyerr::kSuccess;
    KeyHandle app = CreateAppKey(rc);
    if (app == kNoKey) {
        ReportStoreError(rc);
        return kNoKey;
    }
    KeyHandle old = kNoKey;
    if (m_store.OpenKey(app, name, kKeyAllAccess, old) == keyerr::kSuccess) {
        if (m_store.PlatformId() == 2)
            DeleteSubKeys(old);
        Close(old);
        rc = m_store.DeleteKey(app, name);
        if (rc != keyerr::kSuccess) {
            Close(app);
            ReportStoreError(rc);
            return kNoKey;
        }
    }
    KeyHandle key = kNoKey;
    bool created = false;
    rc = m_store.CreateKey(app, name, kKeyAllAccess, key, created);
    Close(key);
    if (rc != keyerr::kSuccess || !created) {
        Close(app);
        ReportStoreError(rc != keyerr::kSuccess ? rc : keyerr::kSuccess);
        return kNoKey;
    }
    rc = m_store.OpenKey(app, name, kKeyAllAccess, key);
    Close(app);
    if (rc != keyerr::kSuccess) {
        ReportStoreError(rc);
        return kNoKey;
    }
    return key;
}

KeyHandle CLibraryConfig::StartWrite(const char* name, int& count) {
    KeyHandle key = kNoKey;
    if (count == 0) {
        key = RebuildKey(name);
    } else {
        long rc = keyerr::kSuccess;
        KeyHandle app = CreateAppKey(rc);
        if (app != kNoKey) {
            rc = m_store.OpenKey(app, name, kKeyAllAccess, key);
            Close(app);
        }
        if (rc != keyerr::kSuccess) {
            ReportStoreError(rc);
            key = kNoKey;
        }
    }
    if (key != kNoKey)
        ++count;
    return key;
}

KeyHandle CLibraryConfig::CreateAndOpen(KeyHandle parent, const std::string& name) {
    KeyHandle key = kNoKey;
    bool created = false;
    long rc = m_store.CreateKey(parent, name, kKeyAllAccess, key, created);
    Close(key);
    if (rc == keyerr::kSuccess) {
        key = kNoKey;
        rc = m_store.OpenKey(parent, name, kKeyAllAccess, key);
    }
    if (rc != keyerr::kSuccess) {
        ReportStoreError(rc);
        return kNoKey;
    }
    return key;
}

bool CLibraryConfig::CreateOnly(KeyHandle parent, const std::string& name) {
    KeyHandle key = kNoKey;
    bool created = false;
    long rc = m_store.CreateKey(parent, name, kKeyAllAccess, key, created);
    Close(key);
    if (rc != keyerr::kSuccess) {
        ReportStoreError(rc);
        return false;
    }
    return true;
}

template <typename Filter>
void CLibraryConfig::WriteSlotKeys(KeyHandle parent, const CCategory& category, Filter filter) {
    KeyHandle categoryKey = kNoKey;
    for (int i = 0; i < kSlotCount; ++i) {
        const SubcategorySlot& slot = category.Slot(i);
        if (slot.name.empty() || !filter(slot))
            continue;
        if (categoryKey == kNoKey) {
            categoryKey = CreateAndOpen(parent, category.GetName());
            if (categoryKey == kNoKey)
                return;
        }
        CreateOnly(categoryKey, slot.name);
    }
    Close(categoryKey);
}

void CLibraryConfig::WriteCustomCat(const CCategory& category) {
    m_wroteCustomCat = true;
    KeyHandle key = StartWrite(kCustomCats, m_countCustomCats);
    if (key == kNoKey)
        return;
    KeyHandle categoryKey = CreateAndOpen(key, category.GetName());
    if (categoryKey != kNoKey) {
        long rc = m_store.SetString(categoryKey, kFileName, category.GetFileName());
        if (rc != keyerr::kSuccess)
            ReportStoreError(rc);
        WriteCustomCatLanguage(categoryKey, category.GetName());
        for (int i = 0; i < kSlotCount; ++i)
            if (!category.Slot(i).name.empty())
                CreateOnly(categoryKey, category.Slot(i).name);
        Close(categoryKey);
    }
    Close(key);
}

void CLibraryConfig::WriteCustomSubcats(const CCategory& category) {
    m_wroteCustomSubcats = true;
    KeyHandle key = StartWrite(kCustomSubcats, m_countCustomSubcats);
    if (key == kNoKey)
        return;
    WriteSlotKeys(key, category, [](const SubcategorySlot& slot) { return slot.custom; });
    Close(key);
}

void CLibraryConfig::WriteHiddenSubcats(const CCategory& category) {
    m_wroteHiddenSubcats = true;
    KeyHandle key = StartWrite(kHiddenSubcats, m_countHiddenSubcats);
    if (key == kNoKey)
        return;
    WriteSlotKeys(key, category, [](const SubcategorySlot& slot) { return !slot.custom && !slot.inUse; });
    Close(key);
}

void CLibraryConfig::WriteHiddenCat(const std::string& name, bool displayed) {
    m_wroteHiddenCats = true;
    KeyHandle key = StartWrite(kHiddenCats, m_countHiddenCats);
    if (key == kNoKey)
        return;
    if (!displayed)
        CreateOnly(key, name);
    Close(key);
}

void CLibraryConfig::WriteExpandedCats() {
    if (m_readOnly)
        return;
    KeyHandle key = RebuildKey(kExpandedCats);
    if (key != kNoKey) {
        for (const auto& [category, subcategories] : g_expandedSubcats) {
            KeyHandle categoryKey = CreateAndOpen(key, category);
            if (categoryKey == kNoKey)
                continue;
            for (const std::string& subcategory : subcategories)
                CreateOnly(categoryKey, subcategory);
            Close(categoryKey);
        }
        Close(key);
    }
    Flush();
}

void CLibraryConfig::SaveSettings() {
    if (m_readOnly)
        return;
    // As the framework's profile functions: the keys are created when missing and
    // failures are not reported.
    long rc = keyerr::kSuccess;
    KeyHandle app = CreateAppKey(rc);
    if (app != kNoKey) {
        KeyHandle settings = kNoKey;
        bool created = false;
        if (m_store.CreateKey(app, kSettings, kKeyAllAccess, settings, created) == keyerr::kSuccess) {
            m_store.SetDword(settings, kAutoSaveOnSwitch, m_bAutoSaveOnSwitch ? 1 : 0);
            m_store.SetDword(settings, kSaveTreeState, m_bSaveTreeState ? 1 : 0);
            if (m_syncMinutesStored || m_syncMinutes != kDefaultSyncMinutes)
                m_store.SetDword(settings, kSyncMinutes, static_cast<std::uint32_t>(m_syncMinutes));
            if (m_trashDaysStored || m_trashDays != 0)
                m_store.SetDword(settings, kTrashDays, static_cast<std::uint32_t>(m_trashDays));
            Close(settings);
        }
        Close(app);
    }
    Flush();
}

// --- One library save ---

void CLibraryConfig::BeginLibrarySave() {
    // Every save rebuilds the four keys, so that categories, sub-categories and
    // hidden flags removed since the last save do not come back at the next start.
    m_countCustomCats = 0;
    m_countCustomSubcats = 0;
    m_countHiddenCats = 0;
    m_countHiddenSubcats = 0;
    m_wroteCustomCat = false;
    m_wroteCustomSubcats = false;
    m_wroteHiddenCats = false;
    m_wroteHiddenSubcats = false;
    m_inLibrarySave = !m_readOnly;
}

void CLibraryConfig::RecordCategory(const CCategory& category) {
    if (m_readOnly)
        return;
    if (category.IsCustom()) {
        WriteCustomCat(category);
        return;
    }
    WriteCustomSubcats(category);
    WriteHiddenCat(category.GetName(), category.IsDisplayed());
    if (category.IsDisplayed())
        WriteHiddenSubcats(category);
}

void CLibraryConfig::EndLibrarySave() {
    if (!m_inLibrarySave)
        return;
    m_inLibrarySave = false;
    // A key no recorded category wrote to holds nothing now: rebuild it empty.
    const struct {
        bool written;
        const char* name;
        int* count;
    } keys[] = {
        {m_wroteCustomCat, kCustomCats, &m_countCustomCats},
        {m_wroteCustomSubcats, kCustomSubcats, &m_countCustomSubcats},
        {m_wroteHiddenCats, kHiddenCats, &m_countHiddenCats},
        {m_wroteHiddenSubcats, kHiddenSubcats, &m_countHiddenSubcats},
    };
    for (const auto& k : keys) {
        if (k.written)
            continue;
        KeyHandle key = StartWrite(k.name, *k.count);
        Close(key);
    }
    Flush();
}

void CLibraryConfig::Flush() {
    if (m_readOnly)
        return;
    std::string error;
    if (!m_store.Flush(error))
        ShowMessage("Tindrel was unable to save the library configuration.\n" + error +
                        "\nThe configuration saved before is kept; Tindrel tries again at the next save.",
                    MsgButtons::Ok, MsgIcon::Exclamation);
}
