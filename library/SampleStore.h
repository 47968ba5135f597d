// CSampleStore: the library's samples. One map from title to sample (unsigned byte order;
// titles are unique), the samples of each category in the same order, and walks that
// keep their place while the store changes under them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "library/CategoryReader.h"
#include "library/Sample.h"

// Title to sample, unsigned byte order. Each key is its own sample's title, which stays
// where it is as long as the sample is in the map: the store never gives a sample in it
// another title (a new title is a removal and an insertion).
using SampleMap = std::map<std::string_view, std::unique_ptr<CSample>, std::less<>>;

// A sample's place in its file's title order: its position in the file, and whether its
// category field names the file's category.
struct TitlePlace {
    std::uint32_t k = 0;
    bool own = true;
};

// A sample's title as the merge at load compares it: its first sixteen bytes as two
// numbers in the same order (bytes past the end count as zero), which settle most
// comparisons without reaching the title itself.
struct TitleKey {
    std::uint64_t hi = 0;
    std::uint64_t lo = 0;
    std::string_view title;
};

// The samples read from one category file, in file order, with their title order.
struct ReadFile {
    const std::string* category;
    std::vector<std::unique_ptr<CSample>> samples;
    std::vector<TitlePlace> order; // the samples in title order, equal titles in file order
    std::vector<TitleKey> keys;    // their titles, in the same order
    std::vector<RecordSpan> spans; // where each sample's record lies in the file
};

// Makes the file's title order and keys from its samples, which must not change until
// they are merged: best while their titles are still in the cache.
void MakeTitleOrder(ReadFile& file);

// The positions 0..n-1 of list, ordered by where each sample's text lies in memory
// (equal places in list order).
std::vector<std::uint32_t> AddressOrder(const std::vector<const CSample*>& list);

class CSampleStore {
public:
    CSampleStore();

    const SampleMap& Map() const { return m_samples; }
    // Changes with every change of the store; never the same for two states.
    std::uint64_t Version() const { return m_version; }
    size_t Size() const { return m_samples.size(); }
    const CSample* Find(const std::string& title) const;
    // Inserts the sample; false (and the sample dropped) when its title is taken.
    bool Insert(std::unique_ptr<CSample> sample);
    // Removes the sample of that title; false when there is none.
    bool Erase(const std::string& title);
    // Removes the samples of these titles (those it holds) at once: linear however many
    // leave one category.
    void EraseAll(const std::vector<std::string>& titles);
    // Gives the stored sample of that title data's fields, keeping its load-error
    // reason; data may be the stored record itself, changed in place by its holder.
    // False when there is no such sample or data has another title.
    bool Replace(const std::string& title, const CSample& data);

    // The samples whose category field is name, in title order (empty when none).
    const std::vector<const CSample*>& OfCategory(const std::string& name) const;
    // Every sample in title order: the map's records, listed again after each change of
    // the store (for walks that visit all, such as the search, without the map's nodes).
    // Not for callers on several threads at once.
    const std::vector<const CSample*>& InTitleOrder() const;
    // The positions in InTitleOrder's list in the order the samples' texts lie in memory
    // (AddressOrder), made again after each change of the store: a walk over all samples
    // in this order reads memory forward instead of jumping. Not for several threads.
    const std::vector<std::uint32_t>& InMemoryOrder() const;

    // Puts the samples of every file into the store, as inserting them file by file,
    // each file in its own order, would: the first sample read under a title wins. The
    // records of the others stay in their files' lists, and duplicates gets their file
    // and position, in reading order. stray is called for each placed sample whose
    // category field names another category than its file. Linear for files in title
    // order.
    void MergeFiles(std::vector<ReadFile>& files, std::vector<std::pair<size_t, std::uint32_t>>& duplicates,
                    const std::function<void(const CSample&)>& stray);

    // Walks with their own cursors. A cursor remembers the last title it gave and goes on
    // behind it, so it stays correct while the store changes under it.
    struct Cursor {
        std::string last;
        bool started = false;
        bool ended = false; // passed the end: Next keeps returning false until First
        // Where last is in the map, while the map has not changed since (then the next
        // sample is found without a search).
        SampleMap::const_iterator at{};
        std::uint64_t atVersion = 0;
        bool atKnown = false;
    };
    // The store's own records, good until the store next changes; nullptr at the end.
    const CSample* First(Cursor& cursor) const;
    const CSample* Next(Cursor& cursor) const;
    // The record the cursor stands on as the store holds it now; nullptr when that
    // sample has gone since (or the walk has not started or is over).
    const CSample* At(const Cursor& cursor) const;

private:
    void Index(const CSample& sample);
    void Unindex(const CSample& sample);
    void Changed();
    const CSample* StepTo(SampleMap::const_iterator it, Cursor& cursor) const;

    SampleMap m_samples;
    // Changes with every change of the map and of a sample in it; unique in the process,
    // so a cursor can never take another store, or an earlier state of this one, for the
    // state it saw.
    std::uint64_t m_version;
    // The samples of each category (by their category field), in title order, so that a
    // save reaches a category's samples without a walk over the whole library.
    std::unordered_map<std::string, std::vector<const CSample*>> m_byCategory;
    // InTitleOrder's list and the version it was made for (0, which no state has: none).
    mutable std::vector<const CSample*> m_inOrder;
    mutable std::uint64_t m_inOrderVersion = 0;
    // InMemoryOrder's list and its version, in the same way.
    mutable std::vector<std::uint32_t> m_inMemory;
    mutable std::uint64_t m_inMemoryVersion = 0;
};
