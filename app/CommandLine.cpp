#include "app/CommandLine.h"

#ifndef TINDREL_VERSION
#error "TINDREL_VERSION is set by the build"
#endif

namespace {

// Qt's own options (one dash or two): how many values follow them, or -1 for an
// argument that is not one. Qt takes them out of the command line when the
// application object is made; before that they are skipped here.
int QtOptionValues(std::string arg) {
    if (arg.rfind("--", 0) == 0)
        arg.erase(0, 1);
    for (const char* option :
         {"-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry", "-qwindowicon",
          "-qwindowtitle", "-session", "-display", "-geometry", "-style", "-stylesheet"})
        if (arg == option)
            return 1;
    for (const char* option : {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"})
        if (arg == option)
            return 0;
    if (arg.rfind("-qmljsdebugger=", 0) == 0 || arg.rfind("-style=", 0) == 0 ||
        arg.rfind("-stylesheet=", 0) == 0)
        return 0;
    return -1;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (const std::string& arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (arg == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
    }

    bool library = false;
    bool folder = false;
    bool optionsEnded = false;
    auto fail = [&line](std::string text) {
        line.action = CommandLine::Action::Error;
        line.error = std::move(text);
        return line;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const int qtValues = optionsEnded ? -1 : QtOptionValues(arg);
        if (qtValues >= 0) {
            i += static_cast<size_t>(qtValues);
        } else if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--pick") {
            if (line.pick)
                return fail("--pick given twice");
            line.pick = true;
        } else if (!optionsEnded && arg == "--show") {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return fail("--show needs the title of a sample");
            if (!line.showTitle.empty())
                return fail("--show given twice");
            line.showTitle = args[++i];
        } else if (!optionsEnded && arg == "--library") {
            if (library)
                return fail("--library given twice");
            library = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option " + arg);
        } else {
            if (folder)
                return fail("only one FOLDER can be given");
            if (arg.empty())
                return fail("the FOLDER is empty");
            folder = true;
            line.library = {LibraryPlace::GivenFolder, arg};
        }
    }
    if (library && folder)
        return fail("--library and FOLDER exclude each other");
    if (line.pick && !line.showTitle.empty())
        return fail("--pick and --show exclude each other");
    if (library)
        line.library = {LibraryPlace::UserLibrary, {}};
    return line;
}

const char* CommandLineHelp() {
    return "Usage: tindrel [--pick | --show TITLE] [--library | FOLDER]\n"
           "\n"
           "Tindrel keeps a library of source-code samples: a tree of categories and\n"
           "sub-categories, a form for the selected sample, an Add Sample wizard, search\n"
           "and a statistics report.\n"
           "\n"
           "It works on the library in one folder:\n"
           "  (no argument)  the current folder\n"
           "  FOLDER         the folder FOLDER\n"
           "  --library      your library folder: the one last chosen with\n"
           "                 File > Library Folder..., else\n"
           "                 $XDG_DATA_HOME/Velmora Software/Tindrel/library\n"
           "                 (~/.local/share/... when XDG_DATA_HOME is not set), which is\n"
           "                 created when missing. The desktop's menu starts Tindrel so.\n"
           "Missing category files are created empty in that folder.\n"
           "\n"
           "Options:\n"
           "  --library      work on your library folder (see above)\n"
           "  --pick         a small window instead: type words of a title, Enter copies\n"
           "                 that sample's text to the clipboard, Shift+Enter shows it in\n"
           "                 the main window, Escape closes\n"
           "  --show TITLE   select the sample TITLE once the library has been read\n"
           "  -h, --help     show this help and exit\n"
           "  --version      show the version and exit\n"
           "Qt's standard options (for example -style NAME) are accepted as well.\n"
           "\n"
           "The configuration (custom categories, hidden items, tree state, the options\n"
           "and the library folder) is kept in\n"
           "$XDG_CONFIG_HOME/Velmora Software/Tindrel/Tindrel.conf (~/.config/... when\n"
           "XDG_CONFIG_HOME is not set). See tindrel(1), tindrel-cli(1) and\n"
           "Help > Library Help.\n";
}

std::string VersionLine() {
    return std::string("tindrel ") + TINDREL_VERSION + "\n";
}
