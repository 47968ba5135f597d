// The merge of two versions of the library's structure file that were changed apart (two
// copies of the program on one folder, two machines through a sync folder or git): entry
// by entry, against the version both started from. A pure function; the caller reads and
// writes the files.
//
// What it keeps:
//   - a category or sub-category added on either side;
//   - one deleted on one side is deleted, unless the other side changed it (an edit beats
//     a delete) or a record in the folder still names it (the structure is never smaller
//     than what the files use);
//   - a field changed on one side takes that change; changed on both, ours stays;
//   - sub-categories in our order, then theirs' additions in their order; those beyond a
//     category's places are left out and reported, their samples stay in their files as
//     load errors.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "library/LibraryStructure.h"

namespace structuremerge {

// The sub-categories records in the folder name, by category (a category present with an
// empty set: records name the category only).
using UsedNames = std::map<std::string, std::set<std::string>>;

struct Result {
    LibraryStructure merged;
    // (category, sub-category) pairs left out for want of a place.
    std::vector<std::pair<std::string, std::string>> withoutPlace;
};

// places: how many sub-categories a category's entry may list (the places its default
// sub-categories leave); null: every category has all 15.
Result Merge(const LibraryStructure& base, const LibraryStructure& ours, const LibraryStructure& theirs,
             const UsedNames& used, const std::function<size_t(const std::string& category)>& places = {});

} // namespace structuremerge
