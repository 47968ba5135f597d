// The record merge: where the library's version of one category file meets the version
// another program wrote (an editor, the command-line tool, a sync client, a second
// machine). A pure function of three versions of each record, identified by title:
//   base   the record as the file held it when this side last read or wrote it;
//   ours   the library's sample of that title, the window's pending changes included;
//   theirs the records read from the file now, in file order, with how that read ended.
// It returns decisions; the document applies them. A read that stopped early removes
// nothing; a record changed on both sides is kept twice; an edit beats a delete.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "library/Sample.h"

namespace recordmerge {

// How the read of their version ended.
enum class ReadEnd { Complete, StoppedEarly };

// Where the load would place a record found in this category's file.
enum class Placement {
    Here,      // its category is this file's category, with a place in the tree
    Elsewhere, // another category that exists, with a place in the tree
    Nowhere    // an unknown category or sub-category: a load error in this file
};

// What this side knows, asked title by title. Every lookup may return nullptr.
struct Ours {
    // The file's category.
    std::string category;
    // The record as the file held it at the last read or write; nullptr when it did not
    // hold that title.
    std::function<const CSample*(const std::string& title)> base;
    // The library's sample of that title, in whatever category; nullptr when none.
    std::function<const CSample*(const std::string& title)> sample;
    // True when a record of theirs is byte for byte one the file keeps for this side
    // already (a load error, a sample waiting to move): nothing to decide.
    std::function<bool(size_t theirIndex)> kept;
    // Where the load would place a record of theirs.
    std::function<Placement(const CSample& record)> place;
    // The titles this side holds in the file's category or remembers the file holding
    // (every title base or sample may answer for), each once.
    std::vector<std::string> titles;
};

enum class Action {
    // For a record of theirs:
    Same,         // already as this side holds it (or kept already): nothing to do
    TakeTheirs,   // the library takes their version (added, changed, or moved to its category)
    KeepTwice,    // ours stays in place; theirs stays in the file as a duplicate title
    KeepUnplaced, // theirs has no place in the tree: kept in the file as a load error,
                  // and the library's sample of that title (unchanged here) leaves it
    // For a title of ours that their version does not hold:
    Keep,         // ours stays and is written back
    Delete        // they deleted it, and it is unchanged here
};

struct Decision {
    Action action;
    std::string title;
    // The record of theirs (position in their list), or npos for a title of ours.
    size_t their = npos;
    // An edit on one side beat a delete on the other (the user is told).
    bool editBeatDelete = false;
    static constexpr size_t npos = static_cast<size_t>(-1);
};

// True when the two samples hold the same six fields.
bool SameFields(const CSample& a, const CSample& b);

// The decisions for one category file: one for each record of theirs, in file order,
// then one for each title of ours that theirs does not hold, in the order of
// ours.titles.
std::vector<Decision> Merge(const Ours& ours, const std::vector<const CSample*>& theirs, ReadEnd end);

} // namespace recordmerge
