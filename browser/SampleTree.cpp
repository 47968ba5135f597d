#include "browser/SampleTree.h"

#include <QStyle>
#include <algorithm>
#include <unordered_map>
#include <vector>

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

// The tree's and the drop-down lists' alphabetical order: letter case is ignored first,
// then decides, so the order is total. Compared without folded copies.
bool TextLess(const QString& a, const QString& b) {
    const int c = CompareFolded(a, b);
    if (c != 0)
        return c < 0;
    return a < b;
}

// TextLess for two names given also as bytes: plain ASCII names are compared by their
// bytes (their text is those bytes), without reaching the texts.
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

// A tree item that keeps its level tag, its name's bytes, its text and its icon as
// plain members: a library of 100,000 samples builds and clears far faster than with
// the generic per-role storage.
class CTreeItem : public QTreeWidgetItem {
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 1;

    CTreeItem(int tag, const std::string& name, const QIcon& icon)
        : QTreeWidgetItem(Type), m_tag(tag), m_name(name), m_text(DecodeName(name)), m_icon(icon) {
        setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
    int Tag() const { return m_tag; }
    const std::string& Name() const { return m_name; }
    // Taken out of an old tree and not yet in the new one.
    bool Reusable() const { return m_reusable; }
    void SetReusable(bool v) { m_reusable = v; }
    const QString& Text() const { return m_text; }

    QVariant data(int column, int role) const override {
        if (column == 0) {
            switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                return m_text;
            case Qt::DecorationRole:
                return m_icon;
            default:
                break;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }
    // The tree's alphabetical order (as TextLess), for sorting one item's children in
    // place, which keeps expanded branches and the selection.
    bool operator<(const QTreeWidgetItem& other) const override {
        const QString b = other.text(0);
        const int c = m_text.toCaseFolded().compare(b.toCaseFolded());
        return c != 0 ? c < 0 : m_text < b;
    }
    void setData(int column, int role, const QVariant& value) override {
        if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) {
            m_text = value.toString();
            emitDataChanged();
            return;
        }
        QTreeWidgetItem::setData(column, role, value);
    }

private:
    int m_tag;
    bool m_reusable = false;
    std::string m_name;
    QString m_text;
    QIcon m_icon;
};

// A sample item (which has no children).
bool IsSampleLeaf(const QTreeWidgetItem* item) {
    return item->type() == CTreeItem::Type && static_cast<const CTreeItem*>(item)->Tag() == kTagSample &&
           item->childCount() == 0;
}

void MarkReusable(QTreeWidgetItem* item, std::vector<CTreeItem*>& taken) {
    static_cast<CTreeItem*>(item)->SetReusable(true);
    taken.push_back(static_cast<CTreeItem*>(item));
}

// Takes an old tree apart. Sample items are marked reusable and collected in taken. A
// sub-category item holding only samples is detached whole, its samples still under it
// (also marked and collected), and filed in subs under its category's name, a zero
// byte and its own name. Every other item is deleted.
void TakeTreeApart(QTreeWidgetItem* item, const std::string& category, std::vector<CTreeItem*>& taken,
                   std::unordered_map<std::string, QTreeWidgetItem*>& subs) {
    for (QTreeWidgetItem* child : item->takeChildren()) {
        if (IsSampleLeaf(child)) {
            MarkReusable(child, taken);
            continue;
        }
        const CTreeItem* node = child->type() == CTreeItem::Type ? static_cast<const CTreeItem*>(child) : nullptr;
        if (node && node->Tag() == kTagSubcategory && !category.empty()) {
            bool onlySamples = true;
            for (int i = 0; onlySamples && i < child->childCount(); ++i)
                onlySamples = IsSampleLeaf(child->child(i));
            if (onlySamples && subs.emplace(category + '\0' + node->Name(), child).second) {
                for (int i = 0; i < child->childCount(); ++i)
                    MarkReusable(child->child(i), taken);
                continue;
            }
        }
        TakeTreeApart(child, node && node->Tag() == kTagCategory ? node->Name() : std::string(), taken, subs);
    }
    delete item;
}

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback, const QWidget* w) {
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    if (icon.isNull())
        icon = w->style()->standardIcon(fallback, nullptr, w);
    return icon;
}

} // namespace

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
    return new CTreeItem(tag, name, tag == kTagSample ? m_pageIcon : m_folderIcon);
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

void CSampleTree::RebuildTree(const std::string& selectTitle) {
    if (!m_context.doc)
        return;
    CQuorrinDoc& doc = *m_context.doc;
    const CLibraryConfig& cfg = m_context.config;

    setUpdatesEnabled(false);
    // The look-up tables refer to the items: empty them first.
    m_root = nullptr;
    m_categoryItems.clear();
    m_subcategoryItems.clear();
    // The old tree goes, but its sample items are taken out of it first and used again
    // for the same titles: an item holds nothing but its tag and its name, and making
    // and freeing a hundred thousand of them costs most of a rebuild. A sub-category
    // whose samples come out exactly as they were keeps its old item with them under
    // it: moving thousands of children out of a parent and back costs more still.
    std::vector<std::pair<std::string_view, QTreeWidgetItem*>> oldSamples;
    oldSamples.swap(m_sampleItems);
    std::vector<CTreeItem*> taken;
    std::unordered_map<std::string, QTreeWidgetItem*> oldSubs;
    m_ignoreSelection = true;
    while (topLevelItemCount() > 0)
        TakeTreeApart(takeTopLevelItem(0), std::string(), taken, oldSubs);
    m_ignoreSelection = false;

    // Build the whole tree detached: each parent's children are collected, sorted once
    // and added in one call; the finished tree goes into the widget at the end.
    QTreeWidgetItem* root = NewItem(kRootText, kTagRoot);
    struct Branch {
        QTreeWidgetItem* item;
        std::vector<CTreeItem*> children;
        // Samples only (a sub-category): whether they came in the tree's order, judged as
        // they come, by the title bytes of the last one.
        bool samplesOnly = false;
        bool inOrder = true;
        std::string_view lastTitle;
        // A sub-category: its category's name, a zero byte and its own; its category's
        // branch; whether its old item, children and all, is used again.
        std::string key;
        size_t parent = 0;
        bool kept = false;
    };
    std::vector<Branch> branches;
    // A category's branch, and its sub-categories' branches by name (at most fifteen:
    // a short list beats a second look-up by a built key for every sample).
    struct CategoryBranches {
        size_t branch;
        std::vector<std::pair<std::string_view, size_t>> subs;
    };
    std::unordered_map<std::string_view, CategoryBranches> categoryBranch;
    QList<QTreeWidgetItem*> categoryItems;
    std::vector<QTreeWidgetItem*> expandQueue;
    auto itemLess = [](const CTreeItem* a, const CTreeItem* b) { return TextLess(a->Text(), b->Text()); };
    m_sampleItems.reserve(doc.Samples().size());

    for (const auto& [key, category] : doc.Categories()) {
        if (!category->IsDisplayed())
            continue;
        const std::string& name = category->GetName();
        QTreeWidgetItem* catItem = NewItem(name, kTagCategory);
        categoryItems.append(catItem);
        const size_t ci = branches.size();
        branches.push_back({catItem, {}, false, true, {}, {}, 0, false});
        CategoryBranches& lookup = categoryBranch.emplace(name, CategoryBranches{ci, {}}).first->second;
        m_categoryItems.emplace(name, catItem);
        const bool expand = cfg.g_expandedCats.count(name) > 0;
        if (expand)
            expandQueue.push_back(catItem);
        auto expandedSubs = cfg.g_expandedSubcats.find(name);
        for (int i = 0; i < kSlotCount; ++i) {
            const SubcategorySlot& slot = category->Slot(i);
            if (slot.name.empty() || !slot.inUse)
                continue;
            QTreeWidgetItem* subItem = NewItem(slot.name, kTagSubcategory);
            branches[ci].children.push_back(static_cast<CTreeItem*>(subItem));
            const std::string subKey = name + '\0' + slot.name;
            lookup.subs.emplace_back(slot.name, branches.size());
            branches.push_back({subItem, {}, true, true, {}, subKey, ci, false});
            m_subcategoryItems.emplace(subKey, subItem);
            if (expand && expandedSubs != cfg.g_expandedSubcats.end() && expandedSubs->second.count(slot.name))
                expandQueue.push_back(subItem);
        }
    }

    // Samples: a sample whose category or sub-category has no item becomes a load
    // error; the document removes those after the walk. The old sample items are in
    // the same byte order as the walk.
    size_t old = 0;
    for (const auto& [title, sample] : doc.Samples()) {
        auto c = categoryBranch.find(sample->GetCategory());
        if (c == categoryBranch.end()) {
            doc.ReportTreeInsertFailure(*sample, kReasonNoParent, false);
            continue;
        }
        size_t target = c->second.branch;
        if (const std::string& sub = sample->GetSubcategory(); !sub.empty()) {
            const auto& subs = c->second.subs;
            auto s = std::find_if(subs.begin(), subs.end(), [&sub](const auto& entry) { return entry.first == sub; });
            if (s == subs.end()) {
                doc.ReportTreeInsertFailure(*sample, kReasonNoParent, false);
                continue;
            }
            target = s->second;
        }
        // One comparison per step: the old titles mostly match the new ones one by one.
        int order = 1;
        while (old < oldSamples.size() && (order = oldSamples[old].first.compare(title)) < 0)
            ++old;
        CTreeItem* item = nullptr;
        if (old < oldSamples.size() && order == 0 &&
            static_cast<CTreeItem*>(oldSamples[old].second)->Reusable()) {
            item = static_cast<CTreeItem*>(oldSamples[old++].second);
            item->SetReusable(false);
        } else {
            item = static_cast<CTreeItem*>(NewItem(title, kTagSample));
        }
        Branch& branch = branches[target];
        if (branch.samplesOnly && branch.inOrder && !branch.children.empty() &&
            TitleBefore(title, branch.lastTitle, item->Text(), branch.children.back()->Text()))
            branch.inOrder = false;
        branch.lastTitle = title;
        branch.children.push_back(item);
        m_sampleItems.emplace_back(std::string_view(item->Name()), item);
    }
    doc.RemoveDeferredSamples();

    for (Branch& b : branches) {
        // Samples come in the document's byte order, which is mostly the tree's order too.
        if (b.samplesOnly ? !b.inOrder : !std::is_sorted(b.children.begin(), b.children.end(), itemLess))
            std::sort(b.children.begin(), b.children.end(), itemLess);
    }
    for (Branch& b : branches) {
        if (!b.samplesOnly)
            continue;
        auto old = oldSubs.find(b.key);
        if (old == oldSubs.end() || static_cast<size_t>(old->second->childCount()) != b.children.size())
            continue;
        QTreeWidgetItem* oldItem = old->second;
        bool same = true;
        for (size_t i = 0; same && i < b.children.size(); ++i)
            same = oldItem->child(static_cast<int>(i)) == b.children[i];
        if (!same)
            continue;
        // The old item, same name and same children, takes the new one's place.
        auto& siblings = branches[b.parent].children;
        std::replace(siblings.begin(), siblings.end(), static_cast<CTreeItem*>(b.item), static_cast<CTreeItem*>(oldItem));
        std::replace(expandQueue.begin(), expandQueue.end(), b.item, oldItem);
        m_subcategoryItems[b.key] = oldItem;
        delete b.item;
        b.item = oldItem;
        b.kept = true;
        oldSubs.erase(old);
    }
    // The other old sub-category items give up their samples (each used again or
    // deleted below with the other unused ones) and go.
    for (auto& [key, oldItem] : oldSubs) {
        for (QTreeWidgetItem* child : oldItem->takeChildren()) {
            if (!IsSampleLeaf(child))
                delete child;
        }
        delete oldItem;
    }
    for (Branch& b : branches) {
        if (b.children.empty() || b.kept)
            continue;
        QList<QTreeWidgetItem*> list;
        list.reserve(static_cast<qsizetype>(b.children.size()));
        for (CTreeItem* child : b.children)
            list.append(child);
        b.item->addChildren(list);
    }
    root->addChildren(categoryItems);
    if (doc.LoadErrors().GetCount() > 0)
        root->setText(0, QString::fromLatin1(kRootTextLoadErrors));
    addTopLevelItem(root);
    m_root = root;
    // Old sample items whose titles are gone.
    for (CTreeItem* item : taken) {
        if (item->Reusable())
            delete item;
    }

    // Expanding here is not the user's doing, so the tree-state tables stay as they are.
    m_trackExpansion = false;
    root->setExpanded(true);
    for (QTreeWidgetItem* item : expandQueue)
        item->setExpanded(true);
    m_trackExpansion = true;

    bool selected = false;
    if (!selectTitle.empty())
        selected = SelectSampleItem(selectTitle);
    else {
        setCurrentItem(root);
        selected = true;
    }
    if (!selected && m_selection)
        m_selection->OnSelChanged(nullptr);
    setUpdatesEnabled(true);
    if (currentItem())
        scrollToItem(currentItem());
    emit StateChanged();
}

QTreeWidgetItem* CSampleTree::FindTreeItem(QTreeWidgetItem* start, const std::string& name, int level) const {
    if (!start)
        return nullptr;
    std::vector<QTreeWidgetItem*> stack{start};
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        if (ItemTag(item) == level && ItemName(item) == name)
            return item;
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.push_back(item->child(i));
    }
    return nullptr;
}

bool CSampleTree::SelectSampleItem(const std::string& title) {
    auto it = std::lower_bound(m_sampleItems.begin(), m_sampleItems.end(), std::string_view(title),
                               [](const auto& entry, std::string_view key) { return entry.first < key; });
    QTreeWidgetItem* item = it != m_sampleItems.end() && it->first == title
                                ? it->second
                                : FindTreeItem(m_root, title, kTagSample);
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

QTreeWidgetItem* CSampleTree::CategoryItem(const std::string& name) const {
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
    if (!m_trackExpansion || !m_context.doc)
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
        if (item->childCount() == 0)
            continue;
        item->setExpanded(expanded);
        for (int i = item->childCount() - 1; i >= 0; --i)
            if (item->child(i)->childCount() > 0)
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
