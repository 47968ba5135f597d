#include "library/StructureMerge.h"

#include <algorithm>

#include "library/Category.h"

namespace structuremerge {
namespace {

bool Has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool Used(const UsedNames& used, const std::string& category, const std::string* subcategory = nullptr) {
    auto it = used.find(category);
    if (it == used.end())
        return false;
    return subcategory == nullptr || it->second.count(*subcategory) > 0;
}

// A field changed on one side takes that change; on both, ours stays.
std::string MergeField(const std::string& base, const std::string& ours, const std::string& theirs) {
    return ours == base ? theirs : ours;
}

std::vector<std::string> MergeSubcategories(const std::string& category, const std::vector<std::string>* base,
                                            const std::vector<std::string>& ours,
                                            const std::vector<std::string>& theirs, const UsedNames& used) {
    static const std::vector<std::string> none;
    const std::vector<std::string>& was = base ? *base : none;
    std::vector<std::string> merged;
    auto keep = [&](const std::string& sub) {
        if (!Has(merged, sub))
            merged.push_back(sub);
    };
    for (const std::string& sub : ours) {
        // Deleted there and still as it was here: gone, unless a record names it.
        if (Has(was, sub) && !Has(theirs, sub) && !Used(used, category, &sub))
            continue;
        keep(sub);
    }
    for (const std::string& sub : theirs) {
        if (Has(ours, sub))
            continue;
        // Deleted here: stays deleted unless a record names it; added there: kept.
        if (Has(was, sub) && !Used(used, category, &sub))
            continue;
        keep(sub);
    }
    return merged;
}

} // namespace

Result Merge(const LibraryStructure& base, const LibraryStructure& ours, const LibraryStructure& theirs,
             const UsedNames& used, const std::function<size_t(const std::string&)>& places) {
    Result result;
    std::set<std::string> names;
    for (const auto* side : {&ours, &theirs})
        for (const auto& [name, entry] : *side)
            names.insert(name);
    for (const std::string& name : names) {
        auto b = base.find(name);
        auto o = ours.find(name);
        auto t = theirs.find(name);
        const StructureCategory* was = b == base.end() ? nullptr : &b->second;
        const bool inOurs = o != ours.end();
        const bool inTheirs = t != theirs.end();
        StructureCategory entry;
        if (inOurs && inTheirs) {
            const StructureCategory empty;
            const StructureCategory& start = was ? *was : empty;
            entry.fileName = MergeField(start.fileName, o->second.fileName, t->second.fileName);
            entry.language = MergeField(start.language, o->second.language, t->second.language);
            entry.subcategories = MergeSubcategories(name, was ? &was->subcategories : nullptr,
                                                     o->second.subcategories, t->second.subcategories, used);
        } else {
            const StructureCategory& kept = inOurs ? o->second : t->second;
            // Deleted on the other side: gone when unchanged on this one and no record
            // names the category or one of its sub-categories.
            if (was && *was == kept && !Used(used, name))
                continue;
            entry = kept;
            if (was && *was == kept) {
                // Kept for the records that name it: only the sub-categories they name.
                std::vector<std::string> subs;
                for (const std::string& sub : entry.subcategories)
                    if (Used(used, name, &sub))
                        subs.push_back(sub);
                entry.subcategories = std::move(subs);
            }
        }
        const size_t room = places ? places(name) : static_cast<size_t>(kSlotCount);
        for (size_t i = room; i < entry.subcategories.size(); ++i)
            result.withoutPlace.emplace_back(name, entry.subcategories[i]);
        if (entry.subcategories.size() > room)
            entry.subcategories.resize(room);
        if ((inOurs && inTheirs) || !entry.subcategories.empty() || !entry.fileName.empty() || !entry.language.empty())
            result.merged.emplace(name, std::move(entry));
    }
    return result;
}

} // namespace structuremerge
