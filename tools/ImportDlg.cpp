#include "tools/ImportDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "library/ImportSource.h"
#include "ui/FileDialogs.h"
#include "ui/StepProgress.h"
#include "ui/TextCodec.h"

CImportDlg::CImportDlg(const CQuorrinDoc& doc, const CLoadErrorList& errors, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_errors(errors) {
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(QString::fromLatin1(kCaption));
    auto* files = new QPushButton(tr("&Files..."), this);
    files->setObjectName(QStringLiteral("importChooseFiles"));
    auto* folder = new QPushButton(tr("F&older..."), this);
    folder->setObjectName(QStringLiteral("importChooseFolder"));
    m_pathsLabel = new QLabel(tr("Choose the files or the folder to import."), this);
    m_pathsLabel->setObjectName(QStringLiteral("importPaths"));
    m_pathsLabel->setWordWrap(true);
    m_format = new QComboBox(this);
    m_format->setObjectName(QStringLiteral("importFormat"));
    m_format->addItem(tr("Guess from the files"), QString());
    m_format->addItem(tr("VS Code snippets"), QStringLiteral("vscode"));
    m_format->addItem(tr("Markdown files"), QStringLiteral("markdown"));
    m_format->addItem(tr("Folder of source files"), QStringLiteral("files"));
    m_format->addItem(tr("massCode (db.json or vault)"), QStringLiteral("masscode"));
    m_format->addItem(tr("SnippetsLab JSON export"), QStringLiteral("snippetslab"));
    m_preview = new QPlainTextEdit(this);
    m_preview->setObjectName(QStringLiteral("importPreview"));
    m_preview->setReadOnly(true);
    m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    m_import = buttons->addButton(tr("&Import"), QDialogButtonBox::AcceptRole);
    m_import->setObjectName(QStringLiteral("importButton"));
    m_import->setEnabled(false);

    auto* choose = new QHBoxLayout;
    choose->addWidget(files);
    choose->addWidget(folder);
    choose->addWidget(m_pathsLabel, 1);
    auto* form = new QFormLayout;
    form->addRow(tr("F&ormat:"), m_format);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choose);
    layout->addLayout(form);
    layout->addWidget(m_preview, 1);
    layout->addWidget(buttons);
    resize(640, 420);

    connect(files, &QPushButton::clicked, this, &CImportDlg::OnChooseFiles);
    connect(folder, &QPushButton::clicked, this, &CImportDlg::OnChooseFolder);
    connect(m_format, &QComboBox::currentIndexChanged, this, [this] { Replan(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CImportDlg::OnChooseFiles() {
    OpenFilesRequest request;
    request.caption = tr("Import Files");
    request.filter = tr("Snippets and notes (*.code-snippets *.json *.md);;All Files (*)");
    if (auto chosen = FileDialogs().GetOpenFileNames(this, request))
        SetPaths(*chosen);
}

void CImportDlg::OnChooseFolder() {
    FolderRequest request;
    request.caption = tr("Import a Folder");
    if (auto chosen = FileDialogs().GetExistingFolder(this, request))
        SetPaths({*chosen});
}

void CImportDlg::SetPaths(std::vector<std::string> paths) {
    m_paths = std::move(paths);
    QStringList names;
    for (const auto& p : m_paths)
        names << QFile::decodeName(p.c_str());
    m_pathsLabel->setText(names.join(QStringLiteral(", ")));
    Replan();
}

void CImportDlg::Replan() {
    m_plan = ImportPlan{};
    m_formatUsed = m_format->currentData().toString().toStdString();
    m_import->setEnabled(false);
    if (m_paths.empty())
        return;
    if (m_formatUsed.empty()) {
        std::string why;
        m_formatUsed = importsource::GuessFormat(m_paths, why);
        if (m_formatUsed.empty()) {
            m_preview->setPlainText(DecodeName(why + "; choose the format."));
            return;
        }
    }
    // Many files are read with a bar and Cancel; a reading cancelled imports nothing.
    InterchangeResult read;
    CStepProgress progress(this, tr("Reading the files to import..."), "importProgress");
    if (!importsource::Read(m_formatUsed, m_paths, read,
                            [&progress](size_t done, size_t total) { return progress.Step(done, total); })) {
        m_preview->setPlainText(tr("Reading cancelled; nothing will be imported. Choose the files or the folder "
                                   "again to read them."));
        return;
    }
    m_plan = PlanImport(m_doc, m_errors, read, {});
    m_preview->setPlainText(DecodeLines("Format: " + m_formatUsed + "\n" + m_plan.Describe()));
    m_import->setEnabled(m_plan.refusal.empty() && !m_plan.adds.empty());
}
