// The title merge at load: the samples of every category file go into the store at once.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>

#include "library/SampleStore.h"

namespace {

using Duplicates = std::vector<std::pair<size_t, std::uint32_t>>;

// The part of each file's title order to merge: positions from[f] up to to[f].
struct Runs {
    std::vector<size_t> from;
    std::vector<size_t> to;
};

// The title's key: its first sixteen bytes, high byte first.
TitleKey KeyOf(std::string_view title) {
    unsigned char bytes[16] = {};
    std::memcpy(bytes, title.data(), std::min<size_t>(title.size(), 16));
    std::uint64_t part[2] = {0, 0};
    for (size_t i = 0; i < 16; ++i)
        part[i / 8] = part[i / 8] << 8 | bytes[i];
    return TitleKey{part[0], part[1], title};
}

// Title order by keys (below zero: a first): the titles themselves are compared only
// where the keys agree.
int KeyCompare(const TitleKey& a, const TitleKey& b) {
    if (a.hi != b.hi)
        return a.hi < b.hi ? -1 : 1;
    if (a.lo != b.lo)
        return a.lo < b.lo ? -1 : 1;
    return a.title.compare(b.title);
}

bool KeyBefore(const TitleKey& a, const TitleKey& b) {
    return KeyCompare(a, b) < 0;
}

// Merges the runs of the files in title order, equal titles in file order (so the first
// read under a title comes first), and hands each to take(f, j) (j its place in the
// file's order) when fresh(key) says its title is new to the map so far (then take
// places it in the map), or to duplicates. The merge reads only the files' key lists,
// which lie in order in memory, and a title itself only where two keys begin alike.
template <class Fresh, class Take>
void MergeRuns(std::vector<ReadFile>& files, Runs runs, Duplicates& duplicates, Fresh&& fresh, Take&& take) {
    const size_t n = files.size();
    std::vector<size_t>& next = runs.from;
    auto head = [&](size_t f) -> const TitleKey& { return files[f].keys[next[f]]; };
    // A heap of files by the title at their head, the smallest on top; on equal titles
    // the earlier file first.
    auto later = [&](size_t a, size_t b) {
        const int c = KeyCompare(head(a), head(b));
        return c != 0 ? c > 0 : a > b;
    };
    std::vector<size_t> heap;
    for (size_t f = 0; f < n; ++f) {
        if (next[f] < runs.to[f])
            heap.push_back(f);
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
        const size_t j = next[f]++;
        if (fresh(files[f].keys[j]))
            take(f, j);
        else
            duplicates.emplace_back(f, files[f].order[j].k);
        if (next[f] < runs.to[f]) {
#if defined(__GNUC__)
            // A title further on is asked for now, in case two keys begin alike there.
            if (next[f] + 2 < runs.to[f])
                __builtin_prefetch(files[f].keys[next[f] + 2].title.data());
#endif
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

void MakeTitleOrder(ReadFile& file) {
    const auto& list = file.samples;
    const size_t n = list.size();
    file.order.resize(n);
    file.keys.resize(n);
    for (std::uint32_t k = 0; k < n; ++k) {
        file.order[k] = TitlePlace{k, list[k]->GetCategory() == *file.category};
        file.keys[k] = KeyOf(list[k]->GetTitle());
    }
    // A file the program wrote is in title order already.
    if (std::is_sorted(file.keys.begin(), file.keys.end(), KeyBefore))
        return;
    std::vector<TitleKey> inFileOrder = file.keys;
    std::stable_sort(file.order.begin(), file.order.end(), [&inFileOrder](const TitlePlace& a, const TitlePlace& b) {
        return KeyBefore(inFileOrder[a.k], inFileOrder[b.k]);
    });
    for (size_t j = 0; j < n; ++j)
        file.keys[j] = inFileOrder[file.order[j].k];
}

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
        auto fresh = [&](const TitleKey& key) {
            at = m_samples.end();
            if (m_samples.empty() || std::prev(at)->first < key.title)
                return true;
            at = m_samples.lower_bound(key.title);
            return at == m_samples.end() || at->first != key.title;
        };
        MergeRuns(files, all, duplicates, fresh, [&](size_t f, size_t j) {
            const TitlePlace place = files[f].order[j];
            if (!place.own)
                stray(*files[f].samples[place.k]);
            std::unique_ptr<CSample> record = std::move(files[f].samples[place.k]);
            // A title that goes to the end of the map goes to the end of its category's
            // list too.
            if (place.own && at == m_samples.end())
                ownList[f]->push_back(record.get());
            else
                Index(*record);
            m_samples.emplace_hint(at, files[f].keys[j].title, std::move(record));
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
    const std::string_view pivot = big.keys[big.keys.size() / 2].title;
    Runs low = all;
    Runs high = all;
    for (size_t f = 0; f < n; ++f) {
        const auto& keys = files[f].keys;
        const size_t split = static_cast<size_t>(
            std::lower_bound(keys.begin(), keys.end(), pivot,
                             [](const TitleKey& key, std::string_view t) { return key.title < t; }) -
            keys.begin());
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
        // The titles come in order: one is new when it differs from the last one taken.
        const TitleKey* last = nullptr;
        auto fresh = [&last](const TitleKey& key) { return !last || KeyCompare(*last, key) != 0; };
        // Each file's own category list in this half, found once.
        std::vector<std::vector<const CSample*>*> ownList(files.size());
        for (size_t f = 0; f < files.size(); ++f)
            ownList[f] = &half.lists[*files[f].category];
        MergeRuns(files, runs, half.duplicates, fresh, [&](size_t f, size_t j) {
            const TitlePlace place = files[f].order[j];
            std::unique_ptr<CSample> record = std::move(files[f].samples[place.k]);
            if (place.own) {
                ownList[f]->push_back(record.get());
            } else {
                half.lists[record->GetCategory()].push_back(record.get());
                half.strays.push_back(record.get());
            }
            last = &files[f].keys[j];
            map.emplace_hint(map.end(), last->title, std::move(record));
        });
    };
    Half first;
    Half second;
    std::thread helper(mergeHalf, std::ref(second), std::cref(high));
    mergeHalf(first, low);
    helper.join();

    m_samples = std::move(first.map);
    // Each entry is compared with the last one on its way in: the titles a few entries
    // on are asked for ahead.
    auto ahead = second.map.begin();
    for (int i = 0; i < 4 && ahead != second.map.end(); ++i)
        ++ahead;
    while (!second.map.empty()) {
#if defined(__GNUC__)
        if (ahead != second.map.end()) {
            __builtin_prefetch(ahead->first.data());
            ++ahead;
        }
#endif
        m_samples.insert(m_samples.end(), second.map.extract(second.map.begin()));
    }
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
