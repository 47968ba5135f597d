// git run in one library folder, as the sync's parts share it.
#pragma once

#include <string>
#include <vector>

#include "base/ProcessRunner.h"

namespace syncgit {

class Git {
public:
    explicit Git(std::string folder);
    // git -C folder [identity] args...
    proc::Result Run(const std::vector<std::string>& args) const;
    // The same with the user's identity, or one made from the user and host names when
    // git has none (a fresh account can still commit).
    proc::Result RunAsUser(const std::vector<std::string>& args) const;
    const std::string& Folder() const { return m_folder; }
    // The file's bytes in a revision ("HEAD", ":1"...); false when it does not hold it.
    bool Show(const std::string& revision, const std::string& name, std::string& out) const;

private:
    std::string m_folder;
    mutable std::vector<std::string> m_identity;
    mutable bool m_identityKnown = false;
};

// The pieces of text between separators, each without a CR before a LF separator;
// empty pieces left out.
std::vector<std::string> Split(const std::string& text, char separator);
// The first line of git's message (trimmed), or what kept git from running.
std::string Message(const proc::Result& result);
// The folder's path with symbolic links resolved; the path itself when that fails.
std::string RealPath(const std::string& path);
// True for the files a sync commits: category files, the structure file, library.txt,
// .gitattributes and .gitignore in the folder itself.
bool IsLibraryFile(const std::string& name);
// The entries of `git status --porcelain -z` for library files.
struct Change {
    std::string name;
    bool deleted = false;
};
std::vector<Change> LocalChanges(const Git& git);

} // namespace syncgit
