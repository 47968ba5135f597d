// Starting other programs (the system-information program, the text editor) and
// opening files in the desktop's viewer. Tests install hooks and then nothing starts.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

class QUrl;

// Starts program with arguments without waiting for it; false when it cannot be
// started (not found, not executable).
bool StartProgram(const QString& program, const QStringList& arguments);
// The first program of the list that starts; its index, or -1 when none does.
struct ProgramChoice {
    QString program;
    QStringList arguments;
};
int StartFirstProgram(const std::vector<ProgramChoice>& choices);
// The programs' names for a message: "a, b or c".
std::string ProgramList(const std::vector<ProgramChoice>& choices);
// Hands a URL to the desktop (its browser for a help page); false when nothing takes it.
bool OpenUrl(const QUrl& url);

using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
using UrlOpener = std::function<bool(const QUrl& url)>;
// Hooks for tests: while one is installed it answers instead of the system; nullptr
// restores the real behaviour.
void SetProgramStarter(ProgramStarter starter);
void SetUrlOpener(UrlOpener opener);
