#include "browser/QuorrinView.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "browser/ClipboardAndDrop.h"
#include "browser/SampleForm.h"
#include "browser/SampleTree.h"
#include "browser/TrashCommands.h"
#include "browser/TreeEditCommands.h"
#include "browser/TreeFilter.h"
#include "browser/ViewCommands.h"
#include "ui/CodeEditor.h"
#include "ui/TextCodec.h"

CQuorrinView::CQuorrinView(CQuorrinDoc& doc, CLibraryConfig& config, IViewHost& host, QWidget* parent)
    : QWidget(parent), m_context{&doc, config, host, this} {
    setObjectName(QStringLiteral("quorrinView"));
    m_tree = new CSampleTree(m_context, this);
    m_form = new CSampleForm(m_context, *m_tree, this);
    m_trash = new CTrashCommands(m_context, *m_tree, *m_form, this);
    m_edits = new CTreeEditCommands(m_context, *m_tree, *m_form, *m_trash, this);
    m_clipboard = new CClipboardAndDrop(m_context, *m_tree, *m_form, *m_edits, this);
    m_commands = new CViewCommands(m_context, *m_tree, *m_form, this);
    m_filter = new CTreeFilter(m_context, *m_tree, this);
    BuildLayout();

    // The tree's selection changes are the form's; moving a sample to a category that
    // lacks its sub-category can create it; the form's button is the Change title command.
    m_tree->SetSelectionHandler(m_form);
    m_form->SetSubcategoryCreator([this](QTreeWidgetItem* categoryItem, const std::string& name) {
        return m_edits->AddNewSubcategory(categoryItem, name);
    });
    connect(m_form, &CSampleForm::ChangeTitleRequested, m_edits, &CTreeEditCommands::OnChangeTitle);
    connect(m_tree, &CSampleTree::StateChanged, this, &CQuorrinView::CommandStateChanged);
    connect(m_form, &CSampleForm::StateChanged, this, &CQuorrinView::CommandStateChanged);
    connect(m_edits, &CTreeEditCommands::StateChanged, this, &CQuorrinView::CommandStateChanged);
    connect(m_trash, &CTrashCommands::StateChanged, this, &CQuorrinView::CommandStateChanged);
    connect(m_trash, &CTrashCommands::StatusText, this, &CQuorrinView::StatusText);
    connect(m_clipboard, &CClipboardAndDrop::StateChanged, this, &CQuorrinView::CommandStateChanged);
    connect(m_clipboard, &CClipboardAndDrop::StatusText, this, &CQuorrinView::StatusText);
    connect(m_commands, &CViewCommands::StateChanged, this, &CQuorrinView::CommandStateChanged);
    // The instant find commits unsaved edits before the tree changes; a sample picked
    // from its results is ready to read and copy in the editor.
    m_filter->SetBeforeChange([this] {
        if (m_context.doc)
            m_form->CommitEdits();
    });
    // With In text, the words are marked in its text and the caret is on the first.
    connect(m_filter, &CTreeFilter::SampleChosen, this, [this] {
        if (m_filter->IncludesText())
            m_form->TextEdit()->MarkWords(m_filter->Words());
        m_form->TextEdit()->setFocus(Qt::OtherFocusReason);
    });
    // The whole tree back with the root selected: the form no longer shows the last
    // sample found.
    connect(m_tree, &CSampleTree::FilterEnded, this, [this] {
        if (m_context.doc && m_tree->SelectedTag() == kTagRoot)
            m_form->ShowNoSample();
    });
    doc.SetView(this);
}

CQuorrinView::~CQuorrinView() {
    DetachDocument();
    // The rooms go while what they share is still here.
    delete m_commands;
    delete m_clipboard;
    delete m_edits;
    delete m_trash;
    delete m_form;
    delete m_vsplit;
}

void CQuorrinView::BuildLayout() {
    // The instant find above the tree.
    auto* treePane = new QWidget(this);
    auto* treeColumn = new QVBoxLayout(treePane);
    treeColumn->setContentsMargins(0, 0, 0, 0);
    treeColumn->setSpacing(4);
    treeColumn->addWidget(m_filter->Panel());
    treeColumn->addWidget(m_tree, 1);

    auto* beside = new QSplitter(Qt::Horizontal, this);
    m_hsplit = beside;
    beside->setObjectName(QStringLiteral("treeSplitter"));
    beside->addWidget(treePane);
    // The notice of changes other programs made, above the form.
    auto* formPane = new QWidget(this);
    auto* formColumn = new QVBoxLayout(formPane);
    formColumn->setContentsMargins(0, 0, 0, 0);
    formColumn->setSpacing(4);
    formColumn->addWidget(BuildOutsideChangeBar());
    formColumn->addWidget(m_form->FieldsPanel(), 1);
    beside->addWidget(formPane);
    beside->setStretchFactor(0, 1);
    beside->setStretchFactor(1, 2);
    beside->setChildrenCollapsible(false);
    beside->setSizes({320, 640});

    m_vsplit = new QSplitter(Qt::Vertical, this);
    m_vsplit->setObjectName(QStringLiteral("textSplitter"));
    m_vsplit->addWidget(beside);
    m_vsplit->addWidget(m_form->TextEdit());
    m_vsplit->setStretchFactor(0, 1);
    m_vsplit->setStretchFactor(1, 1);
    m_vsplit->setChildrenCollapsible(false);
    m_vsplit->setSizes({330, 300});

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    outer->addWidget(m_vsplit);
    // Tab goes as the eye does: the find field, In text, the tree, the form, the text.
    QWidget::setTabOrder(m_filter->Field(), m_filter->InTextBox());
    QWidget::setTabOrder(m_filter->InTextBox(), m_tree);
    m_form->ChainTabOrder(m_tree);
}

QWidget* CQuorrinView::BuildOutsideChangeBar() {
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("outsideChangeBar"));
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setAutoFillBackground(true);
    bar->setBackgroundRole(QPalette::ToolTipBase);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 2, 2, 2);
    m_outsideText = new QLabel(bar);
    m_outsideText->setObjectName(QStringLiteral("outsideChangeText"));
    m_outsideText->setForegroundRole(QPalette::ToolTipText);
    m_outsideText->setWordWrap(true);
    m_outsideText->setTextFormat(Qt::PlainText);
    auto* close = new QToolButton(bar);
    close->setObjectName(QStringLiteral("outsideChangeClose"));
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setToolTip(QStringLiteral("Close"));
    close->setAutoRaise(true);
    row->addWidget(m_outsideText, 1);
    row->addWidget(close, 0, Qt::AlignTop);
    connect(close, &QToolButton::clicked, this, [this] {
        m_outsideBar->hide();
        m_outsideCategories.clear();
        m_outsideDetails.clear();
    });
    bar->hide();
    m_outsideBar = bar;
    return bar;
}

void CQuorrinView::OnInitialUpdate() {
    m_clipboard->RegisterDropTarget();
    m_tree->RebuildTree(std::string());
    // The tree has the focus at the start (Ctrl+K goes to the instant find).
    m_tree->setFocus(Qt::OtherFocusReason);
}

void CQuorrinView::DetachDocument() {
    if (m_context.doc)
        m_context.doc->SetView(nullptr);
    if (m_loadingDoc)
        m_loadingDoc->SetView(nullptr);
    m_context.doc = nullptr;
    m_loadingDoc = nullptr;
}

bool CQuorrinView::CloseRefused() const { return m_form->CloseRefused(); }
void CQuorrinView::CloseCancelled() { m_form->CloseCancelled(); }

void CQuorrinView::SetLoading(bool loading) {
    if (loading && m_context.doc) {
        m_loadingDoc = m_context.doc;
        m_context.doc = nullptr;
    } else if (!loading && m_loadingDoc) {
        m_context.doc = m_loadingDoc;
        m_loadingDoc = nullptr;
    }
}

void CQuorrinView::SetReadOnly(bool readOnly) {
    m_context.readOnly = readOnly;
    m_form->EnableSampleFields(false);
}
int CQuorrinView::SelectedTag() const { return m_tree->SelectedTag(); }
bool CQuorrinView::IsRootExpanded() const { return m_tree->IsRootExpanded(); }
bool CQuorrinView::CanCut() const { return m_clipboard->CanCut(); }
bool CQuorrinView::CanCopy() const { return m_clipboard->CanCopy(); }
bool CQuorrinView::CanPaste() const { return m_clipboard->CanPaste(); }
void CQuorrinView::EnableChangeTitle(bool enable) { m_form->EnableChangeTitle(enable); }

bool CQuorrinView::OnFileSave() { return m_commands->OnFileSave(); }
void CQuorrinView::OnFilePrint() { m_commands->OnFilePrint(); }
void CQuorrinView::OnFilePrintPreview() { m_commands->OnFilePrintPreview(); }
void CQuorrinView::OnEditCut() { m_clipboard->OnEditCut(); }
void CQuorrinView::OnEditCopy() { m_clipboard->OnEditCopy(); }
void CQuorrinView::OnEditPaste() { m_clipboard->OnEditPaste(); }
void CQuorrinView::OnCopySampleToClipboard() { m_clipboard->OnCopySampleToClipboard(); }
void CQuorrinView::OnExpandAll() { m_tree->ExpandAll(); }
void CQuorrinView::OnSearch() { m_commands->OnSearch(); }
void CQuorrinView::OnInsert() { m_edits->OnInsert(); }
void CQuorrinView::OnDelete() { m_edits->OnDelete(); }
bool CQuorrinView::CanUndoDelete() const { return m_trash->CanUndoDelete(); }
void CQuorrinView::OnUndoDelete() { m_trash->OnUndoDelete(); }
void CQuorrinView::OnTrash() { m_trash->OnTrash(); }
void CQuorrinView::OnChangeTitle() { m_edits->OnChangeTitle(); }
void CQuorrinView::OnRestoreDefaults() { m_edits->OnRestoreDefaults(); }
void CQuorrinView::OnOptions() { m_commands->OnOptions(); }
void CQuorrinView::OnLibraryHelp() { m_commands->OnLibraryHelp(); }
void CQuorrinView::OnLibraryInfo() { m_commands->OnLibraryInfo(); }
void CQuorrinView::OnImport() { m_commands->OnImport(); }
void CQuorrinView::OnExport() { m_commands->OnExport(); }
void CQuorrinView::OnFindSamples() { m_filter->Focus(); }

namespace {

// The library's title asked for: the bytes as given, else the text given in UTF-8 as a
// Windows-1252 title shows it.
std::string LibraryTitle(const CQuorrinDoc& doc, const std::string& title) {
    if (doc.PeekSample(title))
        return title;
    bool ok = false;
    const QString text = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    std::string other = EncodeString(text, TextEncoding::Windows1252, &ok);
    return ok && doc.PeekSample(other) ? other : std::string();
}

} // namespace

bool CQuorrinView::HasSampleTitled(const std::string& title) const {
    return m_context.doc && !LibraryTitle(*m_context.doc, title).empty();
}

bool CQuorrinView::ShowSampleTitled(const std::string& title) {
    if (!m_context.doc)
        return false;
    const std::string found = LibraryTitle(*m_context.doc, title);
    if (found.empty() || !m_tree->SelectSampleItem(found))
        return false;
    m_form->TextEdit()->setFocus(Qt::OtherFocusReason);
    return true;
}

CQuorrinView::Layout CQuorrinView::CurrentLayout() const {
    Layout layout;
    layout.treeSplit = m_hsplit->sizes();
    layout.textSplit = m_vsplit->sizes();
    layout.zoom = m_form->TextEdit()->ZoomLevel();
    layout.whitespace = m_form->TextEdit()->IsWhitespaceShown();
    layout.findInText = m_filter->IncludesText();
    return layout;
}

void CQuorrinView::ApplyLayout(const Layout& layout) {
    if (layout.treeSplit.size() == 2)
        m_hsplit->setSizes(layout.treeSplit);
    if (layout.textSplit.size() == 2)
        m_vsplit->setSizes(layout.textSplit);
    m_form->TextEdit()->SetZoomLevel(layout.zoom);
    m_form->TextEdit()->SetWhitespaceShown(layout.whitespace);
    m_filter->SetIncludesText(layout.findInText);
}

void CQuorrinView::SetWhitespaceShown(bool shown) { m_form->TextEdit()->SetWhitespaceShown(shown); }

void CQuorrinView::OnCollapseAll() {
    // Unsaved edits are committed first, without asking.
    if (!m_context.doc || !m_form->CommitEdits())
        return;
    m_tree->CollapseAll();
    m_form->ShowNoSample();
    emit CommandStateChanged();
}

void CQuorrinView::OnDocumentClosing() { m_form->OnDocumentClosing(); }
void CQuorrinView::OnDocumentSaved() { m_form->OnDocumentSaved(); }

void CQuorrinView::OnStagedSampleAdded() {
    if (m_context.doc)
        m_tree->RebuildTree(m_context.doc->LoadErrors().Staged().GetTitle());
}

void CQuorrinView::OnLoadErrorsEmptied() { m_tree->ShowNoLoadErrors(); }

void CQuorrinView::OnLibraryChangedOutside() { ShowOutsideChanges({}); }

void CQuorrinView::OnCategoriesChangedOutside(const std::vector<OutsideChange>& changes) {
    ShowOutsideChanges(changes);
}

void CQuorrinView::ShowOutsideChanges(const std::vector<OutsideChange>& changes) {
    // The same sample stays selected when it is still there, shown as it is now; what the
    // user has typed into it and not yet committed stays in the form.
    const std::string selected = m_tree->SelectedTag() == kTagSample ? m_form->FormTitle() : std::string();
    m_form->RebuildKeepingEdits([&] { m_tree->RebuildTree(selected); });
    emit CommandStateChanged();

    for (const OutsideChange& change : changes) {
        m_outsideCategories.insert(change.category);
        if (!change.text.empty())
            m_outsideDetails.append(DecodeName(change.text));
    }
    QString text;
    if (m_outsideCategories.empty()) {
        text = QStringLiteral("Another program changed the library's files; the changes have been read in.");
    } else {
        QStringList names;
        for (const std::string& name : m_outsideCategories)
            names.append(QLatin1Char('"') + DecodeName(name) + QLatin1Char('"'));
        text = QStringLiteral("Another program changed the files of %1 %2; the changes have been read in.")
                   .arg(names.size() == 1 ? QStringLiteral("category") : QStringLiteral("categories"),
                        names.join(QStringLiteral(", ")));
    }
    m_outsideText->setText(text);
    // What each file brought, in full, for whoever wants to know.
    m_outsideText->setToolTip(m_outsideDetails.join(QStringLiteral("\n\n")));
    m_outsideBar->show();
    emit ChangedOutsideNoticed(text);
}
