// tindrel-cli category add / subcategory add: the library's structure changed from the
// command line, with the name dialogs' checks, under the folder's write lock; the
// structure file is replaced atomically and is on disk when the command returns.
#include <ostream>

#include "base/FileLayer.h"
#include "base/TextRules.h"
#include "cli/CliSupport.h"
#include "library/EditRules.h"
#include "library/LibraryStructure.h"
#include "library/SampleLanguage.h"

namespace cli {

namespace {

constexpr int kLockWaitMs = 10000;

const char* const kCategoryHelp =
    "Usage: tindrel-cli category add NAME [--language WORD]\n"
    "\n"
    "Adds a custom category to the library's structure (tindrel-library.txt in the\n"
    "library folder), with the New Category dialog's checks. Its file is made when a\n"
    "sample is first saved into it. WORD is a language of the window's Language list\n"
    "(cpp, java, python, rust, ...).\n";

const char* const kSubcategoryHelp =
    "Usage: tindrel-cli subcategory add CATEGORY NAME\n"
    "\n"
    "Adds a sub-category to a category of the library's structure, with the New\n"
    "Sub-category dialog's checks (fifteen places a category).\n";

// Applies change to the structure the library was read with and writes it; the folder is
// locked from the check to the rename.
template <class Check, class Change>
int ChangeStructure(IKeyStore& store, const std::string& folder, Check check, Change change) {
    fileio::FolderWriteLock lock;
    int cause = fileio::kNone;
    if (!lock.Acquire(folder, kLockWaitMs, cause)) {
        ShowMessage("The library folder is being written by another program; nothing has been changed.\n"
                    "Please try again in a moment.");
        return kExitError;
    }
    Library library(store, folder);
    if (library.doc.Layout().WasDamaged()) {
        ShowMessage(std::string("The file ") + kStructureFileName +
                    " could not be read whole; open the library in the window once to mend it.");
        return kExitError;
    }
    if (const InputCheck refused = check(library.doc); !refused.Ok()) {
        ShowMessage(refused.text, MsgButtons::Ok, refused.icon);
        return kExitError;
    }
    LibraryStructure structure = library.doc.Layout().Structure();
    change(structure);
    if (!fileio::WriteFileAtomically(fileio::PathIn(folder, kStructureFileName), StructureText(structure), cause)) {
        ShowMessage(StrFormat("Unable to write to file %s.\nReason: %s ", kStructureFileName,
                              fileio::CauseText(cause)));
        return kExitError;
    }
    return kExitOk;
}

} // namespace

int CmdCategory(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
    ParsedArgs parsed = ParseArgs("category", args, 1, {}, {"--language"});
    if (parsed.help) {
        io.out << kCategoryHelp;
        return kExitOk;
    }
    if (parsed.positionals.empty())
        throw UsageError{"missing ACTION (the only one is 'add')"};
    if (parsed.positionals[0] != "add")
        throw UsageError{"the only action is 'add'"};
    if (parsed.positionals.size() != 2)
        throw UsageError{parsed.positionals.size() < 2 ? "missing NAME" : "too many arguments"};
    const std::string name(Trim(parsed.positionals[1]));
    std::string word;
    if (auto it = parsed.values.find("--language"); it != parsed.values.end()) {
        SampleLanguage language;
        if (!LanguageFromWord(it->second, language))
            throw UsageError{"unknown language '" + it->second + "'"};
        word = it->second;
    }
    const int status = ChangeStructure(
        store, folder, [&](const CQuorrinDoc& doc) { return CheckNewCategoryName(doc, name); },
        [&](LibraryStructure& structure) {
            StructureCategory& entry = structure[name];
            entry.fileName = CategoryFileName(name);
            entry.language = word;
        });
    if (status == kExitOk)
        io.out << "Added category \"" << name << "\"\n";
    return status;
}

int CmdSubcategory(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder,
                   Streams io) {
    ParsedArgs parsed = ParseArgs("subcategory", args, 1, {}, {});
    if (parsed.help) {
        io.out << kSubcategoryHelp;
        return kExitOk;
    }
    if (parsed.positionals.empty())
        throw UsageError{"missing ACTION (the only one is 'add')"};
    if (parsed.positionals[0] != "add")
        throw UsageError{"the only action is 'add'"};
    if (parsed.positionals.size() != 3)
        throw UsageError{parsed.positionals.size() < 2   ? "missing CATEGORY"
                         : parsed.positionals.size() < 3 ? "missing NAME"
                                                         : "too many arguments"};
    const std::string category(Trim(parsed.positionals[1]));
    const std::string& name = parsed.positionals[2];
    const int status = ChangeStructure(
        store, folder, [&](const CQuorrinDoc& doc) { return CheckNewSubcategoryName(doc, category, name); },
        [&](LibraryStructure& structure) { structure[category].subcategories.push_back(name); });
    if (status == kExitOk)
        io.out << "Added sub-category \"" << name << "\" to \"" << category << "\"\n";
    return status;
}

} // namespace cli
