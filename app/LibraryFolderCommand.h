// The library folder in the window: the status-bar pane that names the open folder,
// and File > Library Folder..., which opens the library in another folder and makes
// it the user's library folder.
#pragma once

#include <string>

class CMainFrame;
class CQuorrinApp;

// Names folder in the status bar (the pane is made on the first call).
void ShowLibraryFolder(CMainFrame& frame, const std::string& folder);

// Asks for a folder. Another folder than the open one is remembered as the user's
// library folder and opened: the window closes as at exit (unsaved edits are
// offered and saved, load errors offered for export) and the program starts again
// on it. A refused close changes nothing. The open folder itself is only remembered.
void ChooseLibraryFolder(CQuorrinApp& app, CMainFrame& frame);
