// Modal dialogs in the window tests. Every dialog that comes up modally (exec()) takes
// the next queued script: a QTimer::singleShot(0) runs it once the dialog's own event
// loop runs, on the dialog found as QApplication::activeModalWidget(). A dialog its
// script leaves open is cancelled afterwards. A dialog that comes up with no script
// queued fails the test and is cancelled at once, so nothing modal ever blocks a test;
// scripts still queued when the test ends fail it too.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

using ModalScript = std::function<void(QWidget*)>;

// Queues script for the next modal dialog.
void WhenModal(ModalScript script);

// Queues scripts and records which dialogs came up while it lives; on destruction it
// fails the test for every script no dialog took.
class DialogScripts {
public:
    DialogScripts();
    ~DialogScripts();
    DialogScripts(const DialogScripts&) = delete;
    DialogScripts& operator=(const DialogScripts&) = delete;

    DialogScripts& Then(ModalScript script);
    // Object names of the dialogs that came up, in order.
    std::vector<std::string> ran;
};

// The child of a dialog (or any widget) by object name; fails the test when there is none.
template <class W> W* Find(QWidget* parent, const char* name) {
    W* w = parent ? parent->findChild<W*>(QString::fromLatin1(name)) : nullptr;
    EXPECT_NE(w, nullptr) << "no widget " << name;
    return w;
}

// Fails the test for every queued script no dialog took, and forgets them.
void ExpectNoDialogScriptsLeft();
// Watches every modal dialog of the test program; called once at start.
void InstallDialogScripting();
