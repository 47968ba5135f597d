// The narrowed sample tree: only the samples a filter accepts, under their categories
// and sub-categories; and the whole tree brought back exactly as it was.
#include <QScrollBar>

#include "browser/SampleTree.h"
#include "browser/TreeItem.h"
#include "browser/ViewContext.h"
#include "library/QuorrinDoc.h"

CSampleTree::ItemIdentity CSampleTree::IdentityOf(const QTreeWidgetItem* item) const {
    ItemIdentity id;
    id.tag = ItemTag(item);
    if (id.tag < 0)
        return id;
    id.name = ItemName(item);
    if (id.tag == kTagSubcategory && item->parent())
        id.parent = ItemName(item->parent());
    return id;
}

QTreeWidgetItem* CSampleTree::ItemOf(const ItemIdentity& id) {
    switch (id.tag) {
    case kTagRoot:
        return m_root;
    case kTagCategory: {
        auto it = m_categoryItems.find(id.name);
        return it != m_categoryItems.end() ? it->second : nullptr;
    }
    case kTagSubcategory: {
        auto it = m_subcategoryItems.find(id.parent + '\0' + id.name);
        return it != m_subcategoryItems.end() ? it->second : nullptr;
    }
    case kTagSample:
        return FindTreeItem(m_root, id.name, kTagSample);
    default:
        return nullptr;
    }
}

CSampleTree::ViewState CSampleTree::CaptureViewState() const {
    ViewState state;
    state.rootExpanded = m_root && m_root->isExpanded();
    for (const auto& [name, item] : m_categoryItems) {
        if (item->isExpanded())
            state.categories.insert(name);
        for (int i = 0; i < item->childCount(); ++i) {
            QTreeWidgetItem* child = item->child(i);
            if (ItemTag(child) == kTagSubcategory && child->isExpanded())
                state.subcategories.insert({name, ItemName(child)});
        }
    }
    state.current = IdentityOf(currentItem());
    state.scroll = verticalScrollBar()->value();
    return state;
}

void CSampleTree::ShowFiltered(std::shared_ptr<ISampleFilter> filter, const std::vector<const CSample*>& matches) {
    if (!m_context.doc || !filter)
        return;
    if (!m_filter)
        m_beforeFilter = CaptureViewState();
    m_filter = std::move(filter);
    const ItemIdentity current = IdentityOf(currentItem());

    setUpdatesEnabled(false);
    ClearItems();
    std::vector<Branch> branches;
    std::vector<QTreeWidgetItem*> expand;
    BuildSkeleton(Expansion::Filtered, nullptr, branches, expand);
    // Matches only: nothing changed in the library, so nothing is placed anew. Many
    // matches are only counted: their branches are made when expanded.
    const bool makeNow = matches.size() <= static_cast<size_t>(kFilterShowAll);
    for (const CSample* sample : matches) {
        const int b = BranchOf(*sample);
        if (b < 0)
            continue;
        Branch& branch = branches[static_cast<size_t>(b)];
        ++branch.count;
        if (makeNow)
            branch.samples.push_back(sample);
    }
    FinishTree(branches, expand);

    // The item selected before stays selected without the form being told; when the
    // filter hides it, the root is selected.
    QTreeWidgetItem* same = ItemOf(current);
    m_ignoreSelection = true;
    if (same)
        setCurrentItem(same);
    m_ignoreSelection = false;
    if (!same)
        setCurrentItem(m_root);
    setUpdatesEnabled(true);
    scrollToTop();
    emit StateChanged();
}

void CSampleTree::EndFilter() {
    if (!m_filter || !m_context.doc)
        return;
    m_filter.reset();
    const ItemIdentity current = IdentityOf(currentItem());
    const ViewState saved = std::move(m_beforeFilter);
    m_beforeFilter = ViewState();

    setUpdatesEnabled(false);
    ClearItems();
    std::vector<Branch> branches;
    std::vector<QTreeWidgetItem*> expand;
    BuildSkeleton(Expansion::Saved, &saved, branches, expand);
    PlaceSamples(branches);
    FinishTree(branches, expand);
    if (!saved.rootExpanded) {
        m_trackExpansion = false;
        m_root->setExpanded(false);
        m_trackExpansion = true;
    }

    // The selection of before; the form is told only when that is another item than
    // the one the narrowed tree had selected.
    QTreeWidgetItem* target = ItemOf(saved.current);
    if (!target)
        target = m_root;
    const bool same = IdentityOf(target).tag == current.tag && IdentityOf(target).name == current.name &&
                      IdentityOf(target).parent == current.parent;
    m_ignoreSelection = same;
    setCurrentItem(target);
    m_ignoreSelection = false;
    setUpdatesEnabled(true);
    executeDelayedItemsLayout();
    verticalScrollBar()->setValue(saved.scroll);
    emit FilterEnded();
    emit StateChanged();
}
