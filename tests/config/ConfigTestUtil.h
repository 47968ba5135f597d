// Helpers shared by the configuration tests.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "config/LibraryConfig.h"
#include "config/MemoryKeyStore.h"
#include "library/Category.h"
#include "support/TestSupport.h"

// A default category with its three default sub-categories shown.
inline CCategory DefaultCategory(const std::string& name, std::initializer_list<std::string> custom = {}) {
    CCategory c;
    c.SetName(name);
    c.SetFileName("quorrin" + name + ".txt");
    const char* defaults[] = {"General", "GUI", "COM"};
    for (int i = 0; i < kDefaultSlotCount; ++i) {
        c.Slot(i).name = defaults[i];
        c.Slot(i).custom = false;
        c.Slot(i).inUse = true;
    }
    int slot = kDefaultSlotCount;
    for (const std::string& s : custom) {
        c.Slot(slot).name = s;
        c.Slot(slot).custom = true;
        c.Slot(slot).inUse = true;
        ++slot;
    }
    return c;
}

inline CCategory CustomCategory(const std::string& name, std::initializer_list<std::string> subs = {}) {
    CCategory c(name);
    int slot = 0;
    for (const std::string& s : subs) {
        c.Slot(slot).name = s;
        c.Slot(slot).inUse = true;
        ++slot;
    }
    return c;
}

// The store-error message with the reason for code.
inline std::string StoreErrorText(long code) {
    return "Quorrin was unable to store the state of\nthe sample tree.\nReason: " +
           MemoryKeyStore::SystemErrorText(code) +
           "\nAll sample data is OK, but the tree items will not be expanded\n"
           "to match their current state the next time you open the library.";
}
