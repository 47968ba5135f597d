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

// QString::compare with Qt::CaseInsensitive, plain ASCII compared in place: the
// comparison that needs no folded copies.
int CompareFolded(const QString& a, const QString& b) {
    const QChar* p = a.constData();
    const QChar* q = b.constData();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = p[i].unicode();
        char16_t y = q[i].unicode();
        if (x == y)
            continue;
        if (x >= 0x80 || y >= 0x80)
            return a.compare(b, Qt::CaseInsensitive);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char16_t>(x + ('a' - 'A'));
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char16_t>(y + ('a' - 'A'));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback, const QWidget* w) {
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    if (icon.isNull())
        icon = w->style()->standardIcon(fallback, nullptr, w);
    return icon;
}

} // namespace

bool TextLess(const QString& a, const QString& b) {
    const int c = CompareFolded(a, b);
    if (c != 0)
        return c < 0;
    return a < b;
}

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

void CSampleTree::RebuildTree(const std::string& selectTitle) {
    if (!m_context.doc)
        return;
    setUpdatesEnabled(false);
    ClearItems();
    std::vector<Branch> branches;
    std::vector<QTreeWidgetItem*> expand;
    BuildSkeleton(m_filter ? Expansion::Filtered : Expansion::TreeState, nullptr, branches, expand);
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

void CSampleTree::BuildSkeleton(Expansion expansion, const ViewState* saved, std::vector<Branch>& branches,
                                std::vector<QTreeWidgetItem*>& expand) {
    const CLibraryConfig& cfg = m_context.config;
    m_root = NewItem(kRootText, kTagRoot);
    for (const auto& [key, category] : m_context.doc->Categories()) {
        if (!category->IsDisplayed())
            continue;
        const std::string& name = category->GetName();
        QTreeWidgetItem* catItem = NewItem(name, kTagCategory);
        m_categoryItems.emplace(name, catItem);
        const int ci = static_cast<int>(branches.size());
        Branch cat;
        cat.item = catItem;
        cat.isCategory = true;
        branches.push_back(std::move(cat));
        CategoryBranches& lookup =
            m_branchOf.emplace(TreeItem(catItem)->Name(), CategoryBranches{catItem, ci, {}}).first->second;
        bool expandCategory = false;
        const NameSet* expandedSubs = nullptr;
        if (expansion == Expansion::TreeState) {
            expandCategory = cfg.g_expandedCats.count(name) > 0;
            auto it = cfg.g_expandedSubcats.find(name);
            expandedSubs = it != cfg.g_expandedSubcats.end() ? &it->second : nullptr;
        } else if (expansion == Expansion::Saved) {
            expandCategory = saved->categories.count(name) > 0;
        }
        if (expandCategory) {
            expand.push_back(catItem);
            branches[static_cast<size_t>(ci)].buildNow = true;
        }
        for (int i = 0; i < kSlotCount; ++i) {
            const SubcategorySlot& slot = category->Slot(i);
            if (slot.name.empty() || !slot.inUse)
                continue;
            QTreeWidgetItem* subItem = NewItem(slot.name, kTagSubcategory);
            branches[static_cast<size_t>(ci)].subs.push_back(subItem);
            m_subcategoryItems.emplace(name + '\0' + slot.name, subItem);
            const int si = static_cast<int>(branches.size());
            lookup.subs.push_back({TreeItem(subItem)->Name(), subItem, si});
            Branch sub;
            sub.item = subItem;
            sub.parent = ci;
            bool expandSub = false;
            if (expansion == Expansion::TreeState)
                expandSub = expandCategory && expandedSubs && expandedSubs->count(slot.name);
            else if (expansion == Expansion::Saved)
                expandSub = saved->subcategories.count({name, slot.name}) > 0;
            if (expandSub) {
                expand.push_back(subItem);
                sub.buildNow = true;
            }
            branches.push_back(std::move(sub));
        }
    }
}

const CSampleTree::CategoryBranches* CSampleTree::CategoryOf(const CSample& sample) const {
    auto c = m_branchOf.find(sample.GetCategory());
    return c == m_branchOf.end() ? nullptr : &c->second;
}

int CSampleTree::BranchOf(const CSample& sample) const {
    const CategoryBranches* c = CategoryOf(sample);
    if (!c)
        return -1;
    const std::string& sub = sample.GetSubcategory();
    if (sub.empty())
        return c->branch;
    for (const SubBranch& s : c->subs)
        if (s.name == sub)
            return s.branch;
    return -1;
}

QTreeWidgetItem* CSampleTree::BranchItemOf(const CSample& sample) const {
    const CategoryBranches* c = CategoryOf(sample);
    if (!c)
        return nullptr;
    const std::string& sub = sample.GetSubcategory();
    if (sub.empty())
        return c->item;
    for (const SubBranch& s : c->subs)
        if (s.name == sub)
            return s.item;
    return nullptr;
}

void CSampleTree::PlaceSamples(std::vector<Branch>& branches) {
    CQuorrinDoc& doc = *m_context.doc;
    // A sample whose category or sub-category has no item becomes a load error; the
    // document removes those after the walk. A narrowed tree counts only matches, and
    // makes every branch's items when they are few.
    for (const auto& [title, sample] : doc.Samples()) {
        const int b = BranchOf(*sample);
        if (b < 0) {
            doc.ReportTreeInsertFailure(*sample, kReasonNoParent, false);
            continue;
        }
        if (m_filter && !m_filter->Accepts(*sample))
            continue;
        Branch& branch = branches[static_cast<size_t>(b)];
        ++branch.count;
        if (branch.buildNow || m_filter)
            branch.samples.push_back(sample.get());
    }
    doc.RemoveDeferredSamples();
}

void CSampleTree::DropEmptyBranches(std::vector<Branch>& branches) {
    std::vector<bool> keep(branches.size());
    for (size_t i = 0; i < branches.size(); ++i) {
        keep[i] = branches[i].count > 0;
        if (keep[i] && branches[i].parent >= 0)
            keep[static_cast<size_t>(branches[i].parent)] = true;
    }
    std::vector<QTreeWidgetItem*> gone;
    for (size_t i = 0; i < branches.size(); ++i) {
        if (keep[i])
            continue;
        Branch& b = branches[i];
        const std::string name = ItemName(b.item);
        if (b.isCategory) {
            m_categoryItems.erase(name);
            m_branchOf.erase(name);
        } else {
            Branch& cat = branches[static_cast<size_t>(b.parent)];
            const std::string category = ItemName(cat.item);
            m_subcategoryItems.erase(category + '\0' + name);
            auto c = m_branchOf.find(category);
            if (c != m_branchOf.end())
                std::erase_if(c->second.subs, [&b](const SubBranch& s) { return s.item == b.item; });
            std::erase(cat.subs, b.item);
        }
        gone.push_back(b.item);
        b.item = nullptr;
    }
    std::erase_if(branches, [](const Branch& b) { return b.item == nullptr; });
    for (QTreeWidgetItem* item : gone)
        delete item;
}

void CSampleTree::FinishTree(std::vector<Branch>& branches, const std::vector<QTreeWidgetItem*>& expand) {
    CQuorrinDoc& doc = *m_context.doc;
    auto itemLess = [](QTreeWidgetItem* a, QTreeWidgetItem* b) {
        return TextLess(TreeItem(a)->Text(), TreeItem(b)->Text());
    };
    m_filteredCount = 0;
    for (Branch& b : branches) {
        m_filteredCount += b.count;
        b.total += b.count;
        if (b.parent >= 0)
            branches[static_cast<size_t>(b.parent)].total += b.count;
    }
    // A narrowed tree shows everything at once while that is little to show.
    const bool showAll = m_filter && m_filteredCount <= kFilterShowAll;
    if (m_filter)
        DropEmptyBranches(branches);
    QList<QTreeWidgetItem*> categoryItems;
    std::vector<QTreeWidgetItem*> expandNow = expand;
    for (Branch& b : branches) {
        CTreeItem* item = TreeItem(b.item);
        std::vector<QTreeWidgetItem*> children = b.subs;
        std::sort(children.begin(), children.end(), itemLess);
        if (b.buildNow || showAll) {
            // Samples come in the document's byte order, which is mostly the tree's too.
            std::vector<QTreeWidgetItem*> samples;
            samples.reserve(b.samples.size());
            bool inOrder = true;
            for (const CSample* sample : b.samples) {
                QTreeWidgetItem* si = NewItem(sample->GetTitle(), kTagSample);
                if (inOrder && !samples.empty()) {
                    const CTreeItem* last = TreeItem(samples.back());
                    inOrder = !TitleBefore(sample->GetTitle(), last->Name(), TreeItem(si)->Text(), last->Text());
                }
                m_sampleItems.emplace(TreeItem(si)->Name(), si);
                samples.push_back(si);
            }
            if (!inOrder)
                std::sort(samples.begin(), samples.end(), itemLess);
            std::vector<QTreeWidgetItem*> merged;
            merged.reserve(children.size() + samples.size());
            std::merge(children.begin(), children.end(), samples.begin(), samples.end(), std::back_inserter(merged),
                       itemLess);
            children.swap(merged);
        } else {
            item->SetPending(b.count > 0);
        }
        std::vector<const CSample*>().swap(b.samples);
        if (!children.empty())
            item->addChildren(QList<QTreeWidgetItem*>(children.begin(), children.end()));
        if (b.isCategory)
            categoryItems.append(item);
        if (m_filter) {
            // Each branch with its number of matches.
            item->setText(0, QStringLiteral("%1 (%2)").arg(DecodeName(item->Name())).arg(b.total));
            if (showAll)
                expandNow.push_back(item);
        }
    }
    m_root->addChildren(categoryItems);
    if (doc.LoadErrors().GetCount() > 0)
        m_root->setText(0, QString::fromLatin1(kRootTextLoadErrors));
    addTopLevelItem(m_root);
    // Expanding here is not the user's doing, so the tree-state tables stay as they are.
    m_trackExpansion = false;
    m_root->setExpanded(true);
    for (QTreeWidgetItem* item : expandNow)
        item->setExpanded(true);
    m_trackExpansion = true;
}

std::vector<const CSample*> CSampleTree::PendingSamples(QTreeWidgetItem* item) {
    std::vector<const CSample*> out;
    const int tag = ItemTag(item);
    if (!m_context.doc || (tag != kTagCategory && tag != kTagSubcategory))
        return out;
    const std::string category = ItemName(tag == kTagCategory ? item : item->parent());
    const std::string sub = tag == kTagSubcategory ? ItemName(item) : std::string();
    for (const CSample* sample : m_context.doc->SamplesOfCategory(category)) {
        if (sample->GetSubcategory() != sub || BranchItemOf(*sample) != item)
            continue;
        if (m_sampleItems.count(sample->GetTitle()) || (m_filter && !m_filter->Accepts(*sample)))
            continue;
        out.push_back(sample);
    }
    return out;
}

void CSampleTree::AddSampleItems(QTreeWidgetItem* item, const std::vector<const CSample*>& samples) {
    std::vector<CTreeItem*> fresh;
    fresh.reserve(samples.size());
    for (const CSample* sample : samples) {
        QTreeWidgetItem* si = NewItem(sample->GetTitle(), kTagSample);
        m_sampleItems.emplace(TreeItem(si)->Name(), si);
        fresh.push_back(TreeItem(si));
    }
    std::stable_sort(fresh.begin(), fresh.end(),
                     [](const CTreeItem* a, const CTreeItem* b) { return TextLess(a->Text(), b->Text()); });
    // Merged into the children in runs: the items already there (sub-categories, maybe
    // selected or expanded) stay where they are.
    int at = 0;
    size_t k = 0;
    while (k < fresh.size()) {
        while (at < item->childCount() && TextLess(TreeItem(item->child(at))->Text(), fresh[k]->Text()))
            ++at;
        const size_t first = k;
        while (k < fresh.size() &&
               (at == item->childCount() || TextLess(fresh[k]->Text(), TreeItem(item->child(at))->Text())))
            ++k;
        QList<QTreeWidgetItem*> run(fresh.begin() + static_cast<qsizetype>(first),
                                    fresh.begin() + static_cast<qsizetype>(k));
        if (run.isEmpty()) {
            ++at; // equal texts: after the one there
            continue;
        }
        item->insertChildren(at, run);
        at += static_cast<int>(run.size());
    }
}

void CSampleTree::BuildBranch(QTreeWidgetItem* item, bool deep) {
    CTreeItem* node = TreeItem(item);
    if (!node)
        return;
    if (node->Pending()) {
        node->SetPending(false);
        AddSampleItems(item, PendingSamples(item));
    }
    if (deep)
        for (int i = 0; i < item->childCount(); ++i)
            if (ItemTag(item->child(i)) != kTagSample)
                BuildBranch(item->child(i), true);
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
    QTreeWidgetItem* item = NewItem(name, kTagCategory);
    m_root->addChild(item);
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
        if (!expanded && topLevelItem(0) == item)
            subcats.clear();
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
