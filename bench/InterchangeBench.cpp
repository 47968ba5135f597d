#include "bench/InterchangeBench.h"

#include <filesystem>

#include "bench/BenchUtil.h"
#include "config/LibraryConfig.h"
#include "config/MemoryKeyStore.h"
#include "library/ImportPlan.h"
#include "library/ImportSource.h"
#include "library/LibraryExport.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"
#include "library/SampleLanguage.h"

namespace bench {

namespace fs = std::filesystem;

namespace {

constexpr int kSnippets = 10000;

// A snippet file of the usual shape: list prefixes, list bodies with placeholders.
std::string SnippetFile() {
    std::string out = "{\n  // generated\n";
    for (int i = 0; i < kSnippets; ++i) {
        const std::string n = std::to_string(i);
        out += "  \"snippet " + n + "\": {\n    \"prefix\": [\"p" + n + "\", \"q" + n +
               "\"],\n    \"body\": [\"for (int ${1:i} = 0; $1 < n; ++$1) {\", \"\\t$0 // " + n +
               "\", \"}\"],\n    \"description\": \"Loop number " + n + "\",\n    \"scope\": \"cpp\",\n  },\n";
    }
    return out + "}\n";
}

} // namespace

void MeasureInterchange(const CQuorrinDoc& doc, const std::string& root, int runs,
                        std::map<std::string, double>& v) {
    const std::string snippets = root + "/snippets.code-snippets";
    {
        std::string bytes = SnippetFile();
        WriteReplacing(snippets, bytes);
    }
    std::vector<double> imports;
    for (int i = 0; i < runs; ++i) {
        const std::string folder = root + "/import" + std::to_string(i);
        fs::remove_all(folder);
        fs::create_directories(folder);
        RunQuiet({"sync", "-f", root});
        const double start = Now();
        MemoryKeyStore store;
        CLibraryConfig config(store);
        config.LoadProfile();
        CLoadErrorList errors;
        CQuorrinDoc target(config, errors);
        target.SetFolder(folder);
        target.OnNewDocument();
        InterchangeResult read;
        importsource::Read("vscode", {snippets}, read);
        const ImportPlan plan = PlanImport(target, errors, read, {});
        const bool ok = ApplyImport(target, plan) && target.GetSampleCount() == kSnippets;
        imports.push_back(ok ? Now() - start : -1);
        fs::remove_all(folder);
    }
    v["import_vscode_ms"] = Median(imports) * 1000;

    // Each run writes into new folders, and nothing is removed until all have run: a file
    // system that has just removed many files is slow to make new ones for a few minutes
    // (ext4 leaves the inodes of recent deletions alone), which would weigh on whichever
    // side ran first after a removal.
    std::vector<double> exports, copies;
    for (int i = 0; i < runs; ++i) {
        const std::string out = root + "/markdown" + std::to_string(i);
        const std::string copy = root + "/markdown-copy" + std::to_string(i);
        RunQuiet({"sync", "-f", root});
        ExportOptions options;
        options.format = "markdown";
        options.folder = out;
        options.languageOf = [&](const std::string& category) {
            const CCategory* c = doc.PeekCategory(category);
            return std::string(LanguageWord(CategoryLanguage(category, c && c->IsCustom(), "")));
        };
        ExportReport report;
        const double start = Now();
        const bool ok = ExportLibrary(doc, options, report);
        exports.push_back(ok ? Now() - start : -1);
        RunQuiet({"sync", "-f", root});
        copies.push_back(
            RunQuiet({"cp", "-r", fs::path(out).filename().string(), fs::path(copy).filename().string()},
                     "/dev/null", root));
        v["export_markdown_files"] = report.files;
    }
    for (int i = 0; i < runs; ++i) {
        fs::remove_all(root + "/markdown" + std::to_string(i));
        fs::remove_all(root + "/markdown-copy" + std::to_string(i));
    }
    v["export_markdown_ms"] = Median(exports) * 1000;
    v["cp_r_markdown_ms"] = Median(copies) * 1000;
}

std::vector<Target> InterchangeTargets(const Figures& f) {
    return {
        {"import_vscode_10000_vs_1s", Div(f.Get("import_vscode_ms"), 1000), 1},
        {"export_markdown_vs_cp_r", Div(f.Get("export_markdown_ms"), f.Get("cp_r_markdown_ms")), 3},
    };
}

void PrintInterchangeRows(const Figures& f, const std::vector<Target>& targets) {
    Row("import 10000 VS Code snippets (empty library)", Ms(f.Get("import_vscode_ms") / 1000), "1 s",
        targets[0].ratio, "<= 1x", MetText(targets[0]));
    Row("export as Markdown (" + std::to_string(static_cast<long long>(f.Get("export_markdown_files"))) +
            " files)",
        Ms(f.Get("export_markdown_ms") / 1000), "cp -r " + Ms(f.Get("cp_r_markdown_ms") / 1000), targets[1].ratio,
        "<= 3x", MetText(targets[1]));
}

} // namespace bench
