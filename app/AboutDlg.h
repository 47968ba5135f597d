// CAboutDlg: the About box with the program's version, read from the version record
// of the executable, the Qt and QScintilla versions, the library and configuration
// paths, and a button that starts the system-information program.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "app/ProcessLauncher.h"


class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // libraryFolder: the folder of the library shown (empty: not named).
    explicit CAboutDlg(QWidget* parent = nullptr, const std::string& libraryFolder = std::string());

    // The lines below the version: the toolkit's versions and where the files are.
    static QString DetailsText(const std::string& libraryFolder);

    // The version text: product version, three blanks, file version in parentheses.
    QString m_strVersion;

    // The programs tried, in order, by System Info.
    static std::vector<ProgramChoice> SystemInfoPrograms();
    // The message when none of them starts: it names them.
    static std::string SystemInfoFailureText();

    static constexpr const char* kCaption = "About Tindrel";
    static constexpr const char* kProgramFile = "tindrel";

public slots:
    // Starts the system-information program; the message when none can be started.
    void OnSystemInfo();
};

// "1.0   (1.0.198.133)" from a version reader's two numbers.
QString VersionText(const std::string& productVersion, const std::string& fileVersion);
