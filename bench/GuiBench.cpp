#include "bench/GuiBench.h"

#include <QApplication>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "bench/BenchUtil.h"
#include "browser/QuorrinView.h"
#include "library/QuorrinDoc.h"
#include "library/Sample.h"

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

SearchTotals PumpedSearch(const CQuorrinDoc& doc, const SearchOptions& options) {
    SearchTotals totals;
    CSampleMatcher matcher(options.text, options.keywordsOnly, options.matchCase);
    const bool limited = !options.category.empty() && options.category != kNoLimit;
    for (const auto& [title, sample] : doc.Samples()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (limited && sample->GetCategory() != options.category)
            continue;
        const unsigned n = matcher.Count(*sample);
        if (n > 0) {
            totals.occurrences += n;
            ++totals.samples;
        }
    }
    return totals;
}

} // namespace bench
