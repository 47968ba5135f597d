#include "app/HelpLauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

#include "base/Messenger.h"

namespace {

// Set once no viewer would take the guide; never reset while the program runs.
bool g_viewerFailed = false;

QString ProgramDir() {
    const QString dir = QCoreApplication::applicationDirPath();
    if (!dir.isEmpty())
        return dir;
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

// Writes the built-in copy of the guide where a browser can read it.
QString ExtractBuiltInHelp(const QString& name) {
    QFile source(QStringLiteral(":/help/") + name);
    if (!source.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = source.readAll();
    QString dir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir))
        dir = QDir::tempPath();
    const QString path = QDir(dir).filePath(name);
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return path;
    existing.close();
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        return {};
    return out.flush() ? path : QString();
}

} // namespace

QString FindHelpFile(const char* name) {
    const QString file = QString::fromLocal8Bit(name);
    if (QFileInfo(file).isAbsolute())
        return QFileInfo::exists(file) ? file : QString();
    const QString candidates[] = {
        QDir::current().filePath(file),
        QDir(ProgramDir()).filePath(file),
        QDir(ProgramDir()).filePath(QStringLiteral(TINDREL_HELP_FROM_PROGRAM "/") + file),
    };
    for (const QString& c : candidates)
        if (QFileInfo(c).isFile())
            return QFileInfo(c).absoluteFilePath();
    return ExtractBuiltInHelp(file);
}

void ResetHtmlHelpLoader() {
    g_viewerFailed = false;
}

quintptr HtmlHelpLoader(QWidget* owner, const char* file, unsigned command, quintptr data) {
    Q_UNUSED(owner);
    Q_UNUSED(data);
    if (g_viewerFailed || !file)
        return 0;
    if (command != 0)
        return 0; // only the default topic is offered
    const QString path = FindHelpFile(file);
    if (path.isEmpty())
        return 0; // the viewer cannot show a file that is not there
    if (!OpenUrl(QUrl::fromLocalFile(path))) {
        // No viewer takes it: later requests go straight to the fallback.
        g_viewerFailed = true;
        return 0;
    }
    return 1;
}

std::vector<ProgramChoice> TextEditorPrograms(const QString& file) {
    const QStringList args{file};
#ifdef _WIN32
    return {{QStringLiteral("notepad.exe"), args}};
#else
    std::vector<ProgramChoice> list;
    for (const char* editor : {"gnome-text-editor", "gedit", "kate", "kwrite", "mousepad", "pluma", "xed",
                               "featherpad", "leafpad", "geany"})
        list.push_back({QString::fromLatin1(editor), args});
    return list;
#endif
}

QString TextHelpFile() {
    const QString name = QString::fromLatin1(kNoHelpFile);
    if (QFileInfo(name).isFile())
        return name;
    const QString installed = FindHelpFile(kNoHelpFile);
    return installed.isEmpty() ? name : installed;
}

std::string HelpFailureText(const QString& textHelpFile) {
#ifdef _WIN32
    Q_UNUSED(textHelpFile);
    return std::string("Tindrel was unable to launch HTMLHelp or Notepad.\n") +
           "You will need to manually view the \"nocando.txt\" file\n" + "to view the Help information.";
#else
    std::string text = "Tindrel was unable to open its guide in a web browser (xdg-open)\nor \"" +
                       std::string(kNoHelpFile) + "\" in a text editor (" + ProgramList(TextEditorPrograms()) +
                       ").\nYou will need to manually view the file\n" +
                       QFile::encodeName(textHelpFile).toStdString() + "\nto view the Help information.";
    // The guide itself, for a browser started by hand.
    const QString guide = FindHelpFile(kHelpFile);
    if (!guide.isEmpty())
        text += "\nThe guide is " + QFile::encodeName(guide).toStdString() + " (open it in a web browser).";
    return text;
#endif
}

void LaunchLibraryHelp(QWidget* owner) {
    if (HtmlHelpLoader(owner, kHelpFile, 0, 0) != 0)
        return;
    // Taken relative to the current folder, the library's folder, when it is there.
    const QString textHelp = TextHelpFile();
    if (StartFirstProgram(TextEditorPrograms(textHelp)) >= 0)
        return;
    ShowMessage(HelpFailureText(textHelp), MsgButtons::Ok, MsgIcon::Exclamation);
}
