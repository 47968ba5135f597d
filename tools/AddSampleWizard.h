// The Add Sample wizard: four pages walked in order (where the sample goes and its
// title; keywords and comments; the text; a summary), and the run that builds the new
// sample when the user presses Finish. Nothing in the library changes before that.
#pragma once

#include <QString>
#include <QWizard>
#include <QWizardPage>
#include <functional>
#include <memory>
#include <string>

#include "ui/TextCodec.h"
#include "library/AddSampleRules.h"
#include "library/SampleLanguage.h"

class CAddSampleWizard;
class CCodeEditor;
class CQuorrinDoc;
class CSample;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// What outlives one run of the wizard; the application holds it.
struct WizardCarryOver {
    // The summary's pieces: header (page 1), notes (page 2), sample (page 3).
    std::string (&confirmChunks)[3];
    // Text dropped on the window for the next run's page 3.
    bool& droppedTextPending;
    std::string& droppedText;
};

// Where the wizard's tree starts, as names: what is selected in the main tree. A
// category is selected itself. A sub-category (also that of a selected sample) is
// selected below its category, which is opened; when the category has no such
// sub-category (a sample without one, say) the category is only opened.
struct WizardPreselection {
    enum class Kind { None, Category, Subcategory };
    Kind kind = Kind::None;
    std::string category;
    std::string subcategory;
};

// The language a category's samples are highlighted in.
using LanguageOfCategoryFn = std::function<SampleLanguage(const std::string& category)>;

// Item tags of the wizard tree: the root and the categories 0, sub-categories 1.
constexpr int kWizTagCategory = 0;
constexpr int kWizTagSubcategory = 1;

// The common part of the four pages.
class CAddSamplePage : public QWizardPage {
    Q_OBJECT
public:
    explicit CAddSamplePage(const char* caption);

    // The sheet the page belongs to; set by the launcher after adding the pages.
    CAddSampleWizard* m_pSheet = nullptr;
    // The sheet's caption while the page is current.
    QString Caption() const { return m_caption; }

    // Moves the members into the controls (save false) or the controls into the members.
    virtual void DoDataExchange(bool save) = 0;
    // The page becomes current: shows its members.
    virtual void OnSetActive();
    // The page is left in either direction: stores its controls.
    virtual void OnKillActive();

    // The values survive Back: leaving a page backwards resets nothing.
    void cleanupPage() override {}

private:
    QString m_caption;
};

class CAddSample1 : public CAddSamplePage {
    Q_OBJECT
public:
    CAddSample1(CQuorrinDoc& doc, WizardPreselection preselection);

    std::string m_strTitle;
    std::string m_strCategory;    // what the category label shows
    std::string m_strSubcategory; // what the sub-category label shows

    void DoDataExchange(bool save) override;
    void OnSetActive() override;
    // Stores and trims the title.
    void OnKillActive() override;
    // Next: stores, trims the title, rebuilds the header chunk and checks the page.
    bool validatePage() override;

private:
    void FillTree();
    void Preselect();
    void OnSelChanged(QTreeWidgetItem* item);
    void ShowPlacement();
    QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const std::string& name, int tag);
    static QTreeWidgetItem* ChildNamed(QTreeWidgetItem* parent, const std::string& name);
    void Reveal(QTreeWidgetItem* item, bool select);

    CQuorrinDoc& m_doc;
    WizardPreselection m_preselection;
    QTreeWidget* m_tree;
    QLineEdit* m_titleEdit;
    QLabel* m_categoryLabel;
    QLabel* m_subcategoryLabel;
    std::string m_shownTitle;
};

class CAddSample2 : public CAddSamplePage {
    Q_OBJECT
public:
    CAddSample2();

    std::string m_strComments;
    std::string m_strKeywords;

    void DoDataExchange(bool save) override;
    // Next: stores and rebuilds the notes chunk.
    bool validatePage() override;

private:
    QLineEdit* m_keywordsEdit;
    QPlainTextEdit* m_commentsEdit;
    std::string m_shownKeywords;
    FieldCodec m_commentsCodec;
};

class CAddSample3 : public CAddSamplePage {
    Q_OBJECT
public:
    // Takes the pending dropped text, if any, as its text. The text is edited in the
    // code editor, highlighted and indented as the chosen category's samples are.
    CAddSample3(const CQuorrinDoc& doc, LanguageOfCategoryFn languageOf, bool& droppedTextPending,
                std::string& droppedText);

    std::string m_strSample;

    void DoDataExchange(bool save) override;
    void OnSetActive() override;
    // Next: stores and rebuilds the sample chunk.
    bool validatePage() override;

private:
    const CQuorrinDoc& m_doc;
    LanguageOfCategoryFn m_languageOf;
    CCodeEditor* m_textEdit;
    FieldCodec m_textCodec;
};

class CAddSample4 : public CAddSamplePage {
    Q_OBJECT
public:
    CAddSample4();

    std::string m_strConfirmation;

    void DoDataExchange(bool save) override;
    // Shows the three chunks joined.
    void OnSetActive() override;

private:
    QPlainTextEdit* m_confirmEdit;
    QString m_shownConfirmation;
};

// The sheet in wizard mode. Its caption is the current page's caption.
class CAddSampleWizard : public QWizard {
    Q_OBJECT
public:
    CAddSampleWizard(WizardCarryOver carry, QWidget* parent = nullptr);

    // Adds the four pages in order and stores the sheet into each.
    void AddPages(CAddSample1* p1, CAddSample2* p2, CAddSample3* p3, CAddSample4* p4);

    // A page rebuilds its chunk: the bytes go to the carry-over state, the text shown on
    // page 4 stays here.
    void SetChunk(int index, const ChunkPieces& pieces);
    std::string Confirmation() const;
    // The category chosen on page 1.
    std::string ChosenCategory() const;
    QString ShownConfirmation() const;

    // The sample of the finished run, from the pages' values.
    std::unique_ptr<CSample> BuildSample() const;

    static constexpr const char* kCaptions[4] = {
        "Add Sample Wizard - Step 1 of 4", "Add Sample Wizard - Step 2 of 4",
        "Add Sample Wizard - Step 3 of 4", "Add Sample Wizard - Step 4 of 4"};

private:
    void OnCurrentIdChanged(int id);

    WizardCarryOver m_carry;
    QString m_shownChunks[3];
    CAddSample1* m_p1 = nullptr;
    CAddSample2* m_p2 = nullptr;
    CAddSample3* m_p3 = nullptr;
    CAddSample4* m_p4 = nullptr;
    CAddSamplePage* m_active = nullptr;
};

// Runs the wizard modally with the pages built from the document, starting at the
// preselection. Returns the new sample when the run ended with Finish, nullptr when it
// was cancelled; the library itself is not touched. The text page highlights in the
// language languageOf gives for the chosen category (plain text without it).
std::unique_ptr<CSample> RunAddSampleWizard(CQuorrinDoc& doc, const WizardPreselection& preselection,
                                            WizardCarryOver carry, QWidget* parent,
                                            LanguageOfCategoryFn languageOf = {});
