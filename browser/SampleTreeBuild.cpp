// Building the sample tree: the categories and sub-categories with their branches, the
// samples placed into them (or made load errors), the branches whose sample items are
// made at once, and those made later, when first expanded or looked into.
#include <algorithm>

#include "browser/SampleTree.h"
#include "browser/TreeItem.h"
#include "browser/ViewContext.h"
#include "config/LibraryConfig.h"
#include "library/QuorrinDoc.h"
#include "ui/TextCodec.h"

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

const CSampleTree::SubBranch* CSampleTree::SubOf(const CategoryBranches& c, const std::string& sub) {
    for (const SubBranch& s : c.subs)
        if (s.name == sub)
            return &s;
    return nullptr;
}

int CSampleTree::BranchOf(const CSample& sample) const {
    const CategoryBranches* c = CategoryOf(sample);
    if (!c)
        return -1;
    const std::string& sub = sample.GetSubcategory();
    if (sub.empty())
        return c->branch;
    const SubBranch* s = SubOf(*c, sub);
    return s ? s->branch : -1;
}

QTreeWidgetItem* CSampleTree::BranchItemOf(const CSample& sample) const {
    const CategoryBranches* c = CategoryOf(sample);
    if (!c)
        return nullptr;
    const std::string& sub = sample.GetSubcategory();
    if (sub.empty())
        return c->item;
    const SubBranch* s = SubOf(*c, sub);
    return s ? s->item : nullptr;
}

bool CSampleTree::PlaceByCategory(std::vector<Branch>& branches) const {
    const CQuorrinDoc& doc = *m_context.doc;
    // Each sample is in the list of its category field: every sample is placed when the
    // lists of the shown categories hold them all and each finds its branch.
    std::vector<std::pair<int, const CSample*>> placed;
    placed.reserve(static_cast<size_t>(doc.GetSampleCount()));
    for (const auto& [name, category] : m_branchOf) {
        for (const CSample* sample : doc.SamplesOfCategory(std::string(name))) {
            int b = category.branch;
            if (const std::string& sub = sample->GetSubcategory(); !sub.empty()) {
                const SubBranch* s = SubOf(category, sub);
                if (!s)
                    return false;
                b = s->branch;
            }
            placed.emplace_back(b, sample);
        }
    }
    if (placed.size() != static_cast<size_t>(doc.GetSampleCount()))
        return false;
    for (const auto& [b, sample] : placed) {
        Branch& branch = branches[static_cast<size_t>(b)];
        ++branch.count;
        if (branch.buildNow)
            branch.samples.push_back(sample);
    }
    return true;
}

void CSampleTree::PlaceSamples(std::vector<Branch>& branches) {
    if (!m_filter && PlaceByCategory(branches))
        return;
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
        // A branch is made now when its samples were collected for it.
        if (b.buildNow || (showAll && b.samples.size() == static_cast<size_t>(b.count))) {
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
    if (m_filter) {
        std::vector<std::pair<int, QTreeWidgetItem*>> ranked;
        for (QTreeWidgetItem* category : categoryItems)
            ranked.emplace_back(RankChildren(category), category);
        std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        for (qsizetype i = 0; i < categoryItems.size(); ++i)
            categoryItems[i] = ranked[static_cast<size_t>(i)].second;
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

int CSampleTree::RankChildren(QTreeWidgetItem* item) {
    std::vector<std::pair<int, QTreeWidgetItem*>> ranked;
    int best = 0;
    for (QTreeWidgetItem* child : item->takeChildren()) {
        int rank = 0;
        if (ItemTag(child) == kTagSample) {
            const CSample* sample = m_context.doc->PeekSample(ItemName(child));
            rank = sample ? m_filter->Rank(*sample) : 0;
        } else {
            rank = RankChildren(child);
        }
        best = std::max(best, rank);
        ranked.emplace_back(rank, child);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    QList<QTreeWidgetItem*> children;
    children.reserve(static_cast<qsizetype>(ranked.size()));
    for (const auto& entry : ranked)
        children.append(entry.second);
    item->addChildren(children);
    return best;
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
    std::unordered_map<const CTreeItem*, int> rankOf; // in a narrowed tree
    for (const CSample* sample : samples) {
        QTreeWidgetItem* si = NewItem(sample->GetTitle(), kTagSample);
        m_sampleItems.emplace(TreeItem(si)->Name(), si);
        fresh.push_back(TreeItem(si));
        if (m_filter)
            rankOf[fresh.back()] = m_filter->Rank(*sample);
    }
    std::stable_sort(fresh.begin(), fresh.end(),
                     [](const CTreeItem* a, const CTreeItem* b) { return TextLess(a->Text(), b->Text()); });
    if (m_filter) {
        // A narrowed branch made late: its samples best first, after what it holds.
        std::stable_sort(fresh.begin(), fresh.end(),
                         [&rankOf](const CTreeItem* a, const CTreeItem* b) { return rankOf[a] > rankOf[b]; });
        item->addChildren(QList<QTreeWidgetItem*>(fresh.begin(), fresh.end()));
        return;
    }
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

