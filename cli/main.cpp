// tindrel-cli: the sample library in the current folder (or the folder its options
// name) from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/GlobalOptions.h"
#include "config/KeyStore.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const cli::GlobalOptions options =
        cli::ParseGlobalOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::cerr << "tindrel-cli: " << options.error << "\nRun 'tindrel-cli --help' for its usage.\n";
        return cli::kExitUsage;
    }
    if (options.version) {
        std::cout << cli::VersionLine() << std::flush;
        return std::cout ? cli::kExitOk : cli::kExitError;
    }
    std::string warning;
    std::unique_ptr<IKeyStore> store = cli::OpenUserKeyStore(warning);
    if (!warning.empty())
        std::cerr << warning << '\n';
    // Nothing is created: a folder that cannot be entered is an error (help needs none).
    const bool help = options.rest.empty() || options.rest[0] == "--help" || options.rest[0] == "-h" ||
                      options.rest[0] == "help";
    std::string folder;
    if (!help) {
        folder = libraryfolder::Enter(options.library, *store, libraryfolder::EnterMode::Tool);
        if (folder.empty())
            return cli::kExitError;
    }
    return cli::Run(options.rest, *store, folder, cli::Streams{std::cin, std::cout, std::cerr});
}
