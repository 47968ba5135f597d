// The benchmark's quick run of the load and the search alone, for large libraries.
#pragma once

#include <cstdint>
#include <string>

#include "bench/Workload.h"

namespace bench {

// The searches measured, each beside ripgrep: a common and a rare word, case on and off.
struct SearchVariant {
    const char* key;
    const char* word;
    bool matchCase;
};
inline constexpr SearchVariant kSearchVariants[] = {{"common_case", kCommonWord, true},
                                                    {"common_nocase", kCommonWord, false},
                                                    {"rare_case", kRareWord, true},
                                                    {"rare_nocase", kRareWord, false}};

// Generates a library of samples (seed) under /tmp and measures it; self is this
// program, for the child processes. Prints the table and the JSON line; 0 when done.
int RunScaleBench(int samples, int runs, std::uint64_t seed, const std::string& self);

} // namespace bench
