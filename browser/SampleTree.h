// CSampleTree: the left half of the view, the whole library as root, categories,
// sub-categories and samples. After every structural change it is thrown away and
// rebuilt from the document. No item points into the document: each carries its level
// tag and its name's bytes, and is matched to its record by name. The tree also keeps
// the expanded-branch state that the application stores for the next start.
//
// The sample items of a branch are made when the branch is first expanded, or when one
// of them is looked for (FindTreeItem, the Select operations) or the branch is taken
// whole (BuildBranch): a library of 100,000 samples starts with a few hundred items.
// Until then a branch with samples shows that it can be expanded.
//
// The tree can be narrowed to the samples a filter accepts (ShowFiltered): their
// categories and sub-categories stay as parents, each with its number of matches, and
// the expanded-branch state of the whole tree is neither used nor changed. EndFilter
// brings back the whole tree exactly as it was: expanded branches, selection, scroll.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "browser/TreeItem.h"
#include "library/WordFind.h"
#include "ui/MarkedRows.h"

class CSample;
struct ViewContext;

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

// Which samples a narrowed tree shows.
class ISampleFilter {
public:
    virtual ~ISampleFilter() = default;
    virtual bool Accepts(const CSample& sample) = 0;
    // How well an accepted sample matches, higher first; all 0: the alphabetical order.
    virtual int Rank(const CSample&) { return 0; }
    // The bytes of a shown sample's title to mark (the letters that matched).
    virtual std::vector<MarkRange> Marks(std::string_view /*title*/) const { return {}; }
};

class CSampleTree : public QTreeWidget {
    Q_OBJECT
public:
    CSampleTree(ViewContext& context, QWidget* parent);

    void SetSelectionHandler(ITreeSelection* handler) { m_selection = handler; }

    // Empties and refills the tree, expands what the tree state asks for, then selects
    // the sample titled selectTitle, or the root when selectTitle is empty. Samples
    // without a place become load errors. With keepBranches, the branches expanded now
    // stay expanded and no others are opened (but the selected sample's).
    void RebuildTree(const std::string& selectTitle, bool keepBranches = false);
    // Pre-order search from start (itself included) for name at level; nullptr if none.
    // A sample item not made yet is made with its branch.
    QTreeWidgetItem* FindTreeItem(QTreeWidgetItem* start, const std::string& name, int level);
    bool SelectSampleItem(const std::string& title);
    bool SelectCategoryItem(const std::string& name);
    bool SelectSubcategoryItem(const std::string& category, const std::string& subcategory);
    // The category item of that name, or nullptr.
    QTreeWidgetItem* CategoryItem(const std::string& name);

    // The items the view inserts itself, without a rebuild: a new category under the
    // root and a new sub-category under its category's item, each expanded.
    void AddCategoryItem(const std::string& name);
    void AddSubcategoryItem(QTreeWidgetItem* categoryItem, const std::string& name);
    // Sorts one item's children in place (keeping expanded branches and the selection).
    static void SortTreeChildren(QTreeWidgetItem* item);
    // Makes the sample items of a category's or sub-category's branch when they are not
    // made yet; deep: of the sub-categories below too.
    void BuildBranch(QTreeWidgetItem* item, bool deep = false);

    // Narrows the tree to matches, the samples filter accepts, in title order (the
    // filter decides for the branches made later). The selection stays where it is when
    // its item is still shown (the form is not told); else the root is selected.
    void ShowFiltered(std::shared_ptr<ISampleFilter> filter, const std::vector<const CSample*>& matches);
    // The whole tree again, as it was before the first ShowFiltered.
    void EndFilter();
    bool IsFiltered() const { return m_filter != nullptr; }
    // Samples shown by the filter.
    int FilteredCount() const { return m_filteredCount; }
    // The characters of an item's shown text the filter marks (none unless narrowed).
    std::vector<CharRange> MarkedCharsOf(const QTreeWidgetItem* item) const;

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
    // The tree is whole again (a sample the filter hid was asked for, or EndFilter).
    void FilterEnded();

private:
    // An item as its level, name and parent's name: what finds it again in a new tree.
    struct ItemIdentity {
        int tag = -1;
        std::string name;
        std::string parent;
    };
    // What EndFilter brings back.
    struct ViewState {
        bool rootExpanded = true;
        std::set<std::string> categories;
        std::set<std::pair<std::string, std::string>> subcategories;
        ItemIdentity current;
        int scroll = 0;
    };
    // A branch while the tree is built: its item, how many samples it shows, and those
    // samples when their items are made now.
    struct Branch {
        QTreeWidgetItem* item = nullptr;
        bool isCategory = false;
        std::vector<QTreeWidgetItem*> subs; // a category's sub-category items
        int parent = -1;                    // a sub-category's category branch
        int count = 0;                      // samples directly below
        int total = 0;                      // and below its sub-categories
        bool buildNow = false;
        std::vector<const CSample*> samples;
    };
    // Where samples go: a category's branch and its sub-categories' (at most fifteen: a
    // short list beats a look-up by a built key for every sample), by the names the
    // items hold; indices into the branches of the last build.
    struct SubBranch {
        std::string_view name;
        QTreeWidgetItem* item;
        int branch;
    };
    struct CategoryBranches {
        QTreeWidgetItem* item;
        int branch;
        std::vector<SubBranch> subs;
    };
    enum class Expansion { TreeState, Saved, Filtered };
    // A narrowed tree with at most this many matches is shown fully expanded.
    static constexpr int kFilterShowAll = 1000;

    void MakeIcons();
    QTreeWidgetItem* NewItem(const std::string& name, int tag) const;
    // Empties the tree without telling anyone of the selection.
    void ClearItems();
    // Root, categories and sub-categories (not yet in the widget) with their branches;
    // the items to expand go to expand.
    void BuildSkeleton(Expansion expansion, const ViewState* saved, std::vector<Branch>& branches,
                       std::vector<QTreeWidgetItem*>& expand);
    // The branch a sample is shown in (of the last build); nullptr when it has no place.
    const CategoryBranches* CategoryOf(const CSample& sample) const;
    // The sub-category branch of that name in c; nullptr when it has none.
    static const SubBranch* SubOf(const CategoryBranches& c, const std::string& sub);
    int BranchOf(const CSample& sample) const;
    QTreeWidgetItem* BranchItemOf(const CSample& sample) const;
    // Every sample into its branch; those without a place become load errors.
    void PlaceSamples(std::vector<Branch>& branches);
    // The same for the whole tree through each category's own list of samples, without
    // a look-up for each sample; false (branches untouched) when some sample has no place
    // (the walk above reports those, in title order).
    bool PlaceByCategory(std::vector<Branch>& branches) const;
    // Makes the items of the branches built now, puts the tree into the widget and
    // expands expand.
    void FinishTree(std::vector<Branch>& branches, const std::vector<QTreeWidgetItem*>& expand);
    // A narrowed tree keeps only the branches with matches: the others' items go.
    void DropEmptyBranches(std::vector<Branch>& branches);
    // The samples of a branch not made yet, as the document holds them now.
    std::vector<const CSample*> PendingSamples(QTreeWidgetItem* item);
    // Items for samples (in title order), merged into item's sorted children.
    void AddSampleItems(QTreeWidgetItem* item, const std::vector<const CSample*>& samples);
    // A narrowed tree's order: each item's samples best first, and the branches by their
    // best sample (ties alphabetical). Returns the best rank below item. Only for items
    // not yet in the widget.
    int RankChildren(QTreeWidgetItem* item);
    ItemIdentity IdentityOf(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* ItemOf(const ItemIdentity& identity);
    ViewState CaptureViewState() const;
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
    // The sample items made so far, by title (views of the names the items hold).
    std::unordered_map<std::string_view, QTreeWidgetItem*> m_sampleItems;
    // Where samples go (see CategoryBranches).
    std::unordered_map<std::string_view, CategoryBranches> m_branchOf;

    // The filter of a narrowed tree, and the whole tree's state before it.
    std::shared_ptr<ISampleFilter> m_filter;
    ViewState m_beforeFilter;
    int m_filteredCount = 0;

    // True only while the tree is emptied: no selection change is handled then.
    bool m_ignoreSelection = false;
    // False while the view itself expands or collapses: the tree state stays as it is.
    bool m_trackExpansion = true;
    bool m_revertingSelection = false;
};
