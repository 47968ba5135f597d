#include "app/LibraryFolderPane.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStatusBar>

#include "app/MainFrame.h"

namespace {

constexpr int kPaneWidth = 360; // pixels; longer paths are shortened in the middle

// The path with the home folder written as "~".
QString ShortPath(const QString& path) {
    const QString home = QDir::homePath();
    if (home.size() > 1 && (path == home || path.startsWith(home + QLatin1Char('/'))))
        return QLatin1Char('~') + path.mid(home.size());
    return path;
}

} // namespace

void ShowLibraryFolder(CMainFrame& frame, const std::string& folder) {
    QStatusBar* bar = frame.statusBar();
    auto* pane = bar->findChild<QLabel*>(QStringLiteral("libraryFolderPane"));
    if (!pane) {
        pane = new QLabel(bar);
        pane->setObjectName(QStringLiteral("libraryFolderPane"));
        pane->setTextFormat(Qt::PlainText);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->insertPermanentWidget(0, pane);
    }
    const QString path = QFile::decodeName(folder.c_str());
    pane->setText(pane->fontMetrics().elidedText(ShortPath(path), Qt::ElideMiddle, kPaneWidth));
    pane->setToolTip(QStringLiteral("Library folder: ") + path);
    pane->setAccessibleName(pane->toolTip());
}
