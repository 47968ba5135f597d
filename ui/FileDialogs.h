// The one file dialog of the window program. Tests queue the answers (a path, or no
// value for Cancel) and then no dialog is shown.
#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <string>
#include <vector>

class QWidget;

struct SaveAsRequest {
    QString caption = QStringLiteral("Save As");
    std::string proposedName;  // file name offered in the name field
    QString filter;            // e.g. "Text Files (*.txt);;All Files (*)"
    QString defaultSuffix;     // added when the user types a name without one
    bool confirmOverwrite = true;
};

struct FolderRequest {
    QString caption;
    std::string startFolder; // the folder shown first
};

class CFileDialogs {
public:
    // The chosen path in the file system's encoding, or no value when cancelled.
    static std::optional<std::string> GetSaveFileName(QWidget* parent, const SaveAsRequest& request);
    // An existing folder chosen by the user, or no value when cancelled.
    static std::optional<std::string> GetExistingFolder(QWidget* parent, const FolderRequest& request);

    // Scripting for tests: while on, answers come from the queue (empty queue: Cancel).
    static void SetScripted(bool on);
    static bool IsScripted();
    static std::deque<std::optional<std::string>>& ScriptedAnswers();
    // Every request made while scripted, for checks.
    static std::vector<SaveAsRequest>& Requests();
    static std::vector<FolderRequest>& FolderRequests();
};
