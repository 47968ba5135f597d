#include "browser/TreeEditCommands.h"

#include <QEvent>
#include <QKeyEvent>

#include "base/Messenger.h"
#include "browser/ChangeTitleDlg.h"
#include "browser/InsertItemDlg.h"
#include "browser/LanguageChoice.h"
#include "browser/NewCategoryDlg.h"
#include "browser/NewSubcategoryDlg.h"
#include "browser/SampleForm.h"
#include "browser/SampleTree.h"
#include "browser/TrashCommands.h"
#include "browser/ViewContext.h"
#include "browser/ViewHost.h"
#include "config/LibraryConfig.h"
#include "library/EditRules.h"
#include "library/QuorrinDoc.h"
#include "tools/AddSampleWizard.h"

namespace {

// The Insert and Delete keys while the tree has the focus run Insert and Delete directly,
// whatever the commands' enable states.
class CTreeEditKeys : public QObject {
public:
    explicit CTreeEditKeys(CTreeEditCommands* edits) : QObject(edits), m_edits(edits) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            if (mods == Qt::NoModifier && key->key() == Qt::Key_Insert) {
                m_edits->OnInsert();
                return true;
            }
            if (mods == Qt::NoModifier && key->key() == Qt::Key_Delete) {
                m_edits->OnDelete();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    CTreeEditCommands* m_edits;
};

// The wizard starts where the main tree's selection is.
WizardPreselection PreselectionOf(const QTreeWidgetItem* item, const CQuorrinDoc& doc) {
    WizardPreselection place;
    switch (CSampleTree::ItemTag(item)) {
    case kTagCategory:
        place.kind = WizardPreselection::Kind::Category;
        place.category = CSampleTree::ItemName(item);
        break;
    case kTagSubcategory:
        place.kind = WizardPreselection::Kind::Subcategory;
        place.category = CSampleTree::ItemName(item->parent());
        place.subcategory = CSampleTree::ItemName(item);
        break;
    case kTagSample:
        if (const CSample* sample = doc.PeekSample(CSampleTree::ItemName(item))) {
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

CTreeEditCommands::CTreeEditCommands(ViewContext& context, CSampleTree& tree, CSampleForm& form,
                                     CTrashCommands& trash, QObject* parent)
    : QObject(parent), m_context(context), m_tree(tree), m_form(form), m_trash(trash) {
    setObjectName(QStringLiteral("treeEditCommands"));
    m_tree.installEventFilter(new CTreeEditKeys(this));
}

QWidget* CTreeEditCommands::Window() const { return m_context.view->window(); }

QTreeWidgetItem* CTreeEditCommands::CategoryItemNamed(const std::string& name) const {
    QTreeWidgetItem* root = m_tree.RootItem();
    for (int i = 0; root && i < root->childCount(); ++i)
        if (CSampleTree::ItemTag(root->child(i)) == kTagCategory && CSampleTree::ItemName(root->child(i)) == name)
            return root->child(i);
    return nullptr;
}

// ---------------------------------------------------------------------------------
// New categories and sub-categories

bool CTreeEditCommands::AddNewCategory() {
    if (!m_context.doc || !m_tree.RootItem())
        return false;
    CNewCategoryDlg dlg(*m_context.doc, NextCategoryProposal(), Window());
    if (dlg.exec() != QDialog::Accepted)
        return false;
    const std::string name = dlg.m_strName;

    m_tree.AddCategoryItem(name);

    // A file of that name already in the folder brings its samples (the document tells
    // the view, which rebuilds the tree).
    if (!m_context.doc->AddCategory(std::make_unique<CCategory>(name)))
        ShowMessage("Failed trying to add new category to internal map!", MsgButtons::Ok,
                    MsgIcon::Exclamation);
    SaveNow();
    emit StateChanged();
    return true;
}

std::string CTreeEditCommands::AddNewSubcategory(QTreeWidgetItem* categoryItem, const std::string& proposedName) {
    if (!m_context.doc || !categoryItem)
        return {};
    const std::string categoryName = CSampleTree::ItemName(categoryItem);
    // Said before a name is asked for: a name without a place would only be refused.
    if (const CCategory* record = m_context.doc->PeekCategory(categoryName); record && record->FreeSlot() < 0) {
        ShowMessage(StrFormat(edit_msg::kNoFreeSlot, categoryName.c_str()), MsgButtons::Ok, MsgIcon::Exclamation);
        return {};
    }
    const std::string proposal = proposedName.empty() ? NextSubcategoryProposal() : proposedName;
    CNewSubcategoryDlg dlg(*m_context.doc, proposal, categoryName, Window());
    if (dlg.exec() != QDialog::Accepted)
        return {};
    if (categoryName.empty()) {
        ShowMessage("Unable to identify parent category!\n");
        return {};
    }
    CCategory category;
    if (!m_context.doc->FindCategory(categoryName, category)) {
        ShowMessage("Unable to locate parent category!\n");
        return {};
    }
    const std::string name = dlg.m_strName;
    // The dialog refuses a name when no slot is free; a name without a slot would be
    // shown now and lost at the next rebuild.
    const int slot = category.FreeSlot();
    if (slot < 0) {
        ShowMessage(StrFormat(edit_msg::kNoFreeSlot, categoryName.c_str()), MsgButtons::Ok,
                    MsgIcon::Exclamation);
        return {};
    }
    category.Slot(slot) = SubcategorySlot{name, true, true};
    m_context.doc->UpdateCategory(categoryName, category);
    m_context.doc->AddCustomSubcategoryToConfig(categoryName, name);

    // The item is found again by name: the tree may have been rebuilt while the dialog
    // ran, and a rebuild shows the new sub-category anyway.
    m_tree.AddSubcategoryItem(CategoryItemNamed(categoryName), name);
    emit StateChanged();
    return name;
}

void CTreeEditCommands::SaveNow() {
    // A command's change is on disk when the command returns.
    if (m_context.doc)
        m_context.doc->OnSaveDocument();
}

// ---------------------------------------------------------------------------------
// Insert

void CTreeEditCommands::OnInsert() {
    if (!m_context.doc || m_context.readOnly)
        return;
    QTreeWidgetItem* selected = m_tree.SelectedItem();
    switch (CSampleTree::ItemTag(selected)) {
    case kTagRoot:
        AddNewCategory();
        break;
    case kTagCategory: {
        const std::string name = CSampleTree::ItemName(selected);
        CInsertItemDlg dlg(Window());
        if (dlg.exec() != QDialog::Accepted)
            return;
        if (dlg.m_nChoice == CInsertItemDlg::kSubcategory) {
            // Found again by name: the tree may have been rebuilt while the dialog ran.
            if (!AddNewSubcategory(CategoryItemNamed(name), std::string()).empty()) {
                CSampleTree::SortTreeChildren(CategoryItemNamed(name));
                SaveNow();
            }
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

bool CTreeEditCommands::LaunchAddSampleWizard() {
    if (!m_context.doc)
        return false;
    std::unique_ptr<CSample> sample =
        RunAddSampleWizard(*m_context.doc, PreselectionOf(m_tree.SelectedItem(), *m_context.doc),
                           m_context.host.WizardState(), Window(), [this](const std::string& category) {
                               return LanguageOfCategory(m_context.doc, m_context.config, category);
                           });
    if (!sample)
        return false;
    // Unsaved edits of the sample in the form are kept before the tree is rebuilt.
    m_form.CommitEdits();
    const std::string title = sample->GetTitle();
    m_context.doc->AddSample(std::move(sample));
    m_form.EnableSampleFields(true);
    // The other branches stay as the user left them.
    m_tree.RebuildTree(title, true);
    SaveNow();
    return true;
}

// ---------------------------------------------------------------------------------
// Delete

namespace {

int SamplesBelow(const QTreeWidgetItem* item) {
    int count = 0;
    for (int i = 0; i < item->childCount(); ++i)
        count += CSampleTree::ItemTag(item->child(i)) == kTagSample ? 1 : SamplesBelow(item->child(i));
    return count;
}

// What the delete question names: the item, and how many samples go with it.
std::string DeleteQuestion(const QTreeWidgetItem* item) {
    const std::string name = CSampleTree::ItemName(item);
    const int tag = CSampleTree::ItemTag(item);
    if (tag == kTagSample)
        return StrFormat("Delete the sample \"%s\"?", name.c_str());
    std::string what = tag == kTagCategory
                           ? StrFormat("the category \"%s\"", name.c_str())
                           : StrFormat("the sub-category \"%s\" of \"%s\"", name.c_str(),
                                       CSampleTree::ItemName(item->parent()).c_str());
    const int samples = SamplesBelow(item);
    if (samples == 1)
        what += " and the sample under it";
    else if (samples > 1)
        what += StrFormat(" and the %d samples under it", samples);
    return "Delete " + what + "?";
}

} // namespace

void CTreeEditCommands::OnDelete() {
    if (!m_context.doc || m_context.readOnly || !m_tree.RootItem())
        return;
    QTreeWidgetItem* root = m_tree.RootItem();
    QTreeWidgetItem* selected = m_tree.SelectedItem();
    if (!selected)
        return;
    const std::string text = CSampleTree::ItemName(selected);
    if (selected == root) {
        ShowMessage("The root item cannot be deleted.");
        return;
    }
    // The question and the deletion take every sample below, also those not shown yet.
    m_tree.BuildBranch(selected, true);
    const bool hadChildren = selected->childCount() > 0;
    const std::string question = DeleteQuestion(selected) +
                                 (hadChildren ? std::string("\n\nDeleting this item will cause all its child items\n") +
                                                    "to also be deleted!\n\n" +
                                                    "All samples under this item will be permanently deleted.\n\n" +
                                                    "Continue with the deletion?"
                                              : std::string());
    // Everything needed from the item is taken now: the question's own event loop may
    // run a posted commit that rebuilds the tree.
    const bool wasExpanded = selected->isExpanded();
    const int tag = CSampleTree::ItemTag(selected);
    std::string category = tag == kTagSubcategory ? CSampleTree::ItemName(selected->parent()) : std::string();
    std::string subcategory;
    selected = nullptr;
    if (ShowMessage(question, MsgButtons::YesNoDefaultNo, MsgIcon::None) != MsgAnswer::Yes)
        return;

    // Each deletion goes to the library's trash first; when it cannot, the document has
    // said why and nothing is deleted.
    const bool editsPending = !m_context.doc->PendingSample().GetTitle().empty();
    switch (tag) {
    case kTagCategory:
        if (!m_context.doc->TrashCategory(text))
            return;
        m_trash.Remember(tag, text, std::string());
        break;
    case kTagSubcategory: {
        const std::string problem = m_context.doc->TrashSubcategory(category, text);
        if (!problem.empty()) {
            ShowMessage(problem);
            return;
        }
        if (wasExpanded) {
            NameSetMap& expanded = m_context.config.g_expandedSubcats;
            auto it = expanded.find(category);
            if (it != expanded.end())
                it->second.erase(text);
        }
        m_trash.Remember(tag, category, text);
        break;
    }
    case kTagSample: {
        if (const CSample* sample = m_context.doc->PeekSample(text)) {
            category = sample->GetCategory();
            subcategory = sample->GetSubcategory();
        }
        if (!m_context.doc->TrashSample(text))
            return;
        m_trash.Remember(tag, category, subcategory);
        break;
    }
    default:
        return;
    }
    // The document has dropped unsaved edits of a sample that is gone.
    if (editsPending && m_context.doc->PendingSample().GetTitle().empty())
        m_form.SetFormModified(false);

    m_tree.RebuildTree(std::string());
    if (tag == kTagSubcategory)
        m_tree.SelectCategoryItem(category);
    else if (tag == kTagSample && !category.empty()) {
        if (subcategory.empty())
            m_tree.SelectCategoryItem(category);
        else
            m_tree.SelectSubcategoryItem(category, subcategory);
    }
    SaveNow();
}

// ---------------------------------------------------------------------------------
// Restore defaults

void CTreeEditCommands::OnRestoreDefaults() {
    if (!m_context.doc)
        return;
    m_form.CommitEdits();
    QTreeWidgetItem* selected = m_tree.SelectedItem();
    const bool wasSample = CSampleTree::ItemTag(selected) == kTagSample;
    const std::string text = CSampleTree::ItemName(selected);
    m_context.doc->ShowAll();
    // The same sample is selected again; any other selection is not.
    m_tree.RebuildTree(wasSample ? text : std::string());
    if (!wasSample)
        m_tree.setCurrentItem(nullptr);
    SaveNow();
}

// ---------------------------------------------------------------------------------
// Change title

void CTreeEditCommands::OnChangeTitle() {
    if (!m_context.doc || m_tree.SelectedTag() != kTagSample)
        return;
    const std::string current = m_form.FormTitle();
    CChangeTitleDlg dlg(*m_context.doc, current, Window());
    if (dlg.exec() != QDialog::Accepted)
        return;
    const std::string newTitle = dlg.m_strNewTitle;

    // Unsaved edits in the form belong to the sample under its current title; committed
    // first, they move with it instead of being lost under a title that is gone.
    if (!m_form.CommitEdits())
        return;

    const CSample* stored = m_context.doc->PeekSample(current);
    if (!stored) {
        ShowMessage("Internal error!\nUnable to locate sample with title: " + current + ".\n" +
                        "The sample's title cannot be changed.",
                    MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    const std::string category = stored->GetCategory();
    m_context.doc->RetitleSample(current, newTitle);

    CCategory record;
    m_context.doc->FindCategory(category, record);
    record.SetChanged(true);
    m_context.doc->UpdateCategory(category, record);
    m_tree.RebuildTree(newTitle);
    SaveNow();
}
