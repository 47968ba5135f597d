#include "library/FolderLayout.h"

#include <algorithm>

#include "base/FileLayer.h"
#include "library/Category.h"
#include "library/CategoryFormat.h"

void CFolderLayout::Load(const std::string& folder, bool readOnly,
                         const std::map<std::string, std::string>& defaults, CDocMessages& messages) {
    m_folder = folder;
    m_readOnly = readOnly;
    m_structure.clear();
    m_base.clear();
    m_forgotten.clear();
    m_needsWrite = m_keepAside = m_newer = false;
    const std::string path = fileio::PathIn(folder, kStructureFileName);
    m_stamp = fileio::StampOf(path);
    if (!fileio::FileExists(path)) {
        TakeFromSettings(defaults);
        Index();
        return;
    }
    fileio::File file;
    std::string bytes;
    int cause = fileio::kNone;
    if (!file.OpenForRead(path, cause) || !file.ReadAll(bytes, cause)) {
        messages.Tell(StrFormat(filemsg::kRead, kStructureFileName, fileio::CauseText(cause)) +
                          "\nThe library's categories are taken from your configuration for now.",
                      MsgIcon::Exclamation);
        TakeFromSettings(defaults);
        m_keepAside = true;
        Index();
        return;
    }
    const StructureReadResult read = ParseStructure(bytes, m_structure);
    if (read.newer) {
        // Written by a later version: used as far as this one understands it, never
        // overwritten.
        m_newer = true;
        messages.Tell(std::string("The file ") + kStructureFileName +
                          " in the library folder was written by a newer version of Tindrel.\n"
                          "Its categories are taken from your configuration; the file is not changed.",
                      MsgIcon::Exclamation);
        TakeFromSettings(defaults);
        m_needsWrite = false;
    } else if (!read.whole) {
        if (read.foreign)
            TakeFromSettings(defaults);
        m_keepAside = m_needsWrite = true;
        messages.Tell(std::string("The file ") + kStructureFileName +
                          " in the library folder, which lists the library's categories, could not be read whole" +
                          (read.firstBadLine > 0 ? StrFormat(" (line %d)", read.firstBadLine) : std::string()) +
                          ".\nWhat could be read is used; the file is copied to " + kStructureFileName +
                          ".bak before it is written again.",
                      MsgIcon::Exclamation);
    } else {
        m_base = m_structure;
    }
    Index();
}

void CFolderLayout::TakeFromSettings(const std::map<std::string, std::string>& defaults) {
    // Only what this folder's files hold: the categories the user made for other folders
    // do not belong to this library, nor do those on a file the library cannot give them
    // (another category's, the program's own).
    std::map<std::string, std::string> taken = defaults;
    for (const auto& [name, fileName] : m_user.CustomCategoryFiles()) {
        if (defaults.count(name) || !CategoryFileRefusal(fileName, taken).empty() ||
            !fileio::FileExists(fileio::PathIn(m_folder, fileName)))
            continue;
        taken.emplace(name, fileName);
        StructureCategory& entry = m_structure[name];
        entry.fileName = fileName;
        entry.language = m_user.CategoryLanguage(name);
        if (const NameSet* subs = m_user.CustomCategorySubcategories(name))
            entry.subcategories.assign(subs->begin(), subs->end());
    }
    for (const auto& [name, fileName] : defaults) {
        if (const NameSet* subs = m_user.CustomSubcategories(name); subs && !subs->empty())
            m_structure[name].subcategories.assign(subs->begin(), subs->end());
    }
    m_needsWrite = !m_newer;
}

void CFolderLayout::Index() {
    m_files.clear();
    m_subs.clear();
    for (const auto& [name, entry] : m_structure) {
        if (!entry.fileName.empty())
            m_files.emplace(name, entry.fileName);
        if (!entry.subcategories.empty())
            m_subs[name] = NameSet(entry.subcategories.begin(), entry.subcategories.end());
    }
}

const std::vector<std::string>& CFolderLayout::SubcategoriesInOrder(const std::string& category) const {
    static const std::vector<std::string> none;
    auto it = m_structure.find(category);
    return it == m_structure.end() ? none : it->second.subcategories;
}

std::string CFolderLayout::Language(const std::string& category) const {
    auto it = m_structure.find(category);
    return it == m_structure.end() ? std::string() : it->second.language;
}

void CFolderLayout::SetLanguage(const std::string& category, const std::string& word) {
    StructureCategory& entry = m_structure[category];
    if (entry.language == word)
        return;
    entry.language = word;
    m_needsWrite = !m_newer;
}

void CFolderLayout::AddFound(const std::string& category, const std::string& fileName,
                             const std::vector<std::string>& subcategories) {
    StructureCategory& entry = m_structure[category];
    entry.fileName = fileName;
    entry.subcategories = subcategories;
    m_needsWrite = !m_newer;
    Index();
}

bool CFolderLayout::Write(CDocMessages& messages) {
    if (!m_needsWrite || m_readOnly || m_newer)
        return true;
    const std::string path = fileio::PathIn(m_folder, kStructureFileName);
    int cause = fileio::kNone;
    if (m_keepAside && fileio::FileExists(path)) {
        if (!fileio::CopyFile(path, path + ".bak", cause)) {
            messages.Tell(StrFormat(filemsg::kWrite, (std::string(kStructureFileName) + ".bak").c_str(),
                                    fileio::CauseText(cause)),
                          MsgIcon::Exclamation);
            return false;
        }
        m_keepAside = false;
    }
    bool inPlace = false;
    if (!fileio::WriteFileAtomically(path, StructureText(m_structure), cause, &inPlace) && !inPlace) {
        messages.Tell(StrFormat(filemsg::kWrite, kStructureFileName, fileio::CauseText(cause)), MsgIcon::Exclamation);
        return false;
    }
    m_needsWrite = false;
    m_base = m_structure;
    m_stamp = fileio::StampOf(path);
    return true;
}

bool CFolderLayout::ReadChanged(LibraryStructure& read) {
    const std::string path = fileio::PathIn(m_folder, kStructureFileName);
    m_stamp = fileio::StampOf(path);
    fileio::File file;
    std::string bytes;
    int cause = fileio::kNone;
    if (!file.OpenForRead(path, cause) || !file.ReadAll(bytes, cause))
        return false;
    const StructureReadResult result = ParseStructure(bytes, read);
    if (result.newer) {
        m_newer = true;
        return false;
    }
    if (!result.whole) {
        m_keepAside = true;
        m_needsWrite = !m_newer;
    }
    return result.whole;
}

void CFolderLayout::MergeCopy(const LibraryStructure& copy) {
    const LibraryStructure merged = structuremerge::Merge({}, m_structure, copy, {}).merged;
    if (merged != m_structure) {
        m_structure = merged;
        Index();
    }
    // Written once more either way, so that the copy is set aside after it.
    m_needsWrite = !m_newer;
}

structuremerge::Result CFolderLayout::MergeIn(const LibraryStructure& theirs, const structuremerge::UsedNames& used,
                                              const std::function<size_t(const std::string&)>& places) {
    structuremerge::Result result = structuremerge::Merge(m_base, m_structure, theirs, used, places);
    for (const auto& [name, entry] : theirs)
        if (!result.merged.count(name))
            m_forgotten.insert(name); // deleted on this side, or there and taken
    m_structure = result.merged;
    m_base = theirs;
    m_needsWrite = !m_newer && m_structure != theirs;
    Index();
    return result;
}

bool CFolderLayout::IsCategoryShown(const std::string& category) const {
    return m_user.IsCategoryShown(category);
}

bool CFolderLayout::IsSubcategoryShown(const std::string& category, const std::string& subcategory) const {
    return m_user.IsSubcategoryShown(category, subcategory);
}

const NameSet* CFolderLayout::CustomSubcategories(const std::string& category) const {
    auto it = m_subs.find(category);
    return it == m_subs.end() ? nullptr : &it->second;
}

const NameSet* CFolderLayout::CustomCategorySubcategories(const std::string& category) const {
    return CustomSubcategories(category);
}

void CFolderLayout::AddCustomSubcategory(const std::string& category, const std::string& subcategory) {
    m_user.AddCustomSubcategory(category, subcategory);
    std::vector<std::string>& subs = m_structure[category].subcategories;
    if (std::find(subs.begin(), subs.end(), subcategory) == subs.end()) {
        subs.push_back(subcategory);
        m_needsWrite = !m_newer;
        Index();
    }
}

void CFolderLayout::RemoveCustomSubcategory(const std::string& category, const std::string& subcategory) {
    m_user.RemoveCustomSubcategory(category, subcategory);
    auto it = m_structure.find(category);
    if (it == m_structure.end())
        return;
    std::vector<std::string>& subs = it->second.subcategories;
    subs.erase(std::remove(subs.begin(), subs.end(), subcategory), subs.end());
    m_needsWrite = !m_newer;
    Index();
}

void CFolderLayout::ForgetCategory(const std::string& category) {
    m_user.ForgetCategory(category);
    m_forgotten.insert(category);
    if (m_structure.erase(category) > 0) {
        m_needsWrite = !m_newer;
        Index();
    }
}

void CFolderLayout::BeginLibrarySave() {
    m_user.BeginLibrarySave();
    m_recorded.clear();
}

void CFolderLayout::RecordCategory(const CCategory& category) {
    m_user.RecordCategory(category);
    m_recordedUser.insert(category.GetName());
    StructureCategory entry;
    if (EntryOf(category, entry))
        m_recorded[category.GetName()] = std::move(entry);
}

void CFolderLayout::Note(const CCategory& category) {
    StructureCategory entry;
    if (EntryOf(category, entry))
        m_structure[category.GetName()] = std::move(entry);
    else
        m_structure.erase(category.GetName());
    Index();
}

bool CFolderLayout::EntryOf(const CCategory& category, StructureCategory& entry) const {
    const std::string& name = category.GetName();
    if (category.IsCustom())
        entry.fileName = category.GetFileName();
    entry.language = Language(name);
    for (int i = 0; i < kSlotCount; ++i) {
        const SubcategorySlot& slot = category.Slot(i);
        if (slot.custom && !slot.name.empty())
            entry.subcategories.push_back(slot.name);
    }
    return category.IsCustom() || !entry.subcategories.empty() || !entry.language.empty();
}

void CFolderLayout::EndLibrarySave() {
    // The user's categories of other folders stay in the settings as they are.
    for (const auto& [name, fileName] : m_user.CustomCategoryFiles()) {
        if (m_recordedUser.count(name) || m_forgotten.count(name))
            continue;
        CCategory other(name);
        other.SetFileName(fileName);
        int slot = 0;
        if (const NameSet* subs = m_user.CustomCategorySubcategories(name))
            for (const std::string& sub : *subs)
                if (slot < kSlotCount)
                    other.Slot(slot++) = SubcategorySlot{sub, true, true};
        m_user.RecordCategory(other);
    }
    m_recordedUser.clear();
    m_user.EndLibrarySave();
    // A category the library did not record (left out at load) keeps its entry unless
    // the user deleted it.
    for (const auto& [name, entry] : m_structure) {
        if (!m_recorded.count(name) && !m_forgotten.count(name))
            m_recorded.emplace(name, entry);
    }
    if (m_recorded != m_structure) {
        m_structure = std::move(m_recorded);
        m_needsWrite = !m_newer;
        Index();
    }
    m_recorded.clear();
}
