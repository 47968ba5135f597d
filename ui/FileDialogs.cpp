#include "ui/FileDialogs.h"

#include <QFile>
#include <QFileDialog>

#include "ui/TextCodec.h"

namespace {

class CNoFileDialogs : public IFileDialogs {
public:
    std::optional<std::string> GetSaveFileName(QWidget*, const SaveAsRequest&) override { return std::nullopt; }
    std::optional<std::string> GetExistingFolder(QWidget*, const FolderRequest&) override { return std::nullopt; }
};

CNoFileDialogs g_none;
IFileDialogs* g_dialogs = &g_none;

} // namespace

IFileDialogs& FileDialogs() { return *g_dialogs; }

void SetFileDialogs(IFileDialogs* dialogs) { g_dialogs = dialogs ? dialogs : &g_none; }

std::optional<std::string> CQtFileDialogs::GetSaveFileName(QWidget* parent, const SaveAsRequest& request) {
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

std::optional<std::string> CQtFileDialogs::GetExistingFolder(QWidget* parent, const FolderRequest& request) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent, request.caption, QFile::decodeName(request.startFolder.c_str()));
    if (folder.isEmpty())
        return std::nullopt;
    return QFile::encodeName(folder).toStdString();
}

std::optional<std::vector<std::string>> CQtFileDialogs::GetOpenFileNames(QWidget* parent,
                                                                         const OpenFilesRequest& request) {
    const QStringList files = QFileDialog::getOpenFileNames(
        parent, request.caption, QFile::decodeName(request.startFolder.c_str()), request.filter);
    if (files.isEmpty())
        return std::nullopt;
    std::vector<std::string> out;
    for (const QString& f : files)
        out.push_back(QFile::encodeName(f).toStdString());
    return out;
}
