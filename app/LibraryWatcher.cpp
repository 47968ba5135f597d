#include "app/LibraryWatcher.h"

#include <QApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace {

// Writers replace files in several steps; the changes are taken once they have settled.
constexpr int kSettleMs = 400;

} // namespace

CLibraryWatcher::CLibraryWatcher(const QString& folder, QStringList files, std::function<void()> onChange,
                                 QObject* parent)
    : QObject(parent), m_watcher(new QFileSystemWatcher(this)), m_settle(new QTimer(this)),
      m_files(std::move(files)), m_onChange(std::move(onChange)) {
    setObjectName(QStringLiteral("libraryWatcher"));
    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &CLibraryWatcher::Settled);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &CLibraryWatcher::Changed);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &CLibraryWatcher::Changed);
    m_watcher->addPath(folder);
    for (const QString& file : m_files)
        if (QFileInfo::exists(file))
            m_watcher->addPath(file);
}

void CLibraryWatcher::Changed() {
    m_settle->start();
}

void CLibraryWatcher::Settled() {
    // A file replaced by renaming is no longer watched under its name: watch it again.
    const QStringList watched = m_watcher->files();
    for (const QString& file : m_files)
        if (!watched.contains(file) && QFileInfo::exists(file))
            m_watcher->addPath(file);
    // Not under an open dialog: it may be showing what is about to change.
    if (QApplication::activeModalWidget()) {
        m_settle->start();
        return;
    }
    if (m_onChange)
        m_onChange();
}
