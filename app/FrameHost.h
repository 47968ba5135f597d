// What the main window needs of the application that made it; the application
// provides it, as it provides the view's host.
#pragma once

#include "browser/ViewHost.h"

class CLibraryConfig;
class CQuorrinDoc;

class IFrameHost : public IViewHost {
public:
    // What the window's view shows and keeps its settings in.
    virtual CQuorrinDoc* Document() = 0;
    virtual CLibraryConfig& Config() = 0;

    // The main window is closing: false when it stays open (see CQuorrinApp).
    virtual bool CloseDocument(bool quiet) = 0;
    // Nobody can answer a question: the desktop session or a signal ends the program.
    virtual bool EndingSession() const = 0;

    // File > Library Folder..., Samples > Correct load errors..., Help > About.
    virtual void ChooseLibraryFolder() = 0;
    virtual void ShowLoadErrorsDialog() = 0;
    virtual void OnAppAbout() = 0;
    // Load errors waiting for correction (none while the library is being read).
    virtual int GetLoadErrorCount() const = 0;
};
