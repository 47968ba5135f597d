// Notices changes other programs make to the library's category files while the window
// is idle, and then runs onChange (the document reads in what changed).
//
// What tells is each file's stamp (size, times, identity: one stat, no read) against
// the stamp the library has of it, the one it last read or wrote: a save of this window
// leaves the two equal and starts nothing. The file system's notices of the folder and
// of each file make it quick; a poll every few seconds makes it sure, for folders whose
// file system does not report other machines' writes (network shares, FUSE). The list of
// files is asked for anew each time, so categories added later, and files created for
// them since, are watched too.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/FileLayer.h"

class QFileSystemWatcher;
class QTimer;

class CLibraryWatcher : public QObject {
    Q_OBJECT
public:
    struct WatchedFile {
        std::string path;
        // The file as the library last read or wrote it.
        fileio::FileStamp known;
        // False while the library would not take the file's changes now (its category
        // has unsaved changes of its own, which are merged when they are saved).
        bool takesChanges = true;
    };
    using Listing = std::function<std::vector<WatchedFile>()>;

    static constexpr int kPollMs = 3000;

    // folder: watched for files created, removed or replaced by renaming.
    CLibraryWatcher(const QString& folder, Listing files, std::function<void()> onChange, QObject* parent = nullptr);

    // What the poll does: watches the files listed now and runs onChange when one of them
    // changed since the library or the last round saw it; true when it ran. Nothing runs
    // under a dialog, while a round is under way, or while git is at work in the folder.
    bool CheckNow();
    QStringList WatchedFiles() const;

private:
    void Changed();
    void Settled();
    static bool Idle();

    QFileSystemWatcher* m_watcher;
    QTimer* m_settle;
    QTimer* m_poll;
    Listing m_files;
    std::function<void()> m_onChange;
    // The stamp each file had at the last round that ran for it, so a change the library
    // does not take now (or that brought nothing new) starts no second round.
    std::map<std::string, fileio::FileStamp> m_seen;
    bool m_inRound = false;
    // git's lock file in the folder's repository: present while git changes files.
    std::string m_gitLock;
};
