// An import decided before anything is written: where each record goes, which titles
// change, which records are in the library already, which categories and sub-categories
// are to be made, and every warning. The dry run and the window's preview show the plan;
// applying it adds the samples through the document and saves.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "library/Interchange.h"
#include "library/Sample.h"

class CLoadErrorList;
class CQuorrinDoc;

struct ImportOptions {
    std::string category;    // every record into this category ("": each record's own)
    std::string subcategory; // every record into this sub-category ("": each record's own)
};

struct PlannedSample {
    CSample sample;
    std::string language;    // what the source named, for a new category's highlighting
    std::string renamedFrom; // the title the source gave, when it had to change
    std::string file;
    int line = 0;
};

struct PlannedPlace {
    std::string category;
    std::string subcategory; // empty: the category itself is new
    std::string language;
};

struct ImportPlan {
    std::vector<PlannedSample> adds;
    std::vector<std::string> alreadyThere; // titles skipped: the library holds them as they are
    std::vector<PlannedPlace> newPlaces;
    std::vector<InterchangeWarning> warnings;
    // Why nothing at all can be imported ("" when the plan can be applied).
    std::string refusal;

    // What would happen, for the user: counts per category, new categories and
    // sub-categories, renames, samples already there, warnings; one item a line.
    std::string Describe() const;
};

// Plans the records read from the source (with the warnings met while reading them).
ImportPlan PlanImport(const CQuorrinDoc& doc, const CLoadErrorList& loadErrors, const InterchangeResult& read,
                      const ImportOptions& options);

// Makes a category (and sub-category, when given) the import needs, as the window's New
// Category and New Sub-category commands do; a new custom category is highlighted in the
// language its samples named (a VS Code id or a language word), when Tindrel knows it. The
// one place where an import changes the library's structure, which the next save writes.
bool EnsureCategory(CQuorrinDoc& doc, const std::string& category, const std::string& subcategory,
                    const std::string& language = {});

// How far an import got.
struct ImportApplied {
    size_t samples = 0;                  // imported and on disk
    std::vector<std::string> categories; // those whose imported samples are all on disk
    std::vector<std::string> left;       // those of which nothing was imported (cancelled)
    bool cancelled = false;
};

// Told before each category is imported: how many samples are, of how many; false stops
// the import there.
using ImportProgress = std::function<bool(size_t done, size_t total)>;

// Applies a plan without a refusal: the places, then the samples, then one save (under
// the folder's write lock). False when the save did not write everything.
// With progress the plan is applied category by category, each saved before the next is
// begun: a cancel leaves the categories done imported and on disk, and nothing of the
// others in the library (not even their new places); false then too.
bool ApplyImport(CQuorrinDoc& doc, const ImportPlan& plan, const ImportProgress& progress = {},
                 ImportApplied* applied = nullptr);

// What a cancelled import did, for the user: the categories imported (saved), those left.
std::string ImportCancelledText(const ImportApplied& applied);
// What an import that ran to its end did: "Imported 3 samples."
std::string ImportedText(const ImportPlan& plan);

// The category a record goes to when no --category is given: its own, else the one its
// language picks, else "Imported".
std::string ImportCategoryOf(const InterchangeRecord& record);
