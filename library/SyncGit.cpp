#include "library/SyncGit.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "library/SyncMerge.h"

namespace syncgit {

Git::Git(std::string folder) : m_folder(std::move(folder)) {}

proc::Result Git::Run(const std::vector<std::string>& args) const {
    std::vector<std::string> argv = {"git", "-C", m_folder};
    argv.insert(argv.end(), args.begin(), args.end());
    return proc::Run(argv);
}

proc::Result Git::RunAsUser(const std::vector<std::string>& args) const {
    if (!m_identityKnown) {
        m_identityKnown = true;
        const bool named = Run({"config", "user.name"}).Ok() && Run({"config", "user.email"}).Ok();
        if (!named) {
            std::string user = "tindrel";
            if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name && *pw->pw_name)
                user = pw->pw_name;
            char host[256] = {};
            if (::gethostname(host, sizeof host - 1) != 0 || !*host)
                std::snprintf(host, sizeof host, "localhost");
            m_identity = {"-c", "user.name=" + user, "-c", "user.email=" + user + "@" + host};
        }
    }
    std::vector<std::string> all = m_identity;
    all.insert(all.end(), args.begin(), args.end());
    return Run(all);
}

bool Git::Show(const std::string& revision, const std::string& name, std::string& out) const {
    proc::Result r = Run({"show", revision + ":" + name});
    out = r.Ok() ? std::move(r.out) : std::string();
    return r.Ok();
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        std::string piece = text.substr(start, end - start);
        if (separator == '\n' && !piece.empty() && piece.back() == '\r')
            piece.pop_back();
        if (!piece.empty())
            pieces.push_back(std::move(piece));
        start = end + 1;
    }
    return pieces;
}

std::string Message(const proc::Result& result) {
    if (!result.started)
        return "git could not be run (" + result.error + "); is git installed?";
    // git's last "fatal:" or "error:" line says most; otherwise the first line.
    std::string best;
    for (std::string line : Split(result.err.empty() ? result.out : result.err, '\n')) {
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        if (!line.empty() && (best.empty() || line.rfind("fatal:", 0) == 0 || line.rfind("error:", 0) == 0))
            best = line;
    }
    return best.empty() ? "git ended with status " + std::to_string(result.status) : best;
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

bool IsLibraryFile(const std::string& name) {
    return syncmerge::IsMergedFile(name) || name == "library.txt" || name == ".gitattributes" ||
           name == ".gitignore";
}

std::vector<Change> LocalChanges(const Git& git) {
    std::vector<Change> changes;
    const proc::Result r = git.Run({"status", "--porcelain", "-z", "--untracked-files=all", "--no-renames"});
    if (!r.Ok())
        return changes;
    for (const std::string& entry : Split(r.out, '\0')) {
        if (entry.size() < 4)
            continue;
        const std::string name = entry.substr(3);
        if (!IsLibraryFile(name))
            continue;
        // Deleted in the working folder (staged or not).
        changes.push_back({name, entry[1] == 'D' || (entry[0] == 'D' && entry[1] == ' ')});
    }
    return changes;
}

} // namespace syncgit
