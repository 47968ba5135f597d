// CQuorrinApp: the application object. Owns the library configuration with the two
// options, the load-error store, the wizard's carry-over state, the document and the
// main window, and runs the start-up and exit sequences. It is the view's host.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/FolderMarker.h"
#include "app/FrameHost.h"
#include "config/LibraryFolder.h"
#include "base/Messenger.h"
#include "library/LoadErrorList.h"
#include "library/QuorrinDoc.h"

class CLibraryConfig;
class CLibraryWatcher;
class CSessionEnd;
class CShowServer;
class IFileDialogs;
class IMessenger;
class CMainFrame;
class CQuorrinDoc;
class IKeyStore;

class CQuorrinApp : public IFrameHost {
public:
    // store: the key store to use, kept by the caller; nullptr for the per-user file.
    explicit CQuorrinApp(IKeyStore* store = nullptr);
    ~CQuorrinApp() override;
    CQuorrinApp(const CQuorrinApp&) = delete;
    CQuorrinApp& operator=(const CQuorrinApp&) = delete;

    // Configuration, document, window; false when the program must end.
    bool InitInstance();
    // After the main window has closed: load errors, tree state, options. Returns the exit code.
    int ExitInstance();
    // The main window is closing: the document's close step and its final save. False
    // when the window stays open: the view refused, or the last save could not write
    // everything and the user keeps the window to save again. quiet: no question can be
    // answered (the session is ending); what can be stored is, and the window closes.
    bool CloseDocument(bool quiet = false) override;
    // A signal or the desktop's session end: close as File > Exit does, without questions.
    void EndSession();
    // The library is read on a thread of its own while the window is already up and
    // answering; this waits for it and shows it (at once when it is there already).
    void WaitForLibrary();
    bool IsLoading() const { return m_loading; }
    bool EndingSession() const override { return m_endingSession; }
    // Notices other programs' changes to the library's files; nullptr until the library
    // has been read, and for a library opened read-only.
    CLibraryWatcher* Watcher() const { return m_watcher.get(); }

    // The view's host.
    void RunOptions() override;
    void ShowLibraryHelp() override;
    WizardCarryOver WizardState() override;
    void PumpPendingMessages() override;

    // The main window's host.
    void ShowLoadErrorsDialog() override;
    int GetLoadErrorCount() const override { return m_loading ? 0 : m_loadErrors.GetCount(); }
    void OnAppAbout() override;
    // Asks for a folder. Another folder than the open one is remembered as the user's
    // library folder and opened: the window closes as at exit (unsaved edits are
    // offered and saved, load errors offered for export) and the program starts again
    // on it. A refused close changes nothing. The open folder itself is only remembered.
    void ChooseLibraryFolder() override;

    CLibraryConfig& Config() override { return *m_config; }
    CQuorrinDoc* Document() override { return m_doc.get(); }
    IKeyStore& KeyStore() { return *m_store; }

    // The folder to work on, set before InitInstance (by default the current one).
    void SetLibraryChoice(const LibraryChoice& choice) { m_libraryChoice = choice; }
    // The folder InitInstance has changed into.
    const std::string& LibraryFolder() const { return m_libraryFolder; }
    // Set when the window closed to open another library folder: the program then
    // starts again on that choice.
    const std::optional<LibraryChoice>& RestartChoice() const { return m_restart; }
    void SetRestartChoice(std::optional<LibraryChoice> choice) { m_restart = std::move(choice); }
    // The sample to show once the library has been read (tindrel --show TITLE).
    void SetShowTitle(const std::string& title) { m_pendingShow = title; }
    // A quick-pick window asks for a sample (the title's bytes, or its text in UTF-8):
    // false when the library has none of that title; else it is selected and the window
    // raised, soon (once the library has been read).
    bool ShowSampleAsked(const std::string& title);

private:
    // The Add Sample wizard's confirmation chunks, kept between runs of the wizard.
    std::string m_confirmChunks[3];
    // Text dropped on the window, waiting for the wizard's text page.
    bool m_bDroppedTextPending = false;
    std::string m_droppedText;

    std::unique_ptr<IKeyStore> m_ownStore;
    IKeyStore* m_store = nullptr;
    std::unique_ptr<CLibraryConfig> m_config;
    CLoadErrorList m_loadErrors;
    std::unique_ptr<CQuorrinDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_exited = false;
    // The question about the load errors at the close is asked once, over the window.
    bool m_loadErrorsOffered = false;
    void OfferLoadErrorCopy();
    LibraryChoice m_libraryChoice;
    std::string m_libraryFolder;
    std::optional<LibraryChoice> m_restart;
    // Held while the window has the library open; a second window is told.
    CFolderMarker m_marker;
    std::unique_ptr<CSessionEnd> m_sessionEnd;
    std::unique_ptr<CLibraryWatcher> m_watcher;
    // Where quick-pick windows ask this window to show a sample.
    std::unique_ptr<CShowServer> m_showServer;
    std::string m_pendingShow;
    bool m_endingSession = false;
    // The message and file-dialog seams as they were before the session's end took them.
    IMessenger* m_attendedMessages = nullptr;
    IFileDialogs* m_attendedDialogs = nullptr;

    // false when the user would rather not open a library another window has open.
    bool TakeFolderMarker(bool& readOnly);
    void WatchLibrary();
    void StartLoading(LoadMode mode);
    void FinishLoading();
    // The sample selected (its title's bytes found) and the window brought to the front;
    // while a dialog is open, once it has closed (WaitForModalThenShow looks again every
    // kModalPollMs).
    void ShowSampleNow(const std::string& title);
    void WaitForModalThenShow();
    static constexpr int kModalPollMs = 250;

    // The library's reading: its thread, and the messages it had for the user, shown once
    // it is done (the window thread alone shows them).
    struct LoadMessage {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
    };
    std::thread m_loader;
    bool m_loading = false;
    bool m_readOnly = false;
    std::vector<LoadMessage> m_loadMessages;
    // What the document has to say goes to the message seam; on the loading thread it is
    // kept with the load's other messages, in order.
    struct DocMessageBoxes : IDocMessageSink {
        void OnDocumentMessage(const DocMessage& message) override;
    };
    DocMessageBoxes m_docMessages;
};
