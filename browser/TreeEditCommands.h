// CTreeEditCommands: the commands that change the library's structure through the
// sample tree, each acting on the selected item by its level: Insert (a category, a
// sub-category, or a sample through the Add Sample wizard), Delete, Restore defaults,
// Change title, and the new category and sub-category with their name dialogs. The
// Insert and Delete keys in the tree run Insert and Delete.
#pragma once

#include <QObject>
#include <string>

class CSampleForm;
class CSampleTree;
class CTrashCommands;
class QTreeWidgetItem;
struct ViewContext;

class CTreeEditCommands : public QObject {
    Q_OBJECT
public:
    // trash: told of each deletion, which goes to the library's trash.
    CTreeEditCommands(ViewContext& context, CSampleTree& tree, CSampleForm& form, CTrashCommands& trash,
                      QObject* parent);

    void OnInsert();
    void OnDelete();
    void OnRestoreDefaults();
    void OnChangeTitle();

    // Ask for a name and add a category under the root, or a sub-category under the
    // category item (the name it got, empty when none was added); an empty proposal
    // proposes an "Untitled" name.
    bool AddNewCategory();
    std::string AddNewSubcategory(QTreeWidgetItem* categoryItem, const std::string& proposedName);
    // Runs the Add Sample wizard from the tree's selection; on Finish adds the sample and
    // shows it selected.
    bool LaunchAddSampleWizard();

signals:
    // Something that command enable states depend on has changed.
    void StateChanged();

private:
    QWidget* Window() const;
    void SaveNow();
    // The category item of that name in the current tree, or nullptr.
    QTreeWidgetItem* CategoryItemNamed(const std::string& name) const;

    ViewContext& m_context;
    CSampleTree& m_tree;
    CSampleForm& m_form;
    CTrashCommands& m_trash;
};
