// The window program's command line: tindrel [--pick | --show TITLE] [--library | FOLDER],
// --help,
// --version.
// Read before the application object exists, so that --help and --version work
// without a display.
#pragma once

#include <string>
#include <vector>

#include "config/LibraryFolder.h"

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    LibraryChoice library; // Run: the folder to work on
    bool pick = false;     // Run: the quick-pick window instead of the main window
    std::string showTitle; // Run: the sample the main window shows once the library is read
    std::string error;     // Error: what is wrong, one line
};

// args: the arguments without the program's name. --help and --version win over
// everything else before "--". Qt's standard options are passed over, so the whole
// line can be read before the application object (and a display) exists.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text of --help and of --version.
const char* CommandLineHelp();
std::string VersionLine();
