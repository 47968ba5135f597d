#include "ui/FileDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <cstdlib>

#include "ui/TextCodec.h"

namespace {
bool g_scripted = false;
std::deque<std::optional<std::string>> g_answers;
std::vector<SaveAsRequest> g_requests;
std::vector<FolderRequest> g_folderRequests;

std::optional<std::string> NextScriptedAnswer() {
    if (g_answers.empty())
        return std::nullopt;
    auto answer = g_answers.front();
    g_answers.pop_front();
    return answer;
}
} // namespace

void CFileDialogs::SetScripted(bool on) {
    g_scripted = on;
    g_answers.clear();
    g_requests.clear();
    g_folderRequests.clear();
}
bool CFileDialogs::IsScripted() { return g_scripted; }
std::deque<std::optional<std::string>>& CFileDialogs::ScriptedAnswers() { return g_answers; }
std::vector<SaveAsRequest>& CFileDialogs::Requests() { return g_requests; }
std::vector<FolderRequest>& CFileDialogs::FolderRequests() { return g_folderRequests; }

std::optional<std::string> CFileDialogs::GetSaveFileName(QWidget* parent, const SaveAsRequest& request) {
    if (g_scripted || std::getenv("TINDREL_TESTING")) {
        g_requests.push_back(request);
        return NextScriptedAnswer();
    }

    QFileDialog dlg(parent, request.caption);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    if (!request.filter.isEmpty())
        dlg.setNameFilter(request.filter);
    if (!request.defaultSuffix.isEmpty())
        dlg.setDefaultSuffix(request.defaultSuffix);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    dlg.selectFile(DecodeName(request.proposedName));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dlg.selectedFiles().constFirst()).toStdString();
}

std::optional<std::string> CFileDialogs::GetExistingFolder(QWidget* parent, const FolderRequest& request) {
    if (g_scripted) {
        g_folderRequests.push_back(request);
        return NextScriptedAnswer();
    }
    const QString folder =
        QFileDialog::getExistingDirectory(parent, request.caption, QFile::decodeName(request.startFolder.c_str()));
    if (folder.isEmpty())
        return std::nullopt;
    return QFile::encodeName(folder).toStdString();
}
