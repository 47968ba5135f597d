#include "library/LibraryPresence.h"

#include "base/FileLayer.h"
#include "library/ConflictCopy.h"
#include "library/LibraryStructure.h"

namespace {

bool IsCategoryFileName(const std::string& name) {
    const std::string prefix = "quorrin", suffix = ".txt";
    return name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace

bool HoldsLibrary(const std::string& folder) {
    for (const std::string& name : fileio::FileNamesIn(folder)) {
        const std::string original = ConflictCopyOriginal(name);
        const std::string& base = original.empty() ? name : original;
        if (base == kStructureFileName || IsCategoryFileName(base))
            return true;
    }
    return false;
}
