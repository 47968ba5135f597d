#include "base/ProcessRunner.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace proc {

namespace {

bool Named(const std::string& entry, const char* name) {
    const size_t n = std::strlen(name);
    return entry.size() > n && entry.compare(0, n, name) == 0 && entry[n] == '=';
}

void ClosePair(int fds[2]) {
    for (int i = 0; i < 2; ++i)
        if (fds[i] >= 0)
            ::close(fds[i]);
    fds[0] = fds[1] = -1;
}

} // namespace

std::vector<std::string> ChildEnvironment(const std::vector<std::string>& inherited) {
    static const char* const kDropped[] = {"GIT_DIR", "GIT_WORK_TREE", "GIT_INDEX_FILE", "GIT_OBJECT_DIRECTORY",
                                           "GIT_ALTERNATE_OBJECT_DIRECTORIES", "GIT_COMMON_DIR",
                                           "GIT_NAMESPACE", "GIT_PREFIX", "GIT_TERMINAL_PROMPT"};
    std::vector<std::string> env;
    bool ownSsh = false;
    for (const std::string& entry : inherited) {
        bool drop = false;
        for (const char* name : kDropped)
            drop = drop || Named(entry, name);
        if (drop)
            continue;
        ownSsh = ownSsh || Named(entry, "GIT_SSH_COMMAND") || Named(entry, "GIT_SSH");
        env.push_back(entry);
    }
    env.push_back("GIT_TERMINAL_PROMPT=0");
    if (!ownSsh)
        env.push_back("GIT_SSH_COMMAND=ssh -o BatchMode=yes");
    return env;
}

Result Run(const std::vector<std::string>& argv) {
    Result result;
    if (argv.empty()) {
        result.error = "no program named";
        return result;
    }
    std::vector<std::string> inherited;
    for (char** e = environ; e && *e; ++e)
        inherited.emplace_back(*e);
    std::vector<std::string> env = ChildEnvironment(inherited);
    std::vector<char*> args, envp;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (std::string& v : env)
        envp.push_back(v.data());
    envp.push_back(nullptr);

    int out[2] = {-1, -1}, err[2] = {-1, -1};
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        result.error = std::strerror(errno);
        ClosePair(out);
        ClosePair(err);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    pid_t pid = -1;
    const int spawned = argv[0].find('/') == std::string::npos
                            ? ::posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, args.data(), envp.data())
                            : ::posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    if (spawned != 0) {
        result.error = argv[0] + ": " + std::strerror(spawned);
        ::close(out[0]);
        ::close(err[0]);
        return result;
    }
    result.started = true;

    // Drains both outputs together, so that neither pipe fills up.
    int outFd = out[0], errFd = err[0];
    char buffer[65536];
    while (outFd >= 0 || errFd >= 0) {
        pollfd fds[2];
        int n = 0;
        if (outFd >= 0)
            fds[n++] = {outFd, POLLIN, 0};
        if (errFd >= 0)
            fds[n++] = {errFd, POLLIN, 0};
        if (::poll(fds, n, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < n; ++i) {
            if (!fds[i].revents)
                continue;
            const ssize_t r = ::read(fds[i].fd, buffer, sizeof buffer);
            if (r > 0) {
                (fds[i].fd == outFd ? result.out : result.err).append(buffer, static_cast<size_t>(r));
            } else if (r == 0 || (errno != EINTR && errno != EAGAIN)) {
                ::close(fds[i].fd);
                (fds[i].fd == outFd ? outFd : errFd) = -1;
            }
        }
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace proc
