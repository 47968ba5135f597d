// Import and export: 10,000 VS Code snippets imported into an empty library, and the
// whole library exported as Markdown beside cp -r of the same tree of files.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "bench/Report.h"

class CQuorrinDoc;

namespace bench {

// doc: the big library, loaded. Scratch folders go below root.
void MeasureInterchange(const CQuorrinDoc& doc, const std::string& root, int runs,
                        std::map<std::string, double>& v);
std::vector<Target> InterchangeTargets(const Figures& f);
void PrintInterchangeRows(const Figures& f, const std::vector<Target>& targets);

} // namespace bench
