// The merge of one library file as git's merge driver and the sync run it: a category
// file record by record, the structure file entry by entry. Never a conflict marker.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace syncmerge {

// True for the files merged here: the category files (quorrin*.txt) and the structure file.
bool IsMergedFile(const std::string& name);

struct FileResult {
    std::string bytes;
    // The samples kept twice (category files).
    std::vector<std::string> keptTwice;
    // (category, sub-category) pairs the structure had no place for.
    std::vector<std::pair<std::string, std::string>> withoutPlace;
    // A version could not be read to its end (a category file: both kept whole; the
    // structure file: ours kept when theirs is not a structure file of this program).
    bool wholeVersions = false;
};

// name: the file's name in the library folder; folder: where the records that name
// sub-categories are read (for the structure file).
FileResult MergeBytes(const std::string& name, std::string_view base, std::string_view ours,
                      std::string_view theirs, const std::string& folder);

// git's merge driver: reads the three files, merges them as the file at pathName, and
// replaces ours with the result atomically. Returns 0 for a clean merge, 1 when a version
// could not be read to its end (the result still holds everything), 2 when a file could
// not be read or the result not written (ours is then as it was). report tells the
// samples kept twice and any failure.
int MergeFileInPlace(const std::string& base, const std::string& ours, const std::string& theirs,
                     const std::string& pathName, const std::string& folder, std::string& report);

// Reads a whole file through the file layer; false (out empty) when it cannot.
bool ReadWhole(const std::string& path, std::string& out);

} // namespace syncmerge
