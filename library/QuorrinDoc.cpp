#include "library/QuorrinDoc.h"

CQuorrinDoc::CQuorrinDoc(ILibrarySettings& settings, CLoadErrorList& loadErrors)
    : m_settings(settings), m_loadErrors(loadErrors) {}

// Nothing is saved here: the owner's close (SaveAtClose) is the last save, and one that
// has to show or return what failed cannot run in a destructor.
CQuorrinDoc::~CQuorrinDoc() = default;

// ---------------------------------------------------------------------------------------------
// Queries

bool CQuorrinDoc::FindCategory(const std::string& name, CCategory& out) const {
    const CCategory* category = PeekCategory(name);
    if (!category)
        return false;
    out = *category;
    return true;
}

bool CQuorrinDoc::FindSample(const std::string& title, CSample& out) const {
    const CSample* sample = PeekSample(title);
    if (!sample)
        return false;
    // Keywords are stored parsed; copying them equals re-parsing their joined form.
    out = *sample;
    return true;
}

const CCategory* CQuorrinDoc::PeekCategory(const std::string& name) const {
    auto it = m_categories.find(name);
    return it == m_categories.end() ? nullptr : it->second.get();
}

const CSample* CQuorrinDoc::PeekSample(const std::string& title) const {
    return m_samples.Find(title);
}

bool CQuorrinDoc::FirstCategory(CCategory& out, Cursor& cursor) const {
    cursor.started = true;
    cursor.ended = false;
    auto it = m_categories.begin();
    if (it == m_categories.end()) {
        cursor.ended = true;
        return false;
    }
    cursor.last = it->first;
    out = *it->second;
    return true;
}

bool CQuorrinDoc::NextCategory(CCategory& out, Cursor& cursor) const {
    if (!cursor.started) {
        CCategory first;
        if (!FirstCategory(first, cursor))
            return false;
    }
    return NextCategoryAfter(out, cursor);
}

bool CQuorrinDoc::NextCategoryAfter(CCategory& out, Cursor& cursor) const {
    if (cursor.ended)
        return false;
    auto it = m_categories.upper_bound(cursor.last);
    if (it == m_categories.end()) {
        cursor.ended = true;
        return false;
    }
    cursor.last = it->first;
    out = *it->second;
    return true;
}

const CSample* CQuorrinDoc::FirstSampleRecord(Cursor& cursor) const {
    return m_samples.First(cursor);
}

const CSample* CQuorrinDoc::NextSampleRecord(Cursor& cursor) const {
    return m_samples.Next(cursor);
}

const CSample* CQuorrinDoc::SampleRecordAt(const Cursor& cursor) const {
    return m_samples.At(cursor);
}

int CQuorrinDoc::CountSamplesInCategory(const std::string& name) const {
    return static_cast<int>(SamplesOfCategory(name).size());
}

const std::vector<const CSample*>& CQuorrinDoc::SamplesOfCategory(const std::string& name) const {
    return m_samples.OfCategory(name);
}

bool CQuorrinDoc::AnyHidden() const {
    // Only default categories and their default sub-categories are ever hidden; a free
    // slot of a custom category is nothing to show again.
    for (const auto& [name, category] : m_categories) {
        if (!category->IsDefault())
            continue;
        if (!category->IsDisplayed())
            return true;
        for (int slot = 0; slot < kDefaultSlotCount; ++slot) {
            if (!category->Slot(slot).inUse)
                return true;
        }
    }
    return false;
}

void CQuorrinDoc::ShowAll() {
    for (auto& [name, category] : m_categories) {
        if (!category->IsDefault())
            continue;
        category->SetDisplayed(true);
        for (int slot = 0; slot < kDefaultSlotCount; ++slot)
            category->Slot(slot).inUse = true;
    }
}
