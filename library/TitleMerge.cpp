// The title merge at load: the samples of every category file go into the store at once.
#include <algorithm>
#include <cstdint>
#include <thread>

#include "library/SampleStore.h"

namespace {

using Duplicates = std::vector<std::pair<size_t, std::uint32_t>>;

// The part of each file's title order to merge: positions from[f] up to to[f].
struct Runs {
    std::vector<size_t> from;
    std::vector<size_t> to;
};

// Merges the runs of the files in title order, equal titles in file order (so the first
// read under a title comes first), and hands each sample to take(f, k) with whether its
// title is new to map (then take places it in map) or a duplicate (then it goes to
// duplicates). fresh(title) says whether a title is new to the map so far; the merge
// itself only compares the runs' heads.
template <class Fresh, class Take>
void MergeRuns(std::vector<ReadFile>& files, Runs runs, Duplicates& duplicates, Fresh&& fresh, Take&& take) {
    const size_t n = files.size();
    auto order = [&files](size_t f) -> const std::vector<std::uint32_t>& { return files[f].order; };
    std::vector<size_t>& next = runs.from;
    auto head = [&](size_t f) -> const std::string& { return files[f].samples[order(f)[next[f]]]->GetTitle(); };
    // The first sixteen bytes of each head title as two numbers in the same order (bytes
    // past the end count as zero), so that most comparisons need not reach the titles
    // themselves.
    struct Prefix {
        std::uint64_t hi = 0;
        std::uint64_t lo = 0;
    };
    std::vector<Prefix> prefix(n);
    auto takePrefix = [&](size_t f) {
        const std::string& title = head(f);
        std::uint64_t part[2] = {0, 0};
        const size_t used = std::min<size_t>(title.size(), 16);
        for (size_t i = 0; i < used; ++i)
            part[i / 8] |= static_cast<std::uint64_t>(static_cast<unsigned char>(title[i])) << (56 - 8 * (i % 8));
        prefix[f] = Prefix{part[0], part[1]};
#if defined(__GNUC__)
        // The records two ahead and the title one ahead are asked for now, so that they
        // are in the cache when their turn comes (the files lie far apart in memory).
        if (next[f] + 2 < runs.to[f]) {
            const char* record = reinterpret_cast<const char*>(files[f].samples[order(f)[next[f] + 2]].get());
            __builtin_prefetch(record);
            __builtin_prefetch(record + 64);
        }
        if (next[f] + 1 < runs.to[f])
            __builtin_prefetch(files[f].samples[order(f)[next[f] + 1]]->GetTitle().data());
#endif
    };
    // A heap of files by the title at their head, the smallest on top; on equal titles
    // the earlier file first.
    auto later = [&](size_t a, size_t b) {
        if (prefix[a].hi != prefix[b].hi)
            return prefix[a].hi > prefix[b].hi;
        if (prefix[a].lo != prefix[b].lo)
            return prefix[a].lo > prefix[b].lo;
        const int c = head(a).compare(head(b));
        return c != 0 ? c > 0 : a > b;
    };
    std::vector<size_t> heap;
    for (size_t f = 0; f < n; ++f) {
        if (next[f] < runs.to[f]) {
            takePrefix(f);
            heap.push_back(f);
        }
    }
    // Moves the file at place i down to where it belongs: the top's next title costs one
    // such walk instead of a removal and an insertion.
    auto siftDown = [&](size_t i) {
        const size_t item = heap[i];
        for (;;) {
            size_t child = 2 * i + 1;
            if (child >= heap.size())
                break;
            if (child + 1 < heap.size() && later(heap[child], heap[child + 1]))
                ++child;
            if (!later(item, heap[child]))
                break;
            heap[i] = heap[child];
            i = child;
        }
        heap[i] = item;
    };
    for (size_t i = heap.size() / 2; i-- > 0;)
        siftDown(i);

    while (!heap.empty()) {
        const size_t f = heap.front();
        const std::uint32_t k = order(f)[next[f]++];
        if (fresh(files[f].samples[k]->GetTitle()))
            take(f, k);
        else
            duplicates.emplace_back(f, k);
        if (next[f] < runs.to[f]) {
            takePrefix(f);
        } else {
            heap.front() = heap.back();
            heap.pop_back();
        }
        if (!heap.empty())
            siftDown(0);
    }
}

// Below this many samples the merge runs on one thread: starting another costs more.
constexpr size_t kSplitSamples = 20000;

} // namespace

void CSampleStore::MergeFiles(std::vector<ReadFile>& files, Duplicates& duplicates,
                              const std::function<void(const CSample&)>& stray) {
    // The result is that of inserting the samples file by file, each file in its own
    // order, where the first sample read under a title wins. The files' lists, each in
    // title order (a file the program wrote is in that order already), are merged, and
    // equal titles come out in reading order, so each new title goes to the end of the
    // map without a search.
    const size_t n = files.size();
    Runs all{std::vector<size_t>(n, 0), std::vector<size_t>(n, 0)};
    size_t total = 0;
    size_t largest = 0;
    for (size_t f = 0; f < n; ++f) {
        all.to[f] = files[f].order.size();
        total += all.to[f];
        if (all.to[f] > all.to[largest])
            largest = f;
    }

    if (!m_samples.empty() || total < kSplitSamples || std::thread::hardware_concurrency() < 2) {
        // Each file's own category list, found once: most samples go there.
        std::vector<std::vector<const CSample*>*> ownList(n);
        for (size_t f = 0; f < n; ++f) {
            ownList[f] = &m_byCategory[*files[f].category];
            ownList[f]->reserve(ownList[f]->size() + files[f].samples.size());
        }
        auto at = m_samples.end();
        auto fresh = [&](const std::string& title) {
            at = m_samples.end();
            if (m_samples.empty() || std::prev(at)->first < title)
                return true;
            at = m_samples.lower_bound(title);
            return at == m_samples.end() || at->first != title;
        };
        MergeRuns(files, all, duplicates, fresh, [&](size_t f, std::uint32_t k) {
            const bool own = files[f].samples[k]->GetCategory() == *files[f].category;
            if (!own)
                stray(*files[f].samples[k]);
            std::unique_ptr<CSample> record = std::move(files[f].samples[k]);
            // A title that goes to the end of the map goes to the end of its category's
            // list too.
            if (own && at == m_samples.end())
                ownList[f]->push_back(record.get());
            else
                Index(*record);
            const std::string& title = record->GetTitle();
            m_samples.emplace_hint(at, title, std::move(record));
        });
        Changed();
        std::sort(duplicates.begin(), duplicates.end());
        return;
    }

    // Into an empty store, a large library is merged in two halves at once: the titles
    // before the middle title of the largest file, and the rest. Equal titles fall into
    // the same half, so each half finds its own duplicates; the second half's entries
    // then go to the end of the map without a comparison each, and its category lists
    // behind the first's.
    const ReadFile& big = files[largest];
    const std::string pivot = big.samples[big.order[big.order.size() / 2]]->GetTitle();
    Runs low = all;
    Runs high = all;
    for (size_t f = 0; f < n; ++f) {
        const auto& list = files[f].samples;
        const auto& order = files[f].order;
        const size_t split = static_cast<size_t>(
            std::lower_bound(order.begin(), order.end(), pivot,
                             [&list](std::uint32_t k, const std::string& t) { return list[k]->GetTitle() < t; }) -
            order.begin());
        low.to[f] = split;
        high.from[f] = split;
    }
    struct Half {
        SampleMap map;
        std::unordered_map<std::string, std::vector<const CSample*>> lists;
        Duplicates duplicates;
        std::vector<const CSample*> strays;
    };
    auto mergeHalf = [&files](Half& half, const Runs& runs) {
        SampleMap& map = half.map;
        auto fresh = [&map](const std::string& title) { return map.empty() || std::prev(map.end())->first < title; };
        // Each file's own category list in this half, found once.
        std::vector<std::vector<const CSample*>*> ownList(files.size());
        for (size_t f = 0; f < files.size(); ++f)
            ownList[f] = &half.lists[*files[f].category];
        MergeRuns(files, runs, half.duplicates, fresh, [&](size_t f, std::uint32_t k) {
            std::unique_ptr<CSample> record = std::move(files[f].samples[k]);
            if (record->GetCategory() == *files[f].category) {
                ownList[f]->push_back(record.get());
            } else {
                half.lists[record->GetCategory()].push_back(record.get());
                half.strays.push_back(record.get());
            }
            const std::string& title = record->GetTitle();
            map.emplace_hint(map.end(), title, std::move(record));
        });
    };
    Half first;
    Half second;
    std::thread helper(mergeHalf, std::ref(second), std::cref(high));
    mergeHalf(first, low);
    helper.join();

    m_samples = std::move(first.map);
    while (!second.map.empty())
        m_samples.insert(m_samples.end(), second.map.extract(second.map.begin()));
    for (Half* half : {&first, &second}) {
        for (auto& [category, list] : half->lists) {
            if (list.empty())
                continue;
            std::vector<const CSample*>& members = m_byCategory[category];
            members.insert(members.end(), list.begin(), list.end());
        }
        for (const CSample* sample : half->strays)
            stray(*sample);
        duplicates.insert(duplicates.end(), half->duplicates.begin(), half->duplicates.end());
    }
    Changed();
    // Duplicates in reading order.
    std::sort(duplicates.begin(), duplicates.end());
}
