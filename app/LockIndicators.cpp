#include "app/LockIndicators.h"

#include <dlfcn.h>

#include <QGuiApplication>

namespace {

// The few Xlib entry points used, by their C signatures.
using Display = void;
using Atom = unsigned long;
using XOpenDisplayFn = Display* (*)(const char*);
using XCloseDisplayFn = int (*)(Display*);
using XInternAtomFn = Atom (*)(Display*, const char*, int);
using XkbGetNamedIndicatorFn = int (*)(Display*, Atom, int*, int*, void*, int*);

struct X11 {
    bool tried = false;
    void* lib = nullptr;
    Display* display = nullptr;
    XCloseDisplayFn closeDisplay = nullptr;
    XkbGetNamedIndicatorFn getNamedIndicator = nullptr;
    Atom caps = 0, num = 0, scroll = 0;
};

X11& Instance() {
    static X11 x;
    return x;
}

bool Open(X11& x) {
    if (x.tried)
        return x.display != nullptr;
    x.tried = true;
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    x.lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (!x.lib)
        return false;
    auto open = reinterpret_cast<XOpenDisplayFn>(dlsym(x.lib, "XOpenDisplay"));
    auto intern = reinterpret_cast<XInternAtomFn>(dlsym(x.lib, "XInternAtom"));
    x.closeDisplay = reinterpret_cast<XCloseDisplayFn>(dlsym(x.lib, "XCloseDisplay"));
    x.getNamedIndicator = reinterpret_cast<XkbGetNamedIndicatorFn>(dlsym(x.lib, "XkbGetNamedIndicator"));
    if (!open || !intern || !x.closeDisplay || !x.getNamedIndicator)
        return false;
    x.display = open(nullptr);
    if (!x.display)
        return false;
    x.caps = intern(x.display, "Caps Lock", 0);
    x.num = intern(x.display, "Num Lock", 0);
    x.scroll = intern(x.display, "Scroll Lock", 0);
    return true;
}

} // namespace

LockState QueryLockState() {
    X11& x = Instance();
    LockState s;
    if (!Open(x))
        return s;
    auto get = [&](Atom atom) {
        int on = 0;
        if (!x.getNamedIndicator(x.display, atom, nullptr, &on, nullptr, nullptr))
            return false;
        return on != 0;
    };
    s.known = true;
    s.caps = get(x.caps);
    s.num = get(x.num);
    s.scroll = get(x.scroll);
    return s;
}

void ShutdownLockState() {
    X11& x = Instance();
    if (x.display && x.closeDisplay)
        x.closeDisplay(x.display);
    x.display = nullptr;
    x.tried = false;
}
