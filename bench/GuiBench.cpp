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
#include "browser/SampleTree.h"
#include "browser/ViewHost.h"
#include "config/LibraryConfig.h"
#include "config/MemoryKeyStore.h"
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

// The measured commands never reach the host.
class CNoHost : public IViewHost {
public:
    void RunOptions() override {}
    void ShowLibraryHelp() override {}
    WizardCarryOver WizardState() override { return WizardCarryOver{m_chunks, m_droppedPending, m_dropped}; }
    void PumpPendingMessages() override {}

private:
    std::string m_chunks[3];
    bool m_droppedPending = false;
    std::string m_dropped;
};

} // namespace

void StartGui(int& argc, char** argv) {
    qInstallMessageHandler(QuietQtMessages);
    g_qt = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
}

void StopGui() {
    g_qt.reset();
}

TreeBench::TreeBench(CQuorrinDoc& doc)
    : m_store(std::make_unique<MemoryKeyStore>()),
      m_config(std::make_unique<CLibraryConfig>(*m_store)),
      m_host(std::make_unique<CNoHost>()),
      m_view(std::make_unique<CQuorrinView>(doc, *m_config, *m_host)) {
    m_view->resize(900, 700);
    m_view->show();
    Pump();
}

TreeBench::~TreeBench() {
    m_view->DetachDocument();
    m_view.reset();
    Pump();
}

CSampleTree* TreeBench::Tree() const { return m_view->findChild<CSampleTree*>(QStringLiteral("sampleTree")); }

void TreeBench::Pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

double TreeBench::Rebuild() {
    const double start = Now();
    Tree()->RebuildTree(std::string());
    Pump();
    return Now() - start;
}

double TreeBench::Select(const std::string& title, bool& ok) {
    const double start = Now();
    ok = Tree()->SelectSampleItem(title);
    Pump();
    return Now() - start;
}

int TreeBench::ItemCount() const {
    int n = 0;
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it)
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
