// CQuorrinView: the sample tree on the left, the form of the selected sample on the
// right and the sample text across the bottom. No tree item points into the document:
// each carries its level tag and its name's bytes, and is matched to its record by name.
#pragma once

#include <QIcon>
#include <QWidget>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ui/TextCodec.h"
#include "library/QuorrinDoc.h"

class CLibraryConfig;
class CSearchDlg;
class IViewHost;
class QComboBox;
class QMimeData;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

// Item tags (Qt::UserRole of column 0); the name's bytes are in kNameRole.
constexpr int kTagCategory = 0;
constexpr int kTagSubcategory = 1;
constexpr int kTagSample = 2;
constexpr int kTagRoot = 3;
constexpr int kTagRole = 0x0100;  // Qt::UserRole
constexpr int kNameRole = 0x0101; // Qt::UserRole + 1

extern const char* const kRootText;            // "Samples"
extern const char* const kRootTextLoadErrors;  // "Samples (*Load errors exist*)"
extern const char* const kNoSampleSelected;    // " (no sample selected) "
extern const char* const kNoneAssigned;        // " (none assigned) "

class CQuorrinView : public QWidget, public IDocumentView {
    Q_OBJECT
public:
    // config: the tree state and the options; host: what the view needs of the program.
    CQuorrinView(CQuorrinDoc& doc, CLibraryConfig& config, IViewHost& host, QWidget* parent = nullptr);
    ~CQuorrinView() override;

    // Builds the tree the first time.
    void OnInitialUpdate();
    // The document is going away: nothing may reach it any more.
    void DetachDocument();

    // --- Tree ---
    void RebuildTree(const std::string& selectTitle);
    // Pre-order search from start (itself included) for name at level; nullptr if none.
    QTreeWidgetItem* FindTreeItem(QTreeWidgetItem* start, const std::string& name, int level) const;
    bool SelectSampleItem(const std::string& title);
    bool SelectCategoryItem(const std::string& name);
    bool SelectSubcategoryItem(const std::string& category, const std::string& subcategory);
    void OnExpandAll();
    void OnCollapseAll();
    bool IsRootExpanded() const;
    QTreeWidgetItem* RootItem() const { return m_root; }
    QTreeWidgetItem* SelectedItem() const;
    // Tag of the selected item, -1 when none.
    int SelectedTag() const;
    static int ItemTag(const QTreeWidgetItem* item);
    static std::string ItemName(const QTreeWidgetItem* item);

    // --- Form ---
    void FillCategoryList();
    void FillSubcategoryList();
    void SetFormModified(bool modified);
    bool IsFormModified() const { return m_formModified; }
    void EnableSampleFields(bool enable);
    void EnableChangeTitle(bool enable);
    // Commits the pending sample and saves (posted after selection and drop-down changes).
    void OnCommitPending();
    void PostCommitPending();
    bool IsClosing() const { return m_closing; }
    // True when the last close was refused because the form's content cannot be stored.
    bool CloseRefused() const { return m_closeRefused; }
    // The form's title, keywords, comments and text as library bytes.
    std::string FormTitle() const { return m_formTitle; }
    std::string FormKeywords();
    std::string FormComments();
    std::string FormText();

    // --- Commands ---
    bool OnFileSave();
    void OnOptions();
    bool CanCut() const;
    bool CanCopy() const;
    bool CanPaste() const;
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnSearch();
    void OnInsert();
    void OnDelete();
    void OnChangeTitle();
    void OnRestoreDefaults();
    void OnLibraryHelp();
    void OnLibraryInfo();
    void OnCopySampleToClipboard();
    void OnFilePrint();

    // --- Tools, printing, drops (browser/ViewTools.cpp) ---
    void OnFilePrintPreview();
    // Text dropped on the view; false when the user cancelled (the drop is refused).
    bool OnDropData(const QMimeData* data);
    // The Search dialog once the Search command has created it, else nullptr.
    CSearchDlg* SearchDialog() const { return m_searchDlg; }

    // --- Structure edits (browser/ViewTreeEdit.cpp) ---
    // Ask for a name and add a category under the root, or a sub-category under the
    // category item; an empty proposal proposes an "Untitled" name.
    bool AddNewCategory();
    bool AddNewSubcategory(QTreeWidgetItem* categoryItem, const std::string& proposedName);
    // Runs the Add Sample wizard; on Finish adds the sample and shows it selected.
    bool LaunchAddSampleWizard();

    // --- Document notifications ---
    void OnDocumentClosing() override;
    void OnDocumentSaved() override;
    void OnStagedSampleAdded() override;
    void OnLoadErrorsEmptied() override;

    QTreeWidget* Tree() const { return m_tree; }
    CQuorrinDoc* Document() const { return m_doc; }

signals:
    // Something that command enable states depend on has changed.
    void CommandStateChanged();

private:
    void BuildLayout();
    void MakeIcons();
    void SetAllBranchesExpanded(bool expanded);
    QTreeWidgetItem* NewItem(const std::string& name, int tag) const;
    void OnCurrentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    bool OnSelChanging(QTreeWidgetItem* previous);
    void OnSelChanged(QTreeWidgetItem* current);
    void OnItemExpanded(QTreeWidgetItem* item, bool expanded);
    void OnCategoryActivated(int index);
    void OnSubcategoryActivated(int index);
    void OnFieldEdited();
    // The Insert and Delete keys of the tree; sorting one item's children in place;
    // committing the form's unsaved edits before a structure edit rebuilds the tree.
    void InstallTreeEditKeys();
    void SortTreeChildren(QTreeWidgetItem* item);
    void CommitFormEdits();
    // The drop target and the fields' paste rule, set up at the initial update.
    void RegisterDropTarget();
    // The sample to print: the form's values when a sample is selected.
    bool PrintableSample(CSample& sample);
    void ReplaceSampleText(const std::string& title, const std::string& text);

    // Form strings <-> controls and the pending sample.
    void ClearFormStrings();
    void ShowSample(const CSample& sample);
    void CaptureFormInto(CSample& sample);
    void CaptureForm();
    // Captures the form and checks that it can be stored; shows the reason when not.
    bool CaptureFormChecked();

    CQuorrinDoc* m_doc;
    CLibraryConfig& m_config;
    IViewHost& m_host;
    QTreeWidget* m_tree = nullptr;
    QLineEdit* m_titleEdit = nullptr;
    QPushButton* m_changeTitleButton = nullptr;
    QComboBox* m_categoryCombo = nullptr;
    QComboBox* m_subcategoryCombo = nullptr;
    QLineEdit* m_keywordsEdit = nullptr;
    QPlainTextEdit* m_commentsEdit = nullptr;
    QPlainTextEdit* m_textEdit = nullptr;
    QSplitter* m_vsplit = nullptr;
    QSplitter* m_hsplit = nullptr;
    QIcon m_folderIcon;
    QIcon m_pageIcon;

    // Items of the current tree by name, filled by RebuildTree.
    QTreeWidgetItem* m_root = nullptr;
    std::unordered_map<std::string, QTreeWidgetItem*> m_categoryItems;
    std::unordered_map<std::string, QTreeWidgetItem*> m_subcategoryItems; // category + '\0' + name
    // The sample items by title (views of the names the items hold), in byte order: the
    // order of the document's walk, so it is filled without a search or an allocation
    // per item and searched by halving.
    std::vector<std::pair<std::string_view, QTreeWidgetItem*>> m_sampleItems;

    bool m_ignoreSelection = false;
    bool m_trackExpansion = true;
    bool m_loadingForm = false;
    bool m_revertingSelection = false;
    bool m_formModified = false;
    bool m_closing = false;
    bool m_closeRefused = false;

    // The form's title as bytes and how each edit field was decoded.
    std::string m_formTitle;
    FieldCodec m_titleCodec;
    FieldCodec m_keywordsCodec;
    FieldCodec m_commentsCodec;
    FieldCodec m_textCodec;
    // The category shown before the latest drop-down change.
    std::string m_prevCategory;
    // Created by the first Search command, destroyed with the view.
    CSearchDlg* m_searchDlg = nullptr;
};
