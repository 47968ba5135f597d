// tindrel-bench: measures load, tree, search, save, memory and growth on a generated
// library, each beside a standard tool doing the same amount of reading or writing in
// the same run. Prints a table, then one line of JSON with every figure.
//
//   tindrel-bench [--samples N] [--runs R] [--seed S] [--keep] [--dialog-budget SECONDS] [--find]
//   tindrel-bench --editor [MEGABYTES]   (only the code editor with one long line)
//   tindrel-bench --scale [SAMPLES [RUNS]]  (only load, search, memory, start, growth)
//
// --find: only the instant find and the start. --probe-start/--probe-shown FOLDER CONFIG and
// --probe-memory FOLDER CONFIG are the benchmark's own child processes.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchUtil.h"
#include "bench/InterchangeBench.h"
#include "bench/Report.h"
#include "bench/SaveBench.h"
#include "bench/ScaleBench.h"
#include "bench/SyncBench.h"
#include "bench/Workload.h"
#include "config/FileKeyStore.h"
#include "config/LibraryConfig.h"
#include "library/LibrarySearch.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"

#ifdef TINDREL_BENCH_GUI
#include "bench/EditorBench.h"
#include "bench/FindBench.h"
#include "bench/GuiBench.h"
#endif

using namespace bench;

namespace {

struct Options {
    int samples = 100000;
    int runs = 5;
    std::uint64_t seed = 20260;
    bool keep = false;
    double dialogBudget = 30; // seconds before a pumped dialog run is stopped
    bool findOnly = false;    // only the instant find and the start
};

// Runs of the steps that take long (Search dialog, saving every category): at most three.
int SlowRuns(const Options& opt) {
    return std::max(1, std::min(opt.runs, 3));
}

// One loaded library with its own configuration store, as the program holds it.
class Library {
public:
    explicit Library(const Workload& w) : m_store(w.configPath), m_config(m_store) {
        m_config.LoadProfile();
        m_doc = std::make_unique<CQuorrinDoc>(m_config, m_errors);
        m_doc->SetFolder(w.dir);
    }
    // The load sequence; seconds.
    double Load() {
        const double start = Now();
        m_doc->OnNewDocument();
        return Now() - start;
    }
    CQuorrinDoc& Doc() { return *m_doc; }

private:
    FileKeyStore m_store;
    CLibraryConfig m_config;
    CLoadErrorList m_errors;
    std::unique_ptr<CQuorrinDoc> m_doc;
};

SearchTotals Search(const CQuorrinDoc& doc, const char* word, bool matchCase) {
    SearchOptions options;
    options.text = word;
    options.matchCase = matchCase;
    // The rows the dialog would show: the sample and its count.
    static std::vector<std::pair<const CSample*, unsigned>> rows;
    rows.clear();
    return SearchLibrary(doc, options, [](const CSample& s, unsigned n) {
        rows.emplace_back(&s, n);
        return true;
    });
}

// Median wall time of a command, run `runs` times, its output going to the file out;
// negative when it failed.
double ToolTime(int runs, const std::vector<std::string>& argv, const std::string& out) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double t = RunQuiet(argv, out);
        if (t < 0)
            return -1;
        times.push_back(t);
    }
    return Median(times);
}

std::string SelfPath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return {};
    return std::string(buf, static_cast<size_t>(n));
}

// --- Memory, in a child process of its own so nothing else counts; it also gives the
// load as the program meets it at start, in a fresh process ---

int ProbeMemory(int argc, char** argv) {
    if (argc < 4)
        return 2;
    Workload w;
    w.dir = argv[2];
    w.configPath = argv[3];
    QuietMessenger quiet;
#ifdef TINDREL_BENCH_GUI
    StartGui(argc, argv);
#endif
    const std::uint64_t base = StatusBytes("VmHWM");
    Library lib(w);
    const double load = lib.Load();
    const std::uint64_t afterLoad = StatusBytes("VmHWM");
    std::uint64_t afterTree = 0;
#ifdef TINDREL_BENCH_GUI
    TreeBench tree(lib.Doc());
    tree.Rebuild();
    afterTree = StatusBytes("VmHWM");
#endif
    std::printf("%llu %llu %llu %.6f\n", static_cast<unsigned long long>(base),
                static_cast<unsigned long long>(afterLoad), static_cast<unsigned long long>(afterTree), load);
    std::fflush(stdout);
    // Nothing changed: leave without tearing down 100,000 records.
    _exit(0);
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto number = [&](long long& out) {
            if (i + 1 >= argc)
                return false;
            char* end = nullptr;
            out = std::strtoll(argv[++i], &end, 10);
            return end && *end == '\0';
        };
        long long n = 0;
        if (a == "--samples" && number(n) && n >= 100 && n <= 10000000)
            o.samples = static_cast<int>(n);
        else if (a == "--runs" && number(n) && n >= 1 && n <= 99)
            o.runs = static_cast<int>(n);
        else if (a == "--seed" && number(n))
            o.seed = static_cast<std::uint64_t>(n);
        else if (a == "--keep")
            o.keep = true;
        else if (a == "--find")
            o.findOnly = true;
        else if (a == "--dialog-budget" && number(n) && n >= 1 && n <= 3600)
            o.dialogBudget = static_cast<double>(n);
        else {
            std::fprintf(stderr,
                         "usage: tindrel-bench [--samples N (100-10000000)] [--runs R] [--seed S] [--keep] "
                         "[--dialog-budget SECONDS] [--find]\n");
            return false;
        }
    }
    return true;
}

#ifdef TINDREL_BENCH_GUI
// The Search dialog's whole run, pumped as in the program and not pumped, for the rare
// word (median of runs) and for the common word (once: with many rows a pumped run
// can be slow; it is stopped after the budget). Figures go to v with prefix; with a
// prefix only the common word is run.
void MeasureDialog(CQuorrinDoc& doc, const std::string& prefix, const Options& opt, int runs,
                   std::map<std::string, double>& v) {
    struct Case {
        const char* key;
        const char* word;
        int runs;
    };
    const Case cases[] = {{"rare", kRareWord, runs}, {"common", kCommonWord, runs}};
    for (const Case& c : cases) {
        if (!prefix.empty() && std::string(c.key) == "rare")
            continue;
        std::vector<double> pumped, unpumped;
        DialogRun last;
        // The two kinds of run take turns going first, so that neither always pays for
        // what the run before it left behind.
        for (int i = 0; i < c.runs; ++i) {
            for (int turn = 0; turn < 2; ++turn) {
                if ((turn == 0) == (i % 2 == 0)) {
                    last = SearchDialogRun(doc, c.word, false, Pump::AsTheDialogDoes, opt.dialogBudget);
                    pumped.push_back(last.seconds);
                } else {
                    unpumped.push_back(SearchDialogRun(doc, c.word, false, Pump::None, opt.dialogBudget).seconds);
                }
            }
        }
        const std::string k = prefix + "dialog_" + c.key;
        v[k + "_pumped_ms"] = Median(pumped) * 1000;
        v[k + "_unpumped_ms"] = Median(unpumped) * 1000;
        v[k + "_rows"] = last.rows;
        v[k + "_occurrences"] = static_cast<double>(last.occurrences);
        v[k + "_stopped"] = last.stopped ? 1 : 0;
    }
}
#endif

// Load, tree and search of one workload: the growth figures.
struct ScaleFigures {
    double load = -1;
    double tree = -1;
    double search = -1;
};

ScaleFigures MeasureScale(const Workload& w, const Options& opt, std::map<std::string, double>& v) {
    const int runs = opt.runs;
    ScaleFigures f;
    std::vector<double> loads;
    std::unique_ptr<Library> kept;
    for (int i = 0; i < runs; ++i) {
        kept.reset();
        kept = std::make_unique<Library>(w);
        loads.push_back(kept->Load());
    }
    f.load = Median(loads);
    f.search = MedianOf(runs, [&] { Search(kept->Doc(), kCommonWord, false); });
#ifdef TINDREL_BENCH_GUI
    TreeBench tree(kept->Doc());
    std::vector<double> trees;
    for (int i = 0; i < runs; ++i)
        trees.push_back(tree.Rebuild());
    f.tree = Median(trees);
    MeasureDialog(kept->Doc(), "small_", opt, SlowRuns(opt), v);
#else
    (void)v;
#endif
    return f;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--sync") == 0) {
        // Only the sync through git: tindrel-bench --sync [SAMPLES [RUNS]].
        char rootTemplate[] = "/tmp/tindrel-bench-sync-XXXXXX";
        if (!mkdtemp(rootTemplate))
            return 1;
        const int status = RunSyncBench(rootTemplate, argc >= 3 ? std::atoi(argv[2]) : 100000,
                                        20260, argc >= 4 ? std::atoi(argv[3]) : 3);
        std::filesystem::remove_all(rootTemplate);
        return status;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--scale") == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return RunScaleBench(argc >= 3 ? std::atoi(argv[2]) : 100000, argc >= 4 ? std::atoi(argv[3]) : 5, 20260,
                             SelfPath());
    }
    if (argc >= 2 && std::strcmp(argv[1], "--probe-memory") == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return ProbeMemory(argc, argv);
    }
#ifdef TINDREL_BENCH_GUI
    if (argc >= 4 && (std::strcmp(argv[1], "--probe-start") == 0 || std::strcmp(argv[1], "--probe-shown") == 0)) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return ProbeStart(argv[2], argv[3], std::strcmp(argv[1], "--probe-shown") == 0);
    }
    if (argc >= 2 && std::strcmp(argv[1], "--editor") == 0) {
        const double megabytes = argc >= 3 ? std::atof(argv[2]) : 10;
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        StartGui(argc, argv);
        const EditorFigures f = MeasureLongLineEditor(static_cast<long long>(megabytes * 1e6), 5);
        PrintEditorFigures(f);
        StopGui();
        return f.textExact ? 0 : 1;
    }
#endif
    Options opt;
    if (!ParseOptions(argc, argv, opt))
        return 2;

    // A folder of our own for the libraries and the configuration.
    char rootTemplate[] = "/tmp/tindrel-bench-XXXXXX";
    if (!mkdtemp(rootTemplate)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = rootTemplate;
    setenv("XDG_CONFIG_HOME", (root + "/xdg").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
#ifdef TINDREL_BENCH_GUI
    StartGui(argc, argv);
    const bool gui = true;
#else
    const bool gui = false;
#endif
    QuietMessenger quiet;
    Figures fig;
    auto& v = fig.values;

    std::fprintf(stderr, "generating %d samples...\n", opt.samples);
    const Workload big = GenerateWorkload(root + "/large", opt.samples, opt.seed);
    const int smallCount = opt.samples / 10;
    const bool growth = smallCount >= 100;
    Workload small;
    if (growth)
        small = GenerateWorkload(root + "/small", smallCount, opt.seed);
    v["samples"] = opt.samples;
    v["categories"] = static_cast<double>(big.files.size());
    v["disk_bytes"] = static_cast<double>(big.diskBytes);
    v["runs"] = opt.runs;
    const int slowRuns = SlowRuns(opt);

    const bool haveRg = HaveProgram("rg");
    const std::string toolOut = root + "/tool-output.txt";
    const std::vector<std::string> files = big.files;
    // Read everything once, so every figure below is from the page cache.
    RunQuiet(Concat({"cat"}, files));

    // Load, beside cat of the same files.
    std::fprintf(stderr, "load...\n");
    std::vector<double> loads, cats;
    std::unique_ptr<Library> lib;
    for (int i = 0; i < opt.runs; ++i) {
        lib.reset();
        lib = std::make_unique<Library>(big);
        loads.push_back(lib->Load());
        cats.push_back(RunQuiet(Concat({"cat"}, files)));
    }
    v["load_ms"] = Median(loads) * 1000;
    v["cat_ms"] = Median(cats) * 1000;
    CQuorrinDoc& doc = lib->Doc();
    v["loaded_samples"] = doc.GetSampleCount();
    v["load_messages"] = quiet.count;
#ifdef TINDREL_BENCH_GUI
    if (opt.findOnly) {
        std::fprintf(stderr, "instant find and start...\n");
        MeasureFindAndStart(doc, files, big.dir, big.configPath, root, SelfPath(), opt.runs, v);
        const std::vector<Target> findTargets = FindTargets(fig);
        PrintFindRows(fig, findTargets);
        if (!opt.keep)
            std::filesystem::remove_all(root);
        lib.reset();
        StopGui();
        return 0;
    }
#endif

    // Search, beside grep (and rg).
    std::fprintf(stderr, "search...\n");
    using Variant = SearchVariant;
    const auto& variants = kSearchVariants;
    for (const Variant& var : variants) {
        SearchTotals totals;
        const double t = MedianOf(opt.runs, [&] { totals = Search(doc, var.word, var.matchCase); });
        const std::string k = var.key;
        v["search_" + k + "_ms"] = t * 1000;
        v["search_" + k + "_samples"] = totals.samples;
        v["search_" + k + "_occurrences"] = static_cast<double>(totals.occurrences);
        std::vector<std::string> grep = {"grep", var.matchCase ? "-c" : "-ci", var.word};
        v["grep_" + k + "_ms"] = ToolTime(opt.runs, Concat(grep, files), toolOut) * 1000;
        if (haveRg) {
            std::vector<std::string> rg = {"rg", var.matchCase ? "-c" : "-ci", var.word};
            v["rg_" + k + "_ms"] = ToolTime(opt.runs, Concat(rg, files), toolOut) * 1000;
        }
    }

    // Tree, selection and the pumped search, on the real view.
#ifdef TINDREL_BENCH_GUI
    {
        std::fprintf(stderr, "tree...\n");
        TreeBench tree(doc);
        std::vector<double> rebuilds, selects;
        bool found = true;
        for (int i = 0; i < opt.runs; ++i) {
            rebuilds.push_back(tree.Rebuild());
            bool ok = false;
            selects.push_back(tree.Select(big.selectTitle, ok));
            found = found && ok;
        }
        v["tree_ms"] = Median(rebuilds) * 1000;
        v["select_ms"] = found ? Median(selects) * 1000 : -1;
        v["tree_items"] = tree.ItemCount();

        std::fprintf(stderr, "search dialog...\n");
        MeasureDialog(doc, "", opt, slowRuns, v);
        std::fprintf(stderr, "instant find and start...\n");
        MeasureFindAndStart(doc, files, big.dir, big.configPath, root, SelfPath(), opt.runs, v);
    }
    std::fprintf(stderr, "editor...\n");
    const EditorFigures editorFigures = MeasureLongLineEditor(10'000'000, slowRuns);
    AddEditorFigures(editorFigures, v);
#endif

    // Save: one sample changed in the big category, then every category changed.
    std::fprintf(stderr, "save...\n");
    MeasureSave(doc, big, root, opt.runs, slowRuns, v);
    std::fprintf(stderr, "import and export...\n");
    MeasureInterchange(doc, root, slowRuns, v);
    v["messages"] = quiet.count;
    lib.reset();

    // Memory, in a fresh process.
    std::fprintf(stderr, "memory...\n");
    {
        std::istringstream in(RunCapture({SelfPath(), "--probe-memory", big.dir, big.configPath}));
        double base = -1, load = -1, tree = -1, seconds = -1;
        if (in >> base >> load >> tree >> seconds) {
            v["hwm_start_bytes"] = base;
            v["hwm_load_bytes"] = load;
            v["hwm_tree_bytes"] = gui ? tree : -1;
            v["first_load_ms"] = seconds * 1000;
        }
    }

    // Growth: the same steps at a tenth of the size.
    if (growth) {
        std::fprintf(stderr, "growth...\n");
        const ScaleFigures s = MeasureScale(small, opt, v);
        v["small_samples"] = smallCount;
        v["small_load_ms"] = s.load * 1000;
        v["small_tree_ms"] = s.tree < 0 ? -1 : s.tree * 1000;
        v["small_search_ms"] = s.search * 1000;
    }

    // --- Targets ---
    auto F = [&](const std::string& k) { return fig.Get(k); };
    std::vector<Target> targets = {
        {"load_vs_cat", Div(F("load_ms"), F("cat_ms")), 5},
        {"tree_vs_load", gui ? Div(F("tree_ms"), F("load_ms")) : -1, 1},
        {"search_common_case_vs_grep", Div(F("search_common_case_ms"), F("grep_common_case_ms")), 1},
        {"search_common_nocase_vs_grep", Div(F("search_common_nocase_ms"), F("grep_common_nocase_ms")), 1},
        {"search_rare_case_vs_grep", Div(F("search_rare_case_ms"), F("grep_rare_case_ms")), 1},
        {"search_rare_nocase_vs_grep", Div(F("search_rare_nocase_ms"), F("grep_rare_nocase_ms")), 1},
        {"dialog_pumping_rare", gui ? Div(F("dialog_rare_pumped_ms"), F("dialog_rare_unpumped_ms")) : -1,
         1.2},
        {"dialog_pumping_common",
         gui ? Div(F("dialog_common_pumped_ms"), F("dialog_common_unpumped_ms")) : -1, 1.2},
        {"dialog_pumping_common_small",
         gui && growth ? Div(F("small_dialog_common_pumped_ms"), F("small_dialog_common_unpumped_ms")) : -1,
         1.2},
        // The save makes the new file durable (fsync of the file, and of its folder after
        // the rename); cp does not sync. The fair reference is cp + sync of both.
        {"save_one_vs_cp_sync", Div(F("save_one_ms"), F("cp_sync_one_ms")), 3},
        {"memory_vs_disk", gui ? Div(F("hwm_tree_bytes"), F("disk_bytes")) : -1, 3},
        {"growth_load", growth ? Div(F("load_ms"), F("small_load_ms")) : -1, 12},
        {"growth_tree", growth && gui ? Div(F("tree_ms"), F("small_tree_ms")) : -1, 12},
        {"growth_search", growth ? Div(F("search_common_nocase_ms"), F("small_search_ms")) : -1, 12},
    };
    for (const Variant& var : variants) // ripgrep uses every core, and so does the search
        targets.push_back({std::string("search_") + var.key + "_vs_rg",
                           haveRg ? Div(F(std::string("search_") + var.key + "_ms"), F(std::string("rg_") + var.key + "_ms")) : -1, 1});
    const std::vector<Target> interchangeTargets = InterchangeTargets(fig);
    targets.insert(targets.end(), interchangeTargets.begin(), interchangeTargets.end());
#ifdef TINDREL_BENCH_GUI
    const std::vector<Target> findTargets = FindTargets(fig);
    targets.insert(targets.end(), findTargets.begin(), findTargets.end());
#endif
    std::map<std::string, const Target*> byName;
    for (const Target& t : targets)
        byName[t.name] = &t;
    auto T = [&](const char* n) { return *byName.at(n); };
    auto Msk = [&](const std::string& k) { return Ms(F(k) / 1000); };

    // --- Table ---
    std::printf("\nTindrel benchmark: %d samples in %zu categories, %s on disk (%.0f bytes per sample); "
                "median of %d runs (%d for the slow steps)\n\n",
                opt.samples, big.files.size(), Mb(static_cast<double>(big.diskBytes)).c_str(),
                static_cast<double>(big.diskBytes) / opt.samples, opt.runs, slowRuns);
    std::printf("| %-44s | %10s | %-24s | %7s | %-7s | %-4s |\n", "Measure", "Tindrel", "Reference", "Ratio",
                "Target", "Met");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(12, '-').c_str(),
                std::string(26, '-').c_str(), std::string(9, '-').c_str(), std::string(9, '-').c_str(),
                std::string(6, '-').c_str());
    Row("load (OnNewDocument)", Msk("load_ms"), "cat " + Msk("cat_ms"), T("load_vs_cat").ratio, "<= 5x",
        MetText(T("load_vs_cat")));
    Row("  first load in a fresh process", Msk("first_load_ms"), "cat " + Msk("cat_ms"),
        Div(F("first_load_ms"), F("cat_ms")), "", "");
    if (gui) {
        Row("tree (RebuildTree)", Msk("tree_ms"), "load " + Msk("load_ms"), T("tree_vs_load").ratio, "<= 1x",
            MetText(T("tree_vs_load")));
        Row("select a sample after the tree", Msk("select_ms"), "", -1, "", "");
    } else {
        Row("tree (RebuildTree): no window library", "-", "", -1, "<= 1x", "n/a");
    }
    for (const Variant& var : variants) {
        const std::string k = var.key;
        const std::string what = std::string("search \"") + var.word + "\" " +
                                 (var.matchCase ? "match case" : "any case") + " (" +
                                 std::to_string(static_cast<long long>(F("search_" + k + "_samples"))) + ")";
        const Target& t = T(("search_" + k + "_vs_grep").c_str());
        Row(what, Msk("search_" + k + "_ms"),
            std::string(var.matchCase ? "grep -c " : "grep -ci ") + Msk("grep_" + k + "_ms"), t.ratio,
            "<= 1x", MetText(t));
        if (haveRg)
            Row("", "", std::string(var.matchCase ? "rg -c " : "rg -ci ") + Msk("rg_" + k + "_ms"),
                T(("search_" + k + "_vs_rg").c_str()).ratio, "<= 1x", MetText(T(("search_" + k + "_vs_rg").c_str())));
    }
    if (gui) {
        auto dialogRow = [&](const std::string& k, const std::string& what, const char* target) {
            const Target& t = T(target);
            const bool stopped = F(k + "_stopped") > 0;
            Row(what + " (" + std::to_string(static_cast<long long>(F(k + "_rows"))) + ")",
                (stopped ? ">" : "") + Msk(k + "_pumped_ms"), "not pumped " + Msk(k + "_unpumped_ms"),
                t.ratio, "<= 1.2x", stopped ? "NO*" : MetText(t));
        };
        dialogRow("dialog_rare", std::string("Search dialog \"") + kRareWord + "\", pumped",
                  "dialog_pumping_rare");
        dialogRow("dialog_common", std::string("Search dialog \"") + kCommonWord + "\", pumped",
                  "dialog_pumping_common");
        if (growth)
            dialogRow("small_dialog_common", "  the same at " + std::to_string(smallCount) + " samples",
                      "dialog_pumping_common_small");
    }
    const std::string one = "save: 1 sample changed in " + big.bigCategory + " (" +
                            std::to_string(static_cast<long long>(F("big_category_samples"))) + ")";
    Row(one, Msk("save_one_ms"), "cp+sync " + Msk("cp_sync_one_ms"), T("save_one_vs_cp_sync").ratio, "<= 3x",
        MetText(T("save_one_vs_cp_sync")));
    Row("  of which processor time", Msk("save_one_cpu_ms"), "", -1, "", "");
    Row("  (same bytes put in place crash-safely)", "", "plain calls " + Msk("replace_one_ms"),
        Div(F("save_one_ms"), F("replace_one_ms")), "", "");
    Row("  (the save syncs, cp alone does not)", "", "cp " + Msk("cp_one_ms"),
        Div(F("save_one_ms"), F("cp_one_ms")), "", "");
    Row("  the same after an outside change (merged)", Msk("save_merge_ms"), "plain save " + Msk("save_one_ms"),
        Div(F("save_merge_ms"), F("save_one_ms")), "", "");
    Row("save: every category changed", Msk("save_all_ms"), "cp+sync " + Msk("cp_sync_all_ms"),
        Div(F("save_all_ms"), F("cp_sync_all_ms")), "", "");
    Row("", "", "cp " + Msk("cp_all_ms"), Div(F("save_all_ms"), F("cp_all_ms")), "", "");
    Row("peak memory at start (Qt, no library)", Mb(F("hwm_start_bytes")), "", -1, "", "");
    Row("peak memory after load", Mb(F("hwm_load_bytes")), "disk " + Mb(F("disk_bytes")),
        Div(F("hwm_load_bytes"), F("disk_bytes")), "", "");
    if (gui)
        Row("peak memory after the tree", Mb(F("hwm_tree_bytes")), "disk " + Mb(F("disk_bytes")),
            T("memory_vs_disk").ratio, "<= 3x", MetText(T("memory_vs_disk")));
    if (growth) {
        const std::string from = std::to_string(smallCount) + " -> " + std::to_string(opt.samples);
        Row("growth " + from + ": load", Msk("load_ms"), Msk("small_load_ms"), T("growth_load").ratio,
            "<= 12x", MetText(T("growth_load")));
        if (gui)
            Row("growth " + from + ": tree", Msk("tree_ms"), Msk("small_tree_ms"), T("growth_tree").ratio,
                "<= 12x", MetText(T("growth_tree")));
        Row("growth " + from + ": search", Msk("search_common_nocase_ms"), Msk("small_search_ms"),
            T("growth_search").ratio, "<= 12x", MetText(T("growth_search")));
    }
    PrintInterchangeRows(fig, interchangeTargets);
#ifdef TINDREL_BENCH_GUI
    PrintFindRows(fig, findTargets);
#endif
    int met = 0, measured = 0;
    for (const Target& t : targets) {
        if (t.ratio >= 0) {
            ++measured;
            met += t.Met();
        }
    }
    std::printf(
        "\nTargets met: %d of %d measured%s. In brackets: samples found (search), rows listed (Search "
        "dialog, any case). Tools run with LC_ALL=C, grep and rg writing to a file.\n",
        met, measured, haveRg ? "" : " (ripgrep not installed)");
    if (gui && F("dialog_common_stopped") > 0)
        std::printf(
            "* Stopped with the dialog's Stop button after %.0f s (--dialog-budget): the ratio is a lower "
            "bound.\n",
            opt.dialogBudget);
    if (quiet.count)
        std::printf("Messages during the run: %d (first: %s)\n", quiet.count, quiet.first.c_str());
#ifdef TINDREL_BENCH_GUI
    PrintEditorFigures(editorFigures);
#endif

    // The JSON line, last.
    PrintJson(fig, targets, haveRg, gui);

    if (!opt.keep)
        std::filesystem::remove_all(root);
    else
        std::fprintf(stderr, "kept %s\n", root.c_str());
#ifdef TINDREL_BENCH_GUI
    StopGui();
#endif
    return 0;
}
