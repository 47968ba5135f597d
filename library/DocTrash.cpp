// The user's deletes through the library's trash, and restoring from it. A deleted sample
// is in the trash file before its category's file lets it go (a crash in between leaves
// it in both); a restored one leaves the trash only once its category's file holds it.
#include <algorithm>

#include "base/FileLayer.h"
#include "library/QuorrinDoc.h"
#include "library/Trash.h"

bool CQuorrinDoc::WriteToTrash(trash::Deletion& deletion) {
    if (IsReadOnly())
        return false;
    fileio::FolderWriteLock lock;
    int cause = fileio::kNone;
    std::string problem;
    if (!lock.Acquire(FolderPath(), kWriteLockWaitMs, cause))
        problem = "The library folder is being written by another program.";
    else if (trash::Append(FolderPath(), deletion, problem)) {
        m_lastTrashedId = deletion.id;
        return true;
    }
    m_messages.Tell("Nothing has been deleted: the trash could not be written.\n" + problem, MsgIcon::Exclamation);
    return false;
}

bool CQuorrinDoc::TrashSample(const std::string& title) {
    const CSample* sample = m_samples.Find(title);
    if (!sample)
        return false;
    trash::Deletion deletion;
    deletion.kind = trash::Kind::Sample;
    deletion.category = sample->GetCategory();
    deletion.subcategory = sample->GetSubcategory();
    deletion.samples.push_back(*sample);
    return WriteToTrash(deletion) && DeleteSample(title);
}

std::string CQuorrinDoc::TrashSubcategory(const std::string& category, const std::string& subcategory) {
    const CCategory* record = PeekCategory(category);
    if (!record || record->FindSlot(subcategory) < 0)
        return DeleteSubcategoryAndSamples(category, subcategory); // its message, nothing changed
    trash::Deletion deletion;
    deletion.kind = trash::Kind::Subcategory;
    deletion.category = category;
    deletion.subcategory = subcategory;
    for (const CSample* sample : SamplesOfCategory(category))
        if (sample->GetSubcategory() == subcategory)
            deletion.samples.push_back(*sample);
    if (!WriteToTrash(deletion))
        return "The sub-category has not been deleted.";
    return DeleteSubcategoryAndSamples(category, subcategory);
}

bool CQuorrinDoc::TrashCategory(const std::string& name) {
    const CCategory* record = PeekCategory(name);
    if (!record)
        return false;
    trash::Deletion deletion;
    deletion.kind = trash::Kind::Category;
    deletion.category = name;
    deletion.language = m_settings.Language(name);
    for (int slot = 0; slot < kSlotCount; ++slot)
        if (record->Slot(slot).inUse && !record->Slot(slot).name.empty())
            deletion.subcategories.push_back(record->Slot(slot).name);
    for (const CSample* sample : SamplesOfCategory(name))
        deletion.samples.push_back(*sample);
    if (!WriteToTrash(deletion))
        return false;
    DeleteCategoryAndSamples(name);
    return true;
}

bool CQuorrinDoc::PlaceForRestore(const std::string& category, const std::string& subcategory,
                                  const std::string& language) {
    if (!m_categories.count(category)) {
        if (!AddCategory(std::make_unique<CCategory>(category)))
            return false;
        if (!language.empty())
            SetCategoryLanguage(category, language);
    }
    CCategory record;
    FindCategory(category, record);
    record.SetDisplayed(true);
    if (!subcategory.empty()) {
        const int slot = record.FindSlot(subcategory);
        if (slot >= 0) {
            record.Slot(slot).inUse = true;
        } else {
            const int free = record.FreeSlot();
            if (free < 0)
                return false;
            record.Slot(free) = SubcategorySlot{subcategory, true, true};
            AddCustomSubcategoryToConfig(category, subcategory);
        }
    }
    return UpdateCategory(category, record);
}

bool CQuorrinDoc::RestoreFromTrash(std::int64_t id, std::vector<std::string>* restored) {
    if (IsReadOnly())
        return false;
    std::vector<trash::Deletion> deletions;
    std::string problem;
    trash::Read(FolderPath(), deletions, problem); // what could be read can be restored
    auto it = std::find_if(deletions.begin(), deletions.end(),
                           [&](const trash::Deletion& d) { return d.id == id; });
    if (it == deletions.end()) {
        m_messages.Tell("That deletion is no longer in the trash." + (problem.empty() ? "" : "\n" + problem));
        return false;
    }
    const trash::Deletion& deletion = *it;
    bool placed = PlaceForRestore(deletion.category, deletion.subcategory, deletion.language);
    for (const std::string& name : deletion.subcategories)
        placed = PlaceForRestore(deletion.category, name, {}) && placed;
    for (const CSample& sample : deletion.samples)
        placed = PlaceForRestore(sample.GetCategory(), sample.GetSubcategory(), {}) && placed;
    if (!placed) {
        m_messages.Tell("The deletion cannot be restored: category \"" + deletion.category +
                            "\" has no free place for its sub-categories. It stays in the trash.",
                        MsgIcon::Exclamation);
        return false;
    }
    for (const CSample& sample : deletion.samples) {
        auto copy = std::make_unique<CSample>(sample);
        // A title taken since gets a free one.
        for (int n = 1; m_samples.Find(copy->GetTitle()); ++n)
            copy->SetTitle(sample.GetTitle() + (n == 1 ? " (restored)" : " (restored " + std::to_string(n) + ")"));
        if (restored)
            restored->push_back(copy->GetTitle());
        AddSample(std::move(copy));
    }
    // The deletion stays in the trash until the files hold what it brought back: a
    // category file that could not be written keeps its category changed.
    if (!OnSaveDocument())
        return false;
    for (const CSample& sample : deletion.samples) {
        const CCategory* category = PeekCategory(sample.GetCategory());
        if (category && category->IsChanged()) {
            m_messages.Tell("The restored samples are in the library, but not all of them could be written to "
                            "their files yet.\nThe deletion stays in the trash until they are.",
                            MsgIcon::Exclamation);
            return true;
        }
    }
    fileio::FolderWriteLock lock;
    int cause = fileio::kNone;
    problem.clear();
    if (!lock.Acquire(FolderPath(), kWriteLockWaitMs, cause) || !trash::Remove(FolderPath(), {id}, problem))
        m_messages.Tell("The restored samples are in the library; they could not be taken out of the trash.\n" +
                            problem,
                        MsgIcon::Exclamation);
    return true;
}

bool CQuorrinDoc::RemoveFromTrash(const std::vector<std::int64_t>& ids) {
    if (IsReadOnly())
        return false;
    fileio::FolderWriteLock lock;
    int cause = fileio::kNone;
    std::string problem = "The library folder is being written by another program.";
    if (lock.Acquire(FolderPath(), kWriteLockWaitMs, cause) && trash::Remove(FolderPath(), std::set<std::int64_t>(ids.begin(), ids.end()), problem))
        return true;
    m_messages.Tell("The trash could not be emptied.\n" + problem, MsgIcon::Exclamation);
    return false;
}

bool CQuorrinDoc::ListTrash(std::vector<trash::Deletion>& out, std::string& problem) const {
    return trash::Read(FolderPath(), out, problem);
}

int CQuorrinDoc::EmptyTrashOlderThan(int days) {
    if (days <= 0 || IsReadOnly())
        return 0;
    std::vector<trash::Deletion> deletions;
    std::string problem;
    trash::Read(FolderPath(), deletions, problem); // an unreadable part stays as it is
    constexpr std::int64_t kMicrosecondsPerDay = 24LL * 60 * 60 * 1000 * 1000;
    const std::set<std::int64_t> old = trash::OlderThan(deletions, trash::NowMicroseconds() - days * kMicrosecondsPerDay);
    if (old.empty() || !RemoveFromTrash(std::vector<std::int64_t>(old.begin(), old.end())))
        return 0;
    return static_cast<int>(old.size());
}
