#include "bench/SaveBench.h"

#include <filesystem>
#include <fstream>

#include "bench/BenchUtil.h"
#include "library/CategoryWriter.h"
#include "library/QuorrinDoc.h"

namespace bench {

void MeasureSave(CQuorrinDoc& doc, const Workload& big, const std::string& root, int runs, int slowRuns,
                 std::map<std::string, double>& v) {
    const std::string copyDir = root + "/copy";
    std::filesystem::create_directories(copyDir);
    const std::string copy = copyDir + "/" + std::filesystem::path(big.bigFile).filename().string();
    std::vector<double> saves, saveCpu, cps, syncs, replaces;
    for (int i = 0; i < runs; ++i) {
        CSample s;
        doc.FindSample(big.selectTitle, s);
        s.SetComments(s.GetComments() + "Changed by run " + std::to_string(i) + ".\r\n");
        doc.UpdateSample(big.selectTitle, s);
        doc.MarkCategoryChanged(big.bigCategory);
        // Each timed step starts with nothing waiting to be written on the file system,
        // so that no step pays for the writes of another.
        RunQuiet({"sync", "-f", big.dir});
        double start = Now();
        const double cpuStart = CpuNow();
        doc.OnSaveDocument();
        saveCpu.push_back(CpuNow() - cpuStart);
        saves.push_back(Now() - start);
        std::filesystem::remove(copy);
        RunQuiet({"sync", "-f", big.dir});
        cps.push_back(RunQuiet({"cp", big.bigFile, copy}));
        std::filesystem::remove(copy);
        RunQuiet({"sync", "-f", big.dir});
        // The save syncs the new file and then the folder that holds it: so does the reference.
        syncs.push_back(RunQuiet({"cp", big.bigFile, copy}) + RunQuiet({"sync", copy, copyDir}));
        // The floor of a crash-safe save: the same bytes put in place of the copy as
        // the save puts its file in place, without making them from the samples.
        const std::string bytes = FileContent(big.bigFile);
        RunQuiet({"sync", "-f", big.dir});
        replaces.push_back(WriteReplacing(copy, bytes));
    }
    v["save_one_ms"] = Median(saves) * 1000;
    v["save_one_cpu_ms"] = Median(saveCpu) * 1000;
    v["cp_one_ms"] = Median(cps) * 1000;
    v["cp_sync_one_ms"] = Median(syncs) * 1000;
    v["replace_one_ms"] = Median(replaces) * 1000;
    v["big_category_samples"] = doc.CountSamplesInCategory(big.bigCategory);
    v["big_file_bytes"] = static_cast<double>(FileBytes(big.bigFile));

    std::vector<double> saveAll, cpAll, syncAll;
    std::vector<std::string> copies;
    for (const std::string& f : big.files)
        copies.push_back(copyDir + "/" + std::filesystem::path(f).filename().string());
    for (int i = 0; i < slowRuns; ++i) {
        for (const auto& [name, category] : doc.Categories())
            doc.MarkCategoryChanged(name);
        RunQuiet({"sync", "-f", big.dir});
        double start = Now();
        doc.OnSaveDocument();
        saveAll.push_back(Now() - start);
        std::filesystem::remove_all(copyDir);
        std::filesystem::create_directories(copyDir);
        RunQuiet({"sync", "-f", big.dir});
        cpAll.push_back(RunQuiet(Concat(Concat({"cp"}, big.files), {copyDir})));
        std::filesystem::remove_all(copyDir);
        std::filesystem::create_directories(copyDir);
        RunQuiet({"sync", "-f", big.dir});
        syncAll.push_back(RunQuiet(Concat(Concat({"cp"}, big.files), {copyDir})) +
                          RunQuiet(Concat(Concat({"sync"}, copies), {copyDir})));
    }
    v["save_all_ms"] = Median(saveAll) * 1000;
    v["cp_all_ms"] = Median(cpAll) * 1000;
    v["cp_sync_all_ms"] = Median(syncAll) * 1000;
    std::filesystem::remove_all(copyDir);

    // The same one-sample save after another program appended a sample to the file: the
    // save merges the file as it is now with the window's changes.
    std::vector<double> merges;
    int kept = 0;
    for (int i = 0; i < runs; ++i) {
        CSample s;
        doc.FindSample(big.selectTitle, s);
        CSample outside = s;
        outside.SetTitle("Added by another program " + std::to_string(i));
        std::string record;
        AppendSampleBytes(record, outside);
        std::ofstream(big.bigFile, std::ios::binary | std::ios::app) << record;
        s.SetComments(s.GetComments() + "Changed beside run " + std::to_string(i) + ".\r\n");
        doc.UpdateSample(big.selectTitle, s);
        doc.MarkCategoryChanged(big.bigCategory);
        RunQuiet({"sync", "-f", big.dir});
        const double start = Now();
        doc.OnSaveDocument();
        merges.push_back(Now() - start);
        CSample found;
        kept += doc.FindSample(outside.GetTitle(), found) ? 1 : 0;
    }
    v["save_merge_ms"] = Median(merges) * 1000;
    v["save_merge_kept"] = kept;
}

} // namespace bench
