#include "library/SampleStore.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <numeric>
#include <utility>

namespace {

std::uint64_t NewVersion() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

bool TitleBefore(const CSample* a, const CSample* b) {
    return a->GetTitle() < b->GetTitle();
}

} // namespace

CSampleStore::CSampleStore() : m_version(NewVersion()) {}

void CSampleStore::Changed() {
    m_version = NewVersion();
}

const CSample* CSampleStore::Find(const std::string& title) const {
    auto it = m_samples.find(title);
    return it == m_samples.end() ? nullptr : it->second.get();
}

bool CSampleStore::Insert(std::unique_ptr<CSample> sample) {
    if (!sample)
        return false;
    const CSample* record = sample.get();
    // The key is the sample's own title, which stays where it is with the sample.
    const std::string_view title = sample->GetTitle();
    const bool inserted = m_samples.try_emplace(title, std::move(sample)).second;
    if (inserted)
        Index(*record);
    Changed();
    return inserted;
}

bool CSampleStore::Erase(const std::string& title) {
    auto it = m_samples.find(title);
    if (it == m_samples.end())
        return false;
    Unindex(*it->second);
    m_samples.erase(it);
    Changed();
    return true;
}

void CSampleStore::EraseAll(const std::vector<std::string>& titles) {
    std::unordered_map<const CSample*, bool> leaving;
    std::unordered_map<std::string, bool> lists;
    for (const std::string& title : titles) {
        if (const CSample* sample = Find(title)) {
            leaving.emplace(sample, true);
            lists.emplace(sample->GetCategory(), true);
        }
    }
    if (leaving.empty())
        return;
    for (const auto& [category, unused] : lists) {
        auto members = m_byCategory.find(category);
        if (members == m_byCategory.end())
            continue;
        auto& list = members->second;
        list.erase(std::remove_if(list.begin(), list.end(), [&](const CSample* s) { return leaving.count(s) > 0; }),
                   list.end());
        if (list.empty())
            m_byCategory.erase(members);
    }
    for (const std::string& title : titles)
        m_samples.erase(title);
    Changed();
}

bool CSampleStore::Replace(const std::string& title, const CSample& data) {
    auto it = m_samples.find(title);
    // Another title would move the sample in the map: that is a removal and an insertion.
    if (it == m_samples.end() || data.GetTitle() != title)
        return false;
    CSample& stored = *it->second;
    Changed();
    const int reason = stored.GetLoadErrorReason();
    // The stored record itself as data may have had its category changed in place.
    const bool moves = &data == &stored || stored.GetCategory() != data.GetCategory();
    if (moves)
        Unindex(stored);
    // The keyword array is taken as it is, so an empty keyword list clears the keywords.
    stored = data;
    stored.SetLoadErrorReason(reason);
    if (moves)
        Index(stored);
    return true;
}

const std::vector<const CSample*>& CSampleStore::OfCategory(const std::string& name) const {
    static const std::vector<const CSample*> none;
    auto it = m_byCategory.find(name);
    return it == m_byCategory.end() ? none : it->second;
}

const std::vector<const CSample*>& CSampleStore::InTitleOrder() const {
    if (m_inOrderVersion != m_version) {
        m_inOrder.clear();
        m_inOrder.reserve(m_samples.size());
        for (const auto& [title, sample] : m_samples)
            m_inOrder.push_back(sample.get());
        m_inOrderVersion = m_version;
    }
    return m_inOrder;
}

const std::vector<std::uint32_t>& CSampleStore::InMemoryOrder() const {
    if (m_inMemoryVersion != m_version) {
        m_inMemory = AddressOrder(InTitleOrder());
        m_inMemoryVersion = m_version;
    }
    return m_inMemory;
}

std::vector<std::uint32_t> AddressOrder(const std::vector<const CSample*>& list) {
    // A radix sort of the addresses, sixteen bits a pass from the lowest, over the bits in
    // which they differ: a few linear passes where a comparison sort of a million would
    // take longer than the search it serves.
    const size_t n = list.size();
    std::vector<std::uintptr_t> address(n);
    std::uintptr_t low = ~std::uintptr_t{0};
    std::uintptr_t high = 0;
    for (size_t i = 0; i < n; ++i) {
        address[i] = reinterpret_cast<std::uintptr_t>(list[i]->GetText().data());
        low = std::min(low, address[i]);
        high = std::max(high, address[i]);
    }
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), std::uint32_t{0});
    std::vector<std::uint32_t> sorted(n);
    std::vector<size_t> start(size_t{1} << 16);
    for (unsigned shift = 0; n > 1 && shift < 64 && ((high - low) >> shift) != 0; shift += 16) {
        auto digit = [&](std::uint32_t i) { return ((address[i] - low) >> shift) & 0xFFFF; };
        std::fill(start.begin(), start.end(), 0);
        for (std::uint32_t i : order)
            ++start[digit(i)];
        size_t at = 0;
        for (size_t& s : start)
            at += std::exchange(s, at);
        for (std::uint32_t i : order)
            sorted[start[digit(i)]++] = i;
        order.swap(sorted);
    }
    return order;
}

void CSampleStore::Index(const CSample& sample) {
    auto& members = m_byCategory[sample.GetCategory()];
    // A load places samples in title order: they go to the end.
    if (members.empty() || TitleBefore(members.back(), &sample))
        members.push_back(&sample);
    else
        members.insert(std::lower_bound(members.begin(), members.end(), &sample, TitleBefore), &sample);
}

void CSampleStore::Unindex(const CSample& sample) {
    // Found under its category by its title. A record its holder changed in place may sit
    // elsewhere: then it is searched for.
    auto eraseFrom = [&](decltype(m_byCategory)::iterator members) {
        auto& list = members->second;
        auto at = std::lower_bound(list.begin(), list.end(), &sample, TitleBefore);
        if (at == list.end() || *at != &sample)
            at = std::find(list.begin(), list.end(), &sample);
        if (at == list.end())
            return false;
        list.erase(at);
        if (list.empty())
            m_byCategory.erase(members);
        return true;
    };
    auto members = m_byCategory.find(sample.GetCategory());
    if (members != m_byCategory.end() && eraseFrom(members))
        return;
    for (auto it = m_byCategory.begin(); it != m_byCategory.end(); ++it) {
        if (eraseFrom(it))
            return;
    }
}

const CSample* CSampleStore::First(Cursor& cursor) const {
    cursor.started = true;
    cursor.ended = false;
    return StepTo(m_samples.begin(), cursor);
}

const CSample* CSampleStore::Next(Cursor& cursor) const {
    if (!cursor.started && !First(cursor))
        return nullptr;
    if (cursor.ended)
        return nullptr;
    // While the map is unchanged the cursor's place in it is still good; otherwise the
    // sample after the last title given is looked up.
    auto it = cursor.atKnown && cursor.atVersion == m_version ? std::next(cursor.at)
                                                              : m_samples.upper_bound(cursor.last);
    return StepTo(it, cursor);
}

const CSample* CSampleStore::At(const Cursor& cursor) const {
    if (!cursor.started || cursor.ended)
        return nullptr;
    if (cursor.atKnown && cursor.atVersion == m_version)
        return cursor.at->second.get();
    return Find(cursor.last);
}

// Moves the cursor to it; at the end the walk is over.
const CSample* CSampleStore::StepTo(SampleMap::const_iterator it, Cursor& cursor) const {
    cursor.atKnown = false;
    if (it == m_samples.end()) {
        cursor.ended = true;
        return nullptr;
    }
    cursor.last.assign(it->first);
    cursor.at = it;
    cursor.atVersion = m_version;
    cursor.atKnown = true;
    return it->second.get();
}
