// Keeping one library on several machines and in a team: the library folder is a git
// repository, and a sync commits what changed here, fetches, merges record by record (git
// calls our merge driver), and pushes. git runs as a process for everything, so the
// user's keys, credential helpers and known hosts apply; nothing ever waits for a
// password. Never a forced push, never a reset: every commit stays.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace librarysync {

struct Options {
    // The program git runs as the merge driver ("tindrel-cli"; best an absolute path).
    std::string driverProgram = "tindrel-cli";
    // Commit category files that lost records since the last commit (deleted on purpose).
    bool commitDeletions = false;
    // The titles this side deleted, by file name: a file that lost only these is committed.
    std::map<std::string, std::set<std::string>> deleted;
    // The window's word: the titles its library holds, by the file of their category. A
    // title a file lost that the library no longer holds there was deleted (or moved) by
    // the user; one it still holds was lost by the file.
    std::optional<std::map<std::string, std::set<std::string>>> held;
};

struct Report {
    bool ok = true;
    // What was done, one line each (standard output).
    std::vector<std::string> lines;
    // Problems, one message each (standard error); ok may still be true (a file left out).
    std::vector<std::string> problems;
    // Files the merge changed in the folder (the window takes them in).
    std::vector<std::string> changedFiles;
    bool offline = false;
    void Fail(std::string text) {
        ok = false;
        problems.push_back(std::move(text));
    }
};

// Makes folder a repository (an existing one is used as it is), writes .gitattributes,
// .gitignore and the merge driver, commits the library's files; with a remote, adds it as
// origin and pushes.
Report Init(const std::string& folder, const std::string& remote, const Options& options);
// Clones url into folder (new or empty) and writes the merge driver.
Report Clone(const std::string& url, const std::string& folder, const Options& options);
// Commits local changes, and with a remote fetches, merges and pushes.
Report Sync(const std::string& folder, const Options& options);
// Only the commit of local changes (the window's commit after a save).
Report CommitLocal(const std::string& folder, const Options& options);
// Writes the merge driver into the repository's configuration when folder is the top
// level of a repository; false otherwise (nothing done).
bool WriteDriver(const std::string& folder, const Options& options);

enum class State { NotRepository, InSync, LocalChanges, Behind, Ahead, Diverged, KeptTwice, Offline, NoRemote };

struct Status {
    State state = State::NotRepository;
    bool repository = false;
    bool hasRemote = false;
    bool localChanges = false;
    bool offline = false;
    int ahead = 0;
    int behind = 0;
    std::string upstream;           // "origin/main"
    std::string problem;            // why not a repository / why offline
    std::vector<std::string> keptTwice; // "Title" in file
};
// fetch: ask the remote first (otherwise ahead/behind are as of the last fetch).
Status GetStatus(const std::string& folder, bool fetch);
// The status as lines for the user; the first is the short one an indicator shows.
std::vector<std::string> StatusLines(const Status& status);
std::string StateText(State state);

} // namespace librarysync
