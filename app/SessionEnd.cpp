#include "app/SessionEnd.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSocketNotifier>
#include <csignal>

namespace {

int g_pipe[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

void OnSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a handler; a full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

CSessionEnd::CSessionEnd(std::function<void()> onEnd, QObject* parent) : QObject(parent), m_onEnd(std::move(onEnd)) {
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    if (g_pipe[0] >= 0) {
        m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            char bytes[64];
            while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
            }
            Fire();
        });
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
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
