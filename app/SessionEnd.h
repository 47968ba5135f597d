// The end of a session that nobody can answer questions for: SIGTERM (logout, shutdown,
// kill), SIGHUP, SIGINT and the desktop session's end. Each becomes one call on the
// window thread (a signal handler may do almost nothing itself: it writes a byte to a
// pipe, which the event loop reads).
//
// A SIGINT after the first signal (Ctrl+C pressed again while the window saves and
// closes) ends the program without waiting for the close, but never halfway through a file:
// at once when no file is being written, else when the write under way is complete
// (fileio::EndAfterWrites). Every file is replaced atomically, so what is on disk then
// is each file whole, old or new.
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
