#include "library/LibrarySync.h"

#include <map>
#include <memory>
#include <set>

#include "base/FileLayer.h"
#include "base/FolderMarker.h"
#include "base/TextRules.h"
#include "library/CategoryReader.h"
#include "library/LibraryStructure.h"
#include "library/SyncGit.h"
#include "library/SyncMerge.h"

namespace librarysync {

namespace {

using syncgit::Git;

const char* const kRemote = "origin";
// How long the merge waits for a window's save in the folder.
constexpr int kLockWaitMs = 10000;
// A push that the remote rejects because it moved on is fetched, merged and tried again.
constexpr int kPushTries = 3;

const char* const kAttributeLines[] = {"quorrin*.txt -text merge=tindrel", "tindrel-library.txt -text merge=tindrel"};
const char* const kIgnoreLines[] = {CFolderMarker::kFileName, "*.tmp-??????", "*.bak", "*.bak[0-9]*"};

// The top level of the repository that holds folder; "" when none (problem says why).
std::string TopLevel(const std::string& folder, std::string& problem) {
    const proc::Result r = Git(folder).Run({"rev-parse", "--show-toplevel"});
    if (!r.Ok()) {
        problem = r.started ? "The library folder is not a git repository; run 'tindrel-cli sync init' first."
                            : syncgit::Message(r);
        return {};
    }
    std::string top = r.out;
    while (!top.empty() && (top.back() == '\n' || top.back() == '\r'))
        top.pop_back();
    return syncgit::RealPath(top);
}

// True when folder is the top level of a repository; problem otherwise.
bool IsTopLevel(const std::string& folder, std::string& problem) {
    const std::string top = TopLevel(folder, problem);
    if (top.empty())
        return false;
    if (top != syncgit::RealPath(folder)) {
        problem = "The library folder is inside the git repository at " + top +
                  "; sync needs the library folder itself as the repository's top level.";
        return false;
    }
    return true;
}

// Adds the lines the file lacks (the user's own lines stay).
bool EnsureLines(const std::string& path, const std::vector<std::string>& lines, Report& report) {
    std::string bytes;
    syncmerge::ReadWhole(path, bytes);
    const std::vector<std::string> had = syncgit::Split(bytes, '\n');
    const std::set<std::string> present(had.begin(), had.end());
    std::string added;
    for (const std::string& line : lines)
        if (!present.count(line))
            added += line + "\n";
    if (added.empty())
        return true;
    if (!bytes.empty() && bytes.back() != '\n')
        bytes += "\n";
    int cause = fileio::kNone;
    if (!fileio::WriteFileAtomically(path, bytes + added, cause)) {
        report.Fail("Unable to write " + path + ": " + fileio::CauseText(cause));
        return false;
    }
    return true;
}

std::string CurrentBranch(const Git& git) {
    proc::Result r = git.Run({"symbolic-ref", "--short", "-q", "HEAD"});
    std::string branch = r.Ok() ? r.out : std::string("main");
    while (!branch.empty() && (branch.back() == '\n' || branch.back() == '\r'))
        branch.pop_back();
    return branch;
}

bool HasRemote(const Git& git) {
    return git.Run({"remote", "get-url", kRemote}).Ok();
}

bool RefExists(const Git& git, const std::string& ref) {
    return git.Run({"rev-parse", "--verify", "-q", ref}).Ok();
}

int Count(const Git& git, const std::string& range) {
    const proc::Result r = git.Run({"rev-list", "--count", range});
    return r.Ok() ? std::atoi(r.out.c_str()) : 0;
}

std::vector<std::string> Lines0(const std::string& text) {
    return syncgit::Split(text, '\0');
}

// The titles that stand more than once in the folder's category files: samples kept twice
// by a merge (or duplicates made otherwise), waiting for the user.
std::vector<std::string> DuplicateTitles(const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& name : fileio::FileNamesIn(folder)) {
        if (!syncmerge::IsMergedFile(name) || name == kStructureFileName)
            continue;
        std::string bytes;
        if (!syncmerge::ReadWhole(fileio::PathIn(folder, name), bytes))
            continue;
        std::vector<std::unique_ptr<CSample>> records;
        ParseSamples(bytes, records);
        std::map<std::string, int> seen;
        for (const auto& r : records)
            if (++seen[r->GetTitle()] == 2)
                found.push_back("\"" + r->GetTitle() + "\" in " + name);
    }
    return found;
}

// After `git merge` stopped: each file git left unmerged is merged here (a file deleted on
// one side and changed on the other keeps the changed one), written through the file
// layer, and staged. Anything else, or a write that fails, undoes the merge: the folder is
// as it was before, every commit kept.
bool ResolveUnmerged(const Git& git, const proc::Result& merge, Report& report) {
    const proc::Result r = git.Run({"diff", "--name-only", "-z", "--diff-filter=U"});
    const std::vector<std::string> names = Lines0(r.out);
    std::string failure = names.empty() ? "git could not merge: " + syncgit::Message(merge) : std::string();
    for (const std::string& name : names) {
        if (!failure.empty())
            break;
        if (!syncmerge::IsMergedFile(name)) {
            failure = "git could not merge " + name + ", which is not a file of the library's own.";
            break;
        }
        std::string base, ours, theirs;
        git.Show(":1", name, base);
        const bool hasOurs = git.Show(":2", name, ours);
        const bool hasTheirs = git.Show(":3", name, theirs);
        std::string bytes;
        if (hasOurs && hasTheirs) {
            const syncmerge::FileResult merged = syncmerge::MergeBytes(name, base, ours, theirs, git.Folder());
            bytes = merged.bytes;
            if (merged.wholeVersions)
                report.problems.push_back("A version of " + name +
                                          " could not be read to its end; both versions are kept whole in it.");
        } else {
            bytes = hasOurs ? ours : theirs; // deleted on one side, changed on the other
            report.lines.push_back(name + " was deleted on one side and changed on the other; the changed file is kept.");
        }
        int cause = fileio::kNone;
        if (!fileio::WriteFileAtomically(fileio::PathIn(git.Folder(), name), bytes, cause)) {
            failure = "Unable to write the merge of " + name + ": " + fileio::CauseText(cause);
            break;
        }
        const proc::Result added = git.Run({"add", "--", name});
        if (!added.Ok())
            failure = "git could not stage the merge of " + name + ": " + syncgit::Message(added);
    }
    if (failure.empty()) {
        const proc::Result done = git.RunAsUser({"commit", "-q", "--no-edit", "--no-verify"});
        if (done.Ok())
            return true;
        failure = "git could not commit the merge: " + syncgit::Message(done);
    }
    git.Run({"merge", "--abort"});
    report.Fail(failure + "\nThe merge was undone; the library is as it was and every commit is kept. "
                          "Sync again to retry.");
    return false;
}

// Fetches and merges the remote's branch; false when offline or the merge failed.
bool FetchAndMerge(const Git& git, const std::string& branch, Report& report) {
    const proc::Result fetched = git.Run({"fetch", "-q", kRemote});
    if (!fetched.Ok()) {
        report.offline = true;
        report.Fail("Could not reach the remote: " + syncgit::Message(fetched) +
                    "\nThe library keeps working here; its commits go out at the next sync.");
        return false;
    }
    const std::string upstream = std::string(kRemote) + "/" + branch;
    if (!RefExists(git, upstream) || Count(git, "HEAD.." + upstream) == 0)
        return true;
    const bool unborn = !RefExists(git, "HEAD");
    fileio::FolderWriteLock lock;
    int cause = fileio::kNone;
    if (!lock.Acquire(git.Folder(), kLockWaitMs, cause)) {
        report.Fail("The library folder is being written by another program; nothing was merged. Sync again in a moment.");
        return false;
    }
    const std::string before = unborn ? std::string() : git.Run({"rev-parse", "HEAD"}).out.substr(0, 40);
    const proc::Result merged =
        unborn ? git.Run({"merge", "-q", upstream})
               : git.RunAsUser({"merge", "-q", "--no-edit", "--no-verify", "-m",
                                "Merge the library from " + upstream, upstream});
    if (!merged.Ok() && !ResolveUnmerged(git, merged, report))
        return false;
    std::vector<std::string> diff = {"diff", "--name-only", "-z", "HEAD"};
    if (!before.empty()) {
        diff.insert(diff.begin() + 3, before);
        report.changedFiles = Lines0(git.Run(diff).out);
    } else {
        report.changedFiles = Lines0(git.Run({"ls-files", "-z"}).out);
    }
    report.lines.push_back("Merged " + CountOf(report.changedFiles.size(), "changed file", "changed files") +
                           " from " + upstream + ".");
    return true;
}

void TellKeptTwice(const std::string& folder, Report& report) {
    const std::vector<std::string> twice = DuplicateTitles(folder);
    if (twice.empty())
        return;
    std::string text = "Samples kept twice, waiting for you to correct the duplicate title:";
    for (const std::string& t : twice)
        text += "\n  " + t;
    report.lines.push_back(text);
}

} // namespace

bool WriteDriver(const std::string& folder, const Options& options) {
    std::string problem;
    if (!IsTopLevel(folder, problem))
        return false;
    const Git git(folder);
    std::string quoted = "'";
    for (char c : options.driverProgram)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    return git.Run({"config", "merge.tindrel.name", "Tindrel's merge of samples by record"}).Ok() &&
           git.Run({"config", "merge.tindrel.driver", quoted + " merge-file %O %A %B %P"}).Ok();
}

Report Init(const std::string& folder, const std::string& remote, const Options& options) {
    Report report;
    std::string problem;
    const std::string top = TopLevel(folder, problem);
    const Git git(folder);
    if (!top.empty() && top != syncgit::RealPath(folder)) {
        IsTopLevel(folder, problem);
        report.Fail(problem);
        return report;
    }
    if (top.empty()) {
        const proc::Result made = git.Run({"init", "-q"});
        if (!made.Ok()) {
            report.Fail("Could not make the library folder a repository: " + syncgit::Message(made));
            return report;
        }
        report.lines.push_back("Made " + folder + " a git repository.");
    } else {
        report.lines.push_back("Using the existing repository in " + folder + ".");
    }
    const std::vector<std::string> attributes(std::begin(kAttributeLines), std::end(kAttributeLines));
    const std::vector<std::string> ignores(std::begin(kIgnoreLines), std::end(kIgnoreLines));
    if (!EnsureLines(fileio::PathIn(folder, ".gitattributes"), attributes, report) ||
        !EnsureLines(fileio::PathIn(folder, ".gitignore"), ignores, report))
        return report;
    if (!WriteDriver(folder, options)) {
        report.Fail("Could not write the merge driver into the repository's configuration.");
        return report;
    }
    Report committed = CommitLocal(folder, options);
    report.lines.insert(report.lines.end(), committed.lines.begin(), committed.lines.end());
    report.problems.insert(report.problems.end(), committed.problems.begin(), committed.problems.end());
    report.ok = committed.ok;
    if (!report.ok || remote.empty())
        return report;
    const proc::Result added = HasRemote(git) ? git.Run({"remote", "set-url", kRemote, remote})
                                              : git.Run({"remote", "add", kRemote, remote});
    if (!added.Ok()) {
        report.Fail("Could not set the remote: " + syncgit::Message(added));
        return report;
    }
    Report synced = Sync(folder, options);
    report.lines.insert(report.lines.end(), synced.lines.begin(), synced.lines.end());
    report.problems.insert(report.problems.end(), synced.problems.begin(), synced.problems.end());
    report.ok = synced.ok;
    report.offline = synced.offline;
    return report;
}

Report Clone(const std::string& url, const std::string& folder, const Options& options) {
    Report report;
    const proc::Result cloned = proc::Run({"git", "clone", "-q", "--", url, folder});
    if (!cloned.Ok()) {
        report.Fail("Could not clone " + url + ": " + syncgit::Message(cloned));
        return report;
    }
    if (!WriteDriver(folder, options))
        report.Fail("Cloned, but could not write the merge driver into the repository's configuration.");
    else
        report.lines.push_back("Cloned " + url + " into " + folder + ".");
    return report;
}

Report Sync(const std::string& folder, const Options& options) {
    Report report;
    std::string problem;
    if (!IsTopLevel(folder, problem)) {
        report.Fail(problem);
        return report;
    }
    WriteDriver(folder, options);
    const Git git(folder);
    Report committed = CommitLocal(folder, options);
    report.lines = committed.lines;
    report.problems = committed.problems;
    if (!committed.ok) {
        report.ok = false;
        return report;
    }
    if (!HasRemote(git)) {
        report.lines.push_back("The library has no remote; its history is kept here only.");
        TellKeptTwice(folder, report);
        return report;
    }
    const std::string branch = CurrentBranch(git);
    for (int attempt = 0; attempt < kPushTries; ++attempt) {
        if (!FetchAndMerge(git, branch, report))
            return report;
        if (!RefExists(git, "HEAD"))
            break; // nothing here or there yet
        const std::string upstream = std::string(kRemote) + "/" + branch;
        if (RefExists(git, upstream) && Count(git, upstream + "..HEAD") == 0)
            break; // nothing to push
        const proc::Result pushed = git.Run({"push", "-q", "-u", kRemote, "HEAD:refs/heads/" + branch});
        if (pushed.Ok()) {
            report.lines.push_back("Pushed to " + upstream + ".");
            break;
        }
        const bool rejected = pushed.err.find("rejected") != std::string::npos ||
                              pushed.err.find("fetch first") != std::string::npos;
        if (!rejected || attempt + 1 == kPushTries) {
            report.offline = !rejected;
            report.Fail("Could not push: " + syncgit::Message(pushed) +
                        "\nThe commits are kept here and go out at the next sync.");
            return report;
        }
        report.lines.push_back("The remote moved on meanwhile; fetching and merging again.");
    }
    TellKeptTwice(folder, report);
    return report;
}

Status GetStatus(const std::string& folder, bool fetch) {
    Status status;
    if (!IsTopLevel(folder, status.problem))
        return status;
    status.repository = true;
    const Git git(folder);
    status.localChanges = !syncgit::LocalChanges(git).empty();
    status.keptTwice = DuplicateTitles(folder);
    status.hasRemote = HasRemote(git);
    if (status.hasRemote) {
        const std::string branch = CurrentBranch(git);
        status.upstream = std::string(kRemote) + "/" + branch;
        if (fetch) {
            const proc::Result fetched = git.Run({"fetch", "-q", kRemote});
            status.offline = !fetched.Ok();
            if (status.offline)
                status.problem = syncgit::Message(fetched);
        }
        if (RefExists(git, status.upstream) && RefExists(git, "HEAD")) {
            status.ahead = Count(git, status.upstream + "..HEAD");
            status.behind = Count(git, "HEAD.." + status.upstream);
        } else if (RefExists(git, "HEAD")) {
            status.ahead = Count(git, "HEAD");
        }
    }
    if (status.offline)
        status.state = State::Offline;
    else if (!status.keptTwice.empty())
        status.state = State::KeptTwice;
    else if (status.localChanges)
        status.state = State::LocalChanges;
    else if (!status.hasRemote)
        status.state = State::NoRemote;
    else if (status.ahead && status.behind)
        status.state = State::Diverged;
    else if (status.ahead)
        status.state = State::Ahead;
    else if (status.behind)
        status.state = State::Behind;
    else
        status.state = State::InSync;
    return status;
}

std::string StateText(State state) {
    switch (state) {
    case State::NotRepository: return "Not synced";
    case State::InSync: return "In sync";
    case State::LocalChanges: return "Local changes";
    case State::Behind: return "Behind";
    case State::Ahead: return "Ahead";
    case State::Diverged: return "Ahead and behind";
    case State::KeptTwice: return "Samples kept twice";
    case State::Offline: return "Offline";
    case State::NoRemote: return "No remote";
    }
    return {};
}

std::vector<std::string> StatusLines(const Status& status) {
    std::vector<std::string> lines = {StateText(status.state)};
    if (!status.repository) {
        lines.push_back(status.problem);
        return lines;
    }
    if (status.offline)
        lines.push_back("Offline: " + status.problem + " (the library keeps working here and syncs later)");
    if (status.localChanges)
        lines.push_back("Local changes not yet committed.");
    if (!status.hasRemote)
        lines.push_back("No remote: the library's history is kept here only.");
    auto commits = [](int n) { return std::to_string(n) + (n == 1 ? " commit" : " commits"); };
    if (status.ahead)
        lines.push_back("Ahead of " + status.upstream + " by " + commits(status.ahead) + " (not yet pushed).");
    if (status.behind)
        lines.push_back("Behind " + status.upstream + " by " + commits(status.behind) + " (not yet merged).");
    if (status.hasRemote && !status.offline && !status.ahead && !status.behind)
        lines.push_back("In sync with " + status.upstream + ".");
    for (const std::string& t : status.keptTwice)
        lines.push_back("Kept twice, waiting for you: " + t);
    return lines;
}

} // namespace librarysync
