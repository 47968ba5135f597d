// CMainFrame: the main window with its menu, accelerators, toolbar and status bar
// around the view.
#pragma once

#include <QMainWindow>
#include <QMap>

#include "browser/QuorrinView.h"

class IFrameHost;
class QAction;
class QLabel;
class QMenu;
class QToolBar;
class CSyncControl;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(IFrameHost& app);
    ~CMainFrame() override;

    CQuorrinView* View() const { return m_view; }
    CSyncControl* Sync() const { return m_sync; }
    // The action of a command id (see app/Commands.h), or nullptr.
    QAction* Action(int id) const { return m_actions.value(id, nullptr); }

    // Sets every command's enabled state from its rule, and the status-bar panes.
    void UpdateCommandUI();
    // The view's splitters, zoom and options as kept, and the View menu with them.
    void ApplyViewLayout(const CQuorrinView::Layout& layout);

    static constexpr const char* kIdleText = "Ready";

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* AddCommand(int id, const char* text, const char* prompt, const char* objectName);
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void ScheduleUpdate();

    IFrameHost& m_app;
    CQuorrinView* m_view = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_indicators[3] = {nullptr, nullptr, nullptr};
    // File > Sync Now and the sync's indicator.
    CSyncControl* m_sync = nullptr;
    QMap<int, QAction*> m_actions;
    bool m_updatePending = false;
};
