#include "library/SyncMerge.h"

#include <memory>

#include "base/FileLayer.h"
#include "library/CategoryMerge.h"
#include "library/CategoryReader.h"
#include "library/LibraryStructure.h"
#include "library/StructureMerge.h"

namespace syncmerge {

namespace {

bool IsCategoryFile(const std::string& name) {
    return name.size() > 11 && name.compare(0, 7, "quorrin") == 0 && name.compare(name.size() - 4, 4, ".txt") == 0 &&
           name.find('/') == std::string::npos;
}

// The sub-categories the records in the folder's category files name.
structuremerge::UsedNames UsedSubcategories(const std::string& folder) {
    structuremerge::UsedNames used;
    for (const std::string& name : fileio::FileNamesIn(folder)) {
        if (!IsCategoryFile(name))
            continue;
        std::string bytes;
        if (!ReadWhole(fileio::PathIn(folder, name), bytes))
            continue;
        std::vector<std::unique_ptr<CSample>> records;
        ParseSamples(bytes, records);
        for (const auto& r : records) {
            auto& subs = used[r->GetCategory()];
            if (!r->GetSubcategory().empty())
                subs.insert(r->GetSubcategory());
        }
    }
    return used;
}

FileResult MergeStructure(std::string_view base, std::string_view ours, std::string_view theirs,
                          const std::string& folder) {
    LibraryStructure b, o, t;
    ParseStructure(base, b);
    const StructureReadResult ro = ParseStructure(ours, o);
    const StructureReadResult rt = ParseStructure(theirs, t);
    FileResult result;
    if (ro.foreign || ro.newer || rt.foreign || rt.newer) {
        // Not ours to merge: our version stays as it is.
        result.bytes = std::string(ours);
        result.wholeVersions = true;
        return result;
    }
    if (!ro.whole || !rt.whole) {
        // A cut version: what either side holds counts as added, nothing as deleted.
        b.clear();
        result.wholeVersions = true;
    }
    structuremerge::Result merged = structuremerge::Merge(b, o, t, UsedSubcategories(folder));
    result.bytes = StructureText(merged.merged);
    result.withoutPlace = std::move(merged.withoutPlace);
    return result;
}

} // namespace

bool IsMergedFile(const std::string& name) {
    return IsCategoryFile(name) || name == kStructureFileName;
}

bool ReadWhole(const std::string& path, std::string& out) {
    out.clear();
    fileio::File file;
    int cause = fileio::kNone;
    if (!file.OpenForRead(path, cause) || !file.ReadAll(out, cause)) {
        out.clear();
        return false;
    }
    file.Close(cause);
    return true;
}

FileResult MergeBytes(const std::string& name, std::string_view base, std::string_view ours,
                      std::string_view theirs, const std::string& folder) {
    if (name == kStructureFileName)
        return MergeStructure(base, ours, theirs, folder);
    categorymerge::Result merged = categorymerge::Merge(base, ours, theirs);
    FileResult result;
    result.bytes = std::move(merged.bytes);
    result.keptTwice = std::move(merged.keptTwice);
    result.wholeVersions = merged.wholeVersions;
    return result;
}

int MergeFileInPlace(const std::string& base, const std::string& ours, const std::string& theirs,
                     const std::string& pathName, const std::string& folder, std::string& report) {
    std::string b, o, t;
    for (auto [path, out] : {std::pair{&base, &b}, std::pair{&ours, &o}, std::pair{&theirs, &t}}) {
        if (!ReadWhole(*path, *out)) {
            report = "Unable to read " + *path + " to merge " + pathName + "; nothing was merged.\n";
            return 2;
        }
    }
    const size_t slash = pathName.rfind('/');
    const std::string name = slash == std::string::npos ? pathName : pathName.substr(slash + 1);
    const FileResult merged = MergeBytes(name, b, o, t, folder);
    int cause = fileio::kNone;
    if (merged.bytes != o && !fileio::WriteFileAtomically(ours, merged.bytes, cause)) {
        report = "Unable to write the merge of " + pathName + ": " + fileio::CauseText(cause) +
                 " Nothing was merged.\n";
        return 2;
    }
    for (const std::string& title : merged.keptTwice)
        report += "Kept twice in " + pathName + ": \"" + title + "\" (changed on both sides; correct the duplicate title).\n";
    for (const auto& [category, sub] : merged.withoutPlace)
        report += "No place for sub-category \"" + sub + "\" of " + category + "; its samples stay as load errors.\n";
    if (merged.wholeVersions)
        report += "A version of " + pathName + " could not be read to its end; both versions are kept whole.\n";
    return merged.wholeVersions ? 1 : 0;
}

} // namespace syncmerge
