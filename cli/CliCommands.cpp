#include "cli/CliCommands.h"

#include <algorithm>
#include <istream>
#include <iterator>
#include <map>
#include <ostream>
#include <set>
#include <string_view>

#include "config/LibraryConfig.h"
#include "library/Category.h"
#include "library/ContentCheck.h"
#include "library/FileLayer.h"
#include "library/LibraryReport.h"
#include "library/LibrarySearch.h"
#include "library/LoadErrorList.h"
#include "library/Messenger.h"
#include "library/QuorrinDoc.h"
#include "library/Sample.h"

namespace cli {

namespace {

const char* const kToolHelp =
    "Usage: tindrel-cli [--library | --folder DIR] COMMAND [OPTIONS]\n"
    "       tindrel-cli --version\n"
    "\n"
    "Works on the Tindrel sample library in the current folder, with the same\n"
    "configuration as the program.\n"
    "  --library      work on your library folder instead: the one the program opens\n"
    "                 with --library (chosen in its File > Library Folder..., else\n"
    "                 $XDG_DATA_HOME/Velmora Software/Tindrel/library)\n"
    "  --folder DIR   work on the library in DIR instead\n"
    "  --version      print the version and exit\n"
    "The folder must exist; the tool creates none.\n"
    "\n"
    "Commands:\n"
    "  list     the sample tree as the window shows it, then the load errors\n"
    "  show     one sample's text or all its fields\n"
    "  search   count occurrences of a text in every sample\n"
    "  info     the Library Info report\n"
    "  check    list the load errors; exit status 1 when there are any\n"
    "  add      add a sample to its category file\n"
    "\n"
    "Every command but add only reads: it creates, changes and locks no file, and no\n"
    "command writes the configuration. Messages go to standard error.\n"
    "Run 'tindrel-cli COMMAND --help' for a command's options.\n"
    "\n"
    "Exit status: 0 success; 1 an error (for the reading commands also a file of the\n"
    "library that could not be read completely; for check also any load error);\n"
    "2 a bad command line.\n";

const char* const kListHelp =
    "Usage: tindrel-cli list\n"
    "\n"
    "Prints the sample tree as the window shows it: the root, the displayed categories\n"
    "in library order, their shown sub-categories together with the samples that have\n"
    "no sub-category, and the samples of each sub-category, each level indented by two\n"
    "blanks. Children are sorted by their text in byte order. Samples that have no place\n"
    "in the tree follow under \"Load errors:\", one line each: title, a tab, the reason.\n";

const char* const kShowHelp =
    "Usage: tindrel-cli show TITLE [--raw | --all]\n"
    "\n"
    "Prints the text of the sample with that exact title, its CR LF line ends shown\n"
    "as LF.\n"
    "  --raw   write the text's bytes exactly as the library holds them\n"
    "  --all   print every field: title, category, sub-category, keywords, comments\n"
    "          and text\n";

const char* const kSearchHelp =
    "Usage: tindrel-cli search TEXT [--keywords-only] [--match-case] [--category NAME]\n"
    "\n"
    "Counts the occurrences of TEXT in every sample (keywords, title, comments, text)\n"
    "and prints one line per sample that holds it: title, a tab, the count, in title\n"
    "order; then \"Found N occurrence(s) in M sample(s)\".\n"
    "  --keywords-only   search the keywords only\n"
    "  --match-case      compare letter case exactly\n"
    "  --category NAME   only samples of that category (exact name)\n";

const char* const kInfoHelp = "Usage: tindrel-cli info [--detail]\n"
                              "\n"
                              "Prints the Library Info report (Summary), with LF line ends.\n"
                              "  --detail   the Detail report: settings and samples of every category\n";

const char* const kCheckHelp =
    "Usage: tindrel-cli check\n"
    "\n"
    "Loads the library as the program does and prints every load error, one line each:\n"
    "title, a tab, the reason. Exit status 1 when there are any, 0 otherwise.\n";

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

// Prints every message the library would show in a box to standard error and counts
// them: any message makes the exit status 1.
class StreamMessenger : public IMessenger {
public:
    explicit StreamMessenger(std::ostream& err) : m_err(err) { SetMessenger(this); }
    ~StreamMessenger() override { SetMessenger(nullptr); }
    StreamMessenger(const StreamMessenger&) = delete;
    StreamMessenger& operator=(const StreamMessenger&) = delete;

    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon) override {
        m_err << text << '\n';
        m_err.flush();
        ++m_count;
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Yes;
    }
    int Count() const { return m_count; }

private:
    std::ostream& m_err;
    int m_count = 0;
};

// The library as the program sees it after building its tree, loaded without
// touching any file.
struct Library {
    explicit Library(IKeyStore& store) : config(store), doc(config, errors) {
        config.LoadProfile();
        doc.OnNewDocument(LoadMode::ReadOnly);
        doc.RemoveUnplacedSamples();
    }
    CLibraryConfig config;
    CLoadErrorList errors;
    CQuorrinDoc doc;
};

struct UsageError {
    std::string text;
};

// Splits a command's arguments into options and positionals. Options with a value
// take it from "--name=value" or from the next argument; "--" ends the options.
struct ParsedArgs {
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    std::vector<std::string> positionals;
    bool help = false;
};

ParsedArgs ParseArgs(const std::string& command, const std::vector<std::string>& args, size_t first,
                     const std::set<std::string>& flagNames, const std::set<std::string>& valueNames) {
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (size_t i = first; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0 || arg == "-") {
            parsed.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            parsed.help = true;
            continue;
        }
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        size_t eq = arg.find('=');
        if (eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        if (flagNames.count(name)) {
            if (hasValue)
                throw UsageError{"option " + name + " takes no value"};
            parsed.flags.insert(name);
        } else if (valueNames.count(name)) {
            if (!hasValue) {
                if (i + 1 >= args.size())
                    throw UsageError{"option " + name + " needs a value"};
                value = args[++i];
            }
            if (parsed.values.count(name))
                throw UsageError{"option " + name + " given twice"};
            parsed.values[name] = value;
        } else {
            throw UsageError{"unknown option " + name + " for " + command};
        }
    }
    return parsed;
}

// Reads a whole file ("-": standard input); false after showing the read message.
bool ReadInput(const std::string& path, std::istream& in, std::string& out) {
    if (path == "-") {
        out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return true;
    }
    fileio::File file;
    int cause = fileio::kNone;
    if (!file.OpenForRead(path, cause)) {
        ShowMessage(
            StrFormat("Unable to create/open %s.\nReason: %s ", path.c_str(), fileio::CauseText(cause)));
        return false;
    }
    if (!file.ReadAll(out, cause)) {
        ShowMessage(
            StrFormat("Unable to read from file %s.\nReason: %s ", path.c_str(), fileio::CauseText(cause)));
        return false;
    }
    file.Close(cause);
    return true;
}

// --- list ---------------------------------------------------------------------------------

void PrintTree(const CQuorrinDoc& doc, const CLoadErrorList& errors, std::ostream& out) {
    out << (errors.GetCount() > 0 ? "Samples (*Load errors exist*)" : "Samples") << '\n';

    // Every sample left in the library has a place: group the titles by category and
    // sub-category in one pass (they come in title order).
    std::map<std::string_view, std::map<std::string_view, std::vector<std::string_view>>> placed;
    for (const auto& [title, sample] : doc.Samples())
        placed[sample->GetCategory()][sample->GetSubcategory()].push_back(title);

    struct Child {
        std::string_view text;
        bool subcategory;
    };
    for (const auto& [name, category] : doc.Categories()) {
        if (!category->IsDisplayed())
            continue;
        out << "  " << name << '\n';
        auto bySub = placed.find(name);
        std::vector<Child> children;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const SubcategorySlot& s = category->Slot(slot);
            if (!s.name.empty() && s.inUse)
                children.push_back({s.name, true});
        }
        if (bySub != placed.end()) {
            auto direct = bySub->second.find(std::string_view());
            if (direct != bySub->second.end()) {
                for (std::string_view title : direct->second)
                    children.push_back({title, false});
            }
        }
        std::stable_sort(children.begin(), children.end(),
                         [](const Child& a, const Child& b) { return a.text < b.text; });
        std::set<std::string_view> filled; // a name held by two slots gets its samples once
        for (const Child& child : children) {
            out << "    " << child.text << '\n';
            if (!child.subcategory || bySub == placed.end() || !filled.insert(child.text).second)
                continue;
            auto titles = bySub->second.find(child.text);
            if (titles == bySub->second.end())
                continue;
            for (std::string_view title : titles->second)
                out << "      " << title << '\n';
        }
    }

    if (errors.GetCount() > 0) {
        out << "Load errors:\n";
        errors.ForEach([&](const CSample& s) {
            out << "  " << s.GetTitle() << '\t' << LoadErrorReasonText(s.GetLoadErrorReason()) << '\n';
        });
    }
}

int CmdList(const std::vector<std::string>& args, IKeyStore& store, Streams io) {
    ParsedArgs parsed = ParseArgs("list", args, 1, {}, {});
    if (parsed.help) {
        io.out << kListHelp;
        return kExitOk;
    }
    if (!parsed.positionals.empty())
        throw UsageError{"list takes no arguments"};
    Library library(store);
    PrintTree(library.doc, library.errors, io.out);
    return kExitOk;
}

// --- show ---------------------------------------------------------------------------------

int CmdShow(const std::vector<std::string>& args, IKeyStore& store, Streams io) {
    ParsedArgs parsed = ParseArgs("show", args, 1, {"--raw", "--all"}, {});
    if (parsed.help) {
        io.out << kShowHelp;
        return kExitOk;
    }
    if (parsed.positionals.size() != 1)
        throw UsageError{"show needs exactly one TITLE"};
    const bool raw = parsed.flags.count("--raw") > 0;
    const bool all = parsed.flags.count("--all") > 0;
    if (raw && all)
        throw UsageError{"--raw and --all exclude each other"};
    const std::string& title = parsed.positionals[0];

    Library library(store);
    const CSample* sample = library.doc.PeekSample(title);
    if (!sample) {
        std::string reason;
        library.errors.ForEach([&](const CSample& s) {
            if (reason.empty() && s.GetTitle() == title)
                reason = LoadErrorReasonText(s.GetLoadErrorReason());
        });
        if (reason.empty())
            ShowMessage("Sample \"" + title + "\" is not in the library.");
        else
            ShowMessage("Sample \"" + title + "\" is not in the library: it is a load error (" + reason +
                        ")");
        return kExitError;
    }
    if (raw) {
        io.out << sample->GetText();
    } else if (all) {
        std::string text = "Title:  " + sample->GetTitle() + "\n\nCategory:  " + sample->GetCategory() +
                           "\nSub-category:  " + sample->GetSubcategory() + "\nKeywords:\n" +
                           sample->GetKeywords() + "\n\nComments:\n" + ToUnixLineEnds(sample->GetComments()) +
                           "\n\nSample:\n" + ToUnixLineEnds(sample->GetText());
        if (text.back() != '\n')
            text += '\n';
        io.out << text;
    } else {
        io.out << ToUnixLineEnds(sample->GetText());
    }
    return kExitOk;
}

// --- search -------------------------------------------------------------------------------

int CmdSearch(const std::vector<std::string>& args, IKeyStore& store, Streams io) {
    ParsedArgs parsed = ParseArgs("search", args, 1, {"--keywords-only", "--match-case"}, {"--category"});
    if (parsed.help) {
        io.out << kSearchHelp;
        return kExitOk;
    }
    if (parsed.positionals.size() != 1)
        throw UsageError{"search needs exactly one TEXT"};
    SearchOptions options;
    options.text = parsed.positionals[0];
    options.keywordsOnly = parsed.flags.count("--keywords-only") > 0;
    options.matchCase = parsed.flags.count("--match-case") > 0;
    if (auto it = parsed.values.find("--category"); it != parsed.values.end())
        options.category = it->second;
    if (options.text.empty()) {
        ShowMessage("Please enter a string you wish to search for.");
        return kExitError;
    }

    Library library(store);
    if (!options.category.empty() && options.category != kNoLimit &&
        !library.doc.PeekCategory(options.category)) {
        ShowMessage("Category \"" + options.category + "\" does not exist in the library.");
        return kExitError;
    }
    std::string lines;
    SearchTotals totals = SearchLibrary(library.doc, options, [&](const CSample& sample, unsigned count) {
        lines += sample.GetTitle();
        lines += '\t';
        lines += std::to_string(count);
        lines += '\n';
        return true;
    });
    io.out << lines << FoundLine(totals.occurrences, totals.samples) << '\n';
    return kExitOk;
}

// --- info ---------------------------------------------------------------------------------

int CmdInfo(const std::vector<std::string>& args, IKeyStore& store, Streams io) {
    ParsedArgs parsed = ParseArgs("info", args, 1, {"--detail"}, {});
    if (parsed.help) {
        io.out << kInfoHelp;
        return kExitOk;
    }
    if (!parsed.positionals.empty())
        throw UsageError{"info takes no arguments"};
    Library library(store);
    const int kind = parsed.flags.count("--detail") ? kReportDetail : kReportSummary;
    io.out << ToUnixLineEnds(BuildReport(library.doc, kind));
    return kExitOk;
}

// --- check --------------------------------------------------------------------------------

int CmdCheck(const std::vector<std::string>& args, IKeyStore& store, Streams io) {
    ParsedArgs parsed = ParseArgs("check", args, 1, {}, {});
    if (parsed.help) {
        io.out << kCheckHelp;
        return kExitOk;
    }
    if (!parsed.positionals.empty())
        throw UsageError{"check takes no arguments"};
    Library library(store);
    std::string lines;
    library.errors.ForEach([&](const CSample& s) {
        lines += s.GetTitle();
        lines += '\t';
        lines += LoadErrorReasonText(s.GetLoadErrorReason());
        lines += '\n';
    });
    io.out << lines;
    return library.errors.GetCount() > 0 ? kExitError : kExitOk;
}

// --- add ----------------------------------------------------------------------------------

std::string NotUniqueMessage(const CSample& holder) {
    return "The title you have entered is not unique.The sample in\n" +
           StrFormat("\tCategory: \"%s\",\n\tSubcategory: \"%s\" \nalready has that title.\n",
                     holder.GetCategory().c_str(), holder.GetSubcategory().c_str()) +
           "Please select another title.\n";
}

// The checks of the wizard's first page, then those that its tree makes implicit (the
// category and sub-category can be chosen only when they have a place in the tree).
bool CheckNewSample(const Library& library, const CSample& sample) {
    const std::string& category = sample.GetCategory();
    if (category.empty() || category == "Categories") {
        ShowMessage("You must specify a category.");
        return false;
    }
    if (sample.GetTitle().empty()) {
        ShowMessage("You must specify a title.");
        return false;
    }
    if (const CSample* holder = library.doc.PeekSample(sample.GetTitle())) {
        ShowMessage(NotUniqueMessage(*holder), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    // A sample that could not be placed is still on disk under its title; a second
    // sample of that title would turn one of the two into a load error.
    const CSample* errorHolder = nullptr;
    CSample found;
    library.errors.ForEach([&](const CSample& s) {
        if (!errorHolder && s.GetTitle() == sample.GetTitle()) {
            found = s;
            errorHolder = &found;
        }
    });
    if (errorHolder) {
        ShowMessage(NotUniqueMessage(*errorHolder), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    const CCategory* target = library.doc.PeekCategory(category);
    if (!target) {
        ShowMessage("Category \"" + category + "\" does not exist in the library.");
        return false;
    }
    if (!target->IsDisplayed()) {
        ShowMessage("Category \"" + category +
                    "\" is hidden; a sample added to it would have no place in the tree.");
        return false;
    }
    if (target->ReadIncomplete()) {
        ShowMessage("The file " + target->GetFileName() +
                    " could not be read to its end, so a sample added to it could not be read either.\n"
                    "Correct the file first; it has not been changed.");
        return false;
    }
    if (!library.doc.HasPlace(sample)) {
        if (target->FindSlot(sample.GetSubcategory()) < 0)
            ShowMessage("Sub-category \"" + sample.GetSubcategory() + "\" does not exist in category \"" +
                        category + "\".");
        else
            ShowMessage("Sub-category \"" + sample.GetSubcategory() + "\" of category \"" + category +
                        "\" is hidden; a sample added to it would have no place in the tree.");
        return false;
    }
    std::string problem = CheckSampleContent(sample);
    if (!problem.empty()) {
        ShowMessage(problem, MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    return true;
}

// Appends the sample's bytes to the category file, replacing the file atomically: every
// byte already in it stays as it is.
bool AppendToCategoryFile(const CCategory& category, const CSample& sample) {
    const std::string& path = category.GetFileName();
    if (path.empty()) {
        ShowMessage("Unable to open file associated with category " + category.GetName() +
                    ".\nReason: File name is missing.\n"
                    "Probable cause: Tindrel could not read file name from Registry key.");
        return false;
    }
    // The lock keeps the program from saving this file while it is being replaced.
    fileio::File lock;
    int cause = fileio::kNone;
    if (!lock.OpenExclusive(path, cause)) {
        ShowMessage(
            StrFormat("Unable to create/open %s.\nReason: %s ", path.c_str(), fileio::CauseText(cause)));
        return false;
    }
    std::string content;
    if (!lock.ReadAll(content, cause)) {
        ShowMessage(
            StrFormat("Unable to read from file %s.\nReason: %s ", path.c_str(), fileio::CauseText(cause)));
        return false;
    }
    if (!content.empty() && content.back() != '\n')
        content += "\r\n";
    AppendSampleBytes(content, sample);
    if (!fileio::WriteFileAtomically(path, content, cause)) {
        ShowMessage(
            StrFormat("Unable to write to file %s.\nReason: %s ", path.c_str(), fileio::CauseText(cause)));
        return false;
    }
    lock.Close(cause);
    return true;
}

int CmdAdd(const std::vector<std::string>& args, IKeyStore& store, Streams io) {
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

    Library library(store);
    if (!CheckNewSample(library, sample))
        return kExitError;
    if (!AppendToCategoryFile(*library.doc.PeekCategory(sample.GetCategory()), sample))
        return kExitError;
    io.out << "Added sample \"" << sample.GetTitle() << "\" to " << sample.GetCategory()
           << (sample.GetSubcategory().empty() ? "" : " / " + sample.GetSubcategory()) << ".\n";
    return kExitOk;
}

} // namespace

std::string ToLibraryLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32 + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out += '\r';
        out += text[i];
    }
    return out;
}

std::string ToUnixLineEnds(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

int Run(const std::vector<std::string>& args, IKeyStore& store, Streams io) {
    StreamMessenger messenger(io.err);
    if (args.empty()) {
        io.err << kToolHelp;
        return kExitUsage;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        io.out << kToolHelp;
        return kExitOk;
    }
    using Handler = int (*)(const std::vector<std::string>&, IKeyStore&, Streams);
    static const std::map<std::string, Handler> handlers = {
        {"list", CmdList}, {"show", CmdShow},   {"search", CmdSearch},
        {"info", CmdInfo}, {"check", CmdCheck}, {"add", CmdAdd},
    };
    auto it = handlers.find(command);
    if (it == handlers.end()) {
        io.err << "tindrel-cli: unknown command '" << command << "'\n\n" << kToolHelp;
        return kExitUsage;
    }
    int status;
    try {
        status = it->second(args, store, io);
    } catch (const UsageError& e) {
        io.err << "tindrel-cli " << command << ": " << e.text << "\nRun 'tindrel-cli " << command
               << " --help' for its usage.\n";
        return kExitUsage;
    }
    io.out.flush();
    // A message shown while reading the library (a file that could not be opened, a
    // sequence error) is an error, even when the command printed its result. A sample
    // that add has written is added, whatever was said about other files.
    if (status == kExitOk && messenger.Count() > 0 && command != "add")
        status = kExitError;
    return status;
}

} // namespace cli
