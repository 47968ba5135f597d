// The window program's file dialogs, behind one seam: the program installs the real
// dialogs at start-up; tests install scripted answers.
#pragma once

#include <QString>
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

struct OpenFilesRequest {
    QString caption;
    QString filter;          // e.g. "Snippets (*.code-snippets *.json);;All Files (*)"
    std::string startFolder; // the folder shown first
};

class IFileDialogs {
public:
    virtual ~IFileDialogs() = default;
    // The chosen path in the file system's encoding, or no value when cancelled.
    virtual std::optional<std::string> GetSaveFileName(QWidget* parent, const SaveAsRequest& request) = 0;
    // An existing folder chosen by the user, or no value when cancelled.
    virtual std::optional<std::string> GetExistingFolder(QWidget* parent, const FolderRequest& request) = 0;
    // Existing files chosen by the user (at least one), or no value when cancelled.
    virtual std::optional<std::vector<std::string>> GetOpenFileNames(QWidget* parent, const OpenFilesRequest& request) {
        (void)parent;
        (void)request;
        return std::nullopt;
    }
};

// The dialogs in use. Until some are installed every request is cancelled. Passing
// nullptr restores that; the caller keeps ownership.
IFileDialogs& FileDialogs();
void SetFileDialogs(IFileDialogs* dialogs);

// The toolkit's own file dialogs.
class CQtFileDialogs : public IFileDialogs {
public:
    std::optional<std::string> GetSaveFileName(QWidget* parent, const SaveAsRequest& request) override;
    std::optional<std::string> GetExistingFolder(QWidget* parent, const FolderRequest& request) override;
    std::optional<std::vector<std::string>> GetOpenFileNames(QWidget* parent, const OpenFilesRequest& request) override;
};
