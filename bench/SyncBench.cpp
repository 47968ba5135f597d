#include "bench/SyncBench.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "bench/BenchUtil.h"
#include "bench/Workload.h"
#include "library/LibrarySync.h"

namespace bench {

namespace fs = std::filesystem;

namespace {

// Changes one sample of the big file: a character added to the text of the sample that
// follows the n-th text marker, the file replaced as a save replaces it.
bool ChangeOneSample(const std::string& path, int n) {
    std::string bytes = FileContent(path);
    size_t at = 0;
    for (int i = 0; i <= n % 1000; ++i) {
        at = bytes.find("***TEXT_BEGIN***\r\n", at);
        if (at == std::string::npos)
            return false;
        at += 18;
    }
    bytes.insert(at, "x");
    return WriteReplacing(path, bytes) >= 0;
}

std::uint64_t FolderBytes(const std::string& folder) {
    std::uint64_t total = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            total += entry.file_size();
    return total;
}

double Seconds(const std::function<bool()>& fn) {
    const double start = Now();
    return fn() ? Now() - start : -1;
}

void Row(const char* what, double ours, double theirs, const char* tool) {
    std::printf("%-44s %9.0f ms   %-36s %9.0f ms   %.2fx\n", what, ours * 1000, tool, theirs * 1000,
                theirs > 0 ? ours / theirs : 0);
}

} // namespace

int RunSyncBench(const std::string& root, int samples, std::uint64_t seed, int runs) {
    std::fprintf(stderr, "generating %d samples...\n", samples);
    const Workload w = GenerateWorkload(root + "/library", samples, seed);
    const std::string ours = root + "/ours", plain = root + "/plain";
    librarysync::Options options;
    options.driverProgram = "tindrel-cli";
    auto git = [](const std::string& folder, std::vector<std::string> args) {
        args.insert(args.begin(), {"git", "-C", folder, "-c", "user.name=bench", "-c", "user.email=bench@localhost"});
        return RunQuiet(args) >= 0;
    };

    // The first commit of the whole library.
    std::vector<double> inits, plainInits;
    for (int i = 0; i < runs; ++i) {
        for (const std::string& f : {ours, plain}) {
            fs::remove_all(f);
            fs::copy(w.dir, f, fs::copy_options::recursive);
        }
        RunQuiet({"sync", "-f", root});
        inits.push_back(Seconds([&] { return librarysync::Init(ours, "", options).ok; }));
        plainInits.push_back(Seconds([&] {
            return git(plain, {"init", "-q"}) && git(plain, {"add", "-A"}) && git(plain, {"commit", "-q", "-m", "library"});
        }));
    }

    // One changed sample committed and pushed to a local bare repository.
    for (const std::string& f : {ours, plain}) {
        const std::string bare = f + ".git";
        git(root, {"init", "-q", "--bare", bare});
        git(f, {"remote", "add", "origin", bare});
        git(f, {"push", "-q", "-u", "origin", "HEAD"});
    }
    const std::string big = fs::path(w.bigFile).filename().string();
    std::vector<double> syncs, plainSyncs;
    for (int i = 0; i < runs; ++i) {
        ChangeOneSample(ours + "/" + big, i);
        ChangeOneSample(plain + "/" + big, i);
        syncs.push_back(Seconds([&] {
            const librarysync::Report r = librarysync::Sync(ours, options);
            return r.ok && r.problems.empty();
        }));
        plainSyncs.push_back(Seconds([&] {
            return git(plain, {"commit", "-q", "-a", "-m", "change"}) && git(plain, {"push", "-q"});
        }));
    }

    // The repository's growth over 100 one-sample syncs.
    for (int i = 0; i < 100; ++i) {
        ChangeOneSample(ours + "/" + big, runs + i);
        librarysync::Sync(ours, options);
    }
    const std::uint64_t before = FolderBytes(ours + "/.git");
    git(ours, {"gc", "-q"});
    const std::uint64_t after = FolderBytes(ours + "/.git");

    std::printf("\nSync through git, %d samples (%.0f MB), median of %d runs\n", samples, w.diskBytes / 1e6, runs);
    Row("first sync init (commit of the library)", Median(inits), Median(plainInits),
        "git init && git add -A && git commit");
    Row("one changed sample: sync (commit, push)", Median(syncs), Median(plainSyncs), "git commit -a && git push");
    std::printf("repository after 100 one-sample syncs: %.1f MB, after git gc %.1f MB (library %.1f MB)\n",
                before / 1e6, after / 1e6, w.diskBytes / 1e6);
    return 0;
}

} // namespace bench
