// The status-bar pane that names the open library folder.
#pragma once

#include <string>

class CMainFrame;

// Names folder in the status bar (the pane is made on the first call).
void ShowLibraryFolder(CMainFrame& frame, const std::string& folder);
