#include "browser/SampleTree.h"

#include <QStyle>
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "browser/TreeItem.h"
#include "browser/ViewContext.h"
#include "config/LibraryConfig.h"
#include "base/TextRules.h"
#include "library/LibrarySearch.h"
#include "library/QuorrinDoc.h"
#include "ui/TextCodec.h"

const char* const kRootText = "Samples";
const char* const kRootTextLoadErrors = "Samples (*Load errors exist*)";

namespace {

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback, const QWidget* w) {
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    if (icon.isNull())
        icon = w->style()->standardIcon(fallback, nullptr, w);
    return icon;
}

} // namespace

bool TitleBefore(std::string_view a, std::string_view b, const QString& textA, const QString& textB) {
    if (!IsAscii(a) || !IsAscii(b))
        return TextLess(textA, textB);
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char x = a[i];
        char y = b[i];
        if (x == y)
            continue;
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + ('a' - 'A'));
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + ('a' - 'A'));
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b; // equal but for letter case: the exact order decides
}

CSampleTree::CSampleTree(ViewContext& context, QWidget* parent) : QTreeWidget(parent), m_context(context) {
    setObjectName(QStringLiteral("sampleTree"));
    setColumnCount(1);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setMinimumWidth(120);
    MakeIcons();
    setItemDelegate(new CMarkedRowDelegate(
        [this](const QModelIndex& index) { return MarkedCharsOf(itemFromIndex(index)); }, this));
    connect(this, &QTreeWidget::currentItemChanged, this, &CSampleTree::OnCurrentItemChanged);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* i) { OnItemExpanded(i, true); });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* i) { OnItemExpanded(i, false); });
}

void CSampleTree::MakeIcons() {
    // Images 0 (closed folder) and 1 (open folder) of category items are one icon whose
    // selected form is the open folder; image 2 is the page of a sample.
    QIcon closed = ThemeIcon("folder", QStyle::SP_DirClosedIcon, this);
    QIcon open = ThemeIcon("folder-open", QStyle::SP_DirOpenIcon, this);
    for (int size : {16, 22, 32}) {
        m_folderIcon.addPixmap(closed.pixmap(size, size), QIcon::Normal);
        m_folderIcon.addPixmap(open.pixmap(size, size), QIcon::Selected);
    }
    m_pageIcon = ThemeIcon("text-x-generic", QStyle::SP_FileIcon, this);
}

QTreeWidgetItem* CSampleTree::NewItem(const std::string& name, int tag) const {
    return new CTreeItem(tag, name, DecodeName(name), tag == kTagSample ? m_pageIcon : m_folderIcon);
}

std::vector<CharRange> CSampleTree::MarkedCharsOf(const QTreeWidgetItem* item) const {
    if (!m_filter || ItemTag(item) != kTagSample)
        return {};
    const std::string& title = static_cast<const CTreeItem*>(item)->Name();
    return MarkedChars(title, m_filter->Marks(title));
}

int CSampleTree::ItemTag(const QTreeWidgetItem* item) {
    if (!item || item->type() != CTreeItem::Type)
        return -1;
    return static_cast<const CTreeItem*>(item)->Tag();
}

std::string CSampleTree::ItemName(const QTreeWidgetItem* item) {
    if (!item || item->type() != CTreeItem::Type)
        return {};
    return static_cast<const CTreeItem*>(item)->Name();
}

bool CSampleTree::IsRootExpanded() const { return m_root && m_root->isExpanded(); }

void CSampleTree::ClearItems() {
    // The look-up tables refer to the items: emptied first.
    m_root = nullptr;
    m_categoryItems.clear();
    m_subcategoryItems.clear();
    m_sampleItems.clear();
    m_branchOf.clear();
    m_ignoreSelection = true;
    clear();
    m_ignoreSelection = false;
}

void CSampleTree::RebuildTree(const std::string& selectTitle, bool keepBranches) {
    if (!m_context.doc)
        return;
    const bool keep = keepBranches && m_root && !m_filter;
    const ViewState shown = keep ? CaptureViewState() : ViewState();
    setUpdatesEnabled(false);
    ClearItems();
    std::vector<Branch> branches;
    std::vector<QTreeWidgetItem*> expand;
    BuildSkeleton(m_filter ? Expansion::Filtered
                  : keep   ? Expansion::Saved
                           : Expansion::TreeState,
                  keep ? &shown : nullptr, branches, expand);
    PlaceSamples(branches);
    FinishTree(branches, expand);

    bool selected = false;
    if (!selectTitle.empty())
        selected = SelectSampleItem(selectTitle);
    else {
        setCurrentItem(m_root);
        selected = true;
    }
    if (!selected && m_selection)
        m_selection->OnSelChanged(nullptr);
    setUpdatesEnabled(true);
    if (currentItem())
        scrollToItem(currentItem());
    emit StateChanged();
}

QTreeWidgetItem* CSampleTree::FindTreeItem(QTreeWidgetItem* start, const std::string& name, int level) {
    if (!start)
        return nullptr;
    auto within = [start](QTreeWidgetItem* item) {
        for (QTreeWidgetItem* p = item; p; p = p->parent())
            if (p == start)
                return item;
        return static_cast<QTreeWidgetItem*>(nullptr);
    };
    if (level == kTagSample) {
        // Every sample item made is in the table; one not made yet is in the branch the
        // document's record names.
        auto it = m_sampleItems.find(name);
        if (it != m_sampleItems.end())
            return within(it->second);
        const CSample* sample = m_context.doc ? m_context.doc->PeekSample(name) : nullptr;
        QTreeWidgetItem* branch = sample ? BranchItemOf(*sample) : nullptr;
        if (!branch || !within(branch) || !TreeItem(branch)->Pending())
            return nullptr;
        BuildBranch(branch);
        it = m_sampleItems.find(name);
        return it != m_sampleItems.end() ? within(it->second) : nullptr;
    }
    std::vector<QTreeWidgetItem*> stack{start};
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        const int tag = ItemTag(item);
        if (tag == level && ItemName(item) == name)
            return item;
        if (tag == kTagSample)
            continue;
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.push_back(item->child(i));
    }
    return nullptr;
}

bool CSampleTree::SelectSampleItem(const std::string& title) {
    QTreeWidgetItem* item = FindTreeItem(m_root, title, kTagSample);
    if (!item && m_filter && m_context.doc && m_context.doc->PeekSample(title)) {
        // A sample the filter hides is asked for: the whole tree again.
        EndFilter();
        item = FindTreeItem(m_root, title, kTagSample);
    }
    if (!item)
        return false;
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

bool CSampleTree::SelectCategoryItem(const std::string& name) {
    auto it = m_categoryItems.find(name);
    QTreeWidgetItem* item = it != m_categoryItems.end() ? it->second : FindTreeItem(m_root, name, kTagCategory);
    if (!item)
        return false;
    setCurrentItem(item);
    return true;
}

bool CSampleTree::SelectSubcategoryItem(const std::string& category, const std::string& subcategory) {
    if (!SelectCategoryItem(category))
        return false;
    auto it = m_subcategoryItems.find(category + '\0' + subcategory);
    QTreeWidgetItem* item = it != m_subcategoryItems.end()
                                ? it->second
                                : FindTreeItem(currentItem(), subcategory, kTagSubcategory);
    if (!item)
        return false;
    setCurrentItem(item);
    return true;
}

QTreeWidgetItem* CSampleTree::CategoryItem(const std::string& name) {
    auto it = m_categoryItems.find(name);
    return it != m_categoryItems.end() ? it->second : FindTreeItem(m_root, name, kTagCategory);
}

void CSampleTree::AddCategoryItem(const std::string& name) {
    if (!m_root)
        return;
    // Where a rebuild puts it: the categories stand in the library's order.
    int at = 0;
    while (at < m_root->childCount() && ItemName(m_root->child(at)) < name)
        ++at;
    QTreeWidgetItem* item = NewItem(name, kTagCategory);
    m_root->insertChild(at, item);
    item->setExpanded(true);
    m_categoryItems[name] = item;
}

void CSampleTree::AddSubcategoryItem(QTreeWidgetItem* categoryItem, const std::string& name) {
    if (!categoryItem)
        return;
    QTreeWidgetItem* item = NewItem(name, kTagSubcategory);
    categoryItem->addChild(item);
    item->setExpanded(true);
    m_subcategoryItems[ItemName(categoryItem) + '\0' + name] = item;
}

void CSampleTree::SortTreeChildren(QTreeWidgetItem* item) {
    if (item)
        item->sortChildren(0, Qt::AscendingOrder);
}

void CSampleTree::ShowNoLoadErrors() {
    if (m_root)
        m_root->setText(0, QString::fromLatin1(kRootText));
}

void CSampleTree::OnItemExpanded(QTreeWidgetItem* item, bool expanded) {
    if (expanded)
        BuildBranch(item);
    // A narrowed tree's branches are not the tree state.
    if (!m_trackExpansion || !m_context.doc || m_filter)
        return;
    NameSetMap& subcats = m_context.config.g_expandedSubcats;
    switch (ItemTag(item)) {
    case kTagCategory:
        if (expanded)
            subcats.emplace(ItemName(item), NameSet());
        else
            subcats.erase(ItemName(item));
        break;
    case kTagSubcategory: {
        auto it = subcats.find(ItemName(item->parent()));
        if (it != subcats.end()) {
            if (expanded)
                it->second.insert(ItemName(item));
            else
                it->second.erase(ItemName(item));
        }
        break;
    }
    case kTagRoot:
        if (topLevelItem(0) != item)
            break;
        subcats.clear();
        // Expanded again, the root shows its branches as they were: the stored state
        // follows what is shown.
        for (int i = 0; expanded && i < item->childCount(); ++i) {
            QTreeWidgetItem* category = item->child(i);
            if (!category->isExpanded())
                continue;
            NameSet& open = subcats[ItemName(category)];
            for (int k = 0; k < category->childCount(); ++k)
                if (category->child(k)->isExpanded() && ItemTag(category->child(k)) == kTagSubcategory)
                    open.insert(ItemName(category->child(k)));
        }
        break;
    default:
        break;
    }
    emit StateChanged();
}

// Expands or collapses every item that has children, top level first, depth first.
void CSampleTree::SetAllBranchesExpanded(bool expanded) {
    setUpdatesEnabled(false);
    std::vector<QTreeWidgetItem*> stack;
    for (int i = topLevelItemCount() - 1; i >= 0; --i)
        stack.push_back(topLevelItem(i));
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        if (expanded)
            BuildBranch(item);
        if (item->childCount() == 0)
            continue;
        item->setExpanded(expanded);
        for (int i = item->childCount() - 1; i >= 0; --i)
            if (item->child(i)->childCount() > 0 || (expanded && TreeItem(item->child(i))->Pending()))
                stack.push_back(item->child(i));
    }
    setUpdatesEnabled(true);
}

void CSampleTree::ExpandAll() {
    if (!m_root)
        return;
    SetAllBranchesExpanded(true);
    if (currentItem())
        scrollToItem(currentItem());
    emit StateChanged();
}

void CSampleTree::CollapseAll() {
    // What is collapsed and forgotten is the whole tree's state.
    EndFilter();
    m_context.config.g_expandedSubcats.clear();
    m_trackExpansion = false;
    SetAllBranchesExpanded(false);
    m_trackExpansion = true;
    // The selection cannot stay hidden inside a collapsed branch: it moves to the root.
    if (m_root && currentItem() != m_root)
        setCurrentItem(m_root);
}

void CSampleTree::OnCurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (m_ignoreSelection || m_revertingSelection || !m_context.doc || !m_selection)
        return;
    // After a rebuild nothing was selected before, so no sample is being left.
    if (previous && !m_selection->OnSelChanging(previous)) {
        m_revertingSelection = true;
        setCurrentItem(previous);
        m_revertingSelection = false;
        return;
    }
    m_selection->OnSelChanged(current);
    emit StateChanged();
}
