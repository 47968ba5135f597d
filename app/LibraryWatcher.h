// Notices changes other programs make to the library folder while the window is idle:
// a short while after the last change, and when no dialog is open, onChange runs (the
// document then reads in what changed).
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QFileSystemWatcher;
class QTimer;

class CLibraryWatcher : public QObject {
    Q_OBJECT
public:
    // files: the category files (the folder itself is watched too, for files replaced by
    // renaming or created).
    CLibraryWatcher(const QString& folder, QStringList files, std::function<void()> onChange,
                    QObject* parent = nullptr);

private:
    void Changed();
    void Settled();

    QFileSystemWatcher* m_watcher;
    QTimer* m_settle;
    QStringList m_files;
    std::function<void()> m_onChange;
};
