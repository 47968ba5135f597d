#include "app/LibraryWatcher.h"

#include <QApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {

// Writers replace files in several steps; the changes are taken once they have settled.
constexpr int kSettleMs = 400;

} // namespace

CLibraryWatcher::CLibraryWatcher(const QString& folder, Listing files, std::function<void()> onChange,
                                 QObject* parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)), m_settle(new QTimer(this)), m_poll(new QTimer(this)),
      m_files(std::move(files)), m_onChange(std::move(onChange)),
      m_gitLock(fileio::PathIn(folder.toStdString(), ".git/index.lock")) {
    setObjectName(QStringLiteral("libraryWatcher"));
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &CLibraryWatcher::Settled);
    m_poll->setObjectName(QStringLiteral("libraryPoll"));
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (!m_settle->isActive())
            CheckNow();
    });
    m_poll->start();
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &CLibraryWatcher::Changed);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &CLibraryWatcher::Changed);
    m_watcher->addPath(folder);
    for (const WatchedFile& file : m_files())
        if (QFileInfo::exists(QString::fromStdString(file.path)))
            m_watcher->addPath(QString::fromStdString(file.path));
}

QStringList CLibraryWatcher::WatchedFiles() const { return m_watcher->files(); }

void CLibraryWatcher::Changed() { m_settle->start(); }

bool CLibraryWatcher::Idle() {
    // Not under an open dialog or menu: it may be showing what is about to change.
    return !QApplication::activeModalWidget() && !QApplication::activePopupWidget();
}

void CLibraryWatcher::Settled() {
    if (!Idle()) {
        m_settle->start();
        return;
    }
    CheckNow();
}

bool CLibraryWatcher::CheckNow() {
    // A git operation at work in the folder (a pull, checkout or stash by hand, or a sync)
    // is changing files: the round waits for it to end and then takes what it left.
    if (m_inRound || !Idle() || fileio::FileExists(m_gitLock))
        return false;
    const std::vector<WatchedFile> files = m_files();
    const QStringList watched = m_watcher->files();
    bool changed = false;
    for (const WatchedFile& file : files) {
        const QString path = QString::fromStdString(file.path);
        const fileio::FileStamp now = fileio::StampOf(file.path);
        // Created since, or replaced by renaming (no longer watched under its name).
        if (now.exists && !watched.contains(path))
            m_watcher->addPath(path);
        auto seen = m_seen.find(file.path);
        if (now == file.known) {
            m_seen[file.path] = now;
            continue;
        }
        if (file.takesChanges && (seen == m_seen.end() || !(seen->second == now)))
            changed = true;
    }
    if (!changed)
        return false;
    // This round is for the files as they are now.
    for (const WatchedFile& file : files)
        if (file.takesChanges)
            m_seen[file.path] = fileio::StampOf(file.path);
    m_inRound = true;
    if (m_onChange)
        m_onChange();
    m_inRound = false;
    return true;
}
