// Helpers for the tests of the editing dialogs and the Add Sample wizard: a library in a
// temporary folder without a window, and the user's typing and clicking.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "DialogScripts.h"
#include "config/LibraryConfig.h"
#include "config/MemoryKeyStore.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"
#include "support/TestSupport.h"

class QAbstractButton;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Replaces an edit's text as the user does: everything selected, then typed.
void TypeInto(QLineEdit* edit, const QString& text);
void TypeInto(QPlainTextEdit* edit, const QString& text);
// A mouse click on a button.
void Click(QAbstractButton* button);

// A library in a temporary folder with an in-memory configuration; messages are
// recorded, and each must have its answer scripted in messages.answers.
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
    RecordingMessenger messages{RecordingMessenger::Unscripted::Fail};
    std::unique_ptr<CQuorrinDoc> doc;
};
