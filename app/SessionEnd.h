// The end of a session that nobody can answer questions for: SIGTERM (logout, shutdown,
// kill), SIGHUP, SIGINT and the desktop session's end. Each becomes one call on the
// window thread (a signal handler may do almost nothing itself: it writes a byte to a
// pipe, which the event loop reads).
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

class CSessionEnd : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; onEnd runs once, on the window thread, for the first of
    // the signals or the session's end.
    explicit CSessionEnd(std::function<void()> onEnd, QObject* parent = nullptr);
    // Puts the default handlers back.
    ~CSessionEnd() override;

private:
    void Fire();

    std::function<void()> m_onEnd;
    QSocketNotifier* m_notifier = nullptr;
    bool m_fired = false;
};
