// Library Help: the program's guide in the desktop's viewer, or else "nocando.txt" in
// a text editor, or else a message naming the file to read.
#pragma once

#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

#include "app/ProcessLauncher.h"

class QWidget;

constexpr const char* kHelpFile = "TindrelHelp.html";
constexpr const char* kNoHelpFile = "nocando.txt";

// The help viewer. Shows file (the guide) and answers a non-zero handle, or 0 when it
// cannot: the file cannot be found, or no viewer takes it. When no viewer is available
// at all, it remembers that and answers 0 at once from then on. command 0 shows the
// file's default topic; data is unused.
quintptr HtmlHelpLoader(QWidget* owner, const char* file, unsigned command, quintptr data);

// The view's Library Help command.
void LaunchLibraryHelp(QWidget* owner);

// Where a help file is: beside the library (the current folder), beside the program,
// in the installed help folder, or else the copy built into the program, written to
// the user's cache folder. Empty when none can be had.
QString FindHelpFile(const char* name);

// The text editors tried, in order, with the text help file.
std::vector<ProgramChoice> TextEditorPrograms(const QString& file = QString::fromLatin1(kNoHelpFile));
// The text help file given to the editor: "nocando.txt" when the library's folder holds
// one, else the installed copy's path.
QString TextHelpFile();
// The message when neither the viewer nor an editor could be started; it names what
// was tried and the file to read.
std::string HelpFailureText(const QString& textHelpFile);

// Forgets that no viewer was available (tests only).
void ResetHtmlHelpLoader();
