#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "app/Commands.h"
#include "app/LockIndicators.h"
#include "app/SyncControl.h"
#include "ui/MessageBoxes.h"
#include "app/FrameHost.h"
#include "browser/QuorrinView.h"
#include "browser/SampleTree.h"
#include "config/LibraryConfig.h"
#include "library/QuorrinDoc.h"

static void InitTindrelResources() { Q_INIT_RESOURCE(tindrel); }

namespace {

QIcon CommandIcon(const char* themeName, const QString& resource, QStyle::StandardPixmap fallback,
                  const QWidget* w) {
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(themeName));
    if (!icon.isNull())
        return icon;
    if (!resource.isEmpty())
        return QIcon(resource);
    return w->style()->standardIcon(fallback, nullptr, w);
}

// The menu text without its mnemonic marks and its shortcut column.
QString PlainMenuText(const QString& text) {
    QString t = text.section(QLatin1Char('\t'), 0, 0).trimmed();
    t.remove(QLatin1Char('&'));
    if (t.endsWith(QLatin1String("...")))
        t.chop(3);
    return t;
}

// The command-line tool that git runs as the merge driver: the one installed beside the
// program, or the one of the same build, or the one on the PATH.
std::string MergeDriverProgram() {
    const QDir here(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {here.filePath(QStringLiteral("tindrel-cli")),
                                     here.filePath(QStringLiteral("../cli/tindrel-cli"))}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return info.canonicalFilePath().toStdString();
    }
    return "tindrel-cli";
}

} // namespace

CMainFrame::CMainFrame(IFrameHost& app) : m_app(app) {
    InitTindrelResources();
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("Tindrel"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tindrel.xpm")));

    m_view = new CQuorrinView(*app.Document(), app.Config(), app, this);
    setCentralWidget(m_view);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();

    CMessageBoxes::SetParentWindow(this);
    connect(m_view, &CQuorrinView::CommandStateChanged, this, &CMainFrame::ScheduleUpdate);
    connect(m_view, &CQuorrinView::ChangedOutsideNoticed, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    connect(m_view, &CQuorrinView::StatusText, this, [this](const QString& text) { statusBar()->showMessage(text); });
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
    ShutdownLockState();
}

QAction* CMainFrame::AddCommand(int id, const char* text, const char* prompt, const char* objectName) {
    auto* action = new QAction(QString::fromLatin1(text), this);
    action->setObjectName(QString::fromLatin1(objectName));
    const QString p = QString::fromLatin1(prompt);
    const qsizetype nl = p.indexOf(QLatin1Char('\n'));
    action->setStatusTip(nl < 0 ? p : p.left(nl));
    action->setToolTip(nl < 0 ? PlainMenuText(action->text()) : p.mid(nl + 1));
    // Added to the window as well, so that accelerators without a menu item work.
    addAction(action);
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::CreateActions() {
    using QKS = QKeySequence;
    CQuorrinView* v = m_view;

    QAction* a = AddCommand(cmd::kFileNew, "&New\tCtrl+N", "Create a new document\nNew", "actionNew");
    a->setShortcut(QKS(Qt::CTRL | Qt::Key_N));
    a->setIcon(CommandIcon("document-new", QString(), QStyle::SP_FileIcon, this));
    a = AddCommand(cmd::kFileOpen, "&Open...\tCtrl+O", "Open an existing document\nOpen", "actionOpen");
    a->setShortcut(QKS(Qt::CTRL | Qt::Key_O));
    a->setIcon(CommandIcon("document-open", QString(), QStyle::SP_DialogOpenButton, this));
    a = AddCommand(cmd::kFileSave, "&Save\tCtrl+S", "Save Quorrin samples\nSave", "actionSave");
    a->setShortcut(QKS(Qt::CTRL | Qt::Key_S));
    a->setIcon(CommandIcon("document-save", QString(), QStyle::SP_DialogSaveButton, this));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnFileSave);
    a = AddCommand(cmd::kFileImport, "&Import...",
                   "Import samples from VS Code snippets, Markdown, source files, massCode or SnippetsLab\nImport",
                   "actionImport");
    connect(a, &QAction::triggered, v, &CQuorrinView::OnImport);
    a = AddCommand(cmd::kFileExport, "&Export...",
                   "Write the library out as Markdown, VS Code snippets or source files\nExport", "actionExport");
    connect(a, &QAction::triggered, v, &CQuorrinView::OnExport);
    a = AddCommand(cmd::kSyncNow, "Sync &Now",
                   "Commit the library's changes, bring in those of its other copies and send yours (git)\nSync now",
                   "actionSyncNow");
    a = AddCommand(cmd::kLibraryFolder, "Library &Folder...",
                   "Open the library in another folder and keep it as your library folder\nLibrary folder",
                   "actionLibraryFolder");
    connect(a, &QAction::triggered, this, [this] { m_app.ChooseLibraryFolder(); });
    a = AddCommand(cmd::kFilePrint, "&Print...\tCtrl+P", "Print the active document\nPrint", "actionPrint");
    a->setShortcut(QKS(Qt::CTRL | Qt::Key_P));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnFilePrint);
    // Print preview has no menu item; its key is the only way to it.
    a = AddCommand(cmd::kFilePrintPreview, "Print Pre&view", "Display full pages\nPrint Preview",
                   "actionPrintPreview");
    a->setShortcut(QKS(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnFilePrintPreview);
    a = AddCommand(cmd::kAppExit, "E&xit", "Quit the application; prompts to save documents\nExit", "actionExit");
    connect(a, &QAction::triggered, this, &QWidget::close);

    // In the editor and the text fields the keys are their own undo, which they take
    // before the window's shortcut; elsewhere they undo the last delete.
    a = AddCommand(cmd::kEditUndo, "&Undo\tCtrl+Z", "Undo the last action\nUndo", "actionUndo");
    a->setShortcuts({QKS(Qt::CTRL | Qt::Key_Z), QKS(Qt::ALT | Qt::Key_Backspace)});
    connect(a, &QAction::triggered, v, &CQuorrinView::OnUndoDelete);
    a = AddCommand(cmd::kTrash, "T&rash...", "List the deleted samples, restore them or empty the trash\nTrash",
                   "actionTrash");
    connect(a, &QAction::triggered, v, &CQuorrinView::OnTrash);
    a = AddCommand(cmd::kEditCut, "Cu&t\tCtrl+X", "Cut the selection and put it on the Clipboard\nCut",
                   "actionCut");
    a->setShortcuts({QKS(Qt::CTRL | Qt::Key_X), QKS(Qt::SHIFT | Qt::Key_Delete)});
    a->setIcon(CommandIcon("edit-cut", QStringLiteral(":/icons/cut.xpm"), QStyle::SP_CustomBase, this));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnEditCut);
    a = AddCommand(cmd::kEditCopy, "&Copy\tCtrl+C", "Copy the selection and put it on the Clipboard\nCopy",
                   "actionCopy");
    a->setShortcuts({QKS(Qt::CTRL | Qt::Key_C), QKS(Qt::CTRL | Qt::Key_Insert)});
    a->setIcon(CommandIcon("edit-copy", QStringLiteral(":/icons/copy.xpm"), QStyle::SP_CustomBase, this));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnEditCopy);
    a = AddCommand(cmd::kEditPaste, "&Paste\tCtrl+V", "Insert Clipboard contents\nPaste", "actionPaste");
    a->setShortcuts({QKS(Qt::CTRL | Qt::Key_V), QKS(Qt::SHIFT | Qt::Key_Insert)});
    a->setIcon(CommandIcon("edit-paste", QStringLiteral(":/icons/paste.xpm"), QStyle::SP_CustomBase, this));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnEditPaste);
    a = AddCommand(cmd::kCopySampleToClipboard, "Copy &sample to clipboard",
                   "Copy the currently selected sample text to the clipboard\nCopy to clipbaord",
                   "actionCopySampleToClipboard");
    a->setShortcut(QKS(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    a->setIcon(CommandIcon("x-tindrel-copy-sample", QStringLiteral(":/icons/copysample.xpm"), QStyle::SP_CustomBase,
                           this));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnCopySampleToClipboard);

    a = AddCommand(cmd::kViewToolbar, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar", "actionViewToolbar");
    a->setCheckable(true);
    a->setChecked(true);
    a = AddCommand(cmd::kViewStatusBar, "&Status Bar", "Show or hide the status bar\nToggle StatusBar",
                   "actionViewStatusBar");
    a->setCheckable(true);
    a->setChecked(true);
    a = AddCommand(cmd::kExpandAll, "&Expand all", "Expand all branches of the tree\nExpand all", "actionExpandAll");
    connect(a, &QAction::triggered, v, &CQuorrinView::OnExpandAll);
    a = AddCommand(cmd::kCollapseAll, "&Collapse all", "Collapse all branches of the tree\nCollapse all",
                   "actionCollapseAll");
    connect(a, &QAction::triggered, v, &CQuorrinView::OnCollapseAll);
    a = AddCommand(cmd::kShowWhiteSpace, "Show &White Space",
                   "Show blanks, tabs and line ends in the sample text\nShow white space", "actionShowWhiteSpace");
    a->setCheckable(true);
    connect(a, &QAction::toggled, v, &CQuorrinView::SetWhitespaceShown);
    a = AddCommand(cmd::kFindSamples, "&Find Samples\tCtrl+K",
                   "Narrow the tree to the samples whose title or keywords hold a text\nFind samples",
                   "actionFindSamples");
    a->setShortcut(QKS(Qt::CTRL | Qt::Key_K));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnFindSamples);

    a = AddCommand(cmd::kSearch, "Sea&rch...\tCtrl+L", "Search for text in existiing samples\nSearch samples",
                   "actionSearch");
    a->setShortcut(QKS(Qt::CTRL | Qt::Key_L));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnSearch);
    a = AddCommand(cmd::kInsert, "&Insert... \tCtrl+I", "Insert a new item into the tree\nInsert item into tree",
                   "actionInsert");
    a->setShortcut(QKS(Qt::CTRL | Qt::Key_I));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnInsert);
    a = AddCommand(cmd::kDelete, "&Delete\tCtrl+D", "Delete item from the tree\nDelete tree item", "actionDelete");
    a->setShortcut(QKS(Qt::CTRL | Qt::Key_D));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnDelete);
    a = AddCommand(cmd::kChangeTitle, "&Change title...\tCtrl+T",
                   "Change title for the currently-displayed sample\nChange title", "actionChangeTitle");
    a->setShortcut(QKS(Qt::CTRL | Qt::Key_T));
    connect(a, &QAction::triggered, v, &CQuorrinView::OnChangeTitle);
    a = AddCommand(cmd::kRestoreDefaults, "R&estore defaults",
                   "Show all default categories/subcategories that have been hidden\n"
                   "Show hidden categories/subcategories",
                   "actionRestoreDefaults");
    connect(a, &QAction::triggered, v, &CQuorrinView::OnRestoreDefaults);
    a = AddCommand(cmd::kCorrectLoadErrors, "Correct &load errors...",
                   "Provides opportunity to correct samples that did not load\nCorrect load errors",
                   "actionCorrectLoadErrors");
    connect(a, &QAction::triggered, this, [this] { m_app.ShowLoadErrorsDialog(); });
    a = AddCommand(cmd::kOptions, "&Options...", "Modify Quorrin options", "actionOptions");
    connect(a, &QAction::triggered, v, &CQuorrinView::OnOptions);

    a = AddCommand(cmd::kLibraryHelp, "Library &Help", "Display Help information", "actionLibraryHelp");
    connect(a, &QAction::triggered, v, &CQuorrinView::OnLibraryHelp);
    a = AddCommand(cmd::kLibraryInfo, "Library &Info...", "Display library statistics", "actionLibraryInfo");
    connect(a, &QAction::triggered, v, &CQuorrinView::OnLibraryInfo);
    a = AddCommand(cmd::kAppAbout, "&About Tindrel...",
                   "Display program information, version number and copyright\nAbout", "actionAbout");
    a->setIcon(CommandIcon("help-about", QStringLiteral(":/icons/about.xpm"), QStyle::SP_CustomBase, this));
    connect(a, &QAction::triggered, this, [this] { m_app.OnAppAbout(); });
}

void CMainFrame::CreateMenus() {
    auto menu = [this](const char* title, const char* name) {
        QMenu* m = menuBar()->addMenu(QString::fromLatin1(title));
        m->setObjectName(QString::fromLatin1(name));
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
        return m;
    };
    QMenu* file = menu("&File", "menuFile");
    file->addAction(Action(cmd::kFileSave));
    file->addSeparator();
    file->addAction(Action(cmd::kFileImport));
    file->addAction(Action(cmd::kFileExport));
    file->addSeparator();
    file->addAction(Action(cmd::kSyncNow));
    file->addSeparator();
    file->addAction(Action(cmd::kLibraryFolder));
    file->addSeparator();
    file->addAction(Action(cmd::kAppExit));

    QMenu* edit = menu("&Edit", "menuEdit");
    edit->addAction(Action(cmd::kEditUndo));
    edit->addSeparator();
    edit->addAction(Action(cmd::kEditCut));
    edit->addAction(Action(cmd::kEditCopy));
    edit->addAction(Action(cmd::kEditPaste));
    edit->addSeparator();
    edit->addAction(Action(cmd::kCopySampleToClipboard));
    edit->addSeparator();
    edit->addAction(Action(cmd::kTrash));

    QMenu* view = menu("&View", "menuView");
    view->addAction(Action(cmd::kViewToolbar));
    view->addAction(Action(cmd::kViewStatusBar));
    view->addSeparator();
    view->addAction(Action(cmd::kExpandAll));
    view->addAction(Action(cmd::kCollapseAll));
    view->addSeparator();
    view->addAction(Action(cmd::kFindSamples));
    view->addAction(Action(cmd::kShowWhiteSpace));

    QMenu* samples = menu("&Samples", "menuSamples");
    samples->addAction(Action(cmd::kSearch));
    samples->addAction(Action(cmd::kInsert));
    samples->addAction(Action(cmd::kDelete));
    samples->addAction(Action(cmd::kChangeTitle));
    samples->addSeparator();
    samples->addAction(Action(cmd::kRestoreDefaults));
    samples->addAction(Action(cmd::kCorrectLoadErrors));
    samples->addSeparator();
    samples->addAction(Action(cmd::kOptions));

    QMenu* help = menu("&Help", "menuHelp");
    help->addAction(Action(cmd::kLibraryHelp));
    help->addAction(Action(cmd::kLibraryInfo));
    help->addSeparator();
    help->addAction(Action(cmd::kAppAbout));
}

void CMainFrame::CreateToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Standard"));
    m_toolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->addAction(Action(cmd::kFileNew));
    m_toolBar->addAction(Action(cmd::kFileOpen));
    m_toolBar->addAction(Action(cmd::kFileSave));
    m_toolBar->addSeparator();
    m_toolBar->addAction(Action(cmd::kEditCut));
    m_toolBar->addAction(Action(cmd::kEditCopy));
    m_toolBar->addAction(Action(cmd::kEditPaste));
    m_toolBar->addAction(Action(cmd::kCopySampleToClipboard));
    m_toolBar->addSeparator();
    m_toolBar->addAction(Action(cmd::kAppAbout));

    QAction* toggle = Action(cmd::kViewToolbar);
    connect(toggle, &QAction::toggled, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, toggle, [this, toggle](bool visible) {
        // Hiding the window hides the bar too; only the user's choice counts.
        if (isVisible())
            toggle->setChecked(visible);
    });
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    const char* names[3] = {"CAP", "NUM", "SCRL"};
    for (int i = 0; i < 3; ++i) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(QStringLiteral("indicator%1").arg(QString::fromLatin1(names[i])));
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QString::fromLatin1(names[i])) + 12);
        pane->setProperty("indicatorText", QString::fromLatin1(names[i]));
        bar->addPermanentWidget(pane);
        m_indicators[i] = pane;
    }
    bar->showMessage(QString::fromLatin1(kIdleText));
    connect(Action(cmd::kViewStatusBar), &QAction::toggled, bar, &QWidget::setVisible);

    m_sync = new CSyncControl(*m_view, *bar, *Action(cmd::kSyncNow), this);
    m_sync->SetDriverProgram(MergeDriverProgram());
    CLibraryConfig& config = m_app.Config();
    m_sync->SetIdleMinutes([&config] { return config.m_syncMinutes; });
    connect(Action(cmd::kSyncNow), &QAction::triggered, m_sync, &CSyncControl::SyncNow);
    connect(m_view, &CQuorrinView::CommandStateChanged, m_sync, &CSyncControl::OnCommandState);
}

void CMainFrame::ApplyViewLayout(const CQuorrinView::Layout& layout) {
    m_view->ApplyLayout(layout);
    Action(cmd::kShowWhiteSpace)->setChecked(layout.whitespace);
}

void CMainFrame::ScheduleUpdate() {
    if (m_updatePending)
        return;
    m_updatePending = true;
    QTimer::singleShot(0, this, [this] {
        m_updatePending = false;
        UpdateCommandUI();
    });
}

void CMainFrame::UpdateCommandUI() {
    CQuorrinDoc* doc = m_view->Document();
    const int tag = m_view->SelectedTag();
    auto set = [this](int id, bool on) {
        if (QAction* a = Action(id))
            a->setEnabled(on);
    };
    set(cmd::kFileNew, CQuorrinDoc::CanNew());
    set(cmd::kFileOpen, CQuorrinDoc::CanOpen());
    set(cmd::kFileSave, doc && doc->CanSave());
    set(cmd::kFilePrint, doc != nullptr);
    set(cmd::kFilePrintPreview, doc != nullptr);
    // Undo names what it undoes while there is a deletion to bring back.
    const bool canUndo = m_view->CanUndoDelete();
    set(cmd::kEditUndo, canUndo);
    Action(cmd::kEditUndo)->setText(canUndo ? QStringLiteral("&Undo Delete\tCtrl+Z") : QStringLiteral("&Undo\tCtrl+Z"));
    set(cmd::kEditCut, m_view->CanCut());
    set(cmd::kEditCopy, m_view->CanCopy());
    set(cmd::kEditPaste, m_view->CanPaste());
    set(cmd::kCopySampleToClipboard, doc && tag == kTagSample);
    set(cmd::kExpandAll, true);
    set(cmd::kCollapseAll, m_view->IsRootExpanded());
    set(cmd::kSearch, doc && doc->GetSampleCount() > 0);
    // A library opened read-only (another window has it) is not changed from here.
    const bool editable = doc && !doc->IsReadOnly();
    set(cmd::kInsert, editable);
    set(cmd::kDelete, editable && tag != kTagRoot);
    set(cmd::kChangeTitle, editable && tag == kTagSample);
    m_view->EnableChangeTitle(editable && tag == kTagSample);
    set(cmd::kRestoreDefaults, editable && doc->AnyHidden());
    set(cmd::kFileImport, editable);
    set(cmd::kTrash, editable);
    set(cmd::kFileExport, doc != nullptr);
    set(cmd::kCorrectLoadErrors, editable && m_app.GetLoadErrorCount() >= 1);
    set(cmd::kOptions, doc != nullptr);
    set(cmd::kLibraryHelp, true);
    set(cmd::kLibraryInfo, doc != nullptr);
    set(cmd::kAppAbout, true);
    set(cmd::kFindSamples, doc != nullptr);
    set(cmd::kShowWhiteSpace, true);

    const LockState locks = QueryLockState();
    const bool on[3] = {locks.caps, locks.num, locks.scroll};
    for (int i = 0; i < 3; ++i)
        m_indicators[i]->setText(on[i] ? m_indicators[i]->property("indicatorText").toString() : QString());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_app.CloseDocument(m_app.EndingSession())) {
        event->accept();
        UpdateCommandUI();
    } else {
        event->ignore();
    }
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // The prompt of the highlighted command, or "Ready" when nothing is highlighted.
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        statusBar()->showMessage(tip.isEmpty() ? QString::fromLatin1(kIdleText) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
        ScheduleUpdate();
        break;
    case QEvent::MouseMove:
        // A disabled menu item tells what it does too, as a disabled toolbar button does.
        if (auto* menu = qobject_cast<QMenu*>(watched)) {
            QAction* action = menu->actionAt(static_cast<QMouseEvent*>(event)->position().toPoint());
            if (action && !action->isEnabled() && !action->statusTip().isEmpty())
                statusBar()->showMessage(action->statusTip());
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
