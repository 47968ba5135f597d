// Sync through git on the benchmark's library (tindrel-bench --sync): the first sync init
// beside git init && git add -A && git commit; one changed sample committed and pushed to
// a local bare repository beside git commit -a && git push of the same change; the
// repository's size after 100 one-sample syncs, before and after git gc, beside the
// library's size.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

// root: a scratch folder of the run; returns the exit status.
int RunSyncBench(const std::string& root, int samples, std::uint64_t seed, int runs);

} // namespace bench
