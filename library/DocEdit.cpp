// The document's edit operations on samples and categories.
#include "base/FileLayer.h"
#include "base/Messenger.h"
#include "library/QuorrinDoc.h"

// ---------------------------------------------------------------------------------------------
// Sample edits

bool CQuorrinDoc::AddSample(std::unique_ptr<CSample> sample) {
    if (!sample)
        return false;
    const std::string title = sample->GetTitle();
    const std::string category = sample->GetCategory();
    if (!m_samples.Find(title))
        m_pendingChanges.Arriving(category, title);
    const bool inserted = m_samples.Insert(std::move(sample));
    m_lastAddedTitle = title;
    MarkCategoryChanged(category);
    return inserted;
}

bool CQuorrinDoc::AddStagedSample() {
    bool added = AddSample(std::make_unique<CSample>(m_loadErrors.Staged()));
    if (m_view)
        m_view->OnStagedSampleAdded();
    return added;
}

void CQuorrinDoc::NotifyView() {
    if (m_view)
        m_view->OnLoadErrorsEmptied();
}

bool CQuorrinDoc::UpdateSample(const std::string& oldTitle, const CSample& data) {
    if (!m_samples.Find(oldTitle)) {
        m_messages.Tell("Internal error - unable to update sample data!\n"
                    "Could not find sample " +
                        oldTitle + " in Library.\n", MsgIcon::Exclamation);
        return false;
    }
    if (data.GetTitle() != oldTitle) {
        // Moving onto a title another sample holds would lose one of the two samples.
        if (m_samples.Find(data.GetTitle())) {
            m_messages.Tell("Internal error - unable to update sample data!\n"
                        "Another sample already has the title " +
                            data.GetTitle() + " in Library.\n", MsgIcon::Exclamation);
            return false;
        }
        auto moved = std::make_unique<CSample>(data); // data may be the stored sample itself
        // Records waiting on disk for this sample wait for it under its new title.
        m_kept.RenameMoves(oldTitle, data.GetTitle());
        DeleteSample(oldTitle);
        AddSample(std::move(moved));
        return true;
    }
    const CSample& stored = *m_samples.Find(oldTitle);
    const std::string oldCategory = stored.GetCategory();
    m_pendingChanges.Changing(oldCategory, stored);
    if (&data != &stored && data.GetCategory() != oldCategory)
        m_pendingChanges.Arriving(data.GetCategory(), oldTitle);
    const bool replaced = m_samples.Replace(oldTitle, data);
    // Both files are written at the next save: the old one without it, the new with it.
    MarkCategoryChanged(oldCategory);
    MarkCategoryChanged(data.GetCategory());
    return replaced;
}

bool CQuorrinDoc::DeleteSample(const std::string& title) {
    const CSample* sample = m_samples.Find(title);
    if (!sample)
        return false;
    // A sample whose category does not exist (one of the unplaced samples) has no
    // category to mark; that is not an internal error.
    if (m_categories.count(sample->GetCategory()))
        MarkChangedThroughUpdate(sample->GetCategory());
    m_pendingChanges.Changing(sample->GetCategory(), *sample);
    // Deleted by the user: a record of it waiting in another file to move here goes too.
    for (const std::string& source : m_kept.DropMovesTo(title))
        MarkCategoryChanged(source);
    // Unsaved edits of it must not be committed later.
    if (m_pending.GetTitle() == title)
        m_pending.Reset();
    return m_samples.Erase(title);
}

bool CQuorrinDoc::RetitleSample(const std::string& oldTitle, const std::string& newTitle) {
    const CSample* stored = m_samples.Find(oldTitle);
    if (!stored || m_samples.Find(newTitle))
        return false;
    CSample data = *stored;
    data.SetTitle(newTitle);
    return UpdateSample(oldTitle, data);
}

void CQuorrinDoc::ReleaseLoadError(const std::string& title, const std::string& correctedTitle) {
    const std::uint64_t origin = m_loadErrors.OriginOf(title);
    m_loadErrors.Remove(title);
    if (origin == 0)
        return;
    // A corrected sample leaves its old file only once its new place holds it; a
    // discarded one leaves at once.
    if (!correctedTitle.empty() && m_samples.Find(correctedTitle))
        m_kept.MoveTo(origin, correctedTitle);
    else
        MarkCategoryChanged(m_kept.Drop(origin));
}

bool CQuorrinDoc::MarkChangedThroughUpdate(const std::string& name) {
    CCategory copy;
    FindCategory(name, copy);
    copy.SetChanged(true);
    return UpdateCategory(name, copy);
}

void CQuorrinDoc::CommitPendingEdit() {
    const std::string title = m_pending.GetTitle();
    if (title.empty())
        return;
    CSample stored;
    if (!FindSample(title, stored)) {
        m_messages.Tell(
            StrFormat("Internal error! Cannot find sample data for original title %s.", title.c_str()), MsgIcon::Exclamation);
        m_pending.Reset();
        return;
    }
    const std::string oldCategory = stored.GetCategory();
    const std::string oldSubcategory = stored.GetSubcategory();
    const std::string newCategory = m_pending.GetCategory();
    const std::string newSubcategory = m_pending.GetSubcategory();

    CSample copy = m_pending;
    copy.SetLoadErrorReason(stored.GetLoadErrorReason());
    UpdateSample(title, copy); // marks the old and the new category changed

    if (oldCategory != newCategory || oldSubcategory != newSubcategory)
        m_placementChanged = true;
}

// ---------------------------------------------------------------------------------------------
// Category edits

void CQuorrinDoc::MarkCategoryChanged(const std::string& name) {
    auto it = m_categories.find(name);
    if (it != m_categories.end())
        it->second->SetChanged(true);
}

bool CQuorrinDoc::AddCategory(std::unique_ptr<CCategory> category) {
    if (!category)
        return false;
    const std::string name = category->GetName();
    auto [at, inserted] = m_categories.try_emplace(name, std::move(category));
    if (!inserted)
        return false;
    // A file of that name in the folder (the configuration may have been lost) is never
    // overwritten: its samples become the new category's.
    CCategory& added = *at->second;
    added.SetFolder(m_folder);
    added.SetMessages(&m_messages);
    if (!IsReadOnly() && added.IsCustom() && fileio::StampOf(added.GetFilePath()).size > 0)
        AdoptFile(added);
    return true;
}

bool CQuorrinDoc::UpdateCategory(const std::string& name, const CCategory& data) {
    auto it = m_categories.find(name);
    if (it == m_categories.end()) {
        m_messages.Tell("Internal error - unable to update category data!\n"
                    "Could not find category " +
                        name + " in Library.\n", MsgIcon::Exclamation);
        return false;
    }
    CCategory& stored = *it->second;
    if (&stored != &data) {
        stored.SetName(data.GetName());
        for (int slot = 0; slot < kSlotCount; ++slot)
            stored.Slot(slot) = data.Slot(slot);
        stored.SetDisplayed(data.IsDisplayed());
    }
    stored.SetChanged(true);
    return true;
}

bool CQuorrinDoc::DeleteCategory(const std::string& name) {
    auto it = m_categories.find(name);
    if (it == m_categories.end()) {
        m_messages.Tell("Internal error.\nUnable to locate category to be deleted!\n"
                    "Category: " +
                        name, MsgIcon::Exclamation);
        return false;
    }
    CCategory& category = *it->second;
    // Records the file keeps for the Load Errors dialog are not the category's samples:
    // the file is copied aside before it goes.
    if (m_kept.AnyFor(name))
        category.MarkUnreadOnDisk();
    category.DeleteFile();
    m_settings.ForgetCategory(name);
    if (category.IsDefault()) {
        category.SetDisplayed(false);
        category.SetChanged(true);
    } else {
        std::vector<std::uint64_t> kept;
        for (const CKeptRecords::Record& record : m_kept.Of(name))
            kept.push_back(record.id);
        for (std::uint64_t id : kept)
            m_kept.Drop(id);
        m_kept.SetUnreadable(name, {});
        m_categories.erase(it);
    }
    return true;
}

void CQuorrinDoc::DeleteCategoryAndSamples(const std::string& name) {
    std::vector<std::string> titles;
    for (const CSample* sample : SamplesOfCategory(name))
        titles.push_back(sample->GetTitle());
    for (const std::string& title : titles)
        DeleteSample(title);
    CCategory record;
    if (!FindCategory(name, record))
        return;
    record.ResetSlots(true);
    ResetDefaultSubcategories(record, false);
    UpdateCategory(name, record);
    DeleteCategory(name);
}

std::string CQuorrinDoc::DeleteSubcategoryAndSamples(const std::string& category, const std::string& subcategory) {
    CCategory record;
    if (!FindCategory(category, record))
        return "Internal error.\nUnable to locate parent category!\n\tParent: " + category +
               "Selected subcategory cannot be deleted.";
    if (record.FindSlot(subcategory) < 0)
        return "Internal error.\nUnable to locate subcategory within category!\nSelected subcategory not deleted.";
    std::vector<std::string> titles;
    for (const CSample* sample : SamplesOfCategory(category))
        if (sample->GetSubcategory() == subcategory)
            titles.push_back(sample->GetTitle());
    for (const std::string& title : titles)
        DeleteSample(title);
    if (record.IsCustomSubcategory(subcategory))
        RemoveCustomSubcategoryFromConfig(category, subcategory);
    record.RemoveSubcategory(subcategory);
    UpdateCategory(category, record);
    return {};
}

void CQuorrinDoc::ResetDefaultSubcategories(CCategory& category, bool shown) {
    for (int slot = 0; slot < kDefaultSlotCount; ++slot)
        category.Slot(slot) = SubcategorySlot{kDefaultSubcategories[slot], false, shown};
}

void CQuorrinDoc::SetCategoryLanguage(const std::string& category, const std::string& word) {
    if (m_settings.Language(category) == word || !m_categories.count(category))
        return;
    m_settings.SetLanguage(category, word);
    MarkCategoryChanged(category);
}

void CQuorrinDoc::AddCustomSubcategoryToConfig(const std::string& category, const std::string& subcategory) {
    m_settings.AddCustomSubcategory(category, subcategory);
}

void CQuorrinDoc::RemoveCustomSubcategoryFromConfig(const std::string& category,
                                                    const std::string& subcategory) {
    m_settings.RemoveCustomSubcategory(category, subcategory);
}
