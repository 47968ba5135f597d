// The benchmark's quick run of the load and the search alone, for large libraries.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Generates a library of samples (seed) under /tmp and measures it; self is this
// program, for the child processes. Prints the table and the JSON line; 0 when done.
int RunScaleBench(int samples, int runs, std::uint64_t seed, const std::string& self);

} // namespace bench
