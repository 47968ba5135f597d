#include "tools/TrashDlg.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "base/Messenger.h"
#include "base/TextRules.h"
#include "library/QuorrinDoc.h"
#include "library/Trash.h"
#include "ui/TextCodec.h"

namespace {

constexpr int kIdRole = Qt::UserRole;

// A place in the tree: "C++ > GUI", or the category alone.
QString PlaceOf(const std::string& category, const std::string& subcategory) {
    QString place = DecodeName(category);
    if (!subcategory.empty())
        place += QStringLiteral(" > ") + DecodeName(subcategory);
    return place;
}

// A single sample is named by its title; anything else by what it was.
QString WhatOf(const trash::Deletion& deletion) {
    if (deletion.kind == trash::Kind::Sample && deletion.samples.size() == 1)
        return DecodeName(deletion.samples.front().GetTitle());
    return DecodeName(trash::Describe(deletion));
}

QString WhenOf(const trash::Deletion& deletion) {
    return QDateTime::fromMSecsSinceEpoch(deletion.id / 1000).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

} // namespace

CTrashDlg::CTrashDlg(CQuorrinDoc& doc, QWidget* parent) : QDialog(parent), m_doc(doc) {
    setObjectName(QStringLiteral("trashDialog"));
    setWindowTitle(QString::fromLatin1(kCaption));
    auto* layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("trashList"));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Category"), QStringLiteral("Deleted")});
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setAllColumnsShowFocus(true);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_list->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_list->setMinimumSize(560, 260);
    layout->addWidget(m_list);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("trashStatusLabel"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    auto* buttons = new QDialogButtonBox(this);
    m_restore = buttons->addButton(QStringLiteral("&Restore"), QDialogButtonBox::ActionRole);
    m_restore->setObjectName(QStringLiteral("restoreButton"));
    m_empty = buttons->addButton(QStringLiteral("&Empty Trash"), QDialogButtonBox::ActionRole);
    m_empty->setObjectName(QStringLiteral("emptyTrashButton"));
    QPushButton* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("closeButton"));
    layout->addWidget(buttons);
    connect(m_restore, &QPushButton::clicked, this, &CTrashDlg::OnRestore);
    connect(m_empty, &QPushButton::clicked, this, &CTrashDlg::OnEmpty);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CTrashDlg::EnableButtons);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item && !item->parent())
            OnRestore();
    });
    FillList();
}

void CTrashDlg::FillList() {
    m_list->clear();
    std::vector<trash::Deletion> deletions;
    std::string problem;
    m_doc.ListTrash(deletions, problem);
    size_t samples = 0;
    for (auto it = deletions.rbegin(); it != deletions.rend(); ++it) {
        const trash::Deletion& deletion = *it;
        auto* row = new QTreeWidgetItem(m_list, {WhatOf(deletion), PlaceOf(deletion.category, deletion.subcategory), WhenOf(deletion)});
        row->setData(0, kIdRole, QVariant::fromValue<qlonglong>(deletion.id));
        samples += deletion.samples.size();
        if (deletion.kind == trash::Kind::Sample && deletion.samples.size() == 1)
            continue;
        // The samples that went with it, to read; a deletion is restored as a whole.
        for (const CSample& sample : deletion.samples) {
            auto* child = new QTreeWidgetItem(
                row, {DecodeName(sample.GetTitle()), PlaceOf(sample.GetCategory(), sample.GetSubcategory())});
            child->setFlags(Qt::ItemIsEnabled);
        }
    }
    std::string status = deletions.empty() ? std::string("The trash is empty.")
                                           : "The trash holds " + CountOf(deletions.size(), "deletion", "deletions") +
                                                 " (" + CountOf(samples, "sample", "samples") + ").";
    if (!problem.empty())
        status += "\n" + problem;
    m_status->setText(DecodeName(status));
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    EnableButtons();
}

void CTrashDlg::EnableButtons() {
    const bool editable = !m_doc.IsReadOnly();
    m_restore->setEnabled(editable && !m_list->selectedItems().isEmpty());
    m_empty->setEnabled(editable && m_list->topLevelItemCount() > 0);
}

void CTrashDlg::OnRestore() {
    // Oldest first, so that a later deletion of the same place comes back over it.
    std::set<std::int64_t> ids;
    for (QTreeWidgetItem* item : m_list->selectedItems())
        if (!item->parent())
            ids.insert(item->data(0, kIdRole).toLongLong());
    for (std::int64_t id : ids) {
        std::vector<std::string> titles;
        if (!m_doc.RestoreFromTrash(id, &titles))
            continue;
        m_restoredIds.push_back(id);
        m_restoredTitles.insert(m_restoredTitles.end(), titles.begin(), titles.end());
    }
    FillList();
}

void CTrashDlg::OnEmpty() {
    std::vector<std::int64_t> ids;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        ids.push_back(m_list->topLevelItem(i)->data(0, kIdRole).toLongLong());
    if (ids.empty())
        return;
    const std::string question = "Empty the trash?\n\nIts " + CountOf(ids.size(), "deletion", "deletions") +
                                 " will be gone for good and cannot be restored.";
    if (ShowMessage(question, MsgButtons::YesNoDefaultNo, MsgIcon::Question) != MsgAnswer::Yes)
        return;
    m_doc.RemoveFromTrash(ids);
    FillList();
}
