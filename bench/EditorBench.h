// The code editor with a sample whose text is one very long line (minified code), in the
// real widget shown offscreen: opening it, scrolling to its end and back, and typing at
// its end. Built only when the window library is.
#pragma once

#include <map>
#include <string>

namespace bench {

struct EditorFigures {
    double bytes = 0;
    double open = -1;       // SetPlainText as the form fills it, and the first paint
    double scrollEnd = -1;  // Ctrl+End: the caret to the end of the line, scrolled there, painted
    double scrollHome = -1; // Ctrl+Home: back to the start, painted
    double scrollPage = -1; // the horizontal scroll bar moved by a page, painted
    double type = -1;       // one character typed at the end, the edit signal, painted
    double typeCapture = -1; // the same when every edit takes the whole text at once
    double capture = -1;    // taking the whole text (PlainText) once
    double findEnd = -1;    // the find bar's next match, a word at the very end
    bool longLineMode = false;
    bool textExact = false; // the text came back unchanged after open and scrolling
};

// Medians of runs, in seconds, for a single line of about `bytes` bytes in the C++
// highlighting the default category has.
EditorFigures MeasureLongLineEditor(long long bytes, int runs);

// Adds the figures to values under "editor_..." keys, in milliseconds.
void AddEditorFigures(const EditorFigures& f, std::map<std::string, double>& values);

// Prints the figures as rows of a small table.
void PrintEditorFigures(const EditorFigures& f);

} // namespace bench
