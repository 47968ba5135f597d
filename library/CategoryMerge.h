// The three-way merge of one category file's bytes, record by record, as a sync of two
// copies of the library needs it: the common ancestor, our version and their version in,
// one file out. The record merge's rules decide (a change on one side is taken, a record
// changed on both sides is kept twice, an edit beats a delete); a version that cannot be
// read to its end keeps both whole versions. The result never holds a conflict marker:
// a record kept twice is ours in place and theirs after it, a duplicate title that the
// load shows as a load error for the user to correct.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace categorymerge {

struct Result {
    std::string bytes;
    // The titles whose records stand twice in the result because both sides changed
    // them (or added them differently), in order.
    std::vector<std::string> keptTwice;
    // Ours or theirs could not be read to its end: bytes holds both versions whole.
    bool wholeVersions = false;
};

// base may be empty (a file added on both sides).
Result Merge(std::string_view base, std::string_view ours, std::string_view theirs);

} // namespace categorymerge
