// Whether the desktop runs a clipboard manager: a program that keeps the clipboard's
// content when the program that copied it ends. On X11 it owns the CLIPBOARD_MANAGER
// selection, and Qt hands the clipboard to it as the application ends.
#pragma once

// False where it cannot be told (not X11).
bool ClipboardManagerRuns();
