// The window measurements: the real view's RebuildTree, selecting a sample after it,
// and the search as the Search dialog runs it, pumping the event queue once per
// sample. Built only when the window library is.
#pragma once

#include <memory>
#include <string>

#include "library/LibrarySearch.h"

class CQuorrinDoc;
class CQuorrinView;

namespace bench {

// Starts Qt (offscreen); call once, first thing in main.
void StartGui(int& argc, char** argv);
void StopGui();

// The view of one loaded document, shown offscreen.
class TreeBench {
public:
    explicit TreeBench(CQuorrinDoc& doc);
    ~TreeBench();
    TreeBench(const TreeBench&) = delete;
    TreeBench& operator=(const TreeBench&) = delete;

    // One RebuildTree with an empty title; seconds. Pending events (layout) are run
    // after it and counted.
    double Rebuild();
    // Selects the sample's item as the Search dialog's double-click does; seconds,
    // including the form showing the sample. False in ok when it was not found.
    double Select(const std::string& title, bool& ok);
    // Items in the tree now.
    int ItemCount() const;
    // Dispatches what is waiting.
    static void Pump();

private:
    std::unique_ptr<CQuorrinView> m_view;
};

// The Search dialog's loop without its window: the library search over every sample
// with the event queue drained once per sample. Returns the totals.
SearchTotals PumpedSearch(const CQuorrinDoc& doc, const SearchOptions& options);

} // namespace bench
