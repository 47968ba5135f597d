// The benchmark's library: generated from a fixed seed, so every run measures the same
// bytes. Category files are written exactly as the program writes them, and the
// library configuration lives in a file of the workload's own folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

inline constexpr const char* kCommonWord = "return";
inline constexpr const char* kRareWord = "zygomorphic";

struct Workload {
    std::string dir;                // the library folder, holding the category files
    std::string configPath;         // its configuration file
    std::vector<std::string> files; // every category file, full path
    int samples = 0;
    std::string bigCategory; // the category with a tenth of the samples
    std::string bigFile;
    int bigCount = 0;
    std::string rareCategory; // where the rare word lives
    int rareCount = 0;
    std::string selectTitle; // a sample in the middle of the big category
    std::uint64_t diskBytes = 0;
};

// Writes a library of `samples` samples into dir (created when absent): the three
// default categories and 20 custom ones with custom sub-categories.
Workload GenerateWorkload(const std::string& dir, int samples, std::uint64_t seed);

} // namespace bench
