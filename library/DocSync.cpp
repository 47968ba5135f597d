// Changes made to the category files by anything else (the command-line tool, a second
// program, a sync client, an editor) while the library is open: merged before a file is
// rewritten, and read in while a category has nothing unsaved.
#include <algorithm>
#include <unordered_map>

#include "base/Messenger.h"
#include "base/TextRules.h"
#include "library/LibraryStructure.h"
#include "library/QuorrinDoc.h"
#include "library/RecordMerge.h"

bool CQuorrinDoc::ChangedOnDisk(const CCategory& category) const {
    return !IsReadOnly() && !(fileio::StampOf(category.GetFilePath()) == category.Stamp());
}

void CQuorrinDoc::KeepUnreadPart(CCategory& category, std::string_view data, const std::vector<RecordSpan>& spans,
                                 bool complete) {
    KeepUnreadTail(category, category.ReadStoppedInSequence() ? UnreadTail(data, spans) : std::string_view(),
                   complete);
}

void CQuorrinDoc::KeepUnreadTail(CCategory& category, std::string_view tail, bool complete) {
    if (IsReadOnly())
        return;
    if (complete) {
        m_kept.SetUnreadable(category.GetName(), {});
    } else if (category.ReadStoppedInSequence() && !tail.empty()) {
        // From the record where reading stopped to the end: it stays in the file. What
        // was kept unreadable before stays too, unless this part still holds it.
        std::string unreadable(tail);
        const std::string& before = m_kept.Unreadable(category.GetName());
        if (unreadable.find(before) == std::string::npos)
            unreadable += before;
        m_kept.SetUnreadable(category.GetName(), std::move(unreadable));
        category.KeepUnreadPart();
    }
}

CQuorrinDoc::MergeCounts CQuorrinDoc::MergeFromFile(CCategory& category) {
    using namespace recordmerge;
    MergeCounts counts;
    const std::string name = category.GetName();
    std::vector<std::unique_ptr<CSample>> records;
    std::vector<RecordSpan> spans;
    fileio::ReadBuffer buffer;
    const bool complete = category.ReadSampleList(records, &buffer, &spans);
    const std::string_view data = buffer.View();
    KeepUnreadPart(category, data, spans, complete);
    // An empty or missing file, or one read only in part, removes nothing: the
    // library's samples are written back.
    const ReadEnd end = complete ? ReadEnd::Complete : ReadEnd::StoppedEarly;
    counts.stoppedEarly = category.ReadIncomplete();
    auto bytesOf = [&](size_t k) { return data.substr(spans[k].begin, spans[k].end - spans[k].begin); };

    // The records this file keeps for the library, by their bytes, until found again.
    std::unordered_multimap<std::string_view, std::uint64_t> kept;
    for (const CKeptRecords::Record& record : m_kept.Of(name))
        kept.emplace(record.bytes, record.id);
    std::vector<bool> isKept(records.size(), false);
    std::vector<const CSample*> theirs;
    for (size_t k = 0; k < records.size() && k < spans.size(); ++k) {
        theirs.push_back(records[k].get());
        if (auto at = kept.find(bytesOf(k)); at != kept.end()) {
            kept.erase(at);
            isKept[k] = true;
        }
    }

    Ours ours;
    ours.category = name;
    ours.base = [&](const std::string& title) -> const CSample* {
        if (const std::optional<CSample>* asInFile = m_pendingChanges.Find(name, title))
            return asInFile->has_value() ? &**asInFile : nullptr;
        // Unchanged since the file was read or written: the file holds the library's
        // sample, unless its record waits in another category's file.
        const CSample* sample = m_samples.Find(title);
        return sample && sample->GetCategory() == name && !m_kept.IsWaitedFor(title) ? sample : nullptr;
    };
    ours.sample = [&](const std::string& title) { return m_samples.Find(title); };
    ours.kept = [&](size_t k) { return static_cast<bool>(isKept[k]); };
    ours.place = [&](const CSample& record) {
        if (!HasPlace(record))
            return Placement::Nowhere;
        return record.GetCategory() == name ? Placement::Here : Placement::Elsewhere;
    };
    for (const CSample* sample : SamplesOfCategory(name))
        ours.titles.push_back(sample->GetTitle());
    for (std::string& title : m_pendingChanges.Titles(name))
        ours.titles.push_back(std::move(title));

    // What the file lacks now is written back at the next save.
    if (end == ReadEnd::StoppedEarly && (!ours.titles.empty() || m_kept.AnyFor(name)))
        MarkCategoryChanged(name);
    std::vector<std::string> removed;
    for (const Decision& decision : Merge(ours, theirs, end)) {
        const std::string& title = decision.title;
        counts.editsOverDeletes += decision.editBeatDelete ? 1 : 0;
        if (decision.their == Decision::npos) {
            if (decision.action == Action::Delete) {
                removed.push_back(title);
                ++counts.removed;
            }
            else if (decision.editBeatDelete)
                MarkCategoryChanged(name); // written back at the next save
            continue;
        }
        CSample& record = *records[decision.their];
        const std::string_view bytes = bytesOf(decision.their);
        switch (decision.action) {
        case Action::Same:
        case Action::Keep:
        case Action::Delete:
            break;
        case Action::TakeTheirs: {
            const std::string category = record.GetCategory();
            if (m_samples.Find(title)) {
                m_samples.Replace(title, record);
                ++counts.changed;
            } else {
                m_samples.Insert(std::move(records[decision.their]));
                ++counts.added;
            }
            if (category != name) {
                // Filed under another category: it waits in this file for that one's.
                m_kept.Keep(name, std::string(bytes), title);
                MarkCategoryChanged(category);
            }
            break;
        }
        case Action::KeepTwice:
        case Action::KeepUnplaced: {
            const bool twice = decision.action == Action::KeepTwice;
            if (!twice && m_samples.Find(title)) {
                // Their change took it out of the tree: the library's version goes.
                removed.push_back(title);
                ++counts.changed;
            } else if (twice && ours.base(title)) {
                ++counts.conflicts;
            } else {
                ++counts.added;
            }
            record.SetLoadErrorReason(twice ? kReasonDuplicate : kReasonNoParent);
            m_loadErrors.Add(record, m_kept.Keep(name, std::string(bytes)));
            break;
        }
        }
    }
    m_samples.EraseAll(removed);
    if (end == ReadEnd::Complete) {
        // Kept records the file no longer holds were removed there.
        for (const auto& [bytes, id] : kept) {
            m_kept.Drop(id);
            m_loadErrors.RemoveOrigin(id);
            ++counts.removed;
        }
    }
    return counts;
}

std::string CQuorrinDoc::DescribeMerge(const CCategory& category, const MergeCounts& counts) {
    if (counts.Empty())
        return {};
    std::string text = "The file " + category.GetFileName() + " of category \"" + category.GetName() +
                       "\" was changed by another program.\nIts changes have been taken over";
    text += ": " + CountOf(counts.added + counts.changed, "sample", "samples") + " added or changed there, " +
            std::to_string(counts.removed) + " removed there.";
    if (counts.conflicts > 0)
        text += "\n" + CountOf(counts.conflicts, "sample was", "samples were") +
                " changed both here and there: their other version is listed under Correct load errors.";
    if (counts.editsOverDeletes > 0)
        text += "\n" + CountOf(counts.editsOverDeletes, "sample", "samples") +
                " deleted on one side " + (counts.editsOverDeletes == 1 ? "was" : "were") +
                " changed on the other: the changed version is kept.";
    if (counts.stoppedEarly)
        text += "\nThe file could not be read to its end: nothing was removed from the library, and the part "
                "that could not be read stays at the end of the file until it is corrected.";
    return text;
}

void CQuorrinDoc::TellOutsideChanges() {
    if (m_outsideChanges.empty())
        return;
    std::vector<OutsideChange> changes;
    changes.swap(m_outsideChanges);
    if (m_view)
        m_view->OnCategoriesChangedOutside(changes);
}

structuremerge::UsedNames CQuorrinDoc::NamesInUse() const {
    // What the library's records name, and every category whose file is in the folder:
    // the structure never lets go of those.
    structuremerge::UsedNames used;
    for (const auto& [name, category] : m_categories) {
        if (!m_samples.OfCategory(name).empty() || m_kept.AnyFor(name) || category->IsChanged() ||
            fileio::FileExists(category->GetFilePath()))
            used[name];
        for (const CSample* sample : m_samples.OfCategory(name))
            if (!sample->GetSubcategory().empty())
                used[name].insert(sample->GetSubcategory());
    }
    m_loadErrors.ForEach([&](const CSample& record) {
        if (!record.GetCategory().empty())
            used[record.GetCategory()].insert(record.GetSubcategory());
    });
    return used;
}

void CQuorrinDoc::TakeStructureChanges() {
    if (IsReadOnly() || fileio::StampOf(fileio::PathIn(m_folder, kStructureFileName)) == m_settings.Stamp())
        return;
    LibraryStructure read;
    if (!m_settings.ReadChanged(read))
        return; // being written, or damaged: the next save writes the library's own
    for (const auto& [name, category] : m_categories)
        m_settings.Note(*category);
    const structuremerge::Result result = m_settings.MergeIn(read, NamesInUse(), [this](const std::string& name) {
        auto it = m_categories.find(name);
        size_t places = kSlotCount;
        if (it != m_categories.end())
            for (int slot = 0; slot < kSlotCount; ++slot)
                if (!it->second->Slot(slot).custom && !it->second->Slot(slot).name.empty())
                    --places;
        return places;
    });
    const LibraryStructure& merged = m_settings.Structure();
    // Categories the other side deleted that nothing here holds any more leave the tree.
    for (auto it = m_categories.begin(); it != m_categories.end();) {
        CCategory& category = *it->second;
        const bool gone = category.IsCustom() && !merged.count(it->first) && m_samples.OfCategory(it->first).empty() &&
                          !m_kept.AnyFor(it->first) && !category.IsChanged() && !m_pendingChanges.Any(it->first) &&
                          !fileio::FileExists(category.GetFilePath());
        if (!gone) {
            ++it;
            continue;
        }
        m_outsideChanges.push_back({it->first, "category deleted by another program"});
        it = m_categories.erase(it);
    }
    for (const auto& [name, entry] : merged) {
        if (m_categories.count(name))
            continue;
        std::map<std::string, std::string> files;
        for (const auto& [other, category] : m_categories)
            files.emplace(other, category->GetFileName());
        if (entry.fileName.empty() || !CategoryFileRefusal(entry.fileName, files).empty())
            continue;
        auto category = std::make_unique<CCategory>(name);
        category->SetFileName(entry.fileName);
        for (size_t i = 0; i < entry.subcategories.size() && i < static_cast<size_t>(kSlotCount); ++i)
            category->Slot(static_cast<int>(i)) = SubcategorySlot{entry.subcategories[i], true, true};
        if (AddCategory(std::move(category)))
            m_outsideChanges.push_back({name, "new category from another program"});
    }
    static const StructureCategory none;
    for (auto& [name, categoryPtr] : m_categories) {
        // A default category without an entry has no sub-categories of the library's; a
        // custom one without an entry is still here for what it holds and keeps its own.
        auto found = merged.find(name);
        if (found == merged.end() && categoryPtr->IsCustom())
            continue;
        const StructureCategory& entry = found == merged.end() ? none : found->second;
        CCategory& category = *categoryPtr;
        int added = 0, removed = 0;
        // Sub-categories the other side deleted, empty here, leave; theirs join.
        for (int slot = 0; slot < kSlotCount; ++slot) {
            SubcategorySlot& place = category.Slot(slot);
            if (place.custom && !place.name.empty() &&
                std::find(entry.subcategories.begin(), entry.subcategories.end(), place.name) ==
                    entry.subcategories.end()) {
                place = SubcategorySlot{};
                ++removed;
            }
        }
        for (const std::string& sub : entry.subcategories) {
            const int free = category.FreeSlot();
            if (category.FindSlot(sub) >= 0 || free < 0)
                continue;
            category.Slot(free) = SubcategorySlot{sub, true, true};
            ++added;
        }
        if (added > 0)
            m_outsideChanges.push_back(
                {name, std::to_string(added) + (added == 1 ? " new sub-category" : " new sub-categories") +
                           " from another program"});
        if (removed > 0)
            m_outsideChanges.push_back(
                {name, std::to_string(removed) + (removed == 1 ? " sub-category" : " sub-categories") +
                           " deleted by another program"});
    }
    for (const auto& [category, sub] : result.withoutPlace)
        m_outsideChanges.push_back({category, "no place for the sub-category \"" + sub +
                                                  "\" from another program; its samples are load errors"});
}

bool CQuorrinDoc::ReloadChangedCategories() {
    if (IsReadOnly())
        return false;
    TakeStructureChanges();
    MergeConflictCopies(true);
    bool any = !m_outsideChanges.empty();
    for (auto& [name, category] : m_categories) {
        // A category with unsaved changes takes the file's changes when it is saved.
        if (category->IsChanged() || m_pendingChanges.Any(name) || !ChangedOnDisk(*category))
            continue;
        if (!fileio::FileExists(category->GetFilePath()) || !category->OpenFileForRead())
            continue;
        const MergeCounts counts = MergeFromFile(*category);
        category->CloseFile();
        if (!counts.Empty()) {
            m_outsideChanges.push_back({name, DescribeMerge(*category, counts)});
            any = true;
        }
    }
    TellOutsideChanges();
    return any;
}

void CQuorrinDoc::AdoptFile(CCategory& category) {
    const std::string name = category.GetName();
    std::vector<std::unique_ptr<CSample>> records;
    std::vector<RecordSpan> spans;
    fileio::ReadBuffer buffer;
    if (!category.OpenFileForRead())
        return;
    const bool complete = category.ReadSampleList(records, &buffer, &spans);
    category.CloseFile();
    const std::string_view data = buffer.View();
    KeepUnreadPart(category, data, spans, complete);
    // The sub-categories its samples name, as far as there are places for them.
    int subcategories = 0;
    for (const auto& record : records) {
        const std::string& sub = record->GetSubcategory();
        if (record->GetCategory() != name || sub.empty() || category.FindSlot(sub) >= 0)
            continue;
        const int slot = category.FreeSlot();
        if (slot < 0)
            break;
        category.Slot(slot) = SubcategorySlot{sub, true, true};
        ++subcategories;
    }
    int placed = 0;
    int errors = 0;
    for (size_t k = 0; k < records.size() && k < spans.size(); ++k) {
        CSample& record = *records[k];
        std::string bytes(data.substr(spans[k].begin, spans[k].end - spans[k].begin));
        const std::string title = record.GetTitle();
        if (m_samples.Find(title) || !HasPlace(record)) {
            record.SetLoadErrorReason(m_samples.Find(title) ? kReasonDuplicate : kReasonNoParent);
            m_loadErrors.Add(record, m_kept.Keep(name, std::move(bytes)));
            ++errors;
            continue;
        }
        const bool stray = record.GetCategory() != name;
        m_samples.Insert(std::move(records[k]));
        if (stray)
            m_kept.Keep(name, std::move(bytes), title);
        ++placed;
    }
    std::string text = "The library folder holds the file " + category.GetFileName() +
                       " already; it is not overwritten. " +
                       "Its " + CountOf(placed, "sample is", "samples are") + " now in category \"" + name + "\"";
    if (subcategories > 0)
        text += ", with the " + CountOf(subcategories, "sub-category", "sub-categories") +
                (placed == 1 ? " it names" : " they name");
    text += ".";
    if (errors > 0)
        text += "\n" + CountOf(errors, "sample", "samples") + " could not be placed; " +
                (errors == 1 ? "it is" : "they are") + " listed under Correct load errors.";
    m_messages.Tell(text, MsgIcon::Information);
    if (m_view && (placed > 0 || errors > 0))
        m_view->OnLibraryChangedOutside();
}
