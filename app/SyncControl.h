// The window's side of keeping the library in step with its other copies through git:
// File > Sync Now, the status-bar indicator, a commit shortly after each save, a fetch and
// merge at start, on Sync Now and on an idle timer, a push after commits. git runs on a
// worker thread with the same code as tindrel-cli sync; the window never waits for it.
// What a merge brought reaches the window as any other program's change does.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "library/LibrarySync.h"

class CQuorrinView;
class QAction;
class QLabel;
class QStatusBar;
class QTimer;

class CSyncControl : public QObject {
    Q_OBJECT
public:
    // How long saves are gathered before they are committed.
    static constexpr int kGatherMs = 3000;

    // view: whose document is synced (none while the library is being read); bar: where
    // the indicator stands; syncNow: the File menu's command, enabled while the folder is
    // a repository and no sync runs.
    CSyncControl(CQuorrinView& view, QStatusBar& bar, QAction& syncNow, QObject* parent = nullptr);
    ~CSyncControl() override;

    // Asked each minute: how many minutes without a sync start one (0: none).
    void SetIdleMinutes(std::function<int()> minutes) { m_idleMinutes = std::move(minutes); }
    // Sync now: unsaved form text is saved first, then commit, fetch, merge, push.
    void SyncNow();
    // The view's commands changed state: a save that just happened is committed soon.
    void OnCommandState();
    // The program that git runs as the merge driver.
    void SetDriverProgram(std::string program) { m_driver = std::move(program); }

    QLabel* Indicator() const { return m_indicator; }
    bool Running() const { return m_running; }

signals:
    // A sync (or status check) has ended and the indicator shows its result.
    void Finished();

private:
    enum class Job { Status, Commit, Sync };
    void Start(Job job);
    void Done(const librarysync::Report& report, const librarysync::Status& status, bool synced);
    void ShowStatus(const librarysync::Status& status);
    librarysync::Options MakeOptions() const;

    CQuorrinView& m_view;
    QStatusBar& m_bar;
    QAction& m_syncNow;
    QLabel* m_indicator;
    QTimer* m_gather;
    QTimer* m_idle;
    QTimer* m_startUp;
    std::string m_driver = "tindrel-cli";
    std::function<int()> m_idleMinutes;
    int m_minutesIdle = 0;
    bool m_running = false;
    bool m_pending = false; // a sync asked for while one ran
    bool m_hasRemote = false;
    bool m_repository = false;
    bool m_wasUnsaved = false;
    // Shared with the worker, which posts its result only while the window lives.
    struct Link {
        std::mutex mutex;
        CSyncControl* owner = nullptr;
    };
    std::shared_ptr<Link> m_link;
};
