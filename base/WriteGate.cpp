#include "base/WriteGate.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

namespace fileio {

namespace {

// The writes under way in the low bits; the signal to end by above them (0: none asked).
// One word, so that the handler and the writers agree without a lock.
constexpr unsigned kSignalShift = 20;
constexpr unsigned kCountMask = (1u << kSignalShift) - 1;
std::atomic<unsigned> g_state{0};
static_assert(std::atomic<unsigned>::is_always_lock_free, "used in a signal handler");

[[noreturn]] void EndNow(int sig) {
    // The default action, not _exit: whoever started the program sees it ended by sig.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(sig, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(sig);
    // A signal whose default action does not end the program was asked for.
    ::_exit(128 + sig);
}

} // namespace

void EndAfterWrites(int sig) {
    // The first request's signal stands.
    unsigned state = g_state.load();
    while (!(state >> kSignalShift) &&
           !g_state.compare_exchange_weak(state, state | (static_cast<unsigned>(sig) << kSignalShift))) {
    }
    if ((state & kCountMask) == 0)
        EndNow(state >> kSignalShift ? static_cast<int>(state >> kSignalShift) : sig);
}

WriteSection::WriteSection() {
    unsigned state = g_state.load();
    do {
        if (state >> kSignalShift)
            EndNow(static_cast<int>(state >> kSignalShift));
    } while (!g_state.compare_exchange_weak(state, state + 1));
}

WriteSection::~WriteSection() {
    const unsigned after = g_state.fetch_sub(1) - 1;
    if ((after & kCountMask) == 0 && (after >> kSignalShift))
        EndNow(static_cast<int>(after >> kSignalShift));
}

} // namespace fileio
