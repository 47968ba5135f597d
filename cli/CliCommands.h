// The commands of tindrel-cli. Each works on the library in the folder it is given (an
// absolute path) with the user's configuration, and returns the process exit status.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/CliStreams.h"

class IKeyStore;

namespace cli {

// Runs one command line (argv without the program name).
int Run(const std::vector<std::string>& args, IKeyStore& store, const std::string& folder, Streams io);

// The user's configuration, read from the file the program uses into a store held in
// memory, so nothing can be written back. warning is set when the file is damaged,
// foreign, newer or unreadable (the store then holds what could be read).
std::unique_ptr<IKeyStore> OpenUserKeyStore(std::string& warning);

} // namespace cli
