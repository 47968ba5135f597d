// How the user left the main window, kept per user below Settings beside the options:
// its place and size, whether it was maximized, the positions of its two splitters,
// the text's zoom, whether white space is shown and whether the instant find searches
// the text too. Values: WindowLeft, WindowTop, WindowWidth, WindowHeight,
// WindowMaximized, TreeSplit and TextSplit (two sizes, "320,640"), EditorZoom,
// ShowWhiteSpace, FindInText. Signed numbers are kept in the 32-bit values as two's
// complement. A value that is missing or out of range is left at its default.
#pragma once

#include <string>
#include <vector>

#include "config/KeyStore.h"

struct WindowSettings {
    bool hasGeometry = false; // the four below were read
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool maximized = false;
    std::vector<int> treeSplit; // empty when not kept
    std::vector<int> textSplit;
    int zoom = 0;
    bool whitespace = false;
    bool findInText = false;
};

WindowSettings ReadWindowSettings(IKeyStore& store);
// Written as the options are: the keys are created when missing, failures are not
// reported (the window's look is no library data); the store is made durable.
void WriteWindowSettings(IKeyStore& store, const WindowSettings& settings);

// The key Settings below the application's key; created (with its parents) when
// create is set. kNoKey, with the failing call's code in rc, when it cannot be opened.
KeyHandle OpenSettingsKey(IKeyStore& store, bool create, long& rc);
