// Placement: which samples the tree can show, and the load errors made of the others.
#include "library/CategoryWriter.h"
#include "library/QuorrinDoc.h"

bool CQuorrinDoc::HasPlace(const CSample& sample) const {
    return HasPlaceIn(PeekCategory(sample.GetCategory()), sample);
}

bool CQuorrinDoc::HasPlaceIn(const CCategory* category, const CSample& sample) const {
    if (!category || !category->IsDisplayed())
        return false;
    const std::string& sub = sample.GetSubcategory();
    if (sub.empty())
        return true;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SubcategorySlot& s = category->Slot(slot);
        if (s.inUse && s.name == sub)
            return true;
    }
    return false;
}

int CQuorrinDoc::RemoveUnplacedSamples() {
    int count = 0;
    for (const auto& [title, sample] : m_samples.Map()) {
        if (!HasPlace(*sample)) {
            ReportTreeInsertFailure(*sample, kReasonNoParent, false);
            ++count;
        }
    }
    RemoveDeferredSamples();
    return count;
}

void CQuorrinDoc::ReportTreeInsertFailure(const CSample& sample, int reason, bool removeNow) {
    CSample record = sample;
    record.SetLoadErrorReason(reason);
    // The sample leaves the library but not the disk: a record of it still waiting in
    // the file it was read from stays there; otherwise its own category's file keeps it.
    std::uint64_t origin = IsReadOnly() ? 0 : m_kept.StopWaiting(record.GetTitle());
    if (origin == 0 && !IsReadOnly() && m_categories.count(record.GetCategory())) {
        std::string bytes;
        AppendSampleBytes(bytes, record);
        origin = m_kept.Keep(record.GetCategory(), std::move(bytes));
    }
    if (!m_loadErrors.Add(record, origin))
        return;
    m_deferred.push_back(record.GetTitle());
    if (removeNow)
        RemoveDeferredSamples();
}

void CQuorrinDoc::RemoveDeferredSamples() {
    std::vector<std::string> titles;
    titles.swap(m_deferred);
    // Nothing changes on disk: no category is marked changed.
    m_samples.EraseAll(titles);
}
