// The instant find above the tree, on the real view shown offscreen: one keystroke that
// completes a word in the filter field, timed until the tree shows the whole result
// (and has been laid out), searching titles and keywords, or their text too; while the
// text is searched, the longest time the event loop did not turn. And the start of the
// program as a fresh process to its first idle moment with the window up, on a library
// and on an empty one. Built only when the window library is.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "bench/Report.h"

class CQuorrinDoc;

namespace bench {

struct FindRun {
    double keystroke = -1; // seconds, median
    double longestGap = -1; // seconds, the longest of the runs
    int shown = 0;          // samples the narrowed tree holds
};

struct FindFigures {
    double indexRead = -1; // reading every title and keyword in (as the field takes the focus)
    std::map<std::string, FindRun> titles; // by word: titles and keywords
    std::map<std::string, FindRun> text;   // by word: comments and text too
};

// For each word: the field holds the word without its last letter, then the last
// letter is typed; median of runs.
FindFigures MeasureFind(CQuorrinDoc& doc, const std::vector<std::string>& words, int runs);

// The hidden mode of tindrel-bench that measures a start: in a process of its own, the
// program starts on folder with the configuration file config as main starts it, and
// ends at once when the event loop first has nothing to do with the window shown (the
// library is read meanwhile on a thread of its own), or, untilShown, once the library is
// in the window too. Returns the exit code.
int ProbeStart(const std::string& folder, const std::string& config, bool untilShown);

// Median seconds of runs fresh starts (ProbeStart in a child process of self).
double MeasureStart(const std::string& self, const std::string& folder, const std::string& config, int runs,
                    bool untilShown);

// The words the instant find is measured with.
std::vector<std::string> FindWords();
// The find on doc (loaded from files), with grep -ci over the same files, and the start
// on folder (its configuration config) beside a start on an empty library made under
// root; figures go to v in milliseconds ("find_...", "start_...").
void MeasureFindAndStart(CQuorrinDoc& doc, const std::vector<std::string>& files, const std::string& folder,
                         const std::string& config, const std::string& root, const std::string& self, int runs,
                         std::map<std::string, double>& v);
// Their targets, and their rows of the table.
std::vector<Target> FindTargets(const Figures& f);
void PrintFindRows(const Figures& f, const std::vector<Target>& targets);

} // namespace bench
