// The sync's commit of local changes: only files that read whole and lost no record
// the user did not delete, with a message that says what changed.
#include <map>
#include <memory>

#include "base/FileLayer.h"
#include "base/TextRules.h"
#include "library/CategoryReader.h"
#include "library/LibraryStructure.h"
#include "library/LibrarySync.h"
#include "library/RecordMerge.h"
#include "library/SyncGit.h"
#include "library/SyncMerge.h"

namespace librarysync {

namespace {

struct Records {
    std::vector<std::unique_ptr<CSample>> list;
    std::map<std::string, const CSample*> byTitle; // the first of each title
    bool whole = true;
    explicit Records(const std::string& bytes) {
        whole = ParseSamples(bytes, list) == nullptr;
        for (const auto& r : list)
            byTitle.emplace(r->GetTitle(), r.get());
    }
};

std::string Counted(const char* verb, const std::vector<std::string>& titles, const char* preposition,
                    const std::string& category) {
    std::string text = verb;
    if (titles.size() == 1)
        text += " sample " + titles[0];
    else
        text += " " + std::to_string(titles.size()) + " samples";
    return text + " " + preposition + " " + category;
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : separator) + part;
    return text;
}

// What changed in one category file, as parts of a commit message; a problem when the
// file must not be committed.
bool DescribeCategoryFile(const syncgit::Git& git, const syncgit::Change& change, const Options& options,
                          std::vector<std::string>& parts, std::string& problem) {
    std::string headBytes, workBytes;
    git.Show("HEAD", change.name, headBytes);
    if (!change.deleted && !syncmerge::ReadWhole(fileio::PathIn(git.Folder(), change.name), workBytes)) {
        problem = change.name + " could not be read; it is not committed.";
        return false;
    }
    const Records head(headBytes), work(workBytes);
    if (!work.whole) {
        problem = change.name + " could not be read to its end; it is not committed (the last commit keeps "
                                "its samples). Open the library in the window to see what is wrong.";
        return false;
    }
    std::vector<std::string> added, edited, lost;
    for (const auto& [title, record] : work.byTitle) {
        auto it = head.byTitle.find(title);
        if (it == head.byTitle.end())
            added.push_back(title);
        else if (!recordmerge::SameFields(*it->second, *record))
            edited.push_back(title);
    }
    auto allowed = options.deleted.find(change.name);
    bool unexplained = false;
    for (const auto& [title, record] : head.byTitle) {
        if (work.byTitle.count(title))
            continue;
        lost.push_back(title);
        const bool deletedHere = allowed != options.deleted.end() && allowed->second.count(title);
        bool gone = false;
        // An emptied file is never taken as the user's deletes on the window's word alone.
        if (options.held && !work.list.empty()) {
            auto held = options.held->find(change.name);
            gone = held == options.held->end() || !held->second.count(title);
        }
        unexplained = unexplained || !(deletedHere || gone);
    }
    if (unexplained && !options.commitDeletions) {
        problem = change.name + (change.deleted ? " is gone" : " has lost " + CountOf(lost.size(), "sample", "samples")) +
                  " since the last commit (" + Join(lost, ", ") +
                  "); it is not committed, so no other copy loses them. If you deleted them, run "
                  "'tindrel-cli sync --commit-deletions'.";
        return false;
    }
    const CSample* any = !work.list.empty() ? work.list[0].get() : !head.list.empty() ? head.list[0].get() : nullptr;
    const std::string category = any ? any->GetCategory() : change.name;
    if (!added.empty())
        parts.push_back(Counted("Add", added, "to", category));
    if (!edited.empty())
        parts.push_back(Counted("Edit", edited, "in", category));
    if (!lost.empty())
        parts.push_back(Counted("Delete", lost, "from", category));
    if (added.empty() && edited.empty() && lost.empty())
        parts.push_back("Rewrite " + change.name);
    return true;
}

} // namespace

Report CommitLocal(const std::string& folder, const Options& options) {
    Report report;
    const syncgit::Git git(folder);
    std::vector<std::string> parts, paths, minor;
    for (const syncgit::Change& change : syncgit::LocalChanges(git)) {
        std::string problem;
        if (change.name == kStructureFileName) {
            parts.push_back("Change the library's structure");
        } else if (syncmerge::IsMergedFile(change.name)) {
            if (!DescribeCategoryFile(git, change, options, parts, problem)) {
                report.problems.push_back(problem);
                continue;
            }
        } else {
            minor.push_back((change.deleted ? "Remove " : "Update ") + change.name);
        }
        paths.push_back(change.name);
    }
    if (paths.empty())
        return report;
    std::vector<std::string> add = {"add", "-A", "--"};
    add.insert(add.end(), paths.begin(), paths.end());
    // The program's own small files are named only when nothing else changed.
    const std::string message = Join(parts.empty() ? minor : parts, "; ");
    std::vector<std::string> commit = {"commit", "-q", "--no-verify", "-m", message, "--"};
    commit.insert(commit.end(), paths.begin(), paths.end());
    proc::Result added = git.Run(add);
    proc::Result committed = added.Ok() ? git.RunAsUser(commit) : added;
    if (!committed.Ok()) {
        report.Fail("Could not commit the library's changes: " + syncgit::Message(committed));
        return report;
    }
    report.lines.push_back("Committed: " + message);
    return report;
}

} // namespace librarysync
