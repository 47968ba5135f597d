// Placement: which samples the tree can show, and the load errors made of the others.
#include "library/QuorrinDoc.h"

bool CQuorrinDoc::HasPlace(const CSample& sample) const {
    const CCategory* category = PeekCategory(sample.GetCategory());
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
    if (!m_loadErrors.Add(record))
        return;
    if (removeNow)
        DeleteSample(record.GetTitle());
    else
        m_deferred.push_back(record.GetTitle());
}

void CQuorrinDoc::RemoveDeferredSamples() {
    std::vector<std::string> titles;
    titles.swap(m_deferred);
    for (const std::string& title : titles)
        DeleteSample(title);
}
