// Helpers for the window tests: one QApplication for the program, and a fixture that runs
// Tindrel in a temporary library folder with its configuration in a temporary
// XDG_CONFIG_HOME. Messages, file dialogs and modal dialogs are scripted: one a test did
// not script fails it, and so does a scripted answer no message took. No program is
// started either: a test that expects one installs its own launcher hooks.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QString>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DialogScripts.h"
#include "app/MainFrame.h"
#include "app/QuorrinApp.h"
#include "browser/QuorrinView.h"
#include "browser/SampleForm.h"
#include "browser/SampleTree.h"
#include "library/QuorrinDoc.h"
#include "support/TestSupport.h"
#include "ui/FileDialogs.h"

class QAbstractButton;
class QLineEdit;
class QPlainTextEdit;
class CCodeEditor;

using Names = std::vector<std::string>;

// The bytes of one sample in a category file, written here from the format's rules.
// comments and text as the library holds them; every LF is written as CR LF.
std::string SampleFileBytes(const std::string& category, const std::string& subcategory, const std::string& title,
                            const std::string& keywords, const std::string& comments, const std::string& text);

// Replaces an edit's text as the user does: everything selected, then typed.
void TypeInto(QLineEdit* edit, const QString& text);
void TypeInto(QPlainTextEdit* edit, const QString& text);
void TypeInto(CCodeEditor* edit, const QString& text);
// A mouse click on a button.
void Click(QAbstractButton* button);
// A script that checks the Add Sample wizard's place, as "category/sub-category".
ModalScript ExpectPlace(const char* place);
// The wizard run through to Finish with this title, after check; text typed on page 3
// unless it is nullptr (the text the wizard came with kept).
ModalScript FinishWizard(const char* title, ModalScript check = nullptr, const char* text = "code();");

// Installs itself as the file dialogs for its lifetime. Each request takes the next
// answer: a path, or no value for Cancel. A save request with no answer left fails the
// test; a folder request is cancelled.
class ScriptedFileDialogs : public IFileDialogs {
public:
    ScriptedFileDialogs();
    ~ScriptedFileDialogs() override;
    ScriptedFileDialogs(const ScriptedFileDialogs&) = delete;
    ScriptedFileDialogs& operator=(const ScriptedFileDialogs&) = delete;
    std::optional<std::string> GetSaveFileName(QWidget* parent, const SaveAsRequest& request) override;
    std::optional<std::string> GetExistingFolder(QWidget* parent, const FolderRequest& request) override;

    std::deque<std::optional<std::string>> answers;
    std::vector<SaveAsRequest> requests;

private:
    IFileDialogs* m_previous;
};

// Makes every program start and every URL opened fail the test (the state between
// tests); a test that installed its own launcher hooks calls it when done.
void GuardLaunches();

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program in the test's folder and waits for the library.
    void Start();
    // Closes the main window and runs the exit sequence.
    void Exit();

    CQuorrinApp& App() { return *m_app; }
    // The main window, found among the top-level windows by name; nullptr when none.
    CMainFrame* Frame();
    CQuorrinView* View() { return Frame()->View(); }
    CQuorrinDoc* Doc() { return m_app->Document(); }
    CSampleTree* Tree();
    CSampleForm* Form();
    QTreeWidgetItem* Root() { return Tree()->RootItem(); }
    QTreeWidgetItem* CategoryItem(const std::string& name);
    QTreeWidgetItem* SubcategoryItem(const std::string& category, const std::string& name);
    QTreeWidgetItem* SampleItem(const std::string& title);
    // The name of the selected item.
    std::string Selected() { return CSampleTree::ItemName(Tree()->currentItem()); }
    // Names of an item's children, in order, its branch made.
    std::vector<std::string> ChildNames(QTreeWidgetItem* item);
    // The titles of the samples the tree shows, in tree order, every branch made.
    std::vector<std::string> ShownSamples();
    void Select(QTreeWidgetItem* item);
    void Pump();
    template <class W> W* Child(const char* name) { return Frame()->findChild<W*>(QString::fromLatin1(name)); }
    // Chooses the entry with these bytes in a drop-down list as the user does.
    void Choose(QComboBox* combo, const std::string& entryBytes);
    std::string ComboCurrent(QComboBox* combo);
    bool CommandEnabled(int id);
    // Runs a menu command as the user would: it must be enabled; pending events run after.
    void Run(int command);

    std::string File(const std::string& name) const { return m_dir->File(name); }
    std::string ConfigPath() const;
    // Writes the configuration file from key lines ("key ..." / "value ...").
    void WriteConfig(const std::string& lines);
    std::string ReadConfig() const;
    // The start of a configuration line for a key under the application's key.
    static constexpr const char* kAppKey = "key \"Software\" \"Velmora Software\" \"Tindrel\" ";

    std::unique_ptr<TempDir> m_dir;
    RecordingMessenger m_messages{RecordingMessenger::Unscripted::Fail};
    ScriptedFileDialogs m_files;
    std::unique_ptr<CQuorrinApp> m_app;
    std::optional<EnvVar> m_configHome;
};
