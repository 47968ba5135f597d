// The state of the Caps Lock, Num Lock and Scroll Lock keys for the status bar.
// Read from the X server's keyboard indicators when the window runs on X11 (libX11 is
// loaded at run time, so nothing extra is needed to build); unknown elsewhere.
#pragma once

struct LockState {
    bool known = false;
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

LockState QueryLockState();
// Closes the display connection used for the queries.
void ShutdownLockState();
