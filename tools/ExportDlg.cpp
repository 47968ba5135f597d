#include "tools/ExportDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Messenger.h"
#include "library/QuorrinDoc.h"
#include "ui/ByteEntries.h"
#include "ui/FileDialogs.h"
#include "ui/TextCodec.h"

CExportDlg::CExportDlg(const CQuorrinDoc& doc, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("exportDialog"));
    setWindowTitle(QString::fromLatin1(kCaption));
    m_formatBox = new QComboBox(this);
    m_formatBox->setObjectName(QStringLiteral("exportFormat"));
    m_formatBox->addItem(tr("Markdown, one file per sample (every field)"), QStringLiteral("markdown"));
    m_formatBox->addItem(tr("VS Code snippets, one file per category (no sub-categories)"), QStringLiteral("vscode"));
    m_formatBox->addItem(tr("Source files (title and text only)"), QStringLiteral("files"));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("exportCategories"));
    for (const auto& [name, category] : doc.Categories()) {
        auto* item = new QListWidgetItem(DecodeName(name), m_list);
        item->setData(Qt::UserRole, ToByteArray(name));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    m_folderEdit = new QLineEdit(this);
    m_folderEdit->setObjectName(QStringLiteral("exportFolder"));
    auto* browse = new QPushButton(tr("&Browse..."), this);
    browse->setObjectName(QStringLiteral("exportBrowse"));
    m_overwriteBox = new QCheckBox(tr("&Overwrite files already in the folder"), this);
    m_overwriteBox->setObjectName(QStringLiteral("exportOverwrite"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->addButton(tr("&Export"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("exportButton"));

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folderEdit, 1);
    folderRow->addWidget(browse);
    auto* form = new QFormLayout;
    form->addRow(tr("&Format:"), m_formatBox);
    form->addRow(tr("&Categories:"), m_list);
    // A row of a layout has no buddy of its own: the label's mnemonic goes to the field.
    auto* folderLabel = new QLabel(tr("Fo&lder:"), this);
    folderLabel->setBuddy(m_folderEdit);
    form->addRow(folderLabel, folderRow);
    form->addRow(QString(), m_overwriteBox);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(browse, &QPushButton::clicked, this, [this] {
        FolderRequest request;
        request.caption = tr("Export into Folder");
        request.startFolder = QFile::encodeName(m_folderEdit->text()).toStdString();
        if (auto chosen = FileDialogs().GetExistingFolder(this, request))
            m_folderEdit->setText(QFile::decodeName(chosen->c_str()));
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CExportDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CExportDlg::accept() {
    m_format = m_formatBox->currentData().toString().toStdString();
    m_folder = QFile::encodeName(m_folderEdit->text().trimmed()).toStdString();
    m_overwrite = m_overwriteBox->isChecked();
    m_categories.clear();
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            m_categories.push_back(ToStdString(m_list->item(i)->data(Qt::UserRole).toByteArray()));
    if (m_folder.empty()) {
        ShowMessage("Please choose the folder to export into.", MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (m_categories.empty()) {
        ShowMessage("Please choose at least one category to export.", MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    QDialog::accept();
}
