// The main window's place, size and layout between runs: the first start opens it at a
// size that fits the screen (1000 x 700, or nine tenths of the screen's free area where
// that is smaller), later starts as the user left it (ReadWindowSettings), as long as
// that still lies on a screen.
#pragma once

#include "config/WindowSettings.h"

class CMainFrame;

// Before the window is shown.
void RestoreWindow(CMainFrame& frame, const WindowSettings& settings);
// Whatever state the window is in (also hidden, after its close).
WindowSettings CaptureWindow(const CMainFrame& frame);
