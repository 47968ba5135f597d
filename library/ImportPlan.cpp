#include "library/ImportPlan.h"

#include <memory>
#include <set>

#include "base/TextRules.h"
#include "library/Category.h"
#include "library/CategoryReader.h"
#include "library/CategoryWriter.h"
#include "library/ContentCheck.h"
#include "library/EditRules.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"
#include "library/SampleLanguage.h"
#include "library/VsCodeFormat.h"

namespace {

bool SameFields(const CSample& a, const CSample& b) {
    return a.GetCategory() == b.GetCategory() && a.GetSubcategory() == b.GetSubcategory() &&
           a.Keywords() == b.Keywords() && a.GetComments() == b.GetComments() && a.GetText() == b.GetText();
}

// The sample as the library will read it back from its category file (the last line of
// the comments and the text gets its line end): the form compared with the samples there.
bool ReadBack(CSample& sample) {
    std::string bytes;
    if (!AppendSampleBytes(bytes, sample))
        return false;
    std::vector<std::unique_ptr<CSample>> read;
    if (ParseSamples(bytes, read) != nullptr || read.size() != 1)
        return false;
    sample = *read[0];
    return true;
}

// Where the plan stands while it is made: the titles and places it has taken so far.
struct Planner {
    const CQuorrinDoc& doc;
    std::set<std::string> loadErrorTitles;
    std::map<std::string, const CSample*> plannedTitles;
    std::map<std::string, std::set<std::string>> newSubcategories; // by category
    std::set<std::string> newCategories;
    std::set<std::string> refusedCategories;
    ImportPlan& plan;

    const CSample* Holder(const std::string& title) const {
        if (const CSample* s = doc.PeekSample(title))
            return s;
        auto it = plannedTitles.find(title);
        return it == plannedTitles.end() ? nullptr : it->second;
    }

    // "" when the place can take samples (made if need be); else why not.
    std::string Place(const std::string& category, const std::string& subcategory, const std::string& language) {
        const CCategory* record = doc.PeekCategory(category);
        if (!record && !newCategories.count(category)) {
            if (refusedCategories.count(category))
                return "the category \"" + category + "\" cannot be made";
            const InputCheck check = CheckNewCategoryName(doc, category);
            if (!check.Ok()) {
                refusedCategories.insert(category);
                return "a category \"" + category + "\" cannot be made: " + check.text;
            }
            newCategories.insert(category);
            plan.newPlaces.push_back({category, "", language});
        }
        if (record && !record->IsDisplayed())
            return "the category \"" + category + "\" is hidden";
        if (subcategory.empty())
            return {};
        if (record) {
            const int slot = record->FindSlot(subcategory);
            if (slot >= 0)
                return record->Slot(slot).inUse ? "" : "the sub-category \"" + subcategory + "\" is hidden";
        }
        if (newSubcategories[category].insert(subcategory).second) {
            if (std::string why = CheckFieldContent("sub-category", subcategory); !why.empty()) {
                newSubcategories[category].erase(subcategory);
                return why;
            }
            plan.newPlaces.push_back({category, subcategory, language});
        }
        return {};
    }
};

void Line(std::string& out, const std::string& text) {
    out += text;
    out += '\n';
}

} // namespace

std::string ImportCategoryOf(const InterchangeRecord& record) {
    if (!record.category.empty())
        return record.category;
    if (!record.language.empty())
        return vscode::CategoryForLanguage(record.language);
    return "Imported";
}

ImportPlan PlanImport(const CQuorrinDoc& doc, const CLoadErrorList& loadErrors, const InterchangeResult& read,
                      const ImportOptions& options) {
    ImportPlan plan;
    plan.warnings = read.warnings;
    Planner planner{doc, {}, {}, {}, {}, {}, plan};
    loadErrors.ForEach([&](const CSample& s) { planner.loadErrorTitles.insert(s.GetTitle()); });
    plan.adds.reserve(read.records.size());
    for (const InterchangeRecord& record : read.records) {
        PlannedSample planned;
        planned.file = record.file;
        planned.line = record.line;
        planned.language = record.language;
        CSample& s = planned.sample;
        s.SetTitle(std::string(Trim(record.title)));
        s.SetCategory(options.category.empty() ? ImportCategoryOf(record) : options.category);
        s.SetSubcategory(options.subcategory.empty() ? record.subcategory : options.subcategory);
        std::string keywordWarning;
        std::string joined;
        for (const auto& k : interchange::LibraryKeywords(record.keywords, keywordWarning))
            joined += (joined.empty() ? "" : ", ") + k;
        s.SetKeywords(joined);
        s.SetComments(record.comments);
        s.SetText(record.text);
        auto warn = [&](const std::string& text) { plan.warnings.push_back({record.file, record.line, text}); };
        if (!keywordWarning.empty())
            warn("\"" + s.GetTitle() + "\": " + keywordWarning);
        if (s.GetTitle().empty()) {
            warn("a sample without a title is not imported");
            continue;
        }
        if (std::string why = CheckSampleContent(s); !why.empty()) {
            warn("\"" + s.GetTitle() + "\" is not imported: " + why);
            continue;
        }
        if (!ReadBack(s)) {
            warn("\"" + s.GetTitle() + "\" is not imported: the category file cannot hold it");
            continue;
        }
        // The first free title of "T", "T (2)", "T (3)"...; a sample holding one of them
        // with the same fields is this record, imported before.
        const std::string given = s.GetTitle();
        bool there = false;
        for (int n = 1;; ++n) {
            const std::string title = n == 1 ? given : given + " (" + std::to_string(n) + ")";
            const CSample* holder = planner.Holder(title);
            if (holder && SameFields(*holder, s)) {
                there = true;
                s.SetTitle(title);
                break;
            }
            if (!holder && !planner.loadErrorTitles.count(title)) {
                s.SetTitle(title);
                break;
            }
        }
        if (there) {
            plan.alreadyThere.push_back(s.GetTitle());
            continue;
        }
        if (s.GetTitle() != given)
            planned.renamedFrom = given;
        if (std::string why = planner.Place(s.GetCategory(), s.GetSubcategory(), record.language); !why.empty()) {
            warn("\"" + given + "\" is not imported: " + why);
            continue;
        }
        plan.adds.push_back(std::move(planned));
        planner.plannedTitles[plan.adds.back().sample.GetTitle()] = &plan.adds.back().sample;
    }
    // Room for the new sub-categories: an existing category has its free places, a new one
    // fifteen.
    for (const auto& [category, names] : planner.newSubcategories) {
        const CCategory* record = doc.PeekCategory(category);
        int room = kSlotCount;
        if (record) {
            room = 0;
            for (int slot = record->IsCustom() ? 0 : kDefaultSlotCount; slot < kSlotCount; ++slot)
                room += record->Slot(slot).name.empty() ? 1 : 0;
        }
        if (static_cast<int>(names.size()) > room)
            plan.refusal += "The category \"" + category + "\" would need " + std::to_string(names.size()) +
                            " new sub-categories but has room for " + std::to_string(room) +
                            " (a category has 15 places); nothing has been imported.\n";
    }
    return plan;
}

std::string ImportPlan::Describe() const {
    std::string out;
    std::map<std::string, int> counts;
    for (const auto& a : adds)
        ++counts[a.sample.GetCategory()];
    Line(out, CountOf(adds.size(), "sample", "samples") + " to import, " + std::to_string(alreadyThere.size()) +
                  " already in the library, " + CountOf(warnings.size(), "warning", "warnings") + ".");
    for (const auto& [category, n] : counts)
        Line(out, "  " + category + ": " + std::to_string(n));
    for (const auto& p : newPlaces)
        Line(out, p.subcategory.empty() ? "New category \"" + p.category + "\""
                                        : "New sub-category \"" + p.subcategory + "\" in \"" + p.category + "\"");
    for (const auto& a : adds)
        if (!a.renamedFrom.empty())
            Line(out, "Renamed: \"" + a.renamedFrom + "\" to \"" + a.sample.GetTitle() + "\" (the title is taken)");
    for (const auto& t : alreadyThere)
        Line(out, "Already there: \"" + t + "\"");
    for (const auto& w : warnings)
        Line(out, "Warning: " + w.Describe());
    if (!refusal.empty())
        out += refusal;
    return out;
}

bool EnsureCategory(CQuorrinDoc& doc, const std::string& category, const std::string& subcategory,
                    const std::string& language) {
    if (!doc.PeekCategory(category)) {
        if (!doc.AddCategory(std::make_unique<CCategory>(category)))
            return false;
        std::string word = vscode::LanguageWordFor(language);
        SampleLanguage known;
        if (word.empty() && LanguageFromWord(language, known))
            word = language;
        if (!word.empty())
            doc.SetCategoryLanguage(category, word);
    }
    if (subcategory.empty())
        return true;
    CCategory record;
    if (!doc.FindCategory(category, record))
        return false;
    if (record.FindSlot(subcategory) >= 0)
        return true;
    const int slot = record.FreeSlot();
    if (slot < 0)
        return false;
    record.Slot(slot) = SubcategorySlot{subcategory, true, true};
    doc.UpdateCategory(category, record);
    doc.AddCustomSubcategoryToConfig(category, subcategory);
    return true;
}

bool ApplyImport(CQuorrinDoc& doc, const ImportPlan& plan, const ImportProgress& progress,
                 ImportApplied* applied) {
    ImportApplied ignored;
    ImportApplied& result = applied ? *applied : ignored;
    if (!plan.refusal.empty())
        return false;
    // The samples by category, in the order the plan met the categories.
    std::vector<std::string> order;
    std::map<std::string, std::vector<const CSample*>> samples;
    for (const auto& add : plan.adds) {
        auto& list = samples[add.sample.GetCategory()];
        if (list.empty())
            order.push_back(add.sample.GetCategory());
        list.push_back(&add.sample);
    }
    for (const auto& place : plan.newPlaces)
        if (!samples.count(place.category)) {
            order.push_back(place.category);
            samples[place.category];
        }
    size_t done = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        const std::string& category = order[i];
        if (progress && !progress(done, plan.adds.size())) {
            result.cancelled = true;
            result.left.assign(order.begin() + static_cast<std::ptrdiff_t>(i), order.end());
            return false;
        }
        for (const auto& place : plan.newPlaces)
            if (place.category == category &&
                !EnsureCategory(doc, place.category, place.subcategory, place.language))
                return false;
        for (const CSample* s : samples[category])
            doc.AddSample(std::make_unique<CSample>(*s));
        if (progress && !doc.OnSaveDocument())
            return false;
        done += samples[category].size();
        if (progress) {
            result.samples = done;
            result.categories.push_back(category);
        }
    }
    if (progress)
        return true;
    if (!doc.OnSaveDocument())
        return false;
    result.samples = done;
    result.categories = order;
    return true;
}

std::string ImportedText(const ImportPlan& plan) {
    return "Imported " + CountOf(plan.adds.size(), "sample", "samples") + ".";
}

std::string ImportCancelledText(const ImportApplied& applied) {
    auto names = [](const std::vector<std::string>& list) {
        std::string out;
        for (size_t i = 0; i < list.size(); ++i)
            out += (i == 0 ? "\"" : i + 1 == list.size() ? " and \"" : ", \"") + list[i] + "\"";
        return out;
    };
    if (applied.categories.empty())
        return "The import was cancelled before anything was imported; the library is as it was.";
    return "The import was cancelled. " + CountOf(applied.samples, "sample was", "samples were") + " imported into " +
           names(applied.categories) + " and are saved; nothing was imported into " + names(applied.left) +
           ".\nImporting the same files again brings in the rest: the samples imported already are skipped.";
}
