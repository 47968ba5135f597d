// Tindrel: the window program. Works on the library in the current folder.
#include <QApplication>

#include "app/QuorrinApp.h"

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tindrel"));
    QApplication::setOrganizationName(QStringLiteral("Velmora Software"));
    CQuorrinApp app;
    if (!app.InitInstance())
        return 1;
    QApplication::exec();
    return app.ExitInstance();
}
