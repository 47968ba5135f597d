// The save, beside cp and cp + sync of the same files.
#pragma once

#include <map>
#include <string>

#include "bench/Workload.h"

class CQuorrinDoc;

namespace bench {

// Saves one sample changed in the big category `runs` times, then every category
// `slowRuns` times, each beside copying the same files; the figures go into v.
// doc is big's library, loaded; scratch files go below root.
void MeasureSave(CQuorrinDoc& doc, const Workload& big, const std::string& root, int runs, int slowRuns,
                 std::map<std::string, double>& v);

} // namespace bench
