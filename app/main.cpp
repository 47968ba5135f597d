// Tindrel: the window program. Works on the library in the current folder, the folder
// named on the command line, or the user's library folder (--library).
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/PickWindow.h"
#include "app/QuorrinApp.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"

namespace {

CommandLine Parse(int argc, char* argv[]) {
    return ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}

// Answers --help, --version and a bad command line without a display: the exit code,
// or -1 when the window is to be opened.
int AnswerWithoutWindow(const CommandLine& line) {
    switch (line.action) {
    case CommandLine::Action::Run:
        return -1;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "tindrel: %s\nRun 'tindrel --help' for its usage.\n", line.error.c_str());
        return 2;
    case CommandLine::Action::Help:
        std::fputs(CommandLineHelp(), stdout);
        break;
    case CommandLine::Action::Version:
        std::fputs(VersionLine().c_str(), stdout);
        break;
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const int code = AnswerWithoutWindow(Parse(argc, argv)); code >= 0)
        return code;

    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tindrel"));
    QApplication::setOrganizationName(QStringLiteral("Velmora Software"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.velmorasoftware.tindrel"));

    // Read again without the options Qt has taken.
    const CommandLine line = Parse(argc, argv);
    if (const int code = AnswerWithoutWindow(line); code >= 0)
        return code;

    // Every message and every file dialog of the program goes through these two.
    CMessageBoxes messageBoxes;
    SetMessenger(&messageBoxes);
    CQtFileDialogs fileDialogs;
    SetFileDialogs(&fileDialogs);
    if (line.pick)
        return RunPick(line.library);

    // File > Library Folder... ends one run and asks for the next on the folder chosen.
    LibraryChoice library = line.library;
    std::string showTitle = line.showTitle;
    for (;;) {
        CQuorrinApp app;
        app.SetLibraryChoice(library);
        // The sample asked for is shown in the first run only.
        app.SetShowTitle(showTitle);
        showTitle.clear();
        if (!app.InitInstance())
            return 1;
        QApplication::exec();
        const int code = app.ExitInstance();
        if (!app.RestartChoice())
            return code;
        library = *app.RestartChoice();
    }
}
