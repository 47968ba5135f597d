// CSampleTree: the left half of the view, the whole library as root, categories,
// sub-categories and samples. After every structural change it is thrown away and
// rebuilt from the document. No item points into the document: each carries its level
// tag and its name's bytes, and is matched to its record by name. The tree also keeps
// the expanded-branch state that the application stores for the next start.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

struct ViewContext;

// Item tags.
constexpr int kTagCategory = 0;
constexpr int kTagSubcategory = 1;
constexpr int kTagSample = 2;
constexpr int kTagRoot = 3;

extern const char* const kRootText;           // "Samples"
extern const char* const kRootTextLoadErrors; // "Samples (*Load errors exist*)"

// Who hears of the tree's selection changes (the form).
class ITreeSelection {
public:
    virtual ~ITreeSelection() = default;
    // The selection is about to leave previous; false keeps it there.
    virtual bool OnSelChanging(QTreeWidgetItem* previous) = 0;
    // current is the new selection, nullptr when nothing is selected.
    virtual void OnSelChanged(QTreeWidgetItem* current) = 0;
};

class CSampleTree : public QTreeWidget {
    Q_OBJECT
public:
    CSampleTree(ViewContext& context, QWidget* parent);

    void SetSelectionHandler(ITreeSelection* handler) { m_selection = handler; }

    // Empties and refills the tree, expands what the tree state asks for, then selects
    // the sample titled selectTitle, or the root when selectTitle is empty. Samples
    // without a place become load errors.
    void RebuildTree(const std::string& selectTitle);
    // Pre-order search from start (itself included) for name at level; nullptr if none.
    QTreeWidgetItem* FindTreeItem(QTreeWidgetItem* start, const std::string& name, int level) const;
    bool SelectSampleItem(const std::string& title);
    bool SelectCategoryItem(const std::string& name);
    bool SelectSubcategoryItem(const std::string& category, const std::string& subcategory);
    // The category item of that name, or nullptr.
    QTreeWidgetItem* CategoryItem(const std::string& name) const;

    // The items the view inserts itself, without a rebuild: a new category under the
    // root and a new sub-category under its category's item, each expanded.
    void AddCategoryItem(const std::string& name);
    void AddSubcategoryItem(QTreeWidgetItem* categoryItem, const std::string& name);
    // Sorts one item's children in place (keeping expanded branches and the selection).
    static void SortTreeChildren(QTreeWidgetItem* item);

    // Expand all; collapse all, which forgets every expanded branch and selects the root.
    void ExpandAll();
    void CollapseAll();
    bool IsRootExpanded() const;
    // The load-error store has become empty.
    void ShowNoLoadErrors();

    QTreeWidgetItem* RootItem() const { return m_root; }
    QTreeWidgetItem* SelectedItem() const { return currentItem(); }
    // Tag of the selected item, -1 when none.
    int SelectedTag() const { return ItemTag(SelectedItem()); }
    static int ItemTag(const QTreeWidgetItem* item);
    static std::string ItemName(const QTreeWidgetItem* item);

signals:
    // Something that command enable states depend on has changed.
    void StateChanged();

private:
    void MakeIcons();
    QTreeWidgetItem* NewItem(const std::string& name, int tag) const;
    void SetAllBranchesExpanded(bool expanded);
    void OnCurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void OnItemExpanded(QTreeWidgetItem* item, bool expanded);

    ViewContext& m_context;
    ITreeSelection* m_selection = nullptr;
    QIcon m_folderIcon;
    QIcon m_pageIcon;

    // Items of the current tree by name, filled by RebuildTree.
    QTreeWidgetItem* m_root = nullptr;
    std::unordered_map<std::string, QTreeWidgetItem*> m_categoryItems;
    std::unordered_map<std::string, QTreeWidgetItem*> m_subcategoryItems; // category + '\0' + name
    // The sample items by title (views of the names the items hold), in byte order: the
    // order of the document's walk, so it is filled without a search or an allocation
    // per item and searched by halving.
    std::vector<std::pair<std::string_view, QTreeWidgetItem*>> m_sampleItems;

    // True only while the tree is emptied: no selection change is handled then.
    bool m_ignoreSelection = false;
    // False while the view itself expands or collapses: the tree state stays as it is.
    bool m_trackExpansion = true;
    bool m_revertingSelection = false;
};
