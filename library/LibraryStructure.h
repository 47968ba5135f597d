// The library's structure as its folder keeps it, so that the library travels with the
// folder (another machine, another user, a synced or shared folder): the custom
// categories with their files and languages, and the sub-categories the library added to
// any category. Which categories and default sub-categories a user hides stays in that
// user's configuration.
//
// File format, version 1 (the quoting of the configuration file; "\n" line ends):
//   TindrelLibrary 1
//   category "Tools" file "quorrinTools.txt" language "Python"
//   subcategory "Tools" "Sorting"
//   subcategory "C++" "Templates"
//   end
// One line an entry, so that two copies changed apart merge line by line. A category
// line without a file is a default category's. A category's sub-categories stand in the order of their places. The "end" line
// tells a whole file from a cut one.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* kStructureFileName = "tindrel-library.txt";

struct StructureCategory {
    std::string fileName; // empty: a default category
    std::string language; // the Language list's word; empty: none chosen
    std::vector<std::string> subcategories;

    bool operator==(const StructureCategory&) const = default;
};

// By category name.
using LibraryStructure = std::map<std::string, StructureCategory>;

std::string StructureText(const LibraryStructure& structure);

struct StructureReadResult {
    bool foreign = false; // not a structure file of this program (nothing read)
    bool newer = false;   // a later version of the format (nothing read)
    bool whole = false;   // read to its "end" line with every line understood
    int firstBadLine = 0; // the first line not understood (0: none)
};
// Reads what can be read; lines not understood are skipped.
StructureReadResult ParseStructure(std::string_view text, LibraryStructure& out);
