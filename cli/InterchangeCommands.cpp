// tindrel-cli import and export: samples from other programs' files into the library, and
// the library out into other formats.
#include <ostream>

#include "cli/CliSupport.h"
#include "cli/LibraryCheck.h"
#include "library/ImportPlan.h"
#include "library/ImportSource.h"
#include "library/LibraryExport.h"
#include "library/SampleLanguage.h"

namespace cli {

namespace {

const char* const kImportHelp =
    "Usage: tindrel-cli import [--format vscode|markdown|files|masscode|snippetslab]\n"
    "                          [--category C] [--subcategory S] [--dry-run] PATH...\n"
    "\n"
    "Imports samples from files or folders: VS Code snippet files, Markdown files with\n"
    "front matter, a folder of source files (category/sub-category/title.ext), a\n"
    "massCode db.json or Markdown vault, a SnippetsLab JSON export. The format is guessed\n"
    "when --format is left out. Without --category each sample keeps its own category,\n"
    "or the one its language picks (cpp C++, java Java, vb Visual Basic, any other a\n"
    "custom category named after the language). Missing categories and sub-categories\n"
    "are made. A title the library holds already gets \" (2)\", \" (3)\"...; a sample\n"
    "there already with the same fields is skipped, so an import can be run again.\n"
    "Every rename and warning is printed; --dry-run prints them and writes nothing.\n"
    "The import is on disk when the command returns.\n";

const char* const kExportHelp =
    "Usage: tindrel-cli export --format vscode|markdown|files --out DIR [--category C]\n"
    "                          [--overwrite]\n"
    "\n"
    "Writes the library (or one category) into DIR, which is made when missing:\n"
    "  markdown  one file per sample, every field kept\n"
    "  vscode    one .code-snippets file per category (sub-categories are not carried)\n"
    "  files     one source file per sample (keywords and comments are not carried)\n"
    "A file already in DIR is never replaced unless --overwrite is given.\n";

std::string Value(const ParsedArgs& parsed, const char* name) {
    auto it = parsed.values.find(name);
    return it == parsed.values.end() ? std::string() : it->second;
}

} // namespace

int CmdImport(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
    const ParsedArgs parsed = ParseArgs("import", args, 1, {"--dry-run"}, {"--format", "--category", "--subcategory"});
    if (parsed.help) {
        io.out << kImportHelp;
        return kExitOk;
    }
    if (parsed.positionals.empty())
        throw UsageError{"missing PATH (a file or folder to import)"};
    std::string format = Value(parsed, "--format");
    if (!format.empty() && !importsource::IsFormat(format))
        throw UsageError{"unknown format '" + format + "'"};
    if (format.empty()) {
        std::string why;
        format = importsource::GuessFormat(parsed.positionals, why);
        if (format.empty())
            throw UsageError{why + "; give it with --format"};
    }
    InterchangeResult read;
    importsource::Read(format, parsed.positionals, read);
    const ImportOptions options{Value(parsed, "--category"), Value(parsed, "--subcategory")};

    io.out << "Format: " << format << "\n";
    if (parsed.flags.count("--dry-run")) {
        Library library(store, folder);
        const ImportPlan plan = PlanImport(library.doc, library.errors, read, options);
        io.out << plan.Describe() << "Dry run: nothing has been written.\n";
        return plan.refusal.empty() ? kExitOk : kExitError;
    }
    // The categories an import makes go into the library's structure file with its save.
    CLibraryConfig config(store);
    config.LoadProfile();
    CLoadErrorList errors;
    CQuorrinDoc doc(config, errors);
    MessageChannelSink sink;
    doc.SetMessageSink(&sink);
    doc.SetFolder(folder);
    if (!doc.OnNewDocument(LoadMode::Normal))
        return kExitError;
    doc.RemoveUnplacedSamples();
    const ImportPlan plan = PlanImport(doc, errors, read, options);
    io.out << plan.Describe();
    if (!plan.refusal.empty())
        return kExitError;
    if (!ApplyImport(doc, plan)) {
        io.err << "The import could not be saved completely; the samples written are listed by 'tindrel-cli list'.\n";
        return kExitError;
    }
    io.out << ImportedText(plan) << "\n";
    return kExitOk;
}

int CmdExport(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
    const ParsedArgs parsed = ParseArgs("export", args, 1, {"--overwrite"}, {"--format", "--out", "--category"});
    if (parsed.help) {
        io.out << kExportHelp;
        return kExitOk;
    }
    if (!parsed.positionals.empty())
        throw UsageError{"export takes options only; unexpected argument '" + parsed.positionals[0] + "'"};
    ExportOptions options;
    options.format = Value(parsed, "--format");
    options.folder = Value(parsed, "--out");
    if (!parsed.values.count("--format"))
        throw UsageError{"missing --format (vscode, markdown or files)"};
    if (options.folder.empty())
        throw UsageError{"missing --out DIR"};
    if (options.format != "vscode" && options.format != "markdown" && options.format != "files")
        throw UsageError{"--format must be vscode, markdown or files"};
    if (parsed.values.count("--category"))
        options.categories.push_back(Value(parsed, "--category"));
    options.overwrite = parsed.flags.count("--overwrite") > 0;
    Library library(store, folder);
    if (!LibraryIsHere(library, io.err))
        return kExitError;
    options.languageOf = [&](const std::string& category) {
        const CCategory* record = library.doc.PeekCategory(category);
        return std::string(LanguageWord(CategoryLanguage(category, record && record->IsCustom(),
                                                         library.doc.CategoryLanguageWord(category))));
    };
    ExportReport report;
    if (!ExportLibrary(library.doc, options, report)) {
        io.err << report.error << (report.fileThere ? " Give --overwrite to replace such files." : "") << "\n";
        return kExitError;
    }
    for (const std::string& line : ExportedLines(report, options.folder))
        io.out << line << "\n";
    return kExitOk;
}

} // namespace cli
