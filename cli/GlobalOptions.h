// The options of tindrel-cli that come before the command: which library folder it
// works on, and --version.
#pragma once

#include <string>
#include <vector>

#include "config/LibraryFolder.h"

namespace cli {

struct GlobalOptions {
    LibraryChoice library;         // by default the current folder
    bool version = false;          // --version: print it and stop
    std::string error;             // a bad command line: what is wrong
    std::vector<std::string> rest; // the command and its arguments
};

// Reads --library, --folder DIR (also --folder=DIR) and --version from the start of
// args (argv without the program name); the first other argument starts the command.
GlobalOptions ParseGlobalOptions(const std::vector<std::string>& args);

std::string VersionLine();

} // namespace cli
