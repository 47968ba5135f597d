// CSampleForm: the right half of the view and the text across the bottom. It shows the
// sample selected in the tree: its title (read-only; the Change title button changes
// it), its category and sub-category in two drop-down lists (choosing another moves the
// sample), its keywords, comments and text; the text in the code editor, highlighted in
// the language of the sample's category. Edits are copied into the document's pending
// sample as they happen and committed later, by a posted call, when the user leaves the
// sample, moves it, collapses the tree, saves or closes; every commit saves. The text is
// the exception: it can be megabytes, so an edit of it only marks the form modified,
// and it is taken from the editor when it is needed (every commit, save, print, close
// and replacing drop captures the whole form first). Until then the pending sample
// holds the text as the library has it, never a stale edit.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "browser/SampleTree.h"
#include "ui/TextCodec.h"

class CSample;
class CSampleTree;
class QComboBox;
class QLineEdit;
class CCodeEditor;
class CLanguageChoice;
class QPlainTextEdit;
class QPushButton;
class QWidget;
struct ViewContext;

extern const char* const kNoSampleSelected; // " (no sample selected) "

class CSampleForm : public QObject, public ITreeSelection {
    Q_OBJECT
public:
    // The widgets are made as children of view; the view lays them out.
    CSampleForm(ViewContext& context, CSampleTree& tree, QWidget* view);

    // The fields beside the tree and the text edit below both.
    QWidget* FieldsPanel() const { return m_fields; }
    CCodeEditor* TextEdit() const { return m_textEdit; }
    // The keywords, comments and text edits: where the user types.
    std::vector<QWidget*> EditFields() const;
    // The tab order from first (the tree) through the form.
    void ChainTabOrder(QWidget* first);

    // A sub-category the user asks for when moving a sample to a category without it:
    // adds it below that category's item (the new sub-category command) and gives the
    // name it got, or nothing when none was added.
    void SetSubcategoryCreator(std::function<std::string(QTreeWidgetItem*, const std::string&)> creator) {
        m_createSubcategory = std::move(creator);
    }

    // Selection changes in the tree.
    bool OnSelChanging(QTreeWidgetItem* previous) override;
    void OnSelChanged(QTreeWidgetItem* current) override;

    void FillCategoryList();
    void FillSubcategoryList();
    void SetFormModified(bool modified);
    bool IsFormModified() const { return m_formModified; }
    void EnableSampleFields(bool enable);
    void EnableChangeTitle(bool enable);
    // No sample shown: the fields emptied and disabled, both lists on the placeholder.
    void ShowNoSample();

    // Commits the pending sample and saves (posted after selection and drop-down changes).
    void OnCommitPending();
    void PostCommitPending();
    // Commits unsaved edits at once; false when they cannot be stored as they are (the
    // user has been told why).
    bool CommitEdits();
    // Captures the form into the pending sample and checks that it can be stored; shows
    // the reason when not.
    bool CaptureFormChecked();
    // What the form shows, unsaved edits included.
    void CaptureFormInto(CSample& sample);
    // The category whose language the text is shown in changed its language.
    void RefreshLanguage();
    // The text of the shown sample was replaced in the library: shows it, not as an edit.
    void ShowReplacedText(const std::string& text);

    // Runs rebuild, a rebuild of the tree for changes other programs made, so that the
    // sample shown keeps what the user has typed into it and not yet committed: the
    // fields stay as they are (caret and undo too) and stay modified, for the next commit.
    void RebuildKeepingEdits(const std::function<void()>& rebuild);

    // The document is about to close: offers to keep unsaved edits.
    void OnDocumentClosing();
    // The document has saved (and committed the pending sample).
    void OnDocumentSaved();
    // True when the last close was refused because the form's content cannot be stored.
    bool CloseRefused() const { return m_closeRefused; }
    void CloseCancelled() { m_closing = false; }

    // The title of the sample shown, as library bytes.
    std::string FormTitle() const { return m_formTitle; }

signals:
    void ChangeTitleRequested();
    // Something that command enable states depend on has changed.
    void StateChanged();

private:
    void BuildFields(QWidget* view);
    void OnFieldEdited();
    void OnTextEdited();
    void OnCategoryActivated(int index);
    void OnSubcategoryActivated(int index);
    void ClearFormStrings();
    void ShowSample(const CSample& sample);
    // Every field from the form but the text, into a sample emptied first.
    void CaptureFieldsInto(CSample& sample);
    // The whole form into the pending sample, the text included.
    void CaptureForm();
    // The pending sample as an edit of a field other than the text leaves it: every
    // field from the form but the text, which is the library's unless the pending
    // sample has this sample's text already.
    void CaptureFormButText();
    // The form's keywords, comments and text as library bytes.
    std::string FormKeywords();
    std::string FormComments();
    std::string FormText();

    ViewContext& m_context;
    CSampleTree& m_tree;
    std::function<std::string(QTreeWidgetItem*, const std::string&)> m_createSubcategory;

    QWidget* m_fields = nullptr;
    QLineEdit* m_titleEdit = nullptr;
    QPushButton* m_changeTitleButton = nullptr;
    QComboBox* m_categoryCombo = nullptr;
    QComboBox* m_subcategoryCombo = nullptr;
    QLineEdit* m_keywordsEdit = nullptr;
    QPlainTextEdit* m_commentsEdit = nullptr;
    CCodeEditor* m_textEdit = nullptr;
    CLanguageChoice* m_language = nullptr;

    bool m_loadingForm = false;
    bool m_formModified = false;
    bool m_closing = false;
    bool m_closeRefused = false;
    // Set during RebuildKeepingEdits while the form holds unsaved edits.
    bool m_keepEdits = false;

    // The form's title as bytes and how each edit field was decoded.
    std::string m_formTitle;
    FieldCodec m_titleCodec;
    FieldCodec m_keywordsCodec;
    FieldCodec m_commentsCodec;
    FieldCodec m_textCodec;
    // The text as the library held it when it was shown: the form's text while the
    // editor holds no edit of it (no decoding and encoding, the bytes stay exact).
    std::string m_textBytes;
    // The category shown before the latest drop-down change.
    std::string m_prevCategory;
};
