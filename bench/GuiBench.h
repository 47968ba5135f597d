// The window measurements: the real view's RebuildTree, selecting a sample after it,
// and the search as the Search dialog runs it, with and without its event pumping.
// Built only when the window library is.
#pragma once

#include <memory>
#include <string>

#include "library/LibrarySearch.h"

class CLibraryConfig;
class CQuorrinDoc;
class CQuorrinView;
class CSampleTree;
class IViewHost;
class MemoryKeyStore;

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
    CSampleTree* Tree() const;

    // The view's own configuration (no expanded branches) and a host that does nothing.
    std::unique_ptr<MemoryKeyStore> m_store;
    std::unique_ptr<CLibraryConfig> m_config;
    std::unique_ptr<IViewHost> m_host;
    std::unique_ptr<CQuorrinView> m_view;
};

// How the Search dialog keeps the window alive during a run.
enum class Pump {
    None,            // not at all: the search alone
    AsTheDialogDoes, // its own pump: the event queue drained at most every 16 ms
};

// One whole run of the real Search dialog (shown offscreen) over every sample, for
// word: Search pressed with the text typed in and match case as given. A run still
// going after budget seconds is stopped with its Stop button (stopped is then true).
struct DialogRun {
    double seconds = 0;
    bool stopped = false;
    int rows = 0;
    long long occurrences = 0;
};
DialogRun SearchDialogRun(CQuorrinDoc& doc, const std::string& word, bool matchCase, Pump pump,
                          double budget);

} // namespace bench
