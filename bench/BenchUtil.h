// Small helpers of the benchmark: a clock, medians, child processes, memory figures
// and a messenger that keeps messages off the screen.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Messenger.h"

namespace bench {

// Seconds on the monotonic clock.
double Now();
// Seconds of processor time this thread has used.
double CpuNow();

// Median of the figures (the mean of the middle two for an even count).
double Median(std::vector<double> values);

// Runs fn `runs` times and returns the median wall time of one run, in seconds.
double MedianOf(int runs, const std::function<void()>& fn);

// Runs argv (argv[0] looked up in PATH) in the C locale, with standard output sent to
// out and standard error to /dev/null, and waits for it; returns its wall time in
// seconds, or a negative figure when it could not be started or did not exit with
// status 0 or 1 (grep's "nothing found" is 1). grep stops at the first match when
// its output is /dev/null, so searches must write to a real file. A non-empty dir is
// the child's working folder (this process keeps its own).
double RunQuiet(const std::vector<std::string>& argv, const std::string& out = "/dev/null",
                const std::string& dir = {});

// Runs argv and returns its standard output (empty on failure).
std::string RunCapture(const std::vector<std::string>& argv);

// True when a program of that name is on the PATH.
bool HaveProgram(const std::string& name);

// A field of /proc/self/status in bytes (VmHWM, VmRSS); 0 when unreadable.
std::uint64_t StatusBytes(const char* field);

// Replaces the file at path with bytes as a crash-safe save does, with plain system
// calls: a new file beside it, written and synced, renamed over it, the folder synced.
// Returns the seconds taken, or a negative figure on failure.
double WriteReplacing(const std::string& path, const std::string& bytes);

// The bytes of a file; empty when unreadable.
std::string FileContent(const std::string& path);

// Size of a file in bytes; 0 when absent.
std::uint64_t FileBytes(const std::string& path);

// a followed by b.
std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b);

// Counts the library's messages instead of showing them; answers Yes/Ok.
class QuietMessenger : public IMessenger {
public:
    QuietMessenger();
    ~QuietMessenger() override;
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon) override;
    int count = 0;
    std::string first;
};

} // namespace bench
