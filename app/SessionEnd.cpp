#include "app/SessionEnd.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>

#include "base/WriteGate.h"

namespace {

int g_pipe[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
// The signals received since the handlers were installed.
std::atomic<int> g_received{0};
static_assert(std::atomic<int>::is_always_lock_free, "used in a signal handler");

void OnSignal(int sig) {
    // The interrupted code may be about to read errno.
    const int savedErrno = errno;
    if (g_received.fetch_add(1) == 0) {
        const char byte = 1;
        // Nothing else is safe in a handler.
        [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    } else if (sig == SIGINT) {
        // Ctrl+C again: the user will not wait for the close. Only a file write under
        // way is finished first. A later SIGTERM or SIGHUP does not hurry the close (a
        // session's end sends both, one after the other).
        fileio::EndAfterWrites(sig);
    }
    errno = savedErrno;
}

} // namespace

CSessionEnd::CSessionEnd(std::function<void()> onEnd, QObject* parent) : QObject(parent), m_onEnd(std::move(onEnd)) {
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    if (g_pipe[0] >= 0) {
        auto drain = [] {
            char bytes[64];
            while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
            }
        };
        // What an earlier session left unread was for that session.
        drain();
        m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this, drain] {
            drain();
            Fire();
        });
        g_received = 0;
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        // One handler at a time, whichever of the signals comes.
        for (int sig : kSignals)
            sigaddset(&action.sa_mask, sig);
        action.sa_flags = SA_RESTART;
        for (int sig : kSignals)
            ::sigaction(sig, &action, nullptr);
    }
    // The desktop's session manager asks before it ends the session.
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::commitDataRequest, this, [this] { Fire(); });
}

CSessionEnd::~CSessionEnd() {
    for (int sig : kSignals)
        ::signal(sig, SIG_DFL);
}

void CSessionEnd::Fire() {
    if (m_fired || !m_onEnd)
        return;
    m_fired = true;
    m_onEnd();
}
