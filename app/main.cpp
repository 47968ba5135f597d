// Tindrel: the window program. Works on the library in the current folder.
#include <QApplication>

#include "app/QuorrinApp.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tindrel"));
    QApplication::setOrganizationName(QStringLiteral("Velmora Software"));
    // Every message and every file dialog of the program goes through these two.
    CMessageBoxes messageBoxes;
    SetMessenger(&messageBoxes);
    CQtFileDialogs fileDialogs;
    SetFileDialogs(&fileDialogs);
    CQuorrinApp app;
    if (!app.InitInstance())
        return 1;
    QApplication::exec();
    return app.ExitInstance();
}
