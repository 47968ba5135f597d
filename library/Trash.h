// The library's trash: what the user deleted, kept in the library folder until the user
// restores or empties it. The file is in the category file format, so the reader and the
// writer are the category files' own: each deletion is a header record (an empty title,
// the first keyword kHeaderKeyword) followed by the deleted samples' records, oldest
// deletion first.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "library/Sample.h"

namespace trash {

constexpr const char* kFileName = "tindrel-trash.txt";
constexpr const char* kHeaderKeyword = "tindrel-deletion";

enum class Kind { Sample, Subcategory, Category };

struct Deletion {
    Kind kind = Kind::Sample;
    // Microseconds since 1970, unique in the file and growing: the deletion's name and time.
    std::int64_t id = 0;
    std::string category;
    std::string subcategory;                // the deleted sub-category's name
    std::string language;                   // a deleted category's language word
    std::vector<std::string> subcategories; // a deleted category's sub-categories
    std::vector<CSample> samples;
};

// What the deletion was, for the user: "Sample "X"", "Sub-category "S" of "C" (2 samples)".
std::string Describe(const Deletion& deletion);

// The deletions in the trash file of folder, oldest first (none when there is no file).
// False, with the reason in problem, when the file could not be read to its end; what
// could be read is in out.
bool Read(const std::string& folder, std::vector<Deletion>& out, std::string& problem);

// Writes deletion at the end of the trash, every byte already there kept, and gives it its
// id. False, with the reason, when a sample cannot be stored in the format or the file
// could not be replaced (the old one is then untouched). The caller holds the folder's
// write lock.
bool Append(const std::string& folder, Deletion& deletion, std::string& problem);

// Removes the deletions of those ids; every other byte of the file (also a part that could
// not be read) stays. The caller holds the folder's write lock.
bool Remove(const std::string& folder, const std::set<std::int64_t>& ids, std::string& problem);

// The ids of deletions made before cutoff (microseconds since 1970).
std::set<std::int64_t> OlderThan(const std::vector<Deletion>& deletions, std::int64_t cutoff);

std::int64_t NowMicroseconds();

} // namespace trash
