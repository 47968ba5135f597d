// The commands of tindrel-cli. Each works on the library in the current folder with
// the user's configuration, and returns the process exit status.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class IKeyStore;

namespace cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitError = 1; // a failure, a refused add, or (check) load errors exist
constexpr int kExitUsage = 2; // bad command line

struct Streams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// Runs one command line (argv without the program name).
int Run(const std::vector<std::string>& args, IKeyStore& store, Streams io);

// The user's configuration, read from the file the program uses into a store held in
// memory, so nothing can be written back. warning is set when the file is damaged,
// foreign, newer or unreadable (the store then holds what could be read).
std::unique_ptr<IKeyStore> OpenUserKeyStore(std::string& warning);

// Bare LF line ends become CR LF; CR LF pairs stay as they are.
std::string ToLibraryLineEnds(const std::string& text);
// CR LF pairs become LF; any other byte stays.
std::string ToUnixLineEnds(const std::string& text);

} // namespace cli
