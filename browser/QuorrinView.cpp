#include "browser/QuorrinView.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "browser/DropHandler.h"
#include "ui/ByteEntries.h"
#include "browser/ViewHost.h"
#include "config/LibraryConfig.h"
#include "library/ContentCheck.h"
#include "library/LibrarySearch.h"
#include "base/Messenger.h"

const char* const kRootText = "Samples";
const char* const kRootTextLoadErrors = "Samples (*Load errors exist*)";
const char* const kNoSampleSelected = " (no sample selected) ";
const char* const kNoneAssigned = " (none assigned) ";

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

// The same order as EntryLess without folded copies.
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
            case kTagRole:
                return m_tag;
            case kNameRole:
                return QByteArray(m_name.data(), static_cast<qsizetype>(m_name.size()));
            default:
                break;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }
    // The tree's alphabetical order (as EntryLess), for sorting one item's children in
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

// Deletes item (taken out of the tree) and everything below it but its sample items,
// which are taken out, marked reusable and added to taken.
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

QString PlainTextOf(const QPlainTextEdit* edit) {
    // The raw text keeps no-break spaces and separates blocks with U+2029, which the
    // codec turns into line ends.
    return edit->document()->toRawText();
}

QIcon ThemeIcon(const char* name, QStyle::StandardPixmap fallback, const QWidget* w) {
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    if (icon.isNull())
        icon = w->style()->standardIcon(fallback, nullptr, w);
    return icon;
}

bool ClipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

} // namespace

CQuorrinView::CQuorrinView(CQuorrinDoc& doc, CLibraryConfig& config, IViewHost& host, QWidget* parent)
    : QWidget(parent), m_doc(&doc), m_config(config), m_host(host) {
    setObjectName(QStringLiteral("quorrinView"));
    BuildLayout();
    MakeIcons();
    InstallTreeEditKeys();
    m_doc->SetView(this);
}

CQuorrinView::~CQuorrinView() { DetachDocument(); }

void CQuorrinView::DetachDocument() {
    if (m_doc)
        m_doc->SetView(nullptr);
    m_doc = nullptr;
}

void CQuorrinView::BuildLayout() {
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("sampleTree"));
    m_tree->setColumnCount(1);
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSortingEnabled(false);
    m_tree->setMinimumWidth(120);

    auto* fields = new QWidget(this);
    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(6, 0, 0, 0);
    auto label = [fields](const char* text, bool right) {
        auto* l = new QLabel(QString::fromLatin1(text), fields);
        l->setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        return l;
    };

    m_titleEdit = new QLineEdit(fields);
    m_titleEdit->setObjectName(QStringLiteral("titleEdit"));
    m_titleEdit->setReadOnly(true);
    m_changeTitleButton = new QPushButton(QStringLiteral("Change title..."), fields);
    m_changeTitleButton->setObjectName(QStringLiteral("changeTitleButton"));
    m_changeTitleButton->setEnabled(false);
    m_categoryCombo = new QComboBox(fields);
    m_categoryCombo->setObjectName(QStringLiteral("categoryCombo"));
    m_categoryCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_categoryCombo->setMinimumContentsLength(12);
    m_subcategoryCombo = new QComboBox(fields);
    m_subcategoryCombo->setObjectName(QStringLiteral("subcategoryCombo"));
    m_subcategoryCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_subcategoryCombo->setMinimumContentsLength(12);
    m_keywordsEdit = new QLineEdit(fields);
    m_keywordsEdit->setObjectName(QStringLiteral("keywordsEdit"));

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_commentsEdit = new QPlainTextEdit(fields);
    m_commentsEdit->setObjectName(QStringLiteral("commentsEdit"));
    m_commentsEdit->setFont(fixed);
    m_commentsEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_commentsEdit->setTabChangesFocus(true);
    m_textEdit = new QPlainTextEdit(this);
    m_textEdit->setObjectName(QStringLiteral("textEdit"));
    m_textEdit->setFont(fixed);
    m_textEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_textEdit->setTabChangesFocus(true);

    grid->addWidget(label("Title:", true), 0, 0);
    grid->addWidget(m_titleEdit, 0, 1, 1, 3);
    grid->addWidget(m_changeTitleButton, 0, 4);
    grid->addWidget(label("Category:", true), 1, 0);
    grid->addWidget(m_categoryCombo, 1, 1);
    grid->addWidget(label("Sub-category:", true), 1, 2);
    grid->addWidget(m_subcategoryCombo, 1, 3, 1, 2);
    grid->addWidget(label("Keywords:", true), 2, 0);
    grid->addWidget(m_keywordsEdit, 2, 1, 1, 4);
    grid->addWidget(label("Comments:", false), 3, 0, 1, 2);
    grid->addWidget(m_commentsEdit, 4, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);

    m_hsplit = new QSplitter(Qt::Horizontal, this);
    m_hsplit->setObjectName(QStringLiteral("treeSplitter"));
    m_hsplit->addWidget(m_tree);
    m_hsplit->addWidget(fields);
    m_hsplit->setStretchFactor(0, 1);
    m_hsplit->setStretchFactor(1, 2);
    m_hsplit->setChildrenCollapsible(false);
    m_hsplit->setSizes({320, 640});

    m_vsplit = new QSplitter(Qt::Vertical, this);
    m_vsplit->setObjectName(QStringLiteral("textSplitter"));
    m_vsplit->addWidget(m_hsplit);
    m_vsplit->addWidget(m_textEdit);
    m_vsplit->setStretchFactor(0, 1);
    m_vsplit->setStretchFactor(1, 1);
    m_vsplit->setChildrenCollapsible(false);
    m_vsplit->setSizes({330, 300});

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->addWidget(m_vsplit);

    setTabOrder(m_tree, m_titleEdit);
    setTabOrder(m_titleEdit, m_changeTitleButton);
    setTabOrder(m_changeTitleButton, m_categoryCombo);
    setTabOrder(m_categoryCombo, m_subcategoryCombo);
    setTabOrder(m_subcategoryCombo, m_keywordsEdit);
    setTabOrder(m_keywordsEdit, m_commentsEdit);
    setTabOrder(m_commentsEdit, m_textEdit);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, &CQuorrinView::OnCurrentItemChanged);
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* i) { OnItemExpanded(i, true); });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* i) { OnItemExpanded(i, false); });
    connect(m_keywordsEdit, &QLineEdit::textChanged, this, &CQuorrinView::OnFieldEdited);
    connect(m_commentsEdit, &QPlainTextEdit::textChanged, this, &CQuorrinView::OnFieldEdited);
    connect(m_textEdit, &QPlainTextEdit::textChanged, this, &CQuorrinView::OnFieldEdited);
    connect(m_changeTitleButton, &QPushButton::clicked, this, &CQuorrinView::OnChangeTitle);
    connect(m_categoryCombo, &QComboBox::activated, this, &CQuorrinView::OnCategoryActivated);
    connect(m_subcategoryCombo, &QComboBox::activated, this, &CQuorrinView::OnSubcategoryActivated);
    // Selection changes in the edits and the clipboard decide Cut, Copy and Paste.
    connect(m_titleEdit, &QLineEdit::selectionChanged, this, &CQuorrinView::CommandStateChanged);
    connect(m_keywordsEdit, &QLineEdit::selectionChanged, this, &CQuorrinView::CommandStateChanged);
    connect(m_commentsEdit, &QPlainTextEdit::selectionChanged, this, &CQuorrinView::CommandStateChanged);
    connect(m_textEdit, &QPlainTextEdit::selectionChanged, this, &CQuorrinView::CommandStateChanged);

    EnableSampleFields(false);
    m_categoryCombo->setEnabled(false);
    m_subcategoryCombo->setEnabled(false);
}

void CQuorrinView::MakeIcons() {
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

// ---------------------------------------------------------------------------------
// Tree

QTreeWidgetItem* CQuorrinView::NewItem(const std::string& name, int tag) const {
    return new CTreeItem(tag, name, tag == kTagSample ? m_pageIcon : m_folderIcon);
}

int CQuorrinView::ItemTag(const QTreeWidgetItem* item) {
    if (!item)
        return -1;
    if (item->type() == CTreeItem::Type)
        return static_cast<const CTreeItem*>(item)->Tag();
    bool ok = false;
    int tag = item->data(0, kTagRole).toInt(&ok);
    return ok ? tag : -1;
}

std::string CQuorrinView::ItemName(const QTreeWidgetItem* item) {
    if (!item)
        return {};
    if (item->type() == CTreeItem::Type)
        return static_cast<const CTreeItem*>(item)->Name();
    QByteArray b = item->data(0, kNameRole).toByteArray();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

QTreeWidgetItem* CQuorrinView::SelectedItem() const { return m_tree->currentItem(); }

int CQuorrinView::SelectedTag() const { return ItemTag(SelectedItem()); }

bool CQuorrinView::IsRootExpanded() const { return m_root && m_root->isExpanded(); }

void CQuorrinView::OnInitialUpdate() {
    RegisterDropTarget();
    RebuildTree(std::string());
}

void CQuorrinView::RebuildTree(const std::string& selectTitle) {
    if (!m_doc)
        return;
    CQuorrinDoc& doc = *m_doc;
    const CLibraryConfig& cfg = m_config;

    m_tree->setUpdatesEnabled(false);
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
    while (m_tree->topLevelItemCount() > 0)
        TakeTreeApart(m_tree->takeTopLevelItem(0), std::string(), taken, oldSubs);
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
    m_tree->addTopLevelItem(root);
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
        m_tree->setCurrentItem(root);
        selected = true;
    }
    if (!selected)
        OnSelChanged(nullptr);
    m_tree->setUpdatesEnabled(true);
    if (m_tree->currentItem())
        m_tree->scrollToItem(m_tree->currentItem());
    emit CommandStateChanged();
}

QTreeWidgetItem* CQuorrinView::FindTreeItem(QTreeWidgetItem* start, const std::string& name, int level) const {
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

bool CQuorrinView::SelectSampleItem(const std::string& title) {
    auto it = std::lower_bound(m_sampleItems.begin(), m_sampleItems.end(), std::string_view(title),
                               [](const auto& entry, std::string_view key) { return entry.first < key; });
    QTreeWidgetItem* item = it != m_sampleItems.end() && it->first == title
                                ? it->second
                                : FindTreeItem(m_root, title, kTagSample);
    if (!item)
        return false;
    m_tree->setCurrentItem(item);
    m_tree->scrollToItem(item);
    return true;
}

bool CQuorrinView::SelectCategoryItem(const std::string& name) {
    auto it = m_categoryItems.find(name);
    QTreeWidgetItem* item = it != m_categoryItems.end() ? it->second : FindTreeItem(m_root, name, kTagCategory);
    if (!item)
        return false;
    m_tree->setCurrentItem(item);
    return true;
}

bool CQuorrinView::SelectSubcategoryItem(const std::string& category, const std::string& subcategory) {
    if (!SelectCategoryItem(category))
        return false;
    auto it = m_subcategoryItems.find(category + '\0' + subcategory);
    QTreeWidgetItem* item = it != m_subcategoryItems.end()
                                ? it->second
                                : FindTreeItem(m_tree->currentItem(), subcategory, kTagSubcategory);
    if (!item)
        return false;
    m_tree->setCurrentItem(item);
    return true;
}

void CQuorrinView::OnItemExpanded(QTreeWidgetItem* item, bool expanded) {
    if (!m_trackExpansion || !m_doc)
        return;
    NameSetMap& subcats = m_config.g_expandedSubcats;
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
        if (!expanded && m_tree->topLevelItem(0) == item)
            subcats.clear();
        break;
    default:
        break;
    }
    emit CommandStateChanged();
}

// Expands or collapses every item that has children, top level first, depth first.
void CQuorrinView::SetAllBranchesExpanded(bool expanded) {
    m_tree->setUpdatesEnabled(false);
    std::vector<QTreeWidgetItem*> stack;
    for (int i = m_tree->topLevelItemCount() - 1; i >= 0; --i)
        stack.push_back(m_tree->topLevelItem(i));
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
    m_tree->setUpdatesEnabled(true);
}

void CQuorrinView::OnExpandAll() {
    if (!m_root)
        return;
    SetAllBranchesExpanded(true);
    if (m_tree->currentItem())
        m_tree->scrollToItem(m_tree->currentItem());
    emit CommandStateChanged();
}

void CQuorrinView::OnCollapseAll() {
    if (!m_doc)
        return;
    if (m_formModified) {
        if (!CaptureFormChecked())
            return;
        OnCommitPending();
    }
    m_config.g_expandedSubcats.clear();
    m_trackExpansion = false;
    SetAllBranchesExpanded(false);
    m_trackExpansion = true;
    // The selection cannot stay hidden inside a collapsed branch: it moves to the root.
    if (m_root && m_tree->currentItem() != m_root)
        m_tree->setCurrentItem(m_root);
    ClearFormStrings();
    FillCategoryList();
    EnableChangeTitle(false);
    EnableSampleFields(false);
    emit CommandStateChanged();
}

// ---------------------------------------------------------------------------------
// Selection

void CQuorrinView::OnCurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
    if (m_ignoreSelection || m_revertingSelection || !m_doc)
        return;
    // After a rebuild nothing was selected before, so no sample is being left.
    if (previous && !OnSelChanging(previous)) {
        m_revertingSelection = true;
        m_tree->setCurrentItem(previous);
        m_revertingSelection = false;
        return;
    }
    OnSelChanged(current);
    emit CommandStateChanged();
}

bool CQuorrinView::OnSelChanging(QTreeWidgetItem*) {
    if (!m_formModified)
        return true;
    bool save = m_config.m_bAutoSaveOnSwitch;
    if (!save)
        save = ShowMessage("The current sample has been changed.\nSave changes?", MsgButtons::YesNo,
                           MsgIcon::Question) == MsgAnswer::Yes;
    if (save) {
        if (!CaptureFormChecked())
            return false;
        PostCommitPending();
    } else {
        // Dropped for good: nothing may commit these edits later.
        m_doc->PendingSample().Reset();
    }
    return true;
}

void CQuorrinView::OnSelChanged(QTreeWidgetItem* current) {
    const int tag = ItemTag(current);
    if (tag == kTagCategory || tag == kTagSubcategory) {
        ClearFormStrings();
        EnableChangeTitle(false);
        EnableSampleFields(false);
    } else if (tag == kTagSample) {
        const CSample* sample = m_doc->PeekSample(ItemName(current));
        if (!sample) {
            ShowMessage("Internal Error! Could not locate sample data.", MsgButtons::Ok, MsgIcon::Exclamation);
        } else {
            ShowSample(*sample);
            m_doc->DisplayedSample() = *sample;
            EnableChangeTitle(true);
            EnableSampleFields(true);
        }
    } else {
        // No item or the root: the fields keep what they show, disabled.
        EnableChangeTitle(false);
        EnableSampleFields(false);
    }
    FillCategoryList();
    SetFormModified(false);
}

// ---------------------------------------------------------------------------------
// Form

void CQuorrinView::EnableSampleFields(bool enable) {
    m_keywordsEdit->setEnabled(enable);
    m_commentsEdit->setEnabled(enable);
    m_textEdit->setEnabled(enable);
}

void CQuorrinView::EnableChangeTitle(bool enable) { m_changeTitleButton->setEnabled(enable); }

void CQuorrinView::ClearFormStrings() {
    m_loadingForm = true;
    m_formTitle.clear();
    m_titleCodec = m_keywordsCodec = m_commentsCodec = m_textCodec = FieldCodec();
    m_titleEdit->clear();
    m_keywordsEdit->clear();
    m_commentsEdit->clear();
    m_textEdit->clear();
    m_loadingForm = false;
}

void CQuorrinView::ShowSample(const CSample& sample) {
    m_loadingForm = true;
    m_formTitle = sample.GetTitle();
    m_titleEdit->setText(DecodeField(sample.GetTitle(), m_titleCodec));
    m_titleEdit->setCursorPosition(0);
    m_keywordsEdit->setText(DecodeField(sample.GetKeywords(), m_keywordsCodec));
    m_keywordsEdit->setCursorPosition(0);
    m_commentsEdit->setPlainText(DecodeField(sample.GetComments(), m_commentsCodec));
    m_textEdit->setPlainText(DecodeField(sample.GetText(), m_textCodec));
    m_loadingForm = false;
}

std::string CQuorrinView::FormKeywords() { return EncodeField(m_keywordsEdit->text(), m_keywordsCodec); }
std::string CQuorrinView::FormComments() { return EncodeField(PlainTextOf(m_commentsEdit), m_commentsCodec); }
std::string CQuorrinView::FormText() { return EncodeField(PlainTextOf(m_textEdit), m_textCodec); }

void CQuorrinView::CaptureFormInto(CSample& sample) {
    sample.Reset();
    sample.SetTitle(m_formTitle);
    sample.SetCategory(CurrentEntryBytes(m_categoryCombo));
    std::string sub = CurrentEntryBytes(m_subcategoryCombo);
    if (sub == kNoneAssigned)
        sub.clear();
    sample.SetSubcategory(sub);
    sample.SetKeywords(FormKeywords());
    sample.SetComments(FormComments());
    sample.SetText(FormText());
}

void CQuorrinView::CaptureForm() { CaptureFormInto(m_doc->PendingSample()); }

bool CQuorrinView::CaptureFormChecked() {
    CaptureForm();
    const std::string why = CheckSampleContent(m_doc->PendingSample());
    if (why.empty())
        return true;
    ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

void CQuorrinView::SetFormModified(bool modified) {
    m_formModified = modified;
    if (modified && m_doc) {
        CaptureForm();
        if (const CSample* stored = m_doc->PeekSample(m_formTitle))
            m_doc->MarkCategoryChanged(stored->GetCategory());
    }
    emit CommandStateChanged();
}

void CQuorrinView::OnFieldEdited() {
    if (m_loadingForm || !m_doc)
        return;
    SetFormModified(true);
}

void CQuorrinView::FillCategoryList() {
    m_categoryCombo->clear();
    QTreeWidgetItem* sel = SelectedItem();
    if (!m_doc || ItemTag(sel) != kTagSample) {
        m_categoryCombo->addItem(QString::fromLatin1(kNoSampleSelected), QByteArray(kNoSampleSelected));
        m_categoryCombo->setCurrentIndex(0);
        m_categoryCombo->setEnabled(false);
        m_prevCategory = kNoSampleSelected;
        FillSubcategoryList();
        return;
    }
    m_categoryCombo->setEnabled(true);
    std::vector<std::string> names;
    names.reserve(m_doc->Categories().size());
    for (const auto& [key, category] : m_doc->Categories())
        names.push_back(category->GetName());
    AddSortedEntries(m_categoryCombo, std::move(names));

    const CSample* sample = m_doc->PeekSample(ItemName(sel));
    if (!sample) {
        ShowMessage("Internal error! Cannot find sample data.", MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (m_categoryCombo->count() == 0) {
        ShowMessage(std::string("Could not find category in dropdown to match sample data!\n") +
                        "Setting dropdown to first item in list.",
                    MsgButtons::Ok, MsgIcon::Exclamation);
        m_categoryCombo->setCurrentIndex(0);
    } else {
        const std::string& cat = sample->GetCategory();
        m_categoryCombo->setCurrentIndex(FindEntryBytes(m_categoryCombo, cat));
    }
    if (m_categoryCombo->currentIndex() < 0)
        m_categoryCombo->setCurrentIndex(0);
    m_prevCategory = CurrentEntryBytes(m_categoryCombo);
    FillSubcategoryList();
}

void CQuorrinView::FillSubcategoryList() {
    m_subcategoryCombo->clear();
    QTreeWidgetItem* sel = SelectedItem();
    if (!m_doc || ItemTag(sel) != kTagSample) {
        m_subcategoryCombo->addItem(QString::fromLatin1(kNoSampleSelected), QByteArray(kNoSampleSelected));
        m_subcategoryCombo->setCurrentIndex(0);
        m_subcategoryCombo->setEnabled(false);
        return;
    }
    m_subcategoryCombo->setEnabled(true);
    std::vector<std::string> names{kNoneAssigned};
    if (const CCategory* category = m_doc->PeekCategory(CurrentEntryBytes(m_categoryCombo))) {
        for (int i = 0; i < kSlotCount; ++i)
            if (!category->Slot(i).name.empty())
                names.push_back(category->Slot(i).name);
    }
    AddSortedEntries(m_subcategoryCombo, std::move(names));

    const CSample* sample = m_doc->PeekSample(ItemName(sel));
    if (!sample) {
        ShowMessage("Internal error! Cannot find sample data.", MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    int index = -1;
    const std::string& sub = sample->GetSubcategory();
    if (!sub.empty())
        index = FindEntryBytes(m_subcategoryCombo, sub);
    m_subcategoryCombo->setCurrentIndex(index >= 0 ? index : 0);
}

void CQuorrinView::OnCategoryActivated(int) {
    if (!m_doc || ItemTag(SelectedItem()) != kTagSample)
        return;
    const std::string category = CurrentEntryBytes(m_categoryCombo);
    const std::string sub = CurrentEntryBytes(m_subcategoryCombo);
    const CCategory* record = m_doc->PeekCategory(category);
    auto commit = [&] {
        SetFormModified(true);
        const std::string why = CheckSampleContent(m_doc->PendingSample());
        if (!why.empty()) {
            ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
            SelectEntryBytes(m_categoryCombo, m_prevCategory);
            CaptureForm();
            return;
        }
        m_prevCategory = category;
        PostCommitPending();
    };
    if (sub == kNoneAssigned || (record && record->FindSlot(sub) >= 0)) {
        commit();
        return;
    }
    const MsgAnswer answer =
        ShowMessage(StrFormat("No sub-category called \"%s\" exists\nwithin category \"%s\".\n", sub.c_str(),
                              category.c_str()) +
                        "Do you want to create the sub-category?",
                    MsgButtons::YesNo, MsgIcon::Question);
    if (answer != MsgAnswer::Yes) {
        SelectEntryBytes(m_categoryCombo, m_prevCategory);
        return;
    }
    auto it = m_categoryItems.find(category);
    QTreeWidgetItem* categoryItem =
        it != m_categoryItems.end() ? it->second : FindTreeItem(m_root, category, kTagCategory);
    if (!categoryItem) {
        ShowMessage(StrFormat("Could not locate category \"%s\" in the tree.\n", category.c_str()) +
                    "Unable to insert new sub-category.");
        SelectEntryBytes(m_categoryCombo, m_prevCategory);
        return;
    }
    // Whatever the name dialog ends with, the sample moves with the sub-category name it
    // has; the commit's rebuild places it.
    AddNewSubcategory(categoryItem, sub);
    commit();
}

void CQuorrinView::OnSubcategoryActivated(int) {
    if (!m_doc || ItemTag(SelectedItem()) != kTagSample)
        return;
    SetFormModified(true);
    const std::string why = CheckSampleContent(m_doc->PendingSample());
    if (!why.empty()) {
        ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
        const std::string& sub = m_doc->DisplayedSample().GetSubcategory();
        SelectEntryBytes(m_subcategoryCombo, sub.empty() ? std::string(kNoneAssigned) : sub);
        CaptureForm();
        return;
    }
    PostCommitPending();
}

void CQuorrinView::PostCommitPending() {
    // The commit runs after the current notification. Should the user already have
    // edited another sample by then, that sample's pending edits are kept aside while
    // the posted ones are committed.
    QMetaObject::invokeMethod(
        this,
        [this, posted = m_doc->PendingSample()] {
            if (!m_doc)
                return;
            const CSample current = m_doc->PendingSample();
            const bool newer = m_formModified && !current.GetTitle().empty() &&
                               current.GetTitle() != posted.GetTitle();
            m_doc->PendingSample() = posted;
            OnCommitPending();
            if (newer && m_doc && m_formTitle == current.GetTitle()) {
                m_doc->PendingSample() = current;
                m_formModified = true;
                if (const CSample* stored = m_doc->PeekSample(current.GetTitle()))
                    m_doc->MarkCategoryChanged(stored->GetCategory());
                emit CommandStateChanged();
            }
        },
        Qt::QueuedConnection);
}

void CQuorrinView::OnCommitPending() {
    if (!m_doc)
        return;
    CSample& pending = m_doc->PendingSample();
    const std::string title = pending.GetTitle();
    if (!title.empty()) {
        const std::string why = CheckSampleContent(pending);
        if (!why.empty()) {
            // Callers check before they post; this only guards the file format.
            ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
            pending.Reset();
            return;
        }
    }
    m_doc->CommitPendingEdit();
    m_doc->PendingSample().Reset();
    if (!m_closing && m_doc->PlacementChanged()) {
        if (m_formTitle == title)
            RebuildTree(title);
        m_doc->SetPlacementChanged(false);
    }
    m_doc->OnSaveDocument();
    SetFormModified(false);
}

// ---------------------------------------------------------------------------------
// Document notifications

void CQuorrinView::OnDocumentClosing() {
    m_closing = true;
    m_closeRefused = false;
    if (!m_doc || !m_formModified)
        return;
    const MsgAnswer answer = ShowMessage(std::string("Some sample data has not been saved.\n") +
                                             "Do you wish to save it?",
                                         MsgButtons::YesNo, MsgIcon::Question);
    if (answer == MsgAnswer::No) {
        // The final save commits the pending sample: drop the edits there too.
        m_doc->PendingSample().Reset();
        SetFormModified(false);
        return;
    }
    if (!CaptureFormChecked()) {
        // The text cannot be stored as it is; the window stays open so it can be fixed.
        m_closing = false;
        m_closeRefused = true;
        return;
    }
    OnCommitPending();
    SetFormModified(false);
}

void CQuorrinView::OnDocumentSaved() {
    // The save has committed the pending sample; it must not be committed again later.
    if (m_doc)
        m_doc->PendingSample().Reset();
    SetFormModified(false);
}

void CQuorrinView::OnStagedSampleAdded() {
    if (m_doc)
        RebuildTree(m_doc->LoadErrors().Staged().GetTitle());
}

void CQuorrinView::OnLoadErrorsEmptied() {
    if (m_root)
        m_root->setText(0, QString::fromLatin1(kRootText));
}

// ---------------------------------------------------------------------------------
// Commands

bool CQuorrinView::OnFileSave() {
    if (!m_doc)
        return false;
    if (m_formModified && !CaptureFormChecked())
        return false;
    const bool ok = m_doc->OnSaveDocument();
    emit CommandStateChanged();
    return ok;
}

void CQuorrinView::OnOptions() { m_host.RunOptions(); }

bool CQuorrinView::CanCut() const { return CanCopy(); }

bool CQuorrinView::CanCopy() const {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        return line->hasSelectedText();
    if (auto* text = qobject_cast<QPlainTextEdit*>(focus))
        return text->textCursor().hasSelection();
    return false;
}

bool CQuorrinView::CanPaste() const {
    QWidget* focus = QApplication::focusWidget();
    bool editable = false;
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        editable = !line->isReadOnly();
    else if (auto* text = qobject_cast<QPlainTextEdit*>(focus))
        editable = !text->isReadOnly();
    return editable && ClipboardHasText();
}

void CQuorrinView::OnEditCut() {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        if (!line->isReadOnly())
            line->cut();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
        if (!text->isReadOnly())
            text->cut();
    }
}

void CQuorrinView::OnEditCopy() {
    QWidget* focus = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focus))
        line->copy();
    else if (auto* text = qobject_cast<QPlainTextEdit*>(focus))
        text->copy();
}

void CQuorrinView::OnEditPaste() {
    // The clipboard's text up to a zero byte; a single-line field takes its first line.
    PasteInto(QApplication::focusWidget());
}
