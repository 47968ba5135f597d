// Category files in the library folder that no category names (copied in from another
// library, brought by a sync tool, or left when the structure file was lost): shown as
// categories of their own, so that no sample in the folder is out of sight.
#include <algorithm>
#include <set>

#include "base/FileLayer.h"
#include "base/TextRules.h"
#include "library/CategoryReader.h"
#include "library/LibraryPresence.h"
#include "library/QuorrinDoc.h"

namespace {

// The distinct sub-categories the records name, in file order, at most a category's places.
std::vector<std::string> SubcategoriesOf(const std::vector<std::unique_ptr<CSample>>& records,
                                         const std::string& category) {
    std::vector<std::string> subs;
    for (const auto& record : records) {
        const std::string& sub = record->GetSubcategory();
        if (record->GetCategory() != category)
            continue;
        if (!sub.empty() && subs.size() < static_cast<size_t>(kSlotCount) &&
            std::find(subs.begin(), subs.end(), sub) == subs.end())
            subs.push_back(sub);
    }
    return subs;
}

std::string CountOfSamples(size_t n) {
    return CountOf(n, "sample", "samples");
}

} // namespace

bool CQuorrinDoc::ReadRecordsOf(const std::string& fileName, std::vector<std::unique_ptr<CSample>>& records) const {
    fileio::File file;
    std::string bytes;
    int cause = fileio::kNone;
    if (!file.OpenForRead(fileio::PathIn(m_folder, fileName), cause) || !file.ReadAll(bytes, cause))
        return false;
    ParseSamples(bytes, records);
    return true;
}

void CQuorrinDoc::AddSubcategoriesFromRecords() {
    // The structure file was damaged: the sub-categories its lost lines held are those the
    // custom categories' records still name.
    for (auto& [name, category] : m_categories) {
        std::vector<std::unique_ptr<CSample>> records;
        if (!category->IsCustom() || !ReadRecordsOf(category->GetFileName(), records))
            continue;
        for (const std::string& sub : SubcategoriesOf(records, name)) {
            const int free = category->FreeSlot();
            if (category->FindSlot(sub) >= 0 || free < 0)
                continue;
            category->Slot(free) = SubcategorySlot{sub, true, true};
            m_settings.AddCustomSubcategory(name, sub);
        }
    }
}

void CQuorrinDoc::AddFoundCategories() {
    std::set<std::string> taken;
    for (const auto& [name, category] : m_categories)
        taken.insert(category->GetFileName());
    for (const auto& category : m_skipped)
        taken.insert(category->GetFileName());
    for (const std::string& fileName : fileio::FileNamesIn(m_folder)) {
        const std::string fromName = CategoryNameFromFileName(fileName);
        if (fromName.empty() || taken.count(fileName) || !CategoryFileRefusal(fileName, {}).empty())
            continue;
        std::vector<std::unique_ptr<CSample>> records;
        if (!ReadRecordsOf(fileName, records))
            continue;
        // Named as its records name it; by its file name when they disagree or name none.
        std::string name = records.empty() ? std::string() : records.front()->GetCategory();
        for (const auto& record : records)
            if (record->GetCategory() != name)
                name.clear();
        if (name.empty())
            name = fromName;
        if (m_categories.count(name) || !IsPlainFileName(name)) {
            // A copy of a file the library has (a conflict copy, a merge tool's leftover):
            // loading it would double or replace that category's samples.
            m_messages.Tell("The file " + fileName + " in the library folder holds samples of category \"" + name +
                                "\", which has a file of its own.\nThe file is not loaded and not changed.",
                            MsgIcon::Exclamation);
            continue;
        }
        const std::vector<std::string> subs = SubcategoriesOf(records, name);
        auto category = std::make_unique<CCategory>(name);
        category->SetFolder(m_folder);
        category->SetMessages(&m_messages);
        category->SetCustom(true);
        category->SetFileName(fileName);
        category->SetDisplayed(true);
        for (int slot = 0; slot < kSlotCount; ++slot)
            category->Slot(slot) = SubcategorySlot{slot < static_cast<int>(subs.size()) ? subs[slot] : std::string(),
                                                   true, slot < static_cast<int>(subs.size())};
        category->SetChanged(false);
        m_settings.AddFound(name, fileName, subs);
        m_categories.emplace(name, std::move(category));
        taken.insert(fileName);
        // The command-line tool shows it the same way, without a word on every run.
        if (!IsReadOnly())
            m_messages.Tell("The file " + fileName + " in the library folder was not one of the library's "
                                "categories.\nIts " + CountOfSamples(records.size()) +
                                (records.size() == 1 ? " is" : " are") + " shown as category \"" + name +
                                "\", which is now kept with the library.",
                            MsgIcon::Information);
    }
}
