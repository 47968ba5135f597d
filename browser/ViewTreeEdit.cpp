// The view's commands that change the library's structure through the sample tree:
// new categories and sub-categories, Insert, Delete, Restore defaults, the Add Sample
// wizard's launch and Change title.
#include <QEvent>
#include <QKeyEvent>
#include <QTreeWidget>

#include "browser/ChangeTitleDlg.h"
#include "library/EditRules.h"
#include "browser/InsertItemDlg.h"
#include "browser/NewCategoryDlg.h"
#include "browser/NewSubcategoryDlg.h"
#include "browser/QuorrinView.h"
#include "browser/ViewHost.h"
#include "config/LibraryConfig.h"
#include "base/Messenger.h"
#include "tools/AddSampleWizard.h"

namespace {

// The Insert and Delete keys while the tree has the focus run Insert and Delete directly,
// whatever the commands' enable states.
class CTreeEditKeys : public QObject {
public:
    explicit CTreeEditKeys(CQuorrinView* view) : QObject(view), m_view(view) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            if (mods == Qt::NoModifier && key->key() == Qt::Key_Insert) {
                m_view->OnInsert();
                return true;
            }
            if (mods == Qt::NoModifier && key->key() == Qt::Key_Delete) {
                m_view->OnDelete();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    CQuorrinView* m_view;
};

// The titles of every sample item below item.
void CollectSampleTitles(const QTreeWidgetItem* item, std::vector<std::string>& titles) {
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* child = item->child(i);
        if (CQuorrinView::ItemTag(child) == kTagSample)
            titles.push_back(CQuorrinView::ItemName(child));
        else
            CollectSampleTitles(child, titles);
    }
}

// The category item of that name in the current tree, or nullptr.
QTreeWidgetItem* CategoryItemNamed(const CQuorrinView& view, const std::string& name) {
    QTreeWidgetItem* root = view.RootItem();
    for (int i = 0; root && i < root->childCount(); ++i)
        if (CQuorrinView::ItemTag(root->child(i)) == kTagCategory &&
            CQuorrinView::ItemName(root->child(i)) == name)
            return root->child(i);
    return nullptr;
}

// The wizard starts where the main tree's selection is.
WizardPreselection PreselectionOf(const QTreeWidgetItem* item, const CQuorrinDoc& doc) {
    WizardPreselection place;
    switch (CQuorrinView::ItemTag(item)) {
    case kTagCategory:
        place.kind = WizardPreselection::Kind::Category;
        place.category = CQuorrinView::ItemName(item);
        break;
    case kTagSubcategory:
        place.kind = WizardPreselection::Kind::Subcategory;
        place.category = CQuorrinView::ItemName(item->parent());
        place.subcategory = CQuorrinView::ItemName(item);
        break;
    case kTagSample:
        if (const CSample* sample = doc.PeekSample(CQuorrinView::ItemName(item))) {
            place.kind = WizardPreselection::Kind::Subcategory;
            place.category = sample->GetCategory();
            place.subcategory = sample->GetSubcategory();
        }
        break;
    default:
        break;
    }
    return place;
}

} // namespace

void CQuorrinView::InstallTreeEditKeys() {
    m_tree->installEventFilter(new CTreeEditKeys(this));
}

void CQuorrinView::SortTreeChildren(QTreeWidgetItem* item) {
    if (item)
        item->sortChildren(0, Qt::AscendingOrder);
}

void CQuorrinView::CommitFormEdits() {
    if (m_formModified && CaptureFormChecked())
        OnCommitPending();
}

// ---------------------------------------------------------------------------------
// New categories and sub-categories

bool CQuorrinView::AddNewCategory() {
    if (!m_doc || !m_root)
        return false;
    CNewCategoryDlg dlg(*m_doc, NextCategoryProposal(), window());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const std::string name = dlg.m_strName;

    QTreeWidgetItem* item = NewItem(name, kTagCategory);
    m_root->addChild(item);
    item->setExpanded(true);
    m_categoryItems[name] = item;

    if (!m_doc->AddCategory(std::make_unique<CCategory>(name)))
        ShowMessage("Failed trying to add new category to internal map!", MsgButtons::Ok,
                    MsgIcon::Exclamation);
    emit CommandStateChanged();
    return true;
}

bool CQuorrinView::AddNewSubcategory(QTreeWidgetItem* categoryItem, const std::string& proposedName) {
    if (!m_doc || !categoryItem)
        return false;
    const std::string categoryName = ItemName(categoryItem);
    const std::string proposal = proposedName.empty() ? NextSubcategoryProposal() : proposedName;
    CNewSubcategoryDlg dlg(*m_doc, proposal, categoryName, window());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    if (categoryName.empty()) {
        ShowMessage("Unable to identify parent category!\n");
        return false;
    }
    CCategory category;
    if (!m_doc->FindCategory(categoryName, category)) {
        ShowMessage("Unable to locate parent category!\n");
        return false;
    }
    const std::string name = dlg.m_strName;
    // The dialog refuses a name when no slot is free; a name without a slot would be
    // shown now and lost at the next rebuild.
    const int slot = category.FreeSlot();
    if (slot < 0) {
        ShowMessage(StrFormat(edit_msg::kNoFreeSlot, categoryName.c_str()), MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return false;
    }
    category.Slot(slot) = SubcategorySlot{name, true, true};
    m_doc->UpdateCategory(categoryName, category);
    m_doc->AddCustomSubcategoryToConfig(categoryName, name);

    // The item is found again by name: the tree may have been rebuilt while the dialog
    // ran, and a rebuild shows the new sub-category anyway.
    categoryItem = CategoryItemNamed(*this, categoryName);
    if (categoryItem) {
        QTreeWidgetItem* item = NewItem(name, kTagSubcategory);
        categoryItem->addChild(item);
        item->setExpanded(true);
        m_subcategoryItems[categoryName + '\0' + name] = item;
    }
    emit CommandStateChanged();
    return true;
}

// ---------------------------------------------------------------------------------
// Insert

void CQuorrinView::OnInsert() {
    if (!m_doc)
        return;
    QTreeWidgetItem* selected = SelectedItem();
    switch (ItemTag(selected)) {
    case kTagRoot:
        AddNewCategory();
        SortTreeChildren(m_root);
        break;
    case kTagCategory: {
        const std::string name = ItemName(selected);
        CInsertItemDlg dlg(window());
        if (dlg.exec() != QDialog::Accepted)
            return;
        if (dlg.m_nChoice == CInsertItemDlg::kSubcategory) {
            // Found again by name: the tree may have been rebuilt while the dialog ran.
            QTreeWidgetItem* categoryItem = CategoryItemNamed(*this, name);
            AddNewSubcategory(categoryItem, std::string());
            SortTreeChildren(CategoryItemNamed(*this, name));
        } else {
            LaunchAddSampleWizard();
        }
        break;
    }
    case kTagSubcategory:
        LaunchAddSampleWizard();
        break;
    case kTagSample:
        if (ShowMessage("Samples cannot have child items.\nAdd a new sample to this sub-category?",
                        MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes)
            LaunchAddSampleWizard();
        break;
    default:
        break;
    }
}

bool CQuorrinView::LaunchAddSampleWizard() {
    if (!m_doc)
        return false;
    std::unique_ptr<CSample> sample =
        RunAddSampleWizard(*m_doc, PreselectionOf(SelectedItem(), *m_doc), m_host.WizardState(), window());
    if (!sample)
        return false;
    // Unsaved edits of the sample in the form are kept before the tree is rebuilt.
    CommitFormEdits();
    const std::string title = sample->GetTitle();
    m_doc->AddSample(std::move(sample));
    EnableSampleFields(true);
    RebuildTree(title);
    return true;
}

// ---------------------------------------------------------------------------------
// Delete

void CQuorrinView::OnDelete() {
    if (!m_doc || !m_root)
        return;
    QTreeWidgetItem* root = m_root;
    QTreeWidgetItem* selected = SelectedItem();
    if (!selected)
        return;
    const std::string text = ItemName(selected);
    if (selected == root) {
        ShowMessage("The root item cannot be deleted.");
        return;
    }
    const bool hadChildren = selected->childCount() > 0;
    const std::string question = hadChildren
                                     ? std::string("Deleting this item will cause all its child items\n") +
                                           "to also be deleted!\n\n" +
                                           "All samples under this item will be permanently deleted.\n\n" +
                                           "Continue with the deletion?"
                                     : std::string("Are you sure you want to delete this item?\n");
    // Everything needed from the item is taken now: the question's own event loop may
    // run a posted commit that rebuilds the tree.
    const bool wasExpanded = selected->isExpanded();
    const int tag = ItemTag(selected);
    std::string category = tag == kTagSubcategory ? ItemName(selected->parent()) : std::string();
    std::string subcategory;
    std::vector<std::string> titles;
    if (hadChildren && (tag == kTagCategory || tag == kTagSubcategory))
        CollectSampleTitles(selected, titles);
    selected = nullptr;
    if (ShowMessage(question, MsgButtons::YesNo, MsgIcon::None) != MsgAnswer::Yes)
        return;

    switch (tag) {
    case kTagCategory: {
        for (const std::string& title : titles)
            m_doc->DeleteSample(title);
        CCategory record;
        m_doc->FindCategory(text, record);
        record.ResetSlots(true);
        CQuorrinDoc::ResetDefaultSubcategories(record, false);
        m_doc->UpdateCategory(text, record);
        m_doc->DeleteCategory(text);
        break;
    }
    case kTagSubcategory: {
        for (const std::string& title : titles)
            m_doc->DeleteSample(title);
        CCategory record;
        if (!m_doc->FindCategory(category, record)) {
            ShowMessage("Internal error.\nUnable to locate parent category!\n" + std::string("\tParent: ") +
                        category + "Selected subcategory cannot be deleted.");
            return;
        }
        if (record.IsCustomSubcategory(text))
            m_doc->RemoveCustomSubcategoryFromConfig(category, text);
        if (!record.RemoveSubcategory(text)) {
            ShowMessage(std::string("Internal error.\nUnable to locate subcategory within category!\n") +
                        "Selected subcategory not deleted.");
            return;
        }
        if (wasExpanded) {
            NameSetMap& expanded = m_config.g_expandedSubcats;
            auto it = expanded.find(category);
            if (it != expanded.end())
                it->second.erase(text);
        }
        m_doc->UpdateCategory(category, record);
        break;
    }
    case kTagSample: {
        if (const CSample* sample = m_doc->PeekSample(text)) {
            category = sample->GetCategory();
            subcategory = sample->GetSubcategory();
        }
        m_doc->DeleteSample(text);
        break;
    }
    default:
        return;
    }

    // Unsaved edits of a sample that is gone must not be committed later.
    const std::string& pending = m_doc->PendingSample().GetTitle();
    if (!pending.empty() && !m_doc->PeekSample(pending)) {
        m_doc->PendingSample().Reset();
        SetFormModified(false);
    }

    RebuildTree(std::string());
    if (tag == kTagSubcategory)
        SelectCategoryItem(category);
    else if (tag == kTagSample && !category.empty()) {
        if (subcategory.empty())
            SelectCategoryItem(category);
        else
            SelectSubcategoryItem(category, subcategory);
    }
}

// ---------------------------------------------------------------------------------
// Restore defaults

void CQuorrinView::OnRestoreDefaults() {
    if (!m_doc)
        return;
    CommitFormEdits();
    QTreeWidgetItem* selected = SelectedItem();
    const bool wasSample = ItemTag(selected) == kTagSample;
    const std::string text = ItemName(selected);
    m_doc->ShowAll();
    // The same sample is selected again; any other selection is not.
    RebuildTree(wasSample ? text : std::string());
    if (!wasSample)
        m_tree->setCurrentItem(nullptr);
}

// ---------------------------------------------------------------------------------
// Change title

void CQuorrinView::OnChangeTitle() {
    if (!m_doc || ItemTag(SelectedItem()) != kTagSample)
        return;
    const std::string current = m_formTitle;
    CChangeTitleDlg dlg(*m_doc, current, window());
    if (dlg.exec() != QDialog::Accepted)
        return;
    const std::string newTitle = dlg.m_strNewTitle;

    // Unsaved edits in the form belong to the sample under its current title; committed
    // first, they move with it instead of being lost under a title that is gone.
    if (m_formModified) {
        if (!CaptureFormChecked())
            return;
        OnCommitPending();
    }

    auto sample = std::make_unique<CSample>();
    const CSample* stored = m_doc->PeekSample(current);
    if (!stored) {
        ShowMessage("Internal error!\nUnable to locate sample with title: " + current + ".\n" +
                        "The sample's title cannot be changed.",
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    *sample = *stored;
    m_doc->DeleteSample(current);
    sample->SetTitle(newTitle);
    const std::string category = sample->GetCategory();
    m_doc->AddSample(std::move(sample));

    CCategory record;
    m_doc->FindCategory(category, record);
    record.SetChanged(true);
    m_doc->UpdateCategory(category, record);
    RebuildTree(newTitle);
}
