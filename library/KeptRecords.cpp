#include "library/KeptRecords.h"

#include <algorithm>

std::uint64_t CKeptRecords::Keep(const std::string& category, std::string bytes, const std::string& movesTo) {
    const std::uint64_t id = m_nextId++;
    m_byCategory[category].push_back(Record{id, std::move(bytes), movesTo});
    m_categoryOf.emplace(id, category);
    if (!movesTo.empty())
        m_waitingFor.emplace(movesTo, id);
    return id;
}

const std::vector<CKeptRecords::Record>& CKeptRecords::Of(const std::string& category) const {
    static const std::vector<Record> none;
    auto it = m_byCategory.find(category);
    return it == m_byCategory.end() ? none : it->second;
}

CKeptRecords::Record* CKeptRecords::Find(std::uint64_t id) {
    auto category = m_categoryOf.find(id);
    if (category == m_categoryOf.end())
        return nullptr;
    for (Record& r : m_byCategory[category->second])
        if (r.id == id)
            return &r;
    return nullptr;
}

std::string CKeptRecords::Erase(std::uint64_t id) {
    auto category = m_categoryOf.find(id);
    if (category == m_categoryOf.end())
        return {};
    const std::string name = category->second;
    m_categoryOf.erase(category);
    auto list = m_byCategory.find(name);
    auto at = std::find_if(list->second.begin(), list->second.end(), [id](const Record& r) { return r.id == id; });
    if (!at->movesTo.empty()) {
        auto range = m_waitingFor.equal_range(at->movesTo);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == id) {
                m_waitingFor.erase(it);
                break;
            }
        }
    }
    list->second.erase(at);
    if (list->second.empty())
        m_byCategory.erase(list);
    return name;
}

std::string CKeptRecords::Drop(std::uint64_t id) {
    return Erase(id);
}

bool CKeptRecords::MoveTo(std::uint64_t id, const std::string& title) {
    Record* record = Find(id);
    if (!record || title.empty())
        return false;
    auto range = m_waitingFor.equal_range(record->movesTo);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == id) {
            m_waitingFor.erase(it);
            break;
        }
    }
    record->movesTo = title;
    m_waitingFor.emplace(title, id);
    return true;
}

std::vector<std::string> CKeptRecords::DropMovesTo(const std::string& title) {
    std::vector<std::uint64_t> ids;
    auto range = m_waitingFor.equal_range(title);
    for (auto it = range.first; it != range.second; ++it)
        ids.push_back(it->second);
    std::vector<std::string> categories;
    for (std::uint64_t id : ids)
        categories.push_back(Erase(id));
    return categories;
}

void CKeptRecords::RenameMoves(const std::string& from, const std::string& to) {
    if (from == to)
        return;
    std::vector<std::uint64_t> ids;
    auto range = m_waitingFor.equal_range(from);
    for (auto it = range.first; it != range.second; ++it)
        ids.push_back(it->second);
    m_waitingFor.erase(from);
    for (std::uint64_t id : ids) {
        if (Record* record = Find(id))
            record->movesTo = to;
        m_waitingFor.emplace(to, id);
    }
}

std::uint64_t CKeptRecords::StopWaiting(const std::string& title) {
    auto it = m_waitingFor.find(title);
    if (it == m_waitingFor.end())
        return 0;
    const std::uint64_t id = it->second;
    m_waitingFor.erase(it);
    if (Record* record = Find(id))
        record->movesTo.clear();
    return id;
}

std::vector<std::string> CKeptRecords::WaitingTitles() const {
    std::vector<std::string> titles;
    for (const auto& [title, id] : m_waitingFor)
        titles.push_back(title);
    return titles;
}

std::vector<std::string> CKeptRecords::CompleteMoves(const std::vector<std::string>& titles) {
    std::vector<std::string> categories;
    for (const std::string& title : titles) {
        for (std::string& c : DropMovesTo(title))
            categories.push_back(std::move(c));
    }
    return categories;
}

void CKeptRecords::SetUnreadable(const std::string& category, std::string bytes) {
    if (bytes.empty())
        m_unreadable.erase(category);
    else
        m_unreadable[category] = std::move(bytes);
}

const std::string& CKeptRecords::Unreadable(const std::string& category) const {
    static const std::string none;
    auto it = m_unreadable.find(category);
    return it == m_unreadable.end() ? none : it->second;
}
