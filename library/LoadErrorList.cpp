#include "library/LoadErrorList.h"

#include "base/Messenger.h"

bool CLoadErrorList::Add(const CSample& sample, std::uint64_t origin) {
    CSample record(sample);
    auto found = m_byTitle.find(record.GetTitle());
    if (found != m_byTitle.end() && !found->second.empty()) {
        // Only one rename; the new title is not tested again.
        record.SetTitle(record.GetTitle() + StrFormat("-%d", m_renameCounter));
        ++m_renameCounter;
    }
    unsigned long long id = m_nextId++;
    m_byTitle[record.GetTitle()].insert(id);
    m_records.emplace(id, Record{std::move(record), origin});
    return true;
}

bool CLoadErrorList::Remove(const std::string& title) {
    auto found = m_byTitle.find(title);
    if (found == m_byTitle.end() || found->second.empty())
        return false;
    unsigned long long id = *found->second.begin();
    found->second.erase(found->second.begin());
    if (found->second.empty())
        m_byTitle.erase(found);
    m_records.erase(id);
    return true;
}

bool CLoadErrorList::RemoveOrigin(std::uint64_t origin) {
    if (origin == 0)
        return false;
    for (auto it = m_records.begin(); it != m_records.end(); ++it) {
        if (it->second.origin != origin)
            continue;
        auto titles = m_byTitle.find(it->second.sample.GetTitle());
        if (titles != m_byTitle.end()) {
            titles->second.erase(it->first);
            if (titles->second.empty())
                m_byTitle.erase(titles);
        }
        m_records.erase(it);
        return true;
    }
    return false;
}

std::uint64_t CLoadErrorList::OriginOf(const std::string& title) const {
    auto found = m_byTitle.find(title);
    if (found == m_byTitle.end() || found->second.empty())
        return 0;
    return m_records.at(*found->second.begin()).origin;
}

bool CLoadErrorList::GetFirst(CSample& out, Cursor& cursor) const {
    cursor.m_lastId = 0;
    return GetNext(out, cursor);
}

bool CLoadErrorList::GetNext(CSample& out, Cursor& cursor) const {
    auto it = m_records.upper_bound(cursor.m_lastId);
    if (it == m_records.end()) {
        // Stay past the end until the next GetFirst.
        cursor.m_lastId = ~0ULL;
        return false;
    }
    cursor.m_lastId = it->first;
    out = it->second.sample;
    return true;
}
