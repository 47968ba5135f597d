// CQuorrinView: the one view of the library. It lays out its rooms, each in a file of
// its own: the sample tree on the left (SampleTree), the form of the selected sample
// beside it and its text across the bottom (SampleForm), the commands that change the
// tree (TreeEditCommands), clipboard and drops (ClipboardAndDrop), and the commands
// that save or open other windows (ViewCommands). It wires them together, routes the
// main window's commands and the document's notifications to them, and tells the main
// window when command states may have changed.
#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>
#include <set>
#include <string>
#include <vector>

#include "browser/ViewContext.h"
#include "library/QuorrinDoc.h"

class CClipboardAndDrop;
class CLibraryConfig;
class CSampleForm;
class CSampleTree;
class CTrashCommands;
class CTreeEditCommands;
class CTreeFilter;
class CViewCommands;
class IViewHost;
class QLabel;
class QSplitter;

class CQuorrinView : public QWidget, public IDocumentView {
    Q_OBJECT
public:
    // config: the tree state and the options; host: what the view needs of the program.
    CQuorrinView(CQuorrinDoc& doc, CLibraryConfig& config, IViewHost& host, QWidget* parent = nullptr);
    ~CQuorrinView() override;

    // The drop target, then the tree the first time.
    void OnInitialUpdate();
    // The document is going away: nothing may reach it any more.
    void DetachDocument();
    CQuorrinDoc* Document() const { return m_context.doc; }
    // True when the last close was refused because the form's content cannot be stored.
    bool CloseRefused() const;
    // The window stays open after all (the last save could not write everything).
    void CloseCancelled();
    // Shows the library without letting it change (another window has it open).
    void SetReadOnly(bool readOnly);
    // While the library is being read (on another thread) the view leaves the document
    // alone: it has none until then.
    void SetLoading(bool loading);

    // What the main window's enable rules ask.
    int SelectedTag() const;
    bool IsRootExpanded() const;
    bool CanCut() const;
    bool CanCopy() const;
    bool CanPaste() const;
    // The form's Change title button follows the command's enable rule.
    void EnableChangeTitle(bool enable);

    // The main window's commands.
    bool OnFileSave();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnCopySampleToClipboard();
    void OnExpandAll();
    void OnCollapseAll();
    void OnSearch();
    void OnInsert();
    void OnDelete();
    // Edit > Undo Delete: the last deletion made here comes back from the trash, selected.
    bool CanUndoDelete() const;
    void OnUndoDelete();
    // Edit > Trash...: the Trash dialog.
    void OnTrash();
    void OnChangeTitle();
    void OnRestoreDefaults();
    void OnOptions();
    void OnLibraryHelp();
    void OnLibraryInfo();
    void OnImport();
    void OnExport();
    // The instant find above the tree takes the focus (Ctrl+K).
    void OnFindSamples();
    // A sample asked for from outside (the quick-pick window), by its title's bytes or
    // its text in UTF-8: whether the library has it, and selecting it (the find's
    // narrowed tree ends when it hides it).
    bool HasSampleTitled(const std::string& title) const;
    bool ShowSampleTitled(const std::string& title);

    // What the user's settings keep of the view.
    struct Layout {
        QList<int> treeSplit; // tree | form
        QList<int> textSplit; // tree and form | text
        int zoom = 0;         // the text's zoom level
        bool whitespace = false;
        bool findInText = false;
    };
    Layout CurrentLayout() const;
    void ApplyLayout(const Layout& layout);
    void SetWhitespaceShown(bool shown);

    // The document's notifications.
    void OnDocumentClosing() override;
    void OnDocumentSaved() override;
    void OnStagedSampleAdded() override;
    void OnLoadErrorsEmptied() override;
    void OnLibraryChangedOutside() override;
    void OnCategoriesChangedOutside(const std::vector<OutsideChange>& changes) override;

signals:
    // Something that command enable states depend on has changed.
    void CommandStateChanged();
    // Changes other programs made have been read in; text is for the status bar.
    void ChangedOutsideNoticed(const QString& text);
    // What a command did, for the status bar.
    void StatusText(const QString& text);

private:
    void BuildLayout();
    QWidget* BuildOutsideChangeBar();
    // The tree built again after changes other programs made, and the notice above the
    // form: the categories named (all of them since it was last closed), or the library.
    void ShowOutsideChanges(const std::vector<OutsideChange>& changes);

    ViewContext m_context;
    CQuorrinDoc* m_loadingDoc = nullptr;
    CSampleTree* m_tree = nullptr;
    CSampleForm* m_form = nullptr;
    CTreeEditCommands* m_edits = nullptr;
    CTrashCommands* m_trash = nullptr;
    CClipboardAndDrop* m_clipboard = nullptr;
    CViewCommands* m_commands = nullptr;
    CTreeFilter* m_filter = nullptr;
    QSplitter* m_vsplit = nullptr;
    QSplitter* m_hsplit = nullptr;
    QWidget* m_outsideBar = nullptr;
    QLabel* m_outsideText = nullptr;
    // The categories the notice names; empty while it is closed.
    std::set<std::string> m_outsideCategories;
    QStringList m_outsideDetails;
};
