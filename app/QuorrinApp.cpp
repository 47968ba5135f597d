#include "app/QuorrinApp.h"

#include <QApplication>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>

#include "app/AboutDlg.h"
#include "app/HelpLauncher.h"
#include "app/OptionsDlg.h"
#include "app/Commands.h"
#include "app/LibraryFolderPane.h"
#include "app/LibraryWatcher.h"
#include "app/NewLibraryQuestion.h"
#include "app/SessionEnd.h"
#include "app/ShowChannel.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"
#include "app/MainFrame.h"
#include "app/WindowGeometry.h"
#include "browser/QuorrinView.h"
#include "base/FileLayer.h"
#include "config/FileKeyStore.h"
#include "config/LibraryConfig.h"
#include "library/LibraryStructure.h"
#include "library/LoadErrorExport.h"
#include "library/QuorrinDoc.h"
#include "tools/LoadErrorsDlg.h"

namespace {

// The Save As dialog for the load-error export, opened in the library folder.
class CSaveAsDialogChooser : public ISaveAsChooser {
public:
    CSaveAsDialogChooser(QWidget* parent, std::string folder) : m_parent(parent), m_folder(std::move(folder)) {}
    bool ChoosePath(const std::string& proposedName, std::string& path) override {
        SaveAsRequest request;
        request.proposedName = fileio::PathIn(m_folder, proposedName);
        request.defaultSuffix = QStringLiteral("txt");
        request.confirmOverwrite = true;
        auto chosen = FileDialogs().GetSaveFileName(m_parent, request);
        if (!chosen)
            return false;
        path = *chosen;
        return true;
    }

private:
    QWidget* m_parent;
    std::string m_folder;
};

// While the session ends nobody answers: every question gets its default answer, and
// the texts go to standard error.
class CUnattendedMessages : public IMessenger {
public:
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon) override {
        MsgAnswer answer = MsgAnswer::Yes;
        const char* said = "Yes";
        switch (buttons) {
        case MsgButtons::Ok:
        case MsgButtons::OkCancel:
            answer = MsgAnswer::Ok;
            said = "OK";
            break;
        case MsgButtons::YesNoDefaultNo:
            answer = MsgAnswer::No;
            said = "No";
            break;
        default:
            break;
        }
        std::fprintf(stderr, "tindrel: %s\ntindrel: (answered %s: the session is ending)\n", text.c_str(), said);
        return answer;
    }
};

} // namespace

CQuorrinApp::CQuorrinApp(IKeyStore* store) : m_store(store) {}

CQuorrinApp::~CQuorrinApp() {
    if (m_loader.joinable())
        m_loader.join();
    if (m_endingSession) {
        SetMessenger(m_attendedMessages);
        SetFileDialogs(m_attendedDialogs);
    }
    m_showServer.reset();
    m_watcher.reset();
    m_sessionEnd.reset();
    m_frame.reset();
    if (m_doc) {
        m_doc->SetView(nullptr);
        m_doc.reset();
    }
    CMessageBoxes::SetParentWindow(nullptr);
}

bool CQuorrinApp::InitInstance() {
    if (!m_store) {
        m_ownStore = std::make_unique<FileKeyStore>();
        m_store = m_ownStore.get();
    }
    // The library folder as an absolute path: the document opens every file by its path
    // in it, and the process's working folder stays where it was.
    m_libraryFolder = libraryfolder::Enter(m_libraryChoice, *m_store, libraryfolder::EnterMode::Window);
    // The user's own library folder is made without a question; any other that holds no
    // library is asked about before anything is written there.
    if (!m_libraryFolder.empty() && m_libraryChoice.place != LibraryPlace::UserLibrary && !m_libraryChoice.asked)
        m_libraryFolder = FolderForLibrary(m_libraryFolder, nullptr);
    if (m_libraryFolder.empty())
        return false;
    bool readOnly = false;
    if (!TakeFolderMarker(readOnly))
        return false;
    m_config = std::make_unique<CLibraryConfig>(*m_store);
    // A read-only window writes nothing of the library's configuration, ever: what it
    // read at start is not the state another window may have stored since.
    m_config->SetReadOnly(readOnly);
    if (!m_config->LoadProfile())
        ShowMessage("Unable to load profile!\n", MsgButtons::Ok, MsgIcon::Stop);

    m_doc = std::make_unique<CQuorrinDoc>(*m_config, m_loadErrors);
    m_doc->SetMessageSink(&m_docMessages);
    m_doc->SetFolder(m_libraryFolder);
    m_readOnly = readOnly;
    m_frame = std::make_unique<CMainFrame>(*this);
    RestoreWindow(*m_frame, ReadWindowSettings(*m_store));
    ShowLibraryFolder(*m_frame, m_libraryFolder);
    if (readOnly) {
        m_frame->setWindowTitle(QStringLiteral("Tindrel (read-only)"));
        m_frame->View()->SetReadOnly(true);
    }
    // The window comes up at once; the library follows when it has been read.
    m_frame->View()->SetLoading(true);
    m_frame->show();
    m_frame->UpdateCommandUI();
    m_sessionEnd = std::make_unique<CSessionEnd>([this] { EndSession(); });
    // A second window on the library (read-only) leaves the requests to the first.
    m_showServer = std::make_unique<CShowServer>([this](const std::string& title) { return ShowSampleAsked(title); });
    m_showServer->Listen(m_libraryFolder);
    StartLoading(readOnly ? LoadMode::ReadOnly : LoadMode::Normal);
    return true;
}

namespace {

// Keeps what the library's reading has to say, to be shown on the window thread.
template <class Message> class CKeptMessages : public IMessenger {
public:
    explicit CKeptMessages(std::vector<Message>& kept) : m_kept(kept) {}
    MsgAnswer Show(const std::string& text, MsgButtons buttons, MsgIcon icon) override {
        m_kept.push_back(Message{text, buttons, icon});
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::No;
    }

private:
    std::vector<Message>& m_kept;
};

} // namespace

void CQuorrinApp::DocMessageBoxes::OnDocumentMessage(const DocMessage& message) {
    ShowMessage(message.text, MsgButtons::Ok, message.icon);
}

void CQuorrinApp::StartLoading(LoadMode mode) {
    m_loading = true;
    m_frame->statusBar()->showMessage(QStringLiteral("Reading the library..."));
    // Until it is done the window does not reach the document (the view has none), so
    // the thread has it to itself.
    m_loader = std::thread([this, mode] {
        CKeptMessages<LoadMessage> kept(m_loadMessages);
        SetThreadMessenger(&kept);
        m_doc->OnNewDocument(mode);
        SetThreadMessenger(nullptr);
        QMetaObject::invokeMethod(m_frame.get(), [this] { FinishLoading(); }, Qt::QueuedConnection);
    });
}

void CQuorrinApp::FinishLoading() {
    if (!m_loading)
        return;
    if (m_loader.joinable())
        m_loader.join();
    m_loading = false;
    std::vector<LoadMessage> messages;
    messages.swap(m_loadMessages);
    if (m_frame) {
        m_frame->statusBar()->showMessage(QString::fromLatin1(CMainFrame::kIdleText));
        m_frame->View()->SetLoading(false);
        m_frame->View()->OnInitialUpdate();
        m_frame->UpdateCommandUI();
    }
    for (const LoadMessage& message : messages)
        ShowMessage(message.text, message.buttons, message.icon);
    if (!m_readOnly && m_doc) {
        // The trash keeps deletions until the user empties it, or for the days set in Options.
        if (m_config && m_config->m_trashDays > 0)
            m_doc->EmptyTrashOlderThan(m_config->m_trashDays);
        WatchLibrary();
    }
    if (!m_pendingShow.empty() && m_frame) {
        const std::string title = std::move(m_pendingShow);
        m_pendingShow.clear();
        ShowSampleNow(title);
    }
}

void CQuorrinApp::WaitForModalThenShow() {
    QTimer::singleShot(kModalPollMs, m_frame.get(), [this] {
        if (m_pendingShow.empty() || m_loading)
            return;
        if (QApplication::activeModalWidget()) {
            WaitForModalThenShow();
            return;
        }
        const std::string title = std::move(m_pendingShow);
        m_pendingShow.clear();
        ShowSampleNow(title);
    });
}

bool CQuorrinApp::ShowSampleAsked(const std::string& title) {
    if (m_loading) {
        m_pendingShow = title;
        return true;
    }
    if (!m_doc || !m_frame || m_doc->IsClosing() || !m_frame->View()->HasSampleTitled(title))
        return false;
    QTimer::singleShot(0, m_frame.get(), [this, title] { ShowSampleNow(title); });
    return true;
}

void CQuorrinApp::ShowSampleNow(const std::string& title) {
    // A dialog open in the window is the user's to finish first; the sample is shown
    // once it has closed.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
        const bool waiting = !m_pendingShow.empty();
        m_pendingShow = title;
        if (!waiting)
            WaitForModalThenShow();
        return;
    }
    m_frame->View()->ShowSampleTitled(title);
    if (m_frame->isMinimized())
        m_frame->showNormal();
    m_frame->raise();
    m_frame->activateWindow();
}

void CQuorrinApp::WaitForLibrary() {
    FinishLoading();
}

bool CQuorrinApp::TakeFolderMarker(bool& readOnly) {
    std::string detail;
    const CFolderMarker::Result result = m_marker.Take(m_libraryFolder, detail);
    std::string text;
    if (result == CFolderMarker::Result::HeldByOther) {
        // Two windows saving one library would each write back what they loaded.
        text = "The library in\n" + m_libraryFolder + "\nis open in another Tindrel window (" + detail +
               ").\nTwo windows on one library would overwrite each other's changes.\n\n"
               "Open it read-only?";
    } else if (result == CFolderMarker::Result::NotAFile) {
        // Without its marker this window could not tell another one that it has the
        // library, nor learn that another has it: it does not write.
        text = "The library folder\n" + m_libraryFolder + "\nholds " + detail + " named \"" +
               CFolderMarker::kFileName +
               "\", the name of the file by which Tindrel windows tell each other that they have the library "
               "open.\nWhile it is there, Tindrel cannot tell whether another window has the library.\n"
               "Remove or rename it, then open the library again to change it.\n\n"
               "Open it read-only?";
    } else {
        return true;
    }
    const MsgAnswer answer = ShowMessage(text, MsgButtons::YesNo, MsgIcon::Question);
    readOnly = answer == MsgAnswer::Yes;
    return readOnly;
}

void CQuorrinApp::WatchLibrary() {
    m_watcher = std::make_unique<CLibraryWatcher>(
        QString::fromStdString(m_libraryFolder),
        [this] {
            std::vector<CLibraryWatcher::WatchedFile> files;
            if (!m_doc || m_doc->IsClosing())
                return files;
            for (const auto& [name, category] : m_doc->Categories())
                files.push_back({category->GetFilePath(), category->Stamp(), !category->IsChanged()});
            // The library's structure: categories another program added.
            files.push_back({fileio::PathIn(m_libraryFolder, kStructureFileName), m_doc->Layout().Stamp(), true});
            return files;
        },
        [this] {
            if (m_doc && !m_doc->IsClosing())
                m_doc->ReloadChangedCategories();
        });
}

void CQuorrinApp::EndSession() {
    if (!m_endingSession) {
        m_endingSession = true;
        static CUnattendedMessages unattended;
        m_attendedMessages = &Messenger();
        m_attendedDialogs = &FileDialogs();
        SetMessenger(&unattended);
        SetFileDialogs(nullptr); // every file dialog is cancelled
    }
    // Open dialogs go first, so that the commands that opened them finish.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        QTimer::singleShot(0, [this] { EndSession(); });
        return;
    }
    if (m_frame)
        m_frame->close();
    QCoreApplication::quit();
}

bool CQuorrinApp::CloseDocument(bool quiet) {
    if (!m_doc)
        return true;
    WaitForLibrary();
    CQuorrinView* view = m_frame ? m_frame->View() : nullptr;
    m_doc->OnCloseDocument();
    if (view && view->CloseRefused() && !quiet)
        return false;
    // The last save. What it cannot write (a full disk, a read-only folder) would be lost
    // if the program ended now: the user may keep the window to mend that and save again.
    if (!m_doc->SaveAtClose() && !quiet &&
        ShowMessage("Not all changes could be written to the library's files (the messages before say why).\n"
                    "If Tindrel quits now, those changes are lost.\n\n"
                    "Quit anyway?",
                    MsgButtons::YesNoDefaultNo, MsgIcon::Exclamation) != MsgAnswer::Yes) {
        if (view)
            view->CloseCancelled();
        return false;
    }
    // Asked while the window is still there behind the question.
    if (!quiet)
        OfferLoadErrorCopy();
    if (view)
        view->DetachDocument();
    m_doc->SetView(nullptr);
    // Every changed category is tried once more (quitting anyway after a failed save).
    m_doc->SaveAtClose();
    m_doc.reset();
    return true;
}

void CQuorrinApp::OfferLoadErrorCopy() {
    // Unattended, the question is not asked: the load errors stay in their files anyway.
    if (m_loadErrorsOffered || m_endingSession || m_loadErrors.GetCount() < 1)
        return;
    m_loadErrorsOffered = true;
    // The samples in error are in their files (a save writes them back as they were
    // read), so nothing is lost by No: the question offers a copy, it warns of nothing.
    const MsgAnswer answer = ShowMessage(std::string("Load errors exist.\n\n") +
                                             "The samples that could not be loaded stay in their files\n"
                                             "until you correct or discard them (Samples > Correct load "
                                             "errors).\n\n" +
                                             "Do you want to save a copy of them to a text file as well?",
                                         MsgButtons::YesNo, MsgIcon::Question);
    if (answer != MsgAnswer::Yes)
        return;
    CSaveAsDialogChooser chooser(m_frame.get(), m_libraryFolder);
    CDocMessages exportMessages;
    exportMessages.SetSink(&m_docMessages);
    if (!ExportLoadErrors(m_loadErrors, chooser, exportMessages))
        ShowMessage("Load errors not saved!");
}

int CQuorrinApp::ExitInstance() {
    if (m_exited)
        return 0;
    m_exited = true;
    WaitForLibrary();
    // Normally the window's close has done this already.
    if (m_doc)
        CloseDocument();
    if (m_doc) {
        m_doc->SetView(nullptr);
        m_doc.reset();
    }

    OfferLoadErrorCopy();
    if (m_config) {
        if (m_config->m_bSaveTreeState)
            m_config->WriteExpandedCats();
        m_config->SaveSettings();
        m_config->g_expandedSubcats.clear();
    }
    if (m_frame && m_store && !m_readOnly)
        WriteWindowSettings(*m_store, CaptureWindow(*m_frame));
    m_frame.reset();
    return 0;
}

void CQuorrinApp::RunOptions() {
    if (!m_config)
        return;
    COptionsDlg dlg(m_config->m_bAutoSaveOnSwitch, m_config->m_bSaveTreeState, m_frame.get());
    dlg.SetSyncMinutes(m_config->m_syncMinutes);
    dlg.SetTrashDays(m_config->m_trashDays);
    if (dlg.exec() == QDialog::Accepted) {
        m_config->m_bAutoSaveOnSwitch = dlg.m_bAutoSaveOnSwitch != 0;
        m_config->m_bSaveTreeState = dlg.m_bSaveTreeState != 0;
        m_config->m_syncMinutes = dlg.m_syncMinutes;
        m_config->m_trashDays = dlg.m_trashDays;
    }
}

void CQuorrinApp::ShowLibraryHelp() { LaunchLibraryHelp(m_frame.get()); }

WizardCarryOver CQuorrinApp::WizardState() {
    return WizardCarryOver{m_confirmChunks, m_bDroppedTextPending, m_droppedText};
}

void CQuorrinApp::PumpPendingMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void CQuorrinApp::ShowLoadErrorsDialog() {
    if (!m_doc) {
        ShowMessage("Internal error.\nUnable to get document data!");
        return;
    }
    CLoadErrorsDlg dlg(*m_doc, m_loadErrors, m_frame.get());
    dlg.exec();
    if (m_frame)
        m_frame->UpdateCommandUI();
}

void CQuorrinApp::OnAppAbout() {
    CAboutDlg dlg(m_frame.get(), m_libraryFolder);
    dlg.exec();
}

void CQuorrinApp::ChooseLibraryFolder() {
    if (!m_frame)
        return;
    CMainFrame& frame = *m_frame;
    const auto chosen = FileDialogs().GetExistingFolder(
        &frame, FolderRequest{QStringLiteral("Library Folder"), m_libraryFolder});
    if (!chosen || chosen->empty())
        return;
    const std::string folder = FolderForLibrary(libraryfolder::Check(*chosen), &frame);
    if (folder.empty())
        return;
    if (folder == m_libraryFolder) {
        libraryfolder::Remember(*m_store, folder);
        return;
    }
    // The next run opens the folder itself, whether or not it could be remembered.
    SetRestartChoice(LibraryChoice{LibraryPlace::GivenFolder, folder, true});
    if (!frame.close()) {
        SetRestartChoice(std::nullopt);
        return;
    }
    libraryfolder::Remember(*m_store, folder);
}
