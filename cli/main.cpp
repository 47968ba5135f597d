// tindrel-cli: the sample library in the current folder from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "config/KeyStore.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string warning;
    std::unique_ptr<IKeyStore> store = cli::OpenUserKeyStore(warning);
    if (!warning.empty())
        std::cerr << warning << '\n';
    return cli::Run(args, *store, cli::Streams{std::cin, std::cout, std::cerr});
}
