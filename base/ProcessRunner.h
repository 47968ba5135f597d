// Running another program (git) as a child process: an argument vector, no shell, its
// standard output and error captured, its exit status returned. The child never waits
// for a person: its standard input is empty, git may not ask for a password on the
// terminal, and ssh runs in batch mode unless the user chose an ssh command for git.
// The git variables that would point git at another repository than the one named
// with -C are left out of the child's environment.
#pragma once

#include <string>
#include <vector>

namespace proc {

struct Result {
    bool started = false; // false: the program could not be run (error says why)
    int status = -1;      // the exit status; -1 when the child ended by a signal
    std::string out;
    std::string err;
    std::string error;
    bool Ok() const { return started && status == 0; }
};

// Runs argv[0] (looked up in PATH when it holds no '/') with argv and standard input
// from /dev/null, and waits for it to end.
Result Run(const std::vector<std::string>& argv);

// The environment a child gets, from the given one (name=value entries).
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& inherited);

} // namespace proc
