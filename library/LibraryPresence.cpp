#include "library/LibraryPresence.h"

#include <string_view>

#include "base/FileLayer.h"
#include "library/ConflictCopy.h"
#include "library/LibraryStructure.h"

std::string CategoryNameFromFileName(const std::string& fileName) {
    constexpr std::string_view prefix = "quorrin", suffix = ".txt";
    if (fileName.size() <= prefix.size() + suffix.size() || fileName.compare(0, prefix.size(), prefix) != 0 ||
        fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) != 0)
        return std::string();
    return fileName.substr(prefix.size(), fileName.size() - prefix.size() - suffix.size());
}

bool HoldsLibrary(const std::string& folder) {
    for (const std::string& name : fileio::FileNamesIn(folder)) {
        const std::string original = ConflictCopyOriginal(name);
        const std::string& base = original.empty() ? name : original;
        if (base == kStructureFileName || !CategoryNameFromFileName(base).empty())
            return true;
    }
    return false;
}
