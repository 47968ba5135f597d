#include "app/ProcessLauncher.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

namespace {
ProgramStarter g_starter;
UrlOpener g_opener;
} // namespace

void SetProgramStarter(ProgramStarter starter) {
    g_starter = std::move(starter);
}
void SetUrlOpener(UrlOpener opener) {
    g_opener = std::move(opener);
}

bool StartProgram(const QString& program, const QStringList& arguments) {
    if (g_starter)
        return g_starter(program, arguments);
    // The caller's environment and current folder; the program runs on its own.
    return QProcess::startDetached(program, arguments, QDir::currentPath());
}

int StartFirstProgram(const std::vector<ProgramChoice>& choices) {
    for (size_t i = 0; i < choices.size(); ++i)
        if (StartProgram(choices[i].program, choices[i].arguments))
            return static_cast<int>(i);
    return -1;
}

std::string ProgramList(const std::vector<ProgramChoice>& choices) {
    std::string list;
    for (size_t i = 0; i < choices.size(); ++i) {
        if (i > 0)
            list += i + 1 == choices.size() ? " or " : ", ";
        list += choices[i].program.toStdString();
    }
    return list;
}

bool OpenUrl(const QUrl& url) {
    if (g_opener)
        return g_opener(url);
    return QDesktopServices::openUrl(url);
}
