#include "tools/LoadErrorsDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "library/ContentCheck.h"
#include "library/LoadErrorList.h"
#include "base/Messenger.h"
#include "library/EditRules.h"
#include "library/QuorrinDoc.h"
#include "tools/SampleInErrorDlg.h"
#include "ui/ByteEntries.h"
#include "ui/DialogParts.h"

CLoadErrorsDlg::CLoadErrorsDlg(CQuorrinDoc& doc, CLoadErrorList& store, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_store(store) {
    setObjectName(QStringLiteral("loadErrorsDialog"));
    setWindowTitle(QString::fromLatin1(kCaption));
    BuildLayout();

    // Opening: the categories, the sub-categories of the first one, the rows. Only places
    // the tree shows are offered: a sample corrected into any other would have none.
    std::vector<std::string> names;
    CCategory category;
    CQuorrinDoc::Cursor cursor;
    for (bool more = m_doc.FirstCategory(category, cursor); more; more = m_doc.NextCategory(category, cursor))
        if (category.IsDisplayed())
            names.push_back(category.GetName());
    if (names.empty())
        names.push_back(kNoCategories);
    AddSortedEntries(m_categoryList, std::move(names));
    m_categoryList->setCurrentIndex(0);
    OnCategoryChanged();
    FillList();
    EnableButtons();
}

void CLoadErrorsDlg::BuildLayout() {
    auto text = [this](const char* t) {
        auto* l = new QLabel(QString::fromLatin1(t), this);
        l->setTextFormat(Qt::PlainText);
        return l;
    };

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("loadErrorList"));
    m_list->setColumnCount(3);
    m_list->setHeaderLabels(
        {QStringLiteral("Error #"), QStringLiteral("Sample Title"), QStringLiteral("Reason")});
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSortingEnabled(false);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->setSectionsClickable(false);
    m_list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->header()->setStretchLastSection(false);
    m_list->setMinimumSize(CharWidth(this, 70), 150);

    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("doneButton"));
    done->setDefault(true);
    m_showSample = new QPushButton(QStringLiteral("Show entire sample"), this);
    m_showSample->setObjectName(QStringLiteral("showSampleButton"));
    m_showSample->setAutoDefault(false);
    m_update = new QPushButton(QStringLiteral("Update"), this);
    m_update->setObjectName(QStringLiteral("updateButton"));
    m_update->setAutoDefault(false);
    m_discard = new QPushButton(QStringLiteral("Discard..."), this);
    m_discard->setObjectName(QStringLiteral("discardButton"));
    m_discard->setAutoDefault(false);
    m_discard->setToolTip(QStringLiteral("Remove the selected sample from the file it was read from"));

    auto* corrections = new QGroupBox(QStringLiteral("Corrections:"), this);
    corrections->setObjectName(QStringLiteral("correctionsGroup"));
    m_titleEdit = new QLineEdit(corrections);
    m_titleEdit->setObjectName(QStringLiteral("titleEdit"));
    m_categoryList = new QComboBox(corrections);
    m_categoryList->setObjectName(QStringLiteral("categoryCombo"));
    m_categoryList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_categoryList->setMinimumContentsLength(24);
    m_subcategoryList = new QComboBox(corrections);
    m_subcategoryList->setObjectName(QStringLiteral("subcategoryCombo"));
    m_subcategoryList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_subcategoryList->setMinimumContentsLength(24);
    m_currentCategory = new QLabel(corrections);
    m_currentCategory->setObjectName(QStringLiteral("currentCategoryLabel"));
    m_currentCategory->setTextFormat(Qt::PlainText);
    m_currentCategory->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_currentCategory->setMinimumWidth(CharWidth(this, 22));
    m_currentSubcategory = new QLabel(corrections);
    m_currentSubcategory->setObjectName(QStringLiteral("currentSubcategoryLabel"));
    m_currentSubcategory->setTextFormat(Qt::PlainText);
    m_currentSubcategory->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_currentSubcategory->setMinimumWidth(CharWidth(this, 22));

    auto* grid = new QGridLayout(corrections);
    auto right = [corrections](const char* t) {
        auto* l = new QLabel(QString::fromLatin1(t), corrections);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    grid->addWidget(right("Sample Title:"), 0, 0);
    grid->addWidget(m_titleEdit, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Valid values:"), corrections), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Current values:"), corrections), 1, 2);
    grid->addWidget(right("Category:"), 2, 0);
    grid->addWidget(m_categoryList, 2, 1);
    grid->addWidget(m_currentCategory, 2, 2);
    grid->addWidget(right("Sub-category:"), 3, 0);
    grid->addWidget(m_subcategoryList, 3, 1);
    grid->addWidget(m_currentSubcategory, 3, 2);
    grid->addWidget(m_update, 3, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    auto* listButtons = new QVBoxLayout;
    listButtons->addWidget(done);
    listButtons->addWidget(m_showSample);
    listButtons->addWidget(m_discard);
    listButtons->addStretch(1);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_list, 1);
    listRow->addLayout(listButtons);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(text("The following samples failed to load into the library tree."));
    outer->addWidget(text(
        "This is usually because the sample's category and/or sub-category could not be found in the tree."));
    outer->addLayout(listRow, 1);
    outer->addWidget(text("To correct a sample:"));
    outer->addWidget(text("- Select a sample in the list."));
    outer->addWidget(
        text("- Modify the title text, or modify the category/sub-category by choosing a value from "
             "the dropdown list."));
    outer->addWidget(corrections);

    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_showSample, &QPushButton::clicked, this, &CLoadErrorsDlg::OnShowSample);
    connect(m_update, &QPushButton::clicked, this, &CLoadErrorsDlg::OnUpdate);
    connect(m_discard, &QPushButton::clicked, this, &CLoadErrorsDlg::OnDiscard);
    connect(m_categoryList, &QComboBox::activated, this, &CLoadErrorsDlg::OnCategoryChanged);
    connect(m_list, &QTreeWidget::itemClicked, this, &CLoadErrorsDlg::OnListClick);
    connect(m_list, &QTreeWidget::itemActivated, this, &CLoadErrorsDlg::OnListClick);
}

void CLoadErrorsDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_columnsSet) {
        m_columnsSet = true;
        const int w = m_list->viewport()->width();
        m_list->setColumnWidth(0, w / 7);
        m_list->setColumnWidth(1, (w / 7) * 3);
        m_list->setColumnWidth(2, (w / 7) * 3);
    }
}

void CLoadErrorsDlg::FillList() {
    QList<QTreeWidgetItem*> rows;
    CSample record;
    CLoadErrorList::Cursor cursor;
    for (bool more = m_store.GetFirst(record, cursor); more; more = m_store.GetNext(record, cursor)) {
        auto* row = new QTreeWidgetItem();
        row->setText(0, QString::fromStdString(StrFormat("%d", m_nextErrorNumber)));
        ++m_nextErrorNumber;
        row->setText(1, DecodeName(record.GetTitle()));
        row->setData(1, kBytesRole, ToByteArray(record.GetTitle()));
        row->setText(2, QString::fromLatin1(LoadErrorReasonText(record.GetLoadErrorReason())));
        rows.append(row);
    }
    // In one go: the list lays itself out once however many rows there are.
    m_list->addTopLevelItems(rows);
}

void CLoadErrorsDlg::EnableButtons() {
    const bool any = m_store.GetCount() >= 1;
    m_showSample->setEnabled(any);
    m_update->setEnabled(any);
    m_discard->setEnabled(any && SelectedRow() != nullptr);
}

void CLoadErrorsDlg::OnCategoryChanged() {
    m_subcategoryList->clear();
    const std::string name = CurrentEntryBytes(m_categoryList);
    const CCategory* category = name == kNoCategories ? nullptr : m_doc.PeekCategory(name);
    if (!category) {
        m_subcategoryList->addItem(QString::fromLatin1(kNoSubcategories), QByteArray(kNoSubcategories));
        m_subcategoryList->setCurrentIndex(-1);
        return;
    }
    // The sub-categories the tree shows, and none (directly below the category).
    std::vector<std::string> names;
    for (int i = 0; i < kSlotCount; ++i)
        if (!category->Slot(i).name.empty() && category->Slot(i).inUse)
            names.push_back(category->Slot(i).name);
    if (!names.empty())
        names.push_back(kNoneAssigned);
    AddSortedEntries(m_subcategoryList, std::move(names));
    // The first sub-category (none comes first in the list, but is not the first choice).
    const int none = FindEntryBytes(m_subcategoryList, kNoneAssigned);
    m_subcategoryList->setCurrentIndex(m_subcategoryList->count() == 0 ? -1 : (none == 0 ? 1 : 0));
}

QTreeWidgetItem* CLoadErrorsDlg::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    return selected.size() == 1 ? selected.front() : nullptr;
}

void CLoadErrorsDlg::ShowCurrentValues(const std::string& category, const std::string& subcategory,
                                       const std::string& title) {
    m_currentCategory->setText(DecodeName(category));
    m_currentSubcategory->setText(DecodeName(subcategory));
    m_titleEdit->setText(DecodeField(title, m_titleCodec));
    m_titleEdit->setCursorPosition(0);
}

void CLoadErrorsDlg::OnListClick() {
    QTreeWidgetItem* row = SelectedRow();
    if (!row)
        return;
    m_rowTitle = ToStdString(row->data(1, kBytesRole).toByteArray());

    bool found = false;
    CSample record;
    CLoadErrorList::Cursor cursor;
    for (bool more = m_store.GetFirst(record, cursor); more; more = m_store.GetNext(record, cursor)) {
        if (record.GetTitle() == m_rowTitle) {
            found = true;
            break;
        }
    }
    if (found) {
        m_store.Staged() = record;
        ShowCurrentValues(record.GetCategory(), record.GetSubcategory(), record.GetTitle());
        // The lists follow the row where the tree shows its place, so that correcting only
        // the title keeps the sample where it was.
        if (const int at = FindEntryBytes(m_categoryList, record.GetCategory()); at >= 0) {
            m_categoryList->setCurrentIndex(at);
            OnCategoryChanged();
            const int sub = FindEntryBytes(m_subcategoryList, record.GetSubcategory().empty()
                                                                  ? std::string(kNoneAssigned)
                                                                  : record.GetSubcategory());
            if (sub >= 0)
                m_subcategoryList->setCurrentIndex(sub);
        }
    } else {
        ShowMessage("Internal error.\nCould not find sample \"" + m_rowTitle +
                    "\"\nin list of Load errors!\n");
        m_titleCodec = FieldCodec();
        m_currentCategory->setText(QStringLiteral("?"));
        m_currentSubcategory->setText(QStringLiteral("?"));
        m_titleEdit->setText(QStringLiteral("?"));
    }
    EnableButtons();
}

void CLoadErrorsDlg::OnShowSample() {
    CSampleInErrorDlg dlg(m_store.Staged(), this);
    dlg.exec();
}

void CLoadErrorsDlg::OnUpdate() {
    QTreeWidgetItem* row = SelectedRow();
    if (!row)
        return;
    const std::string title = EncodeField(m_titleEdit->text(), m_titleCodec);
    if (title.empty()) {
        ShowMessage("You must specify a title.");
        return;
    }
    CSample holder;
    if (m_doc.FindSample(title, holder)) {
        ShowMessage(NotUniqueTitleMessage(holder), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    std::string category = CurrentEntryBytes(m_categoryList);
    std::string subcategory = CurrentEntryBytes(m_subcategoryList);
    if (subcategory == kNoneAssigned || subcategory == kNoSubcategories)
        subcategory.clear();

    CSample& staged = m_store.Staged();
    CSample corrected = staged;
    corrected.SetTitle(title);
    corrected.SetCategory(category);
    corrected.SetSubcategory(subcategory);
    // A title typed here must still fit the category file.
    const std::string why = CheckSampleContent(corrected);
    if (!why.empty()) {
        ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    // Success is said only for a sample that gets a place in the tree.
    if (!m_doc.HasPlace(corrected)) {
        ShowMessage("There is no such place in the library tree.\nPlease choose a category and sub-category "
                    "from the lists.",
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    staged = corrected;
    if (!m_doc.AddStagedSample()) {
        ShowMessage(StrFormat("Unable to add sample\n\"%s\"\nto library!\n", title.c_str()));
        return;
    }
    // The record leaves the file it was read from once its new place holds it: now.
    m_doc.ReleaseLoadError(m_rowTitle, title);
    m_doc.OnSaveDocument();
    if (m_store.GetCount() == 0)
        m_doc.NotifyView();
    ShowMessage("Sample has been corrected");
    RemoveRow(row);
}

void CLoadErrorsDlg::OnDiscard() {
    QTreeWidgetItem* row = SelectedRow();
    if (!row || m_rowTitle.empty())
        return;
    if (ShowMessage("The sample \"" + m_rowTitle +
                        "\" will be removed from the file it was read from.\nThis cannot be undone.\n\n"
                        "Discard it?",
                    MsgButtons::YesNoDefaultNo, MsgIcon::Question) != MsgAnswer::Yes)
        return;
    m_doc.ReleaseLoadError(m_rowTitle, std::string());
    m_doc.OnSaveDocument();
    if (m_store.GetCount() == 0)
        m_doc.NotifyView();
    RemoveRow(row);
}

void CLoadErrorsDlg::RemoveRow(QTreeWidgetItem* row) {
    // The row goes; the others keep their numbers. Nothing is selected afterwards.
    delete row;
    m_list->clearSelection();
    m_list->setCurrentItem(nullptr);
    m_store.Staged().Reset();
    m_rowTitle.clear();
    m_titleCodec = FieldCodec();
    m_titleEdit->clear();
    m_currentCategory->clear();
    m_currentSubcategory->clear();
    EnableButtons();
}
