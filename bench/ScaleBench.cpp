// tindrel-bench --scale [SAMPLES [RUNS]]: only the load, the search beside cat and
// ripgrep, peak memory, the library in the window after a fresh start and the growth
// of the load from a tenth of the samples. Quick enough for a million samples, where
// the full run's export and dialogs would take many minutes.
#include "bench/ScaleBench.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>

#include "bench/BenchUtil.h"
#include "bench/Report.h"
#include "bench/Workload.h"
#include "config/FileKeyStore.h"
#include "config/LibraryConfig.h"
#include "library/LibrarySearch.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"

#ifdef TINDREL_BENCH_GUI
#include "bench/FindBench.h"
#endif

namespace bench {
namespace {

// The library loaded as the program loads it, with its own configuration store.
struct Loaded {
    explicit Loaded(const Workload& w) : store(w.configPath), config(store) {
        config.LoadProfile();
        doc = std::make_unique<CQuorrinDoc>(config, errors);
        doc->SetFolder(w.dir);
    }
    FileKeyStore store;
    CLibraryConfig config;
    CLoadErrorList errors;
    std::unique_ptr<CQuorrinDoc> doc;
};

// Median load time over runs; the last load stays in kept.
double MedianLoad(const Workload& w, int runs, std::unique_ptr<Loaded>& kept, std::vector<double>* cats) {
    std::vector<double> loads;
    for (int i = 0; i < runs; ++i) {
        kept.reset();
        kept = std::make_unique<Loaded>(w);
        const double start = Now();
        kept->doc->OnNewDocument();
        loads.push_back(Now() - start);
        if (cats)
            cats->push_back(RunQuiet(Concat({"cat"}, w.files)));
    }
    return Median(loads);
}

} // namespace

int RunScaleBench(int samples, int runs, std::uint64_t seed, const std::string& self) {
    char rootTemplate[] = "/tmp/tindrel-bench-XXXXXX";
    if (!mkdtemp(rootTemplate))
        return 1;
    const std::string root = rootTemplate;
    setenv("XDG_CONFIG_HOME", (root + "/xdg").c_str(), 1);
    QuietMessenger quiet;
    Figures fig;
    auto& v = fig.values;
    std::fprintf(stderr, "generating %d samples...\n", samples);
    const Workload big = GenerateWorkload(root + "/large", samples, seed);
    const Workload small = GenerateWorkload(root + "/small", samples / 10, seed);
    v["samples"] = samples;
    v["disk_bytes"] = static_cast<double>(big.diskBytes);
    RunQuiet(Concat({"cat"}, big.files));

    std::fprintf(stderr, "load...\n");
    std::unique_ptr<Loaded> lib;
    std::vector<double> cats;
    v["load_ms"] = MedianLoad(big, runs, lib, &cats) * 1000;
    v["cat_ms"] = Median(cats) * 1000;
    v["loaded_samples"] = lib->doc->GetSampleCount();

    std::fprintf(stderr, "search...\n");
    const bool haveRg = HaveProgram("rg");
    const std::string toolOut = root + "/tool-output.txt";
    using Variant = SearchVariant;
    const auto& variants = kSearchVariants;
    for (const Variant& var : variants) {
        SearchOptions options;
        options.text = var.word;
        options.matchCase = var.matchCase;
        SearchTotals totals;
        const std::string k = var.key;
        v["search_" + k + "_ms"] =
            MedianOf(runs, [&] { totals = SearchLibrary(*lib->doc, options, [](const CSample&, unsigned) { return true; }); }) *
            1000;
        v["search_" + k + "_samples"] = totals.samples;
        std::vector<double> rg;
        for (int i = 0; haveRg && i < runs; ++i)
            rg.push_back(RunQuiet(Concat({"rg", var.matchCase ? "-c" : "-ci", var.word}, big.files), toolOut));
        v["rg_" + k + "_ms"] = haveRg ? Median(rg) * 1000 : -1;
    }
    lib.reset();

    std::fprintf(stderr, "memory, first load...\n");
    {
        std::istringstream in(RunCapture({self, "--probe-memory", big.dir, big.configPath}));
        double base = -1, load = -1, tree = -1, seconds = -1;
        if (in >> base >> load >> tree >> seconds) {
            v["hwm_load_bytes"] = load;
            v["hwm_tree_bytes"] = tree > 0 ? tree : -1;
            v["first_load_ms"] = seconds * 1000;
        }
    }
#ifdef TINDREL_BENCH_GUI
    std::fprintf(stderr, "start...\n");
    v["start_shown_ms"] = MeasureStart(self, big.dir, big.configPath, runs, true) * 1000;
#endif
    std::fprintf(stderr, "growth...\n");
    {
        std::unique_ptr<Loaded> smallLib;
        v["small_load_ms"] = MedianLoad(small, runs, smallLib, nullptr) * 1000;
    }

    auto F = [&](const std::string& k) { return fig.Get(k); };
    auto M = [&](const std::string& k) { return Ms(F(k) / 1000); };
    // The window's target grows with the library: 250 ms at 100,000 samples, 2.5 s at a million.
    const double shownBudget = samples >= 1000000 ? 2500 : 250;
    // Peak memory: at most 3x the files, and 1.3x at a million samples.
    const double memoryLimit = samples >= 1000000 ? 1.3 : 3;
    std::vector<Target> targets = {
        {"load_vs_cat", Div(F("load_ms"), F("cat_ms")), 5},
        {"growth_load", Div(F("load_ms"), F("small_load_ms")), 12},
        {"memory_vs_disk", Div(F("hwm_tree_bytes") > 0 ? F("hwm_tree_bytes") : F("hwm_load_bytes"), F("disk_bytes")),
         memoryLimit},
        {"start_shown_vs_budget", Div(F("start_shown_ms"), shownBudget), 1},
    };
    for (const Variant& var : variants)
        targets.push_back({std::string("search_") + var.key + "_vs_rg",
                           Div(F(std::string("search_") + var.key + "_ms"), F(std::string("rg_") + var.key + "_ms")), 1});

    std::printf("\nTindrel benchmark, load and search only: %d samples, %s on disk; median of %d runs\n\n", samples,
                Mb(static_cast<double>(big.diskBytes)).c_str(), runs);
    std::printf("| %-44s | %10s | %-24s | %7s | %-7s | %-4s |\n", "Measure", "Tindrel", "Reference", "Ratio",
                "Target", "Met");
    auto target = [&](size_t i) { return targets[i]; };
    Row("load (OnNewDocument)", M("load_ms"), "cat " + M("cat_ms"), target(0).ratio, "<= 5x", MetText(target(0)));
    Row("  first load in a fresh process", M("first_load_ms"), "cat " + M("cat_ms"), Div(F("first_load_ms"), F("cat_ms")),
        "", "");
    Row("growth " + std::to_string(samples / 10) + " -> " + std::to_string(samples) + ": load", M("load_ms"),
        M("small_load_ms"), target(1).ratio, "<= 12x", MetText(target(1)));
    Row(F("hwm_tree_bytes") > 0 ? "peak memory after the tree" : "peak memory after load",
        Mb(F("hwm_tree_bytes") > 0 ? F("hwm_tree_bytes") : F("hwm_load_bytes")), "disk " + Mb(F("disk_bytes")),
        target(2).ratio, memoryLimit < 2 ? "<= 1.3x" : "<= 3x", MetText(target(2)));
    Row("the library in the window, fresh process", M("start_shown_ms"), Ms(shownBudget / 1000), target(3).ratio,
        "<= 1x", MetText(target(3)));
    for (size_t i = 0; i < 4; ++i) {
        const Variant& var = variants[i];
        const std::string k = var.key;
        const Target& t = target(4 + i);
        Row(std::string("search \"") + var.word + "\" " + (var.matchCase ? "match case" : "any case") + " (" +
                std::to_string(static_cast<long long>(F("search_" + k + "_samples"))) + ")",
            M("search_" + k + "_ms"), std::string(var.matchCase ? "rg -c " : "rg -ci ") + M("rg_" + k + "_ms"), t.ratio,
            "<= 1x", MetText(t));
    }
    if (quiet.count)
        std::printf("Messages during the run: %d (first: %s)\n", quiet.count, quiet.first.c_str());
    PrintJson(fig, targets, haveRg, F("start_shown_ms") > 0);
    std::filesystem::remove_all(root);
    return 0;
}

} // namespace bench
