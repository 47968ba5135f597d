// The title merge at load: the samples of every category file go into the store at once.
#include <algorithm>
#include <cstdint>

#include "library/SampleStore.h"

void CSampleStore::MergeFiles(std::vector<ReadFile>& files, std::vector<std::pair<size_t, std::uint32_t>>& duplicates,
                              const std::function<void(const CSample&)>& stray) {
    // The result is that of inserting the samples file by file, each file in its own
    // order, where the first sample read under a title wins. The files' lists, each in
    // title order (a file the program wrote is in that order already), are merged, and
    // equal titles come out in reading order, so each new title goes to the end of the
    // map without a search.
    const size_t n = files.size();
    auto order = [&files](size_t f) -> const std::vector<std::uint32_t>& { return files[f].order; };
    std::vector<size_t> next(n, 0);
    // Each file's own category list, found once: most samples go there.
    std::vector<std::vector<const CSample*>*> ownList(n);
    for (size_t f = 0; f < n; ++f) {
        ownList[f] = &m_byCategory[*files[f].category];
        ownList[f]->reserve(ownList[f]->size() + files[f].samples.size());
    }
    auto head = [&](size_t f) -> const std::string& {
        return files[f].samples[order(f)[next[f]]]->GetTitle();
    };
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
        if (next[f] + 2 < order(f).size()) {
            const char* record = reinterpret_cast<const char*>(files[f].samples[order(f)[next[f] + 2]].get());
            __builtin_prefetch(record);
            __builtin_prefetch(record + 64);
        }
        if (next[f] + 1 < order(f).size())
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
    std::vector<size_t> heap(n);
    for (size_t f = 0; f < n; ++f) {
        takePrefix(f);
        heap[f] = f;
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
    for (size_t i = n / 2; i-- > 0;)
        siftDown(i);

    while (!heap.empty()) {
        const size_t f = heap.front();
        const std::uint32_t k = order(f)[next[f]++];
        CSample& sample = *files[f].samples[k];
        const std::string& title = sample.GetTitle();
        auto at = m_samples.end();
        bool fresh = m_samples.empty() || std::prev(at)->first < title;
        if (!fresh) {
            at = m_samples.lower_bound(title);
            fresh = at == m_samples.end() || at->first != title;
        }
        if (fresh) {
            const bool own = sample.GetCategory() == *files[f].category;
            if (!own)
                stray(sample);
            std::string key = title;
            std::unique_ptr<CSample> record = std::move(files[f].samples[k]);
            // A title that goes to the end of the map goes to the end of its category's
            // list too.
            if (own && at == m_samples.end())
                ownList[f]->push_back(record.get());
            else
                Index(*record);
            m_samples.emplace_hint(at, std::move(key), std::move(record));
        } else {
            duplicates.emplace_back(f, k);
        }
        if (next[f] < order(f).size()) {
            takePrefix(f);
        } else {
            heap.front() = heap.back();
            heap.pop_back();
        }
        if (!heap.empty())
            siftDown(0);
    }
    Changed();
    // Duplicates in reading order.
    std::sort(duplicates.begin(), duplicates.end());
}
