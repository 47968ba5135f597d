#include "tools/AddSampleWizard.h"

#include <QAbstractButton>
#include <QFont>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/DialogParts.h"
#include "base/TextRules.h"
#include "ui/ByteEntries.h"
#include "ui/CodeEditor.h"
#include "ui/TextOrder.h"
#include "ui/PasteRule.h"
#include "library/ContentCheck.h"
#include "ui/InputRefusal.h"
#include "library/QuorrinDoc.h"

namespace {

constexpr int kWizTagRole = Qt::UserRole;
constexpr int kWizNameRole = Qt::UserRole + 1;
const char* const kLabelBytes = "bytes";

std::string ItemBytes(const QTreeWidgetItem* item) {
    if (!item)
        return {};
    QByteArray b = item->data(0, kWizNameRole).toByteArray();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

QByteArray ToBytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// Multi-line edits of the pages: code font, no wrapping, both scroll bars.
QPlainTextEdit* CodeEdit(QWidget* parent, const char* objectName) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setTabChangesFocus(true);
    return edit;
}

QString PlainTextOf(const QPlainTextEdit* edit) {
    // The raw text keeps no-break spaces; the codec turns U+2029 into line ends.
    return edit->document()->toRawText();
}

bool CheckField(const char* field, const std::string& value) {
    const std::string why = CheckFieldContent(field, value);
    if (why.empty())
        return true;
    ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

} // namespace

// ---------------------------------------------------------------------------------
// Common page

CAddSamplePage::CAddSamplePage(const char* caption) : m_caption(QString::fromLatin1(caption)) {}

void CAddSamplePage::OnSetActive() {
    DoDataExchange(false);
}

void CAddSamplePage::OnKillActive() {
    DoDataExchange(true);
}

// ---------------------------------------------------------------------------------
// Page 1: where the sample goes, and its title

CAddSample1::CAddSample1(CQuorrinDoc& doc, WizardPreselection preselection)
    : CAddSamplePage(CAddSampleWizard::kCaptions[0]), m_doc(doc), m_preselection(std::move(preselection)) {
    setObjectName(QStringLiteral("addSample1"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        PlainLabel("1.  Click the category or sub-category to which this sample will belong.", this, true));
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("wizTree"));
    m_tree->setColumnCount(1);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setMinimumHeight(150);
    layout->addWidget(m_tree, 1);

    auto* grid = new QGridLayout();
    m_categoryLabel = new QLabel(this);
    m_categoryLabel->setObjectName(QStringLiteral("wizCategoryLabel"));
    m_subcategoryLabel = new QLabel(this);
    m_subcategoryLabel->setObjectName(QStringLiteral("wizSubcategoryLabel"));
    for (QLabel* value : {m_categoryLabel, m_subcategoryLabel}) {
        value->setTextFormat(Qt::PlainText);
        value->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        value->setMinimumWidth(value->fontMetrics().averageCharWidth() * 24);
    }
    grid->addWidget(PlainLabel("Category:", this), 0, 0, Qt::AlignRight);
    grid->addWidget(m_categoryLabel, 0, 1);
    grid->addWidget(PlainLabel("Sub-category:", this), 1, 0, Qt::AlignRight);
    grid->addWidget(m_subcategoryLabel, 1, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    layout->addSpacing(6);
    layout->addWidget(PlainLabel("2.  Specify a title for this sample (required):", this));
    m_titleEdit = new QLineEdit(this);
    m_titleEdit->setObjectName(QStringLiteral("wizTitleEdit"));
    layout->addWidget(m_titleEdit);
    // Several pasted lines give their first, as in the form's one-line fields.
    (new CPasteFilter(this))->Watch(m_titleEdit);

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnSelChanged(current); });
}

void CAddSample1::DoDataExchange(bool save) {
    if (save) {
        m_strTitle = TypedBytes(m_titleEdit->text(), m_shownTitle);
        QByteArray c = m_categoryLabel->property(kLabelBytes).toByteArray();
        QByteArray s = m_subcategoryLabel->property(kLabelBytes).toByteArray();
        m_strCategory.assign(c.constData(), static_cast<size_t>(c.size()));
        m_strSubcategory.assign(s.constData(), static_cast<size_t>(s.size()));
    } else {
        m_shownTitle = m_strTitle;
        m_titleEdit->setText(ShownBytes(m_strTitle));
        ShowPlacement();
    }
}

void CAddSample1::OnSetActive() {
    // Filled once per run, so a return to this page keeps the tree and its selection.
    if (m_tree->topLevelItemCount() == 0) {
        FillTree();
        // With the place chosen already, the title is what is typed next.
        if (m_tree->currentItem())
            QTimer::singleShot(0, m_titleEdit, [edit = m_titleEdit] { edit->setFocus(); });
    }
    DoDataExchange(false);
}

void CAddSample1::OnKillActive() {
    DoDataExchange(true);
    m_strTitle = std::string(Trim(m_strTitle));
}

bool CAddSample1::validatePage() {
    OnKillActive();
    if (m_pSheet)
        m_pSheet->SetChunk(0, HeaderChunkPieces(m_strTitle, m_strCategory, m_strSubcategory));
    // The check of a page that is being left; a refusal keeps the page and the input.
    OnKillActive();
    return ShowRefusal(CheckAddSamplePage1(m_doc, m_strCategory, m_strTitle));
}

QTreeWidgetItem* CAddSample1::AddItem(QTreeWidgetItem* parent, const std::string& name, int tag) {
    auto* item = new QTreeWidgetItem();
    item->setText(0, DecodeName(name));
    item->setData(0, kWizTagRole, tag);
    item->setData(0, kWizNameRole, ToBytes(name));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (parent)
        parent->addChild(item);
    else
        m_tree->addTopLevelItem(item);
    return item;
}

void CAddSample1::FillTree() {
    m_tree->clear();
    QTreeWidgetItem* root = AddItem(nullptr, kWizardRootText, kWizTagCategory);
    // The document's category order; only places the tree shows (no hidden category,
    // no hidden default sub-category, no free slot).
    for (const auto& [key, category] : m_doc.Categories()) {
        if (!category->IsDisplayed())
            continue;
        QTreeWidgetItem* catItem = AddItem(root, category->GetName(), kWizTagCategory);
        for (int i = 0; i < kSlotCount; ++i) {
            const SubcategorySlot& slot = category->Slot(i);
            if (!slot.name.empty() && slot.inUse)
                AddItem(catItem, slot.name, kWizTagSubcategory);
        }
        // In the main tree's order.
        QList<QTreeWidgetItem*> subs = catItem->takeChildren();
        std::stable_sort(subs.begin(), subs.end(),
                         [](QTreeWidgetItem* a, QTreeWidgetItem* b) { return TextLess(a->text(0), b->text(0)); });
        catItem->addChildren(subs);
    }
    root->setExpanded(true);
    // Nothing is chosen until the user or the preselection chooses: the tree must not
    // make its first item current when it gets the focus.
    m_tree->setCurrentItem(nullptr);
    Preselect();
}

QTreeWidgetItem* CAddSample1::ChildNamed(QTreeWidgetItem* parent, const std::string& name) {
    if (!parent)
        return nullptr;
    for (int i = 0; i < parent->childCount(); ++i)
        if (ItemBytes(parent->child(i)) == name)
            return parent->child(i);
    return nullptr;
}

void CAddSample1::Reveal(QTreeWidgetItem* item, bool select) {
    item->setExpanded(true);
    if (select) {
        m_tree->scrollToItem(item);
        m_tree->setCurrentItem(item);
    }
}

void CAddSample1::Preselect() {
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    if (!root || m_preselection.kind == WizardPreselection::Kind::None)
        return;
    QTreeWidgetItem* cat = ChildNamed(root, m_preselection.category);
    if (!cat)
        return;
    if (m_preselection.kind == WizardPreselection::Kind::Category) {
        Reveal(cat, true);
        return;
    }
    Reveal(cat, false);
    if (QTreeWidgetItem* sub = ChildNamed(cat, m_preselection.subcategory))
        Reveal(sub, true);
}

void CAddSample1::OnSelChanged(QTreeWidgetItem* item) {
    m_strCategory.clear();
    m_strSubcategory.clear();
    if (item) {
        const int tag = item->data(0, kWizTagRole).toInt();
        if (tag == kWizTagCategory) {
            m_strCategory = ItemBytes(item);
        } else if (tag == kWizTagSubcategory) {
            m_strSubcategory = ItemBytes(item);
            if (const CCategory* category = m_doc.PeekCategory(ItemBytes(item->parent())))
                m_strCategory = category->GetName();
        }
    }
    ShowPlacement();
}

void CAddSample1::ShowPlacement() {
    m_categoryLabel->setText(ShownBytes(m_strCategory));
    m_categoryLabel->setProperty(kLabelBytes, ToBytes(m_strCategory));
    m_subcategoryLabel->setText(ShownBytes(m_strSubcategory));
    m_subcategoryLabel->setProperty(kLabelBytes, ToBytes(m_strSubcategory));
}

// ---------------------------------------------------------------------------------
// Page 2: keywords and comments

CAddSample2::CAddSample2() : CAddSamplePage(CAddSampleWizard::kCaptions[1]) {
    setObjectName(QStringLiteral("addSample2"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        PlainLabel("1.  Specify key words/phrases inthe box below (optional). Key words/phrases must be "
                   "separated by commas.",
                   this, true));
    m_keywordsEdit = new QLineEdit(this);
    m_keywordsEdit->setObjectName(QStringLiteral("wizKeywordsEdit"));
    layout->addWidget(m_keywordsEdit);
    layout->addSpacing(8);
    layout->addWidget(
        PlainLabel("2.  You may add comments (optional) for this sample, e.g. name of original source "
                   "file and/or project, original author, etc.",
                   this, true));
    m_commentsEdit = CodeEdit(this, "wizCommentsEdit");
    layout->addWidget(m_commentsEdit, 1);
}

void CAddSample2::DoDataExchange(bool save) {
    if (save) {
        m_strKeywords = TypedBytes(m_keywordsEdit->text(), m_shownKeywords);
        m_strComments = EncodeField(PlainTextOf(m_commentsEdit), m_commentsCodec);
    } else {
        m_shownKeywords = m_strKeywords;
        m_keywordsEdit->setText(ShownBytes(m_strKeywords));
        m_commentsEdit->setPlainText(DecodeField(m_strComments, m_commentsCodec));
    }
}

bool CAddSample2::validatePage() {
    DoDataExchange(true);
    if (!CheckField("keywords", m_strKeywords) || !CheckField("comments", m_strComments))
        return false;
    if (m_pSheet)
        m_pSheet->SetChunk(1, NotesChunkPieces(m_strKeywords, m_strComments));
    return true;
}

// ---------------------------------------------------------------------------------
// Page 3: the text

CAddSample3::CAddSample3(const CQuorrinDoc& doc, LanguageOfCategoryFn languageOf, bool& droppedTextPending,
                         std::string& droppedText)
    : CAddSamplePage(CAddSampleWizard::kCaptions[2]), m_doc(doc), m_languageOf(std::move(languageOf)) {
    setObjectName(QStringLiteral("addSample3"));
    if (droppedTextPending) {
        m_strSample = std::move(droppedText);
        droppedText.clear();
        droppedTextPending = false;
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PlainLabel("1. Enter the sample below.", this));
    m_textEdit = new CCodeEditor(this);
    m_textEdit->setObjectName(QStringLiteral("wizTextEdit"));
    layout->addWidget(m_textEdit, 1);
}

void CAddSample3::OnSetActive() {
    // The language before the text: the text is highlighted once, as it goes in.
    const std::string category = m_pSheet ? m_pSheet->ChosenCategory() : std::string();
    m_textEdit->SetLanguage(m_languageOf && !category.empty() ? m_languageOf(category) : SampleLanguage::Plain);
    m_textEdit->SetIndentFallback(CategoryIndentStyle(m_doc, category));
    CAddSamplePage::OnSetActive();
}

void CAddSample3::DoDataExchange(bool save) {
    if (save) {
        m_strSample = EncodeField(m_textEdit->PlainText(), m_textCodec);
        return;
    }
    // Shown again after Back and Next: the caret and the undo history stay.
    const QString text = DecodeField(m_strSample, m_textCodec);
    if (text != m_textEdit->PlainText())
        m_textEdit->SetPlainText(text);
}

bool CAddSample3::validatePage() {
    DoDataExchange(true);
    if (!CheckField("text", m_strSample))
        return false;
    if (m_pSheet)
        m_pSheet->SetChunk(2, SampleChunkPieces(m_strSample));
    return true;
}

// ---------------------------------------------------------------------------------
// Page 4: the summary

CAddSample4::CAddSample4() : CAddSamplePage(CAddSampleWizard::kCaptions[3]) {
    setObjectName(QStringLiteral("addSample4"));
    auto* layout = new QVBoxLayout(this);
    QLabel* heading = PlainLabel("CONFIRMATION", this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    layout->addSpacing(4);
    layout->addWidget(PlainLabel("A sample will be added with the following properties:", this));
    m_confirmEdit = CodeEdit(this, "wizConfirmEdit");
    m_confirmEdit->setReadOnly(true);
    layout->addWidget(m_confirmEdit, 1);
    layout->addWidget(PlainLabel(
        "Click the Finish button if these values are OK; otherwise, click the Cancel button.", this, true));
}

void CAddSample4::DoDataExchange(bool save) {
    // Read-only: nothing to take back.
    if (!save)
        m_confirmEdit->setPlainText(m_shownConfirmation);
}

void CAddSample4::OnSetActive() {
    if (m_pSheet) {
        m_strConfirmation = m_pSheet->Confirmation();
        m_shownConfirmation = m_pSheet->ShownConfirmation();
    }
    DoDataExchange(false);
}

// ---------------------------------------------------------------------------------
// The sheet

CAddSampleWizard::CAddSampleWizard(WizardCarryOver carry, QWidget* parent) : QWizard(parent), m_carry(carry) {
    setObjectName(QStringLiteral("addSampleWizard"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage, false);
    setOption(QWizard::HaveHelpButton, false);
    const int ch = fontMetrics().averageCharWidth();
    setMinimumSize(ch * 78, ch * 58);
    button(QWizard::BackButton)->setObjectName(QStringLiteral("backButton"));
    button(QWizard::NextButton)->setObjectName(QStringLiteral("nextButton"));
    button(QWizard::FinishButton)->setObjectName(QStringLiteral("finishButton"));
    button(QWizard::CancelButton)->setObjectName(QStringLiteral("cancelButton"));
    connect(this, &QWizard::currentIdChanged, this, &CAddSampleWizard::OnCurrentIdChanged);
}

void CAddSampleWizard::AddPages(CAddSample1* p1, CAddSample2* p2, CAddSample3* p3, CAddSample4* p4) {
    m_p1 = p1;
    m_p2 = p2;
    m_p3 = p3;
    m_p4 = p4;
    for (CAddSamplePage* page : std::initializer_list<CAddSamplePage*>{p1, p2, p3, p4}) {
        addPage(page);
        page->m_pSheet = this;
    }
}

void CAddSampleWizard::OnCurrentIdChanged(int id) {
    // The standard page change: the page left stores its controls, the page entered
    // shows its members. The buttons follow the page: Next on the first, Back and Next
    // in between, Back and Finish on the last.
    if (m_active)
        m_active->OnKillActive();
    m_active = qobject_cast<CAddSamplePage*>(page(id));
    if (!m_active)
        return;
    setWindowTitle(m_active->Caption());
    m_active->OnSetActive();
}

void CAddSampleWizard::SetChunk(int index, const ChunkPieces& pieces) {
    m_carry.confirmChunks[index] = JoinPieces(pieces);
    QString shown;
    for (const std::string& piece : pieces) {
        FieldCodec codec;
        shown += DecodeField(piece, codec);
    }
    m_shownChunks[index] = shown;
}

std::string CAddSampleWizard::ChosenCategory() const { return m_p1 ? m_p1->m_strCategory : std::string(); }

std::string CAddSampleWizard::Confirmation() const {
    return m_carry.confirmChunks[0] + m_carry.confirmChunks[1] + m_carry.confirmChunks[2];
}

QString CAddSampleWizard::ShownConfirmation() const {
    return m_shownChunks[0] + m_shownChunks[1] + m_shownChunks[2];
}

std::unique_ptr<CSample> CAddSampleWizard::BuildSample() const {
    auto sample = std::make_unique<CSample>();
    sample->SetTitle(m_p1->m_strTitle);
    sample->SetCategory(m_p1->m_strCategory);
    sample->SetSubcategory(m_p1->m_strSubcategory);
    sample->SetKeywords(m_p2->m_strKeywords);
    sample->SetComments(m_p2->m_strComments);
    sample->SetText(m_p3->m_strSample);
    return sample;
}

std::unique_ptr<CSample> RunAddSampleWizard(CQuorrinDoc& doc, const WizardPreselection& preselection,
                                            WizardCarryOver carry, QWidget* parent,
                                            LanguageOfCategoryFn languageOf) {
    auto* p1 = new CAddSample1(doc, preselection);
    auto* p2 = new CAddSample2();
    auto* p3 = new CAddSample3(doc, std::move(languageOf), carry.droppedTextPending, carry.droppedText);
    auto* p4 = new CAddSample4();
    CAddSampleWizard sheet(carry, parent);
    sheet.AddPages(p1, p2, p3, p4);
    if (sheet.exec() != QDialog::Accepted)
        return nullptr;
    std::unique_ptr<CSample> sample = sheet.BuildSample();
    // Every field was checked on its page; this only guards the category file.
    const std::string why = CheckSampleContent(*sample);
    if (!why.empty()) {
        ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
        return nullptr;
    }
    return sample;
}
