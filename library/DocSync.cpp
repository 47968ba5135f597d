// Changes made to the category files by anything else (the command-line tool, a second
// program, a sync client, an editor) while the library is open: merged before a file is
// rewritten, and read in while a category has nothing unsaved.
#include <set>
#include <unordered_map>

#include "base/Messenger.h"
#include "library/QuorrinDoc.h"

namespace {

bool SameFields(const CSample& a, const CSample& b) {
    return a.GetTitle() == b.GetTitle() && a.GetCategory() == b.GetCategory() &&
           a.GetSubcategory() == b.GetSubcategory() && a.Keywords() == b.Keywords() &&
           a.GetComments() == b.GetComments() && a.GetText() == b.GetText();
}

} // namespace

bool CQuorrinDoc::ChangedOnDisk(const CCategory& category) const {
    return !IsReadOnly() && !(fileio::StampOf(category.GetFileName()) == category.Stamp());
}

CQuorrinDoc::MergeCounts CQuorrinDoc::MergeFromFile(CCategory& category) {
    MergeCounts counts;
    const std::string name = category.GetName();
    std::vector<std::unique_ptr<CSample>> records;
    std::vector<RecordSpan> spans;
    fileio::ReadBuffer buffer;
    category.ReadSampleList(records, &buffer, &spans);
    const std::string_view data = buffer.View();
    // A missing or emptied file is not taken as every sample deleted: the library's
    // samples are written back.
    const bool present = !data.empty();

    // The records this file keeps for the library, by their bytes, until found again.
    std::unordered_multimap<std::string_view, std::uint64_t> kept;
    for (const CKeptRecords::Record& record : m_kept.Of(name))
        kept.emplace(record.bytes, record.id);
    std::set<std::string> found;
    std::vector<std::pair<CSample, std::string>> unplaced; // with their bytes

    for (size_t k = 0; k < records.size() && k < spans.size(); ++k) {
        CSample& record = *records[k];
        const std::string bytes(data.substr(spans[k].begin, spans[k].end - spans[k].begin));
        if (auto at = kept.find(bytes); at != kept.end()) {
            kept.erase(at);
            continue;
        }
        const std::string& title = record.GetTitle();
        const CSample* held = m_samples.Find(title);
        if (found.count(title)) {
            // The file holds this title twice: the later record is a duplicate.
            record.SetLoadErrorReason(kReasonDuplicate);
            unplaced.emplace_back(record, bytes);
            continue;
        }
        if (const std::optional<CSample>* ours = m_pendingChanges.Find(name, title)) {
            found.insert(title);
            // Unchanged there since we read it: our change stands. Changed on both
            // sides: the other version stays in the file, for the user to correct.
            if (ours->has_value() && SameFields(**ours, record))
                continue;
            record.SetLoadErrorReason(kReasonDuplicate);
            m_loadErrors.Add(record, m_kept.Keep(name, bytes));
            ++counts.conflicts;
            continue;
        }
        if (held && held->GetCategory() == name) {
            found.insert(title);
            if (!SameFields(*held, record)) {
                m_samples.Replace(title, record);
                ++counts.changed;
            }
            continue;
        }
        if (held || !HasPlace(record)) {
            // A title the library holds elsewhere, or no place in the tree.
            record.SetLoadErrorReason(held ? kReasonDuplicate : kReasonNoParent);
            unplaced.emplace_back(record, bytes);
            continue;
        }
        const std::string category = record.GetCategory();
        found.insert(title);
        m_samples.Insert(std::move(records[k]));
        if (category != name)
            m_kept.Keep(name, bytes, title); // filed under another category: it waits for that file
        ++counts.added;
    }
    for (auto& [record, bytes] : unplaced) {
        m_loadErrors.Add(record, m_kept.Keep(name, std::move(bytes)));
        ++counts.added;
    }
    if (present) {
        // What the file held and holds no more was removed there.
        std::vector<std::string> removed;
        for (const CSample* sample : SamplesOfCategory(name)) {
            const std::string& title = sample->GetTitle();
            if (!found.count(title) && !m_pendingChanges.Find(name, title) && !m_kept.IsWaitedFor(title))
                removed.push_back(title);
        }
        m_samples.EraseAll(removed);
        counts.removed += static_cast<int>(removed.size());
        for (const auto& [bytes, id] : kept) {
            m_kept.Drop(id);
            m_loadErrors.RemoveOrigin(id);
            ++counts.removed;
        }
    }
    return counts;
}

void CQuorrinDoc::ReportMerge(const CCategory& category, const MergeCounts& counts) {
    if (counts.Empty())
        return;
    std::string text = "The file " + category.GetFileName() + " of category \"" + category.GetName() +
                       "\" was changed by another program.\nIts changes have been taken over";
    text += StrFormat(": %d sample(s) added or changed there, %d removed there.", counts.added + counts.changed,
                      counts.removed);
    if (counts.conflicts > 0)
        text += StrFormat("\n%d sample(s) were changed both here and there: their other version is listed under "
                          "Correct load errors.",
                          counts.conflicts);
    ShowMessage(text, MsgButtons::Ok, MsgIcon::Information);
}

bool CQuorrinDoc::ReloadChangedCategories() {
    if (IsReadOnly())
        return false;
    bool any = false;
    for (auto& [name, category] : m_categories) {
        // A category with unsaved changes takes the file's changes when it is saved.
        if (category->IsChanged() || m_pendingChanges.Any(name) || !ChangedOnDisk(*category))
            continue;
        if (!fileio::FileExists(category->GetFileName()) || !category->OpenFileForRead())
            continue;
        const MergeCounts counts = MergeFromFile(*category);
        category->CloseFile();
        ReportMerge(*category, counts);
        any = any || !counts.Empty();
    }
    if (any && m_view)
        m_view->OnLibraryChangedOutside();
    return any;
}

void CQuorrinDoc::AdoptFile(CCategory& category) {
    const std::string name = category.GetName();
    std::vector<std::unique_ptr<CSample>> records;
    std::vector<RecordSpan> spans;
    fileio::ReadBuffer buffer;
    if (!category.OpenFileForRead())
        return;
    category.ReadSampleList(records, &buffer, &spans);
    category.CloseFile();
    const std::string_view data = buffer.View();
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
                       StrFormat("Its %d sample(s) are now in category \"%s\"", placed, name.c_str());
    if (subcategories > 0)
        text += StrFormat(", with the %d sub-categories they name", subcategories);
    text += ".";
    if (errors > 0)
        text += StrFormat("\n%d sample(s) could not be placed; they are listed under Correct load errors.", errors);
    ShowMessage(text, MsgButtons::Ok, MsgIcon::Information);
    if (m_view && (placed > 0 || errors > 0))
        m_view->OnLibraryChangedOutside();
}
