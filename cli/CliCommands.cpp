#include "cli/CliCommands.h"

#include <map>
#include <ostream>

#include "cli/CliSupport.h"

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
    "  find     the samples that hold every word, best first, as the window finds them\n"
    "  search   count occurrences of a text (or a regular expression) in every sample\n"
    "  info     the Library Info report\n"
    "  check    list the load errors; exit status 1 when there are any\n"
    "  add      add a sample to its category file\n"
    "  category add NAME [--language WORD], subcategory add CATEGORY NAME\n"
    "           add to the library's structure (tindrel-library.txt in its folder)\n"
    "  import   import samples from VS Code, Markdown, source files, massCode, SnippetsLab\n"
    "  export   write the library out as VS Code snippets, Markdown or source files\n"
    "  sync     keep the library in step with its other copies through git: sync,\n"
    "           sync init [--remote URL], sync clone URL FOLDER, sync status\n"
    "  merge-file  git's merge driver for the library's files (set up by sync init)\n"
    "\n"
    "Every command but add, import, category, subcategory, sync and merge-file\n"
    "only reads the library: it creates, changes and locks no file there (export\n"
    "writes only below its --out folder); no command writes the configuration.\n"
    "Messages go to standard error.\n"
    "Run 'tindrel-cli COMMAND --help' for a command's options.\n"
    "\n"
    "Exit status: 0 success; 1 an error (for the reading commands also a file of the\n"
    "library that could not be read completely; for check also any load error);\n"
    "2 a bad command line.\n";

} // namespace

int Run(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io) {
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
    using Handler = int (*)(const std::vector<std::string>&, IKeyStore&, const std::string&, Streams);
    static const std::map<std::string, Handler> handlers = {
        {"list", CmdList}, {"show", CmdShow},   {"search", CmdSearch},
        {"info", CmdInfo}, {"check", CmdCheck}, {"add", CmdAdd},
        {"import", CmdImport}, {"export", CmdExport},   {"find", CmdFind},
        {"category", CmdCategory}, {"subcategory", CmdSubcategory},
        {"sync", CmdSync}, {"merge-file", CmdMergeFile},
    };
    auto it = handlers.find(command);
    if (it == handlers.end()) {
        io.err << "tindrel-cli: unknown command '" << command << "'\n\n" << kToolHelp;
        return kExitUsage;
    }
    int status;
    try {
        status = it->second(args, store, folder, io);
    } catch (const UsageError& e) {
        io.err << "tindrel-cli " << command << ": " << e.text << "\nRun 'tindrel-cli " << command
               << " --help' for its usage.\n";
        return kExitUsage;
    }
    io.out.flush();
    // A message shown while reading the library (a file that could not be opened, a
    // sequence error) is an error, even when the command printed its result. A sample
    // that add has written is added, whatever was said about other files.
    if (status == kExitOk && messenger.Count() > 0 && command != "add" && command != "import" &&
        command != "category" && command != "subcategory" && command != "sync" &&
        command != "merge-file")
        status = kExitError;
    return status;
}

} // namespace cli
