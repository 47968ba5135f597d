#include "bench/GuiBench.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <memory>

#include "bench/BenchUtil.h"
#include "browser/QuorrinView.h"
#include "library/QuorrinDoc.h"
#include "library/Sample.h"
#include "tools/SearchDlg.h"

namespace bench {
namespace {

std::unique_ptr<QApplication> g_qt;

// The offscreen platform reports that it cannot pass size hints on.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

void StartGui(int& argc, char** argv) {
    qInstallMessageHandler(QuietQtMessages);
    g_qt = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}

void StopGui() {
    g_qt.reset();
}

TreeBench::TreeBench(CQuorrinDoc& doc) : m_view(std::make_unique<CQuorrinView>(doc)) {
    m_view->resize(900, 700);
    m_view->show();
    Pump();
}

TreeBench::~TreeBench() {
    m_view->DetachDocument();
    m_view.reset();
    Pump();
}

void TreeBench::Pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

double TreeBench::Rebuild() {
    const double start = Now();
    m_view->RebuildTree(std::string());
    Pump();
    return Now() - start;
}

double TreeBench::Select(const std::string& title, bool& ok) {
    const double start = Now();
    ok = m_view->SelectSampleItem(title);
    Pump();
    return Now() - start;
}

int TreeBench::ItemCount() const {
    int n = 0;
    for (QTreeWidgetItemIterator it(m_view->Tree()); *it; ++it)
        ++n;
    return n;
}

DialogRun SearchDialogRun(CQuorrinDoc& doc, const std::string& word, bool matchCase, Pump pump,
                          double budget) {
    std::function<void()> events = [] {};
    if (pump != Pump::None)
        events = PumpAtMostEveryFrame([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
    CSearchDlg dialog([&doc] { return &doc; }, events);
    dialog.Create();
    dialog.show();
    dialog.findChild<QLineEdit*>(QStringLiteral("searchTextEdit"))->setText(QString::fromStdString(word));
    dialog.findChild<QCheckBox*>(QStringLiteral("matchCaseCheck"))->setChecked(matchCase);
    TreeBench::Pump();
    QTimer::singleShot(static_cast<int>(budget * 1000), &dialog, &CSearchDlg::OnStop);
    DialogRun run;
    const double start = Now();
    dialog.OnSearch();
    run.seconds = Now() - start;
    run.stopped = dialog.m_strStatus == QLatin1String(CSearchDlg::kStoppedText);
    run.rows = dialog.m_nSamplesFound;
    run.occurrences = dialog.m_nOccurrencesFound;
    dialog.hide();
    TreeBench::Pump();
    return run;
}

} // namespace bench
