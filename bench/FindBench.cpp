#include "bench/FindBench.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <cstdio>
#include <memory>
#include <unistd.h>

#include "app/QuorrinApp.h"
#include "bench/BenchUtil.h"
#include "bench/GuiBench.h"
#include "bench/Workload.h"
#include "browser/QuorrinView.h"
#include "browser/SampleTree.h"
#include "browser/TreeFilter.h"
#include "config/FileKeyStore.h"
#include "config/LibraryConfig.h"
#include "config/MemoryKeyStore.h"
#include "config/LibraryFolder.h"
#include "library/FilterIndex.h"
#include "library/QuorrinDoc.h"

namespace bench {
namespace {

class CNoHost : public IViewHost {
public:
    void RunOptions() override {}
    void ShowLibraryHelp() override {}
    WizardCarryOver WizardState() override { return WizardCarryOver{m_chunks, m_pending, m_dropped}; }
    void PumpPendingMessages() override {}

private:
    std::string m_chunks[3];
    bool m_pending = false;
    std::string m_dropped;
};

// Sets the field's text and runs the event loop until the tree shows the whole result;
// seconds. gap: the longest time between two turns of the event loop meanwhile.
double TypeAndWait(QLineEdit* field, CTreeFilter* filter, const QString& text, double* gap) {
    bool done = false;
    QMetaObject::Connection c = QObject::connect(filter, &CTreeFilter::Finished, [&done] { done = true; });
    QElapsedTimer turns;
    double longest = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, turns.nsecsElapsed() / 1e9);
        turns.restart();
    });
    const double start = Now();
    turns.start();
    ticker.start();
    field->setText(text);
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // The tree laid out and painted with the result.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    const double seconds = Now() - start;
    longest = std::max(longest, turns.nsecsElapsed() / 1e9);
    ticker.stop();
    QObject::disconnect(c);
    if (gap)
        *gap = longest;
    return seconds;
}

} // namespace

FindFigures MeasureFind(CQuorrinDoc& doc, const std::vector<std::string>& words, int runs) {
    FindFigures f;
    MemoryKeyStore store;
    CLibraryConfig config(store);
    CNoHost host;
    CQuorrinView view(doc, config, host);
    view.resize(900, 700);
    view.show();
    view.OnInitialUpdate();
    TreeBench::Pump();
    auto* field = view.findChild<QLineEdit*>(QStringLiteral("treeFilter"));
    auto* inText = view.findChild<QCheckBox*>(QStringLiteral("treeFilterInText"));
    auto* filter = view.findChild<CTreeFilter*>(QStringLiteral("treeFilterRoom"));
    auto* tree = view.findChild<CSampleTree*>(QStringLiteral("sampleTree"));
    if (!field || !inText || !filter || !tree)
        return f;

    // Reading the titles and keywords in, which the field does as it takes the focus.
    {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            CFilterIndex index;
            const double start = Now();
            index.Update(doc);
            times.push_back(Now() - start);
        }
        f.indexRead = Median(times);
    }
    field->setFocus();
    TreeBench::Pump();
    for (bool withText : {false, true}) {
        inText->setChecked(withText);
        for (const std::string& word : words) {
            const QString whole = QString::fromStdString(word);
            std::vector<double> times;
            double worstGap = 0;
            for (int i = 0; i < runs; ++i) {
                TypeAndWait(field, filter, whole.left(whole.size() - 1), nullptr);
                double gap = 0;
                times.push_back(TypeAndWait(field, filter, whole, &gap));
                worstGap = std::max(worstGap, gap);
            }
            FindRun run;
            run.keystroke = Median(times);
            run.longestGap = worstGap;
            run.shown = tree->FilteredCount();
            (withText ? f.text : f.titles)[word] = run;
            TypeAndWait(field, filter, QString(), nullptr);
        }
    }
    inText->setChecked(false);
    view.DetachDocument();
    return f;
}

int ProbeStart(const std::string& folder, const std::string& config, bool untilShown) {
    int argc = 1;
    char name[] = "tindrel";
    char* argv[] = {name, nullptr};
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tindrel"));
    QApplication::setOrganizationName(QStringLiteral("Velmora Software"));
    QuietMessenger quiet;
    FileKeyStore store(config);
    CQuorrinApp app(&store);
    LibraryChoice choice;
    choice.place = LibraryPlace::GivenFolder;
    choice.folder = folder;
    app.SetLibraryChoice(choice);
    if (!app.InitInstance())
        return 1;
    // The first moment with nothing left to do: the window is up and answers input. Or,
    // untilShown, the first such moment with the library in the window.
    auto* check = new QTimer(&qt);
    QObject::connect(check, &QTimer::timeout, [&app, untilShown] {
        if (untilShown && app.IsLoading())
            return;
        std::fflush(stdout);
        _exit(0);
    });
    check->start(untilShown ? 2 : 0); // a busy check would take the reading thread's processor
    return QApplication::exec();
}

double MeasureStart(const std::string& self, const std::string& folder, const std::string& config, int runs,
                    bool untilShown) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double t = RunQuiet({self, untilShown ? "--probe-shown" : "--probe-start", folder, config});
        if (t < 0)
            return -1;
        times.push_back(t);
    }
    return Median(times);
}

std::vector<std::string> FindWords() { return {kRareWord, "socket", kCommonWord}; }

void MeasureFindAndStart(CQuorrinDoc& doc, const std::vector<std::string>& files, const std::string& folder,
                         const std::string& config, const std::string& root, const std::string& self, int runs,
                         std::map<std::string, double>& v) {
    const std::vector<std::string> words = FindWords();
    const FindFigures f = MeasureFind(doc, words, runs);
    v["find_index_ms"] = f.indexRead * 1000;
    for (const std::string& word : words) {
        if (auto it = f.titles.find(word); it != f.titles.end()) {
            v["find_titles_" + word + "_ms"] = it->second.keystroke * 1000;
            v["find_titles_" + word + "_shown"] = it->second.shown;
        }
        if (auto it = f.text.find(word); it != f.text.end()) {
            v["find_text_" + word + "_ms"] = it->second.keystroke * 1000;
            v["find_text_" + word + "_gap_ms"] = it->second.longestGap * 1000;
            v["find_text_" + word + "_shown"] = it->second.shown;
        }
        // grep -ci of the same word over the same files, writing to a file.
        std::vector<std::string> grep = {"grep", "-ci", word};
        grep.insert(grep.end(), files.begin(), files.end());
        std::vector<double> times;
        for (int i = 0; i < runs; ++i)
            times.push_back(RunQuiet(grep, root + "/tool-output.txt"));
        v["find_grep_" + word + "_ms"] = *std::min_element(times.begin(), times.end()) < 0 ? -1 : Median(times) * 1000;
    }
    // The start: the library beside an empty one, taking turns.
    const std::string empty = root + "/empty";
    std::filesystem::create_directories(empty + "/config");
    std::vector<double> library, none, shown;
    for (int i = 0; i < runs; ++i) {
        library.push_back(MeasureStart(self, folder, config, 1, false));
        none.push_back(MeasureStart(self, empty, empty + "/config/Tindrel.conf", 1, false));
        shown.push_back(MeasureStart(self, folder, config, 1, true));
    }
    const bool ok = *std::min_element(library.begin(), library.end()) > 0 && *std::min_element(none.begin(), none.end()) > 0;
    v["start_library_ms"] = ok ? Median(library) * 1000 : -1;
    v["start_empty_ms"] = ok ? Median(none) * 1000 : -1;
    v["start_shown_ms"] = *std::min_element(shown.begin(), shown.end()) > 0 ? Median(shown) * 1000 : -1;
}

std::vector<Target> FindTargets(const Figures& f) {
    std::vector<Target> targets;
    for (const std::string& word : FindWords()) {
        targets.push_back({"find_titles_" + word + "_vs_grep",
                           Div(f.Get("find_titles_" + word + "_ms"), f.Get("find_grep_" + word + "_ms")), 0.1});
        targets.push_back({"find_text_" + word + "_vs_grep",
                           Div(f.Get("find_text_" + word + "_ms"), f.Get("find_grep_" + word + "_ms")), 1});
        // Responsive: the event loop turns at least every 50 ms.
        targets.push_back({"find_text_" + word + "_gap", Div(f.Get("find_text_" + word + "_gap_ms"), 50), 1});
    }
    targets.push_back({"start_vs_empty", Div(f.Get("start_library_ms"), f.Get("start_empty_ms")), 2});
    // The library in the window within 250 ms of the start (100,000 samples).
    targets.push_back({"start_shown", Div(f.Get("start_shown_ms"), 250), 1});
    return targets;
}

void PrintFindRows(const Figures& f, const std::vector<Target>& targets) {
    auto target = [&](const std::string& name) -> const Target& {
        for (const Target& t : targets)
            if (t.name == name)
                return t;
        static const Target none{"", -1, 0};
        return none;
    };
    auto ms = [&](const std::string& key) { return Ms(f.Get(key) / 1000); };
    auto shown = [&](const std::string& key) { return std::to_string(static_cast<long long>(f.Get(key))); };
    for (const std::string& word : FindWords()) {
        const Target& t = target("find_titles_" + word + "_vs_grep");
        Row("find \"" + word + "\", titles, keywords (" + shown("find_titles_" + word + "_shown") + ")",
            ms("find_titles_" + word + "_ms"), "grep -ci " + ms("find_grep_" + word + "_ms"), t.ratio, "<= 0.1x",
            MetText(t));
    }
    for (const std::string& word : FindWords()) {
        const Target& t = target("find_text_" + word + "_vs_grep");
        Row("find \"" + word + "\" in text too (" + shown("find_text_" + word + "_shown") + ")",
            ms("find_text_" + word + "_ms"), "grep -ci " + ms("find_grep_" + word + "_ms"), t.ratio, "<= 1x",
            MetText(t));
        const Target& g = target("find_text_" + word + "_gap");
        Row("  longest time between event-loop turns", ms("find_text_" + word + "_gap_ms"), "50 ms", g.ratio,
            "<= 1x", MetText(g));
    }
    Row("find: titles and keywords read in (on focus)", ms("find_index_ms"), "", -1, "", "");
    const Target& s = target("start_vs_empty");
    Row("start to an idle window, fresh process", ms("start_library_ms"), "empty library " + ms("start_empty_ms"),
        s.ratio, "<= 2x", MetText(s));
    const Target& inWindow = target("start_shown");
    Row("  the library in the window (read meanwhile)", ms("start_shown_ms"), "250 ms", inWindow.ratio, "<= 1x",
        MetText(inWindow));
}

} // namespace bench
