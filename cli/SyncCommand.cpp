// tindrel-cli sync and merge-file: the library folder kept in step with other copies of
// it through git, and the merge driver git calls for the library's files.
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <ostream>

#include "cli/CliSupport.h"
#include "library/LibrarySync.h"
#include "library/SyncMerge.h"

namespace cli {

namespace {

const char* const kSyncHelp =
    "Usage: tindrel-cli sync [--commit-deletions]\n"
    "       tindrel-cli sync init [--remote URL]\n"
    "       tindrel-cli sync clone URL FOLDER\n"
    "       tindrel-cli sync status [--no-fetch]\n"
    "\n"
    "Keeps the library folder in step with its other copies through git (the git\n"
    "repository is the library folder itself; git must be installed).\n"
    "  sync          commit the library's changes, fetch, merge sample by sample, push;\n"
    "                a push the remote rejects is fetched, merged and tried again.\n"
    "                A category file that cannot be read to its end, or that lost\n"
    "                samples since the last commit, is not committed and named\n"
    "                (--commit-deletions commits the samples you deleted).\n"
    "  sync init     make the library folder a repository (an existing one is used as\n"
    "                it is), write .gitattributes, .gitignore and the merge driver,\n"
    "                commit; with --remote URL also add it as origin and push.\n"
    "  sync clone    clone URL into FOLDER and write the merge driver.\n"
    "  sync status   in sync, local changes, behind, ahead, samples kept twice, offline\n"
    "                (asks the remote first unless --no-fetch).\n"
    "A sample changed on both sides is kept twice: yours in place, the other as a\n"
    "duplicate title to correct. Nothing is ever pushed by force or reset away; git\n"
    "never asks for a password here (use an SSH key or a credential helper).\n";

const char* const kMergeFileHelp =
    "Usage: tindrel-cli merge-file BASE OURS THEIRS PATH\n"
    "\n"
    "git's merge driver for the library's files (set up by 'tindrel-cli sync init'):\n"
    "merges a category file sample by sample (or the structure file entry by entry)\n"
    "and writes the result into OURS. Exit status 0 for a clean merge, 1 when a version\n"
    "could not be read to its end (both are kept whole), 2 when nothing was merged.\n";

// The merge driver git runs: this program, by its absolute path.
std::string ThisProgram() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string("tindrel-cli");
}

int Finish(const librarysync::Report& report, Streams io) {
    for (const std::string& line : report.lines)
        io.out << line << '\n';
    for (const std::string& problem : report.problems)
        io.err << problem << '\n';
    return report.ok ? kExitOk : kExitError;
}

} // namespace

int CmdSync(const std::vector<std::string>& args, IKeyStore&, const std::string& folder, Streams io) {
    const ParsedArgs parsed = ParseArgs("sync", args, 1, {"--commit-deletions", "--no-fetch"}, {"--remote"});
    if (parsed.help) {
        io.out << kSyncHelp;
        return kExitOk;
    }
    librarysync::Options options;
    options.driverProgram = ThisProgram();
    options.commitDeletions = parsed.flags.count("--commit-deletions") > 0;
    const std::string action = parsed.positionals.empty() ? std::string() : parsed.positionals[0];
    const size_t operands = parsed.positionals.size();
    auto expect = [&](size_t count, const char* usage) {
        if (operands != count)
            throw UsageError{std::string("usage: ") + usage};
    };
    if (action != "init" && parsed.values.count("--remote"))
        throw UsageError{"--remote goes with sync init"};
    if (action.empty()) {
        return Finish(librarysync::Sync(folder, options), io);
    } else if (action == "init") {
        expect(1, "tindrel-cli sync init [--remote URL]");
        auto remote = parsed.values.find("--remote");
        return Finish(librarysync::Init(folder, remote == parsed.values.end() ? "" : remote->second, options), io);
    } else if (action == "clone") {
        expect(3, "tindrel-cli sync clone URL FOLDER");
        return Finish(librarysync::Clone(parsed.positionals[1], parsed.positionals[2], options), io);
    } else if (action == "status") {
        expect(1, "tindrel-cli sync status [--no-fetch]");
        librarysync::WriteDriver(folder, options);
        const librarysync::Status status = librarysync::GetStatus(folder, !parsed.flags.count("--no-fetch"));
        for (const std::string& line : librarysync::StatusLines(status))
            io.out << line << '\n';
        return status.repository ? kExitOk : kExitError;
    }
    throw UsageError{"unknown sync action '" + action + "'"};
}

int CmdMergeFile(const std::vector<std::string>& args, IKeyStore&, const std::string& folder, Streams io) {
    const ParsedArgs parsed = ParseArgs("merge-file", args, 1, {}, {});
    if (parsed.help) {
        io.out << kMergeFileHelp;
        return kExitOk;
    }
    if (parsed.positionals.size() != 4)
        throw UsageError{"merge-file takes BASE OURS THEIRS PATH"};
    const std::vector<std::string>& p = parsed.positionals;
    std::string report;
    const int status = syncmerge::MergeFileInPlace(p[0], p[1], p[2], p[3], folder, report);
    io.err << report;
    return status;
}

} // namespace cli
