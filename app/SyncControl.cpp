#include "app/SyncControl.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <thread>

#include "browser/QuorrinView.h"
#include "library/Category.h"
#include "library/QuorrinDoc.h"

CSyncControl::CSyncControl(CQuorrinView& view, QStatusBar& bar, QAction& syncNow, QObject* parent)
    : QObject(parent), m_view(view), m_bar(bar), m_syncNow(syncNow), m_indicator(new QLabel(&bar)),
      m_gather(new QTimer(this)), m_idle(new QTimer(this)), m_startUp(new QTimer(this)),
      m_link(std::make_shared<Link>()) {
    m_link->owner = this;
    m_indicator->setObjectName(QStringLiteral("indicatorSync"));
    m_indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_indicator->setAlignment(Qt::AlignCenter);
    m_indicator->hide(); // until the folder shows itself a repository
    bar.addPermanentWidget(m_indicator);
    m_syncNow.setEnabled(false);

    m_gather->setSingleShot(true);
    m_gather->setInterval(kGatherMs);
    connect(m_gather, &QTimer::timeout, this, [this] { Start(m_hasRemote ? Job::Sync : Job::Commit); });
    connect(m_idle, &QTimer::timeout, this, [this] {
        const int every = m_idleMinutes ? m_idleMinutes() : 0;
        // Unsaved changes wait for their save, which syncs in its turn.
        CQuorrinDoc* doc = m_view.Document();
        if (every > 0 && m_hasRemote && ++m_minutesIdle >= every && doc && !doc->CanSave())
            Start(Job::Sync);
    });
    m_idle->start(60 * 1000);
    // At start, once the library has been read: what the folder is, then the first sync.
    m_startUp->setInterval(500);
    connect(m_startUp, &QTimer::timeout, this, [this] {
        if (!m_view.Document())
            return;
        m_startUp->stop();
        Start(Job::Status);
    });
    m_startUp->start();
}

CSyncControl::~CSyncControl() {
    std::lock_guard<std::mutex> lock(m_link->mutex);
    m_link->owner = nullptr;
}

void CSyncControl::SyncNow() {
    CQuorrinDoc* doc = m_view.Document();
    if (!doc || !m_repository)
        return;
    // The form's text and every unsaved change go into the files first, so the merge
    // works on them and nothing typed waits outside the history.
    if (doc->CanSave() && !m_view.OnFileSave())
        return;
    m_wasUnsaved = false;
    m_gather->stop();
    Start(Job::Sync);
}

void CSyncControl::OnCommandState() {
    CQuorrinDoc* doc = m_view.Document();
    const bool unsaved = doc && doc->CanSave();
    // Unsaved before, saved now: gather this save with those that follow soon.
    if (m_wasUnsaved && !unsaved && m_repository && doc)
        m_gather->start();
    m_wasUnsaved = unsaved;
}

librarysync::Options CSyncControl::MakeOptions() const {
    librarysync::Options options;
    options.driverProgram = m_driver;
    // What the library holds, by file: a file that lost a title the library still holds
    // there lost it by accident and is not committed.
    std::map<std::string, std::set<std::string>> held;
    if (CQuorrinDoc* doc = m_view.Document()) {
        for (const auto& [title, sample] : doc->Samples())
            if (const CCategory* category = doc->PeekCategory(sample->GetCategory()))
                held[category->GetFileName()].insert(sample->GetTitle());
    }
    options.held = std::move(held);
    return options;
}

void CSyncControl::Start(Job job) {
    CQuorrinDoc* doc = m_view.Document();
    if (!doc || doc->IsReadOnly() || doc->IsClosing())
        return;
    if (m_running) {
        m_pending = m_pending || job != Job::Status;
        return;
    }
    m_running = true;
    m_minutesIdle = 0;
    m_syncNow.setEnabled(false);
    if (job != Job::Status) {
        m_indicator->setText(QStringLiteral("Syncing..."));
        m_indicator->show();
    }
    const std::string folder = doc->Folder();
    const librarysync::Options options = MakeOptions();
    std::shared_ptr<Link> link = m_link;
    std::thread([link, folder, options, job] {
        librarysync::Report report;
        librarysync::Status status = librarysync::GetStatus(folder, false);
        if (status.repository) {
            librarysync::WriteDriver(folder, options);
            if (job == Job::Sync || (job == Job::Status && status.hasRemote)) {
                report = librarysync::Sync(folder, options);
            } else if (job == Job::Commit) {
                report = librarysync::CommitLocal(folder, options);
            }
            status = librarysync::GetStatus(folder, false);
            status.offline = report.offline;
            if (report.offline)
                status.state = librarysync::State::Offline;
        }
        std::lock_guard<std::mutex> lock(link->mutex);
        if (CSyncControl* owner = link->owner)
            QMetaObject::invokeMethod(
                owner, [owner, report, status, job] { owner->Done(report, status, job != Job::Status); },
                Qt::QueuedConnection);
    }).detach();
}

void CSyncControl::Done(const librarysync::Report& report, const librarysync::Status& status, bool) {
    m_running = false;
    m_repository = status.repository;
    m_hasRemote = status.hasRemote;
    m_syncNow.setEnabled(m_repository);
    ShowStatus(status);
    // The merge's files reach the library as another program's change: the document reads
    // in what changed and the view shows its notice.
    CQuorrinDoc* doc = m_view.Document();
    if (doc && !doc->IsClosing() && !report.changedFiles.empty())
        doc->ReloadChangedCategories();
    if (!report.problems.empty())
        m_bar.showMessage(QString::fromStdString(report.problems.front()));
    else if (!report.lines.empty())
        m_bar.showMessage(QString::fromStdString(report.lines.back()));
    emit Finished();
    if (m_pending) {
        m_pending = false;
        Start(Job::Sync);
    }
}

void CSyncControl::ShowStatus(const librarysync::Status& status) {
    if (!status.repository) {
        m_indicator->hide();
        return;
    }
    const std::vector<std::string> lines = librarysync::StatusLines(status);
    m_indicator->setText(QString::fromStdString(lines.front()));
    QString tip;
    for (size_t i = 1; i < lines.size(); ++i)
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + QString::fromStdString(lines[i]);
    m_indicator->setToolTip(tip);
    m_indicator->show();
}
