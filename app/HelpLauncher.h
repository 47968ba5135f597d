// Library Help: the program's guide in the desktop's viewer, or else "nocando.txt" in
// a text editor, or else a message naming the file to read.
#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

#include "app/ProcessLauncher.h"

class QWidget;

// The help viewer. Shows file (the guide) and answers a non-zero handle, or 0 when it
// cannot: the file cannot be found, or no viewer takes it. When no viewer is available
// at all, it remembers that and answers 0 at once from then on. command 0 shows the
// file's default topic; data is unused.
quintptr HtmlHelpLoader(QWidget* owner, const char* file, unsigned command, quintptr data);

// The view's Library Help command.
void LaunchLibraryHelp(QWidget* owner);

// Where the guide is: beside the library (the current folder), beside the program, in
// the installed share folder, or else the copy built into the program, written to the
// user's cache folder. Empty when none can be had.
QString FindHelpFile(const char* name);

// The text editors tried, in order, with "nocando.txt".
std::vector<ProgramChoice> TextEditorPrograms();

// Forgets that no viewer was available (tests only).
void ResetHtmlHelpLoader();

constexpr const char* kHelpFile = "TindrelHelp.html";
constexpr const char* kNoHelpFile = "nocando.txt";
