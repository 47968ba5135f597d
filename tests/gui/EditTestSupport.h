// Helpers for the tests of the editing dialogs and the Add Sample wizard: a library in a
// temporary folder without a window, and scripts that act on a modal dialog while its
// exec() runs.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "config/LibraryConfig.h"
#include "config/MemoryKeyStore.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"
#include "support/TestSupport.h"

class QAbstractButton;
class QDialog;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

using ModalScript = std::function<void(QWidget*)>;

// Queues script to run on the next modal dialog as soon as its exec() shows it (found
// with QApplication::activeModalWidget()). A dialog the script leaves open is cancelled
// afterwards, so a failing test cannot hang.
void WhenModal(ModalScript script);

// Runs the program's modal dialogs for real, each with the next queued script, through
// the dialog runner's hook; records which dialogs ran. A dialog with no script left
// fails the test and is cancelled at once. The hook is removed on destruction.
class DialogScripts {
public:
    DialogScripts();
    ~DialogScripts();
    DialogScripts& Then(ModalScript script);
    // Object names of the dialogs that ran, in order.
    std::vector<std::string> ran;
    size_t Pending() const { return m_scripts.size(); }

private:
    std::vector<ModalScript> m_scripts;
};

// Replaces an edit's text as the user does: everything selected, then typed.
void TypeInto(QLineEdit* edit, const QString& text);
void TypeInto(QPlainTextEdit* edit, const QString& text);
// A mouse click on a button.
void Click(QAbstractButton* button);
// The child of a dialog by object name; fails the test when there is none.
template <class W> W* Find(QWidget* parent, const char* name);

// A library in a temporary folder with an in-memory configuration; messages are
// recorded (answers scripted through messages.answers).
class LibraryFixture : public ::testing::Test {
protected:
    LibraryFixture();
    ~LibraryFixture() override;

    // Adds a sample straight to the document.
    void Add(const std::string& title, const std::string& category, const std::string& sub = "General",
             const std::string& keywords = "", const std::string& comments = "",
             const std::string& text = "");
    // Adds a custom category with these sub-categories in its slots.
    void AddCustom(const std::string& name, const std::vector<std::string>& subs = {});
    std::vector<std::string> Texts() const { return messages.Texts(); }

    TempDir dir;
    MemoryKeyStore store;
    CLibraryConfig config{store};
    CLoadErrorList errors;
    RecordingMessenger messages;
    std::unique_ptr<CQuorrinDoc> doc;
};

#include <QWidget>

template <class W> W* Find(QWidget* parent, const char* name) {
    W* w = parent ? parent->findChild<W*>(QString::fromLatin1(name)) : nullptr;
    EXPECT_NE(w, nullptr) << "no widget " << name;
    return w;
}
