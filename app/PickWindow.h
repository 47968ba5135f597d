// CPickWindow: the quick-pick window (tindrel --pick). A search field and the samples
// the typed words find, best first (CWordFind, as the find above the tree), nothing
// else; the letters the words matched are marked in the rows. Enter copies the chosen
// sample's text to the clipboard and closes the window; Shift+Enter closes it and has
// the main window show the sample (ShowChannel); Escape closes it. The library is read
// without writing or locking anything.
//
// The copied text must still paste after the window is gone. Where the desktop runs a
// clipboard manager, the process hands the text to it as it ends (Qt does so at exit);
// otherwise it stays, windowless, until another program owns the clipboard (the next
// copy made elsewhere ends it).
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "config/LibraryFolder.h"

class CLibraryConfig;
class CLoadErrorList;
class CQuorrinDoc;
class CSample;
class CWordFind;
class IKeyStore;
class QLineEdit;
class QListWidget;

class CPickWindow : public QWidget {
    Q_OBJECT
public:
    CPickWindow(IKeyStore& store, QWidget* parent = nullptr);
    ~CPickWindow() override;

    // Reads the library in folder (an absolute path); false when it cannot be read.
    bool Open(const std::string& folder);
    // How many rows the list shows at most.
    static constexpr int kRows = 200;

signals:
    // The text is on the clipboard and the window has closed.
    void Copied();
    // Closed without copying (Escape).
    void Cancelled();
    // Shift+Enter: the window has closed; the sample of that title is to be shown in the
    // main window.
    void ShowAsked(const std::string& title);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The window's close box: as Escape.
    void closeEvent(QCloseEvent* event) override;

private:
    void OnTextChanged();
    void CopyChosen();
    void ShowChosen();
    const CSample* Chosen() const;

    IKeyStore& m_store;
    std::unique_ptr<CLibraryConfig> m_config;
    std::unique_ptr<CLoadErrorList> m_errors;
    std::unique_ptr<CQuorrinDoc> m_doc;
    QLineEdit* m_field = nullptr;
    QListWidget* m_list = nullptr;
    std::vector<const CSample*> m_shown;
    std::unique_ptr<CWordFind> m_find; // the words the rows are marked for
    bool m_done = false;
};

// Runs tindrel --pick on the chosen library: the window, then (after a copy) the hand-over
// of the clipboard. The process's exit code.
int RunPick(const LibraryChoice& choice);
// Has the main window open on folder show the sample titled title, starting one
// (tindrel FOLDER --show TITLE) when none is open; false when that failed (told).
bool ShowInMainWindow(const std::string& folder, const std::string& title);
