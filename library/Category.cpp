#include "library/LibraryStructure.h"
#include "library/ConflictCopy.h"
#include "library/Category.h"

#include "base/FolderMarker.h"
#include "library/Trash.h"

CCategory::CCategory() {
    ResetSlots(false);
}

std::string CategoryFileName(const std::string& name) {
    return "quorrin" + name + ".txt";
}

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

namespace {

// The names of the program's own files in the library folder. A category on one of them
// would have its file truncated, replaced or removed as that file is.
bool IsProgramFileName(const std::string& name) {
    if (name == trash::kFileName)
        return true;
    if (name == CFolderMarker::kFileName || name == kPlaceholderFileName || name == kStructureFileName ||
        name == kMergedCopiesFolder || !ConflictCopyOriginal(name).empty())
        return true;
    // A temporary file of the file layer: "<file>.tmp-" and six characters; leftovers of
    // those are removed at start.
    const std::string infix = fileio::kTempInfix;
    if (name.size() >= infix.size() + 6 &&
        name.compare(name.size() - 6 - infix.size(), infix.size(), infix) == 0)
        return true;
    // A backup copy: "<file>.bak", "<file>.bak2", ...
    size_t end = name.size();
    while (end > 0 && name[end - 1] >= '0' && name[end - 1] <= '9')
        --end;
    return end >= 4 && name.compare(end - 4, 4, ".bak") == 0;
}

} // namespace

std::string CategoryFileRefusal(const std::string& fileName,
                                const std::map<std::string, std::string>& otherFiles) {
    if (fileName.empty())
        return std::string();
    if (!IsPlainFileName(fileName))
        return "which is not a file in the library folder";
    if (IsProgramFileName(fileName))
        return "a name Tindrel keeps for its own files in the library folder";
    for (const auto& [category, file] : otherFiles) {
        if (file == fileName)
            return "which category \"" + category + "\" uses already";
    }
    return std::string();
}

CCategory::CCategory(const std::string& name) : m_custom(true), m_name(name), m_fileName(CategoryFileName(name)) {
    ResetSlots(false);
}

CCategory::CCategory(const CCategory& other) {
    *this = other;
}

CCategory& CCategory::operator=(const CCategory& other) {
    if (this == &other)
        return *this;
    m_displayed = other.m_displayed;
    m_custom = other.m_custom;
    m_name = other.m_name;
    m_fileName = other.m_fileName;
    m_folder = other.m_folder;
    m_messages = other.m_messages;
    for (int i = 0; i < kSlotCount; ++i)
        m_slots[i] = other.m_slots[i];
    return *this;
}

CCategory::~CCategory() = default;

void CCategory::ResetSlots(bool changed) {
    for (int i = 0; i < kSlotCount; ++i) {
        m_slots[i].name.clear();
        m_slots[i].inUse = false;
        m_slots[i].custom = i >= kDefaultSlotCount;
    }
    m_changed = changed;
}

int CCategory::FindSlot(const std::string& name) const {
    for (int i = 0; i < kSlotCount; ++i)
        if (m_slots[i].name == name)
            return i;
    return -1;
}

bool CCategory::IsCustomSubcategory(const std::string& name) const {
    int i = FindSlot(name);
    return i >= 0 && m_slots[i].custom;
}

bool CCategory::RemoveSubcategory(const std::string& name) {
    int i = FindSlot(name);
    if (i < 0)
        return false;
    if (!m_custom && !m_slots[i].custom) {
        // A default sub-category of a default category is hidden, never removed.
        m_slots[i].inUse = false;
    } else {
        m_slots[i].name.clear();
        m_slots[i].custom = true;
        m_slots[i].inUse = false;
    }
    m_changed = true;
    return true;
}

int CCategory::FreeSlot() const {
    for (int i = m_custom ? 0 : kDefaultSlotCount; i < kSlotCount; ++i)
        if (m_slots[i].name.empty() && !m_slots[i].inUse)
            return i;
    return -1;
}
