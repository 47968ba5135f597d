#include "browser/SampleForm.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <vector>

#include "base/Messenger.h"
#include "browser/LanguageChoice.h"
#include "browser/ViewContext.h"
#include "config/LibraryConfig.h"
#include "library/ContentCheck.h"
#include "library/QuorrinDoc.h"
#include "ui/ByteEntries.h"
#include "ui/CodeEditor.h"

const char* const kNoSampleSelected = " (no sample selected) ";

namespace {

QString PlainTextOf(const QPlainTextEdit* edit) {
    // The raw text keeps no-break spaces and separates blocks with U+2029, which the
    // codec turns into line ends.
    return edit->document()->toRawText();
}

} // namespace

CSampleForm::CSampleForm(ViewContext& context, CSampleTree& tree, QWidget* view)
    : QObject(view), m_context(context), m_tree(tree) {
    setObjectName(QStringLiteral("sampleForm"));
    BuildFields(view);
}

void CSampleForm::BuildFields(QWidget* view) {
    m_fields = new QWidget(view);
    auto* grid = new QGridLayout(m_fields);
    grid->setContentsMargins(6, 0, 0, 0);
    auto label = [this](const char* text, bool right) {
        auto* l = new QLabel(QString::fromLatin1(text), m_fields);
        l->setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        return l;
    };

    m_titleEdit = new QLineEdit(m_fields);
    m_titleEdit->setObjectName(QStringLiteral("titleEdit"));
    m_titleEdit->setReadOnly(true);
    m_changeTitleButton = new QPushButton(QStringLiteral("Change title..."), m_fields);
    m_changeTitleButton->setObjectName(QStringLiteral("changeTitleButton"));
    m_changeTitleButton->setEnabled(false);
    m_categoryCombo = new QComboBox(m_fields);
    m_categoryCombo->setObjectName(QStringLiteral("categoryCombo"));
    m_categoryCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_categoryCombo->setMinimumContentsLength(8);
    m_subcategoryCombo = new QComboBox(m_fields);
    m_subcategoryCombo->setObjectName(QStringLiteral("subcategoryCombo"));
    m_subcategoryCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_subcategoryCombo->setMinimumContentsLength(8);
    m_keywordsEdit = new QLineEdit(m_fields);
    m_keywordsEdit->setObjectName(QStringLiteral("keywordsEdit"));

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_commentsEdit = new QPlainTextEdit(m_fields);
    m_commentsEdit->setObjectName(QStringLiteral("commentsEdit"));
    m_commentsEdit->setFont(fixed);
    m_commentsEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_commentsEdit->setTabChangesFocus(true);
    m_textEdit = new CCodeEditor(view);
    m_textEdit->setObjectName(QStringLiteral("textEdit"));
    m_language = new CLanguageChoice(m_context, m_fields);

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
    grid->addWidget(m_language->Label(), 3, 2);
    grid->addWidget(m_language->Combo(), 3, 3, 1, 2);
    grid->addWidget(m_commentsEdit, 4, 0, 1, 5);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(4, 1);

    connect(m_keywordsEdit, &QLineEdit::textChanged, this, &CSampleForm::OnFieldEdited);
    connect(m_commentsEdit, &QPlainTextEdit::textChanged, this, &CSampleForm::OnFieldEdited);
    connect(m_textEdit, &CCodeEditor::TextEdited, this, &CSampleForm::OnTextEdited);
    connect(m_language, &CLanguageChoice::LanguageChosen, this, &CSampleForm::RefreshLanguage);
    connect(m_changeTitleButton, &QPushButton::clicked, this, &CSampleForm::ChangeTitleRequested);
    connect(m_categoryCombo, &QComboBox::activated, this, &CSampleForm::OnCategoryActivated);
    connect(m_subcategoryCombo, &QComboBox::activated, this, &CSampleForm::OnSubcategoryActivated);
    // Selection changes in the edits and the clipboard decide Cut, Copy and Paste.
    connect(m_titleEdit, &QLineEdit::selectionChanged, this, &CSampleForm::StateChanged);
    connect(m_keywordsEdit, &QLineEdit::selectionChanged, this, &CSampleForm::StateChanged);
    connect(m_commentsEdit, &QPlainTextEdit::selectionChanged, this, &CSampleForm::StateChanged);
    connect(m_textEdit, &QsciScintilla::selectionChanged, this, &CSampleForm::StateChanged);

    EnableSampleFields(false);
    m_categoryCombo->setEnabled(false);
    m_subcategoryCombo->setEnabled(false);
}

std::vector<QWidget*> CSampleForm::EditFields() const { return {m_keywordsEdit, m_commentsEdit, m_textEdit}; }

void CSampleForm::ChainTabOrder(QWidget* first) {
    QWidget::setTabOrder(first, m_titleEdit);
    QWidget::setTabOrder(m_titleEdit, m_changeTitleButton);
    QWidget::setTabOrder(m_changeTitleButton, m_categoryCombo);
    QWidget::setTabOrder(m_categoryCombo, m_subcategoryCombo);
    QWidget::setTabOrder(m_subcategoryCombo, m_keywordsEdit);
    QWidget::setTabOrder(m_keywordsEdit, m_language->Combo());
    QWidget::setTabOrder(m_language->Combo(), m_commentsEdit);
    QWidget::setTabOrder(m_commentsEdit, m_textEdit);
}

// ---------------------------------------------------------------------------------
// Selection

bool CSampleForm::OnSelChanging(QTreeWidgetItem*) {
    if (!m_formModified)
        return true;
    bool save = m_context.config.m_bAutoSaveOnSwitch;
    if (!save)
        save = ShowMessage("The current sample has been changed.\nSave changes?", MsgButtons::YesNo,
                           MsgIcon::Question) == MsgAnswer::Yes;
    if (save) {
        if (!CaptureFormChecked())
            return false;
        PostCommitPending();
    } else {
        // Dropped for good: nothing may commit these edits later.
        m_context.doc->PendingSample().Reset();
    }
    // Posted or dropped: the form's edits are dealt with.
    m_formModified = false;
    return true;
}

void CSampleForm::OnSelChanged(QTreeWidgetItem* current) {
    // The tree rebuilt under unsaved edits selects their sample again: they stay in the
    // fields as typed; only the drop-down lists are filled from the library as it is now.
    if (m_keepEdits && CSampleTree::ItemTag(current) == kTagSample && CSampleTree::ItemName(current) == m_formTitle &&
        m_context.doc->PeekSample(m_formTitle)) {
        FillCategoryList();
        return;
    }
    // The selection moved without leaving the sample first (the tree was rebuilt): its
    // edits stay pending, the text with them, for the next commit or save.
    if (m_formModified && m_context.doc)
        CaptureForm();
    const int tag = CSampleTree::ItemTag(current);
    if (tag == kTagCategory || tag == kTagSubcategory) {
        ClearFormStrings();
        EnableChangeTitle(false);
        EnableSampleFields(false);
    } else if (tag == kTagSample) {
        const CSample* sample = m_context.doc->PeekSample(CSampleTree::ItemName(current));
        if (!sample) {
            ShowMessage("Internal Error! Could not locate sample data.", MsgButtons::Ok, MsgIcon::Exclamation);
        } else {
            ShowSample(*sample);
            m_context.doc->DisplayedSample() = *sample;
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

void CSampleForm::EnableSampleFields(bool enable) {
    m_keywordsEdit->setEnabled(enable);
    m_commentsEdit->setEnabled(enable);
    m_textEdit->setEnabled(enable);
    // A library opened read-only is shown and copied from, never changed.
    m_keywordsEdit->setReadOnly(m_context.readOnly);
    m_commentsEdit->setReadOnly(m_context.readOnly);
    m_textEdit->setReadOnly(m_context.readOnly);
}

void CSampleForm::EnableChangeTitle(bool enable) { m_changeTitleButton->setEnabled(enable); }

void CSampleForm::ClearFormStrings() {
    m_loadingForm = true;
    m_formTitle.clear();
    m_titleCodec = m_keywordsCodec = m_commentsCodec = m_textCodec = FieldCodec();
    m_titleEdit->clear();
    m_titleEdit->setToolTip(QString());
    m_keywordsEdit->clear();
    m_commentsEdit->clear();
    m_textBytes.clear();
    m_textEdit->SetPlainText(QString());
    m_language->ShowCategory(std::string());
    m_loadingForm = false;
}

void CSampleForm::ShowSample(const CSample& sample) {
    m_loadingForm = true;
    m_formTitle = sample.GetTitle();
    m_titleEdit->setText(DecodeField(sample.GetTitle(), m_titleCodec));
    m_titleEdit->setCursorPosition(0);
    // The whole of a title too long for the field.
    m_titleEdit->setToolTip(m_titleEdit->text());
    m_keywordsEdit->setText(DecodeField(sample.GetKeywords(), m_keywordsCodec));
    m_keywordsEdit->setCursorPosition(0);
    m_commentsEdit->setPlainText(DecodeField(sample.GetComments(), m_commentsCodec));
    // The language first: a text is highlighted once, as it goes in.
    m_language->ShowCategory(sample.GetCategory());
    m_textEdit->SetLanguage(m_language->Current());
    m_textBytes = sample.GetText();
    m_textEdit->SetPlainText(DecodeField(m_textBytes, m_textCodec));
    // A text not indented yet is indented as most of its category's samples are.
    if (!m_textEdit->HasOwnIndentStyle() && m_context.doc)
        m_textEdit->SetIndentFallback(CategoryIndentStyle(*m_context.doc, sample.GetCategory()));
    m_loadingForm = false;
}

void CSampleForm::RefreshLanguage() { m_textEdit->SetLanguage(m_language->Current()); }

std::string CSampleForm::FormKeywords() { return EncodeField(m_keywordsEdit->text(), m_keywordsCodec); }
std::string CSampleForm::FormComments() { return EncodeField(PlainTextOf(m_commentsEdit), m_commentsCodec); }
std::string CSampleForm::FormText() {
    // Unedited, the text is the bytes it was shown from.
    if (!m_textEdit->IsTextModified())
        return m_textBytes;
    return EncodeField(m_textEdit->PlainText(), m_textCodec);
}

void CSampleForm::CaptureFieldsInto(CSample& sample) {
    sample.Reset();
    sample.SetTitle(m_formTitle);
    sample.SetCategory(CurrentEntryBytes(m_categoryCombo));
    std::string sub = CurrentEntryBytes(m_subcategoryCombo);
    if (sub == kNoneAssigned)
        sub.clear();
    sample.SetSubcategory(sub);
    sample.SetKeywords(FormKeywords());
    sample.SetComments(FormComments());
}

void CSampleForm::CaptureFormInto(CSample& sample) {
    CaptureFieldsInto(sample);
    sample.SetText(FormText());
}

void CSampleForm::CaptureForm() { CaptureFormInto(m_context.doc->PendingSample()); }

void CSampleForm::CaptureFormButText() {
    CSample& pending = m_context.doc->PendingSample();
    CSample fields;
    CaptureFieldsInto(fields);
    if (!pending.GetTitle().empty() && pending.GetTitle() == m_formTitle) {
        fields.SetText(pending.GetText());
    } else {
        const CSample* stored = m_context.doc->PeekSample(m_formTitle);
        fields.SetText(stored ? stored->GetText() : m_textBytes);
    }
    pending = fields;
}

bool CSampleForm::CaptureFormChecked() {
    CaptureForm();
    const std::string why = CheckSampleContent(m_context.doc->PendingSample());
    if (why.empty())
        return true;
    ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

void CSampleForm::SetFormModified(bool modified) {
    m_formModified = modified;
    if (modified && m_context.doc) {
        CaptureFormButText();
        if (const CSample* stored = m_context.doc->PeekSample(m_formTitle))
            m_context.doc->MarkCategoryChanged(stored->GetCategory());
    }
    emit StateChanged();
}

void CSampleForm::OnFieldEdited() {
    if (m_loadingForm || !m_context.doc)
        return;
    SetFormModified(true);
}

void CSampleForm::OnTextEdited() {
    // Only marked: the text is taken from the editor when it is needed.
    if (m_loadingForm || !m_context.doc || m_formModified)
        return;
    SetFormModified(true);
}

void CSampleForm::FillCategoryList() {
    m_categoryCombo->clear();
    QTreeWidgetItem* sel = m_tree.SelectedItem();
    if (!m_context.doc || CSampleTree::ItemTag(sel) != kTagSample) {
        m_categoryCombo->addItem(QString::fromLatin1(kNoSampleSelected), QByteArray(kNoSampleSelected));
        m_categoryCombo->setCurrentIndex(0);
        m_categoryCombo->setEnabled(false);
        m_prevCategory = kNoSampleSelected;
        FillSubcategoryList();
        return;
    }
    m_categoryCombo->setEnabled(!m_context.readOnly);
    // Only places the tree shows: a sample moved anywhere else would have no place.
    std::vector<std::string> names;
    names.reserve(m_context.doc->Categories().size());
    for (const auto& [key, category] : m_context.doc->Categories())
        if (category->IsDisplayed())
            names.push_back(category->GetName());
    AddSortedEntries(m_categoryCombo, std::move(names));

    const CSample* sample = m_context.doc->PeekSample(CSampleTree::ItemName(sel));
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

void CSampleForm::FillSubcategoryList() {
    m_subcategoryCombo->clear();
    QTreeWidgetItem* sel = m_tree.SelectedItem();
    if (!m_context.doc || CSampleTree::ItemTag(sel) != kTagSample) {
        m_subcategoryCombo->addItem(QString::fromLatin1(kNoSampleSelected), QByteArray(kNoSampleSelected));
        m_subcategoryCombo->setCurrentIndex(0);
        m_subcategoryCombo->setEnabled(false);
        return;
    }
    m_subcategoryCombo->setEnabled(!m_context.readOnly);
    std::vector<std::string> names{kNoneAssigned};
    if (const CCategory* category = m_context.doc->PeekCategory(CurrentEntryBytes(m_categoryCombo))) {
        for (int i = 0; i < kSlotCount; ++i)
            if (!category->Slot(i).name.empty() && category->Slot(i).inUse)
                names.push_back(category->Slot(i).name);
    }
    AddSortedEntries(m_subcategoryCombo, std::move(names));

    const CSample* sample = m_context.doc->PeekSample(CSampleTree::ItemName(sel));
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

void CSampleForm::OnCategoryActivated(int) {
    if (!m_context.doc || CSampleTree::ItemTag(m_tree.SelectedItem()) != kTagSample)
        return;
    const std::string category = CurrentEntryBytes(m_categoryCombo);
    const std::string sub = CurrentEntryBytes(m_subcategoryCombo);
    const CCategory* record = m_context.doc->PeekCategory(category);
    auto commit = [&] {
        SetFormModified(true);
        CaptureForm();
        const std::string why = CheckSampleContent(m_context.doc->PendingSample());
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
    QTreeWidgetItem* categoryItem = m_tree.CategoryItem(category);
    if (!categoryItem) {
        ShowMessage(StrFormat("Could not locate category \"%s\" in the tree.\n", category.c_str()) +
                    "Unable to insert new sub-category.");
        SelectEntryBytes(m_categoryCombo, m_prevCategory);
        return;
    }
    // The sample moves to the sub-category made, under the name the user gave it; when
    // none was made, it stays where it is.
    const std::string created = m_createSubcategory ? m_createSubcategory(categoryItem, sub) : std::string();
    if (created.empty()) {
        SelectEntryBytes(m_categoryCombo, m_prevCategory);
        FillSubcategoryList();
        return;
    }
    FillSubcategoryList();
    SelectEntryBytes(m_subcategoryCombo, created);
    commit();
}

void CSampleForm::OnSubcategoryActivated(int) {
    if (!m_context.doc || CSampleTree::ItemTag(m_tree.SelectedItem()) != kTagSample)
        return;
    SetFormModified(true);
    CaptureForm();
    const std::string why = CheckSampleContent(m_context.doc->PendingSample());
    if (!why.empty()) {
        ShowMessage(why, MsgButtons::Ok, MsgIcon::Exclamation);
        const std::string& sub = m_context.doc->DisplayedSample().GetSubcategory();
        SelectEntryBytes(m_subcategoryCombo, sub.empty() ? std::string(kNoneAssigned) : sub);
        CaptureForm();
        return;
    }
    PostCommitPending();
}

void CSampleForm::PostCommitPending() {
    // The commit runs after the current notification. Should the user already have
    // edited another sample by then, that sample's pending edits are kept aside while
    // the posted ones are committed.
    QMetaObject::invokeMethod(
        this,
        [this, posted = m_context.doc->PendingSample()] {
            if (!m_context.doc)
                return;
            const CSample current = m_context.doc->PendingSample();
            const bool newer = m_formModified && !current.GetTitle().empty() &&
                               current.GetTitle() != posted.GetTitle();
            m_context.doc->PendingSample() = posted;
            OnCommitPending();
            if (newer && m_context.doc && m_formTitle == current.GetTitle()) {
                m_context.doc->PendingSample() = current;
                m_formModified = true;
                if (const CSample* stored = m_context.doc->PeekSample(current.GetTitle()))
                    m_context.doc->MarkCategoryChanged(stored->GetCategory());
                emit StateChanged();
            }
        },
        Qt::QueuedConnection);
}

void CSampleForm::OnCommitPending() {
    if (!m_context.doc)
        return;
    CSample& pending = m_context.doc->PendingSample();
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
    m_context.doc->CommitPendingEdit();
    m_context.doc->PendingSample().Reset();
    // Committed: the rebuild below must not take the form's edits again.
    m_formModified = false;
    if (!m_closing && m_context.doc->PlacementChanged()) {
        if (m_formTitle == title)
            m_tree.RebuildTree(title);
        m_context.doc->SetPlacementChanged(false);
    }
    m_context.doc->OnSaveDocument();
    SetFormModified(false);
}

void CSampleForm::ShowNoSample() {
    ClearFormStrings();
    FillCategoryList();
    EnableChangeTitle(false);
    EnableSampleFields(false);
}

bool CSampleForm::CommitEdits() {
    if (!m_formModified)
        return true;
    if (!CaptureFormChecked())
        return false;
    OnCommitPending();
    return true;
}

void CSampleForm::ShowReplacedText(const std::string& text) {
    // Its modified flag stays as it was, because the text goes into the library directly.
    m_loadingForm = true;
    m_textBytes = text;
    m_textEdit->SetPlainText(DecodeField(m_textBytes, m_textCodec));
    m_loadingForm = false;
    // Unsaved edits of the other fields stay pending, now with the new text.
    if (m_formModified)
        CaptureForm();
}

void CSampleForm::RebuildKeepingEdits(const std::function<void()>& rebuild) {
    m_keepEdits = m_formModified && m_context.doc && !m_formTitle.empty();
    rebuild();
    m_keepEdits = false;
}

// ---------------------------------------------------------------------------------
// Document notifications

void CSampleForm::OnDocumentClosing() {
    m_closing = true;
    m_closeRefused = false;
    if (!m_context.doc || !m_formModified)
        return;
    const MsgAnswer answer = ShowMessage(std::string("Some sample data has not been saved.\n") +
                                             "Do you wish to save it?",
                                         MsgButtons::YesNo, MsgIcon::Question);
    if (answer == MsgAnswer::No) {
        // The final save commits the pending sample: drop the edits there too.
        m_context.doc->PendingSample().Reset();
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

void CSampleForm::OnDocumentSaved() {
    // The save has committed the pending sample; it must not be committed again later.
    if (m_context.doc)
        m_context.doc->PendingSample().Reset();
    SetFormModified(false);
}
