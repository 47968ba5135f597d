// tindrel-cli add: the wizard's checks, then the sample appended to its category file.
#include <ostream>

#include "base/FileLayer.h"
#include "base/TextRules.h"
#include "cli/CliSupport.h"
#include "library/AddSampleRules.h"

namespace cli {

namespace {

// How long an add waits for another writer of the folder.
constexpr int kLockWaitMs = 10000;

const char* const kAddHelp =
    "Usage: tindrel-cli add --title T --category C [--subcategory S] [--keywords K]\n"
    "                       [--comments-file F] [--text-file F|-]\n"
    "\n"
    "Adds a sample after the checks of the Add Sample wizard: a title that no sample\n"
    "holds, a displayed category, a shown sub-category of it (or none). Keywords are\n"
    "separated by commas. Comments and text are read from files ('-' is standard\n"
    "input); their LF line ends become CR LF. The sample is appended to its category's\n"
    "file, which is replaced atomically; every byte already in it stays, and no other\n"
    "file is touched. A category file that could not be read to its end is refused.\n";

} // namespace

int CmdAdd(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
    ParsedArgs parsed =
        ParseArgs("add", args, 1, {},
                  {"--title", "--category", "--subcategory", "--keywords", "--comments-file", "--text-file"});
    if (parsed.help) {
        io.out << kAddHelp;
        return kExitOk;
    }
    if (!parsed.positionals.empty())
        throw UsageError{"add takes options only; unexpected argument '" + parsed.positionals[0] + "'"};
    auto value = [&](const char* name) {
        auto it = parsed.values.find(name);
        return it == parsed.values.end() ? std::string() : it->second;
    };
    for (const char* required : {"--title", "--category"})
        if (!parsed.values.count(required))
            throw UsageError{std::string("missing ") + required};
    if (value("--comments-file") == "-" && value("--text-file") == "-")
        throw UsageError{"only one of --comments-file and --text-file can read standard input"};

    CSample sample;
    sample.SetTitle(std::string(Trim(value("--title"))));
    sample.SetCategory(value("--category"));
    sample.SetSubcategory(value("--subcategory"));
    sample.SetKeywords(value("--keywords"));
    std::string comments;
    std::string text;
    if (parsed.values.count("--comments-file") && !ReadInput(value("--comments-file"), io.in, comments))
        return kExitError;
    if (parsed.values.count("--text-file") && !ReadInput(value("--text-file"), io.in, text))
        return kExitError;
    sample.SetComments(ToLibraryLineEnds(comments));
    sample.SetText(ToLibraryLineEnds(text));

    // From the checks to the rename nobody else writes the folder: two adds of one title
    // cannot both pass, and the window's saves wait for the add (and then keep it).
    fileio::FolderWriteLock lock;
    int cause = fileio::kNone;
    if (!lock.Acquire(folder, kLockWaitMs, cause)) {
        ShowMessage("The library folder is being written by another program; nothing has been added.\n"
                    "Please try again in a moment.");
        return kExitError;
    }
    Library library(store, folder);
    if (const InputCheck check = CheckNewSample(library.doc, library.errors, sample); !check.Ok()) {
        ShowMessage(check.text, MsgButtons::Ok, check.icon);
        return kExitError;
    }
    // Appended to what the file holds now (WriteSample without EmptyFile), under the
    // file's lock, and the file replaced atomically: every byte already in it stays.
    CCategory target = *library.doc.PeekCategory(sample.GetCategory());
    if (!target.OpenFile())
        return kExitError;
    const bool written = target.WriteSample(sample);
    if (!target.CloseFile() || !written)
        return kExitError;
    io.out << "Added sample \"" << sample.GetTitle() << "\" to " << sample.GetCategory()
           << (sample.GetSubcategory().empty() ? "" : " / " + sample.GetSubcategory()) << ".\n";
    return kExitOk;
}

} // namespace cli
