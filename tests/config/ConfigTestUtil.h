// Helpers shared by the configuration tests.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "config/LibraryConfig.h"
#include "config/MemoryKeyStore.h"
#include "library/Category.h"
#include "support/TestSupport.h"

// A default category with its three default sub-categories shown, then custom ones.
inline CCategory DefaultCategory(const std::string& name, std::initializer_list<std::string> custom = {}) {
    CCategory c;
    c.SetName(name);
    c.SetFileName("quorrin" + name + ".txt");
    const char* defaults[] = {"General", "GUI", "COM"};
    for (int i = 0; i < kDefaultSlotCount; ++i)
        c.Slot(i) = {defaults[i], false, true};
    int slot = kDefaultSlotCount;
    for (const std::string& s : custom)
        c.Slot(slot++) = {s, true, true};
    return c;
}

inline CCategory CustomCategory(const std::string& name, std::initializer_list<std::string> subs = {}) {
    CCategory c(name);
    int slot = 0;
    for (const std::string& s : subs)
        c.Slot(slot++) = {s, true, true};
    return c;
}

// One library save of these categories, as the document does it.
inline void SaveLibrary(CLibraryConfig& config, const std::vector<CCategory>& categories) {
    config.BeginLibrarySave();
    for (const CCategory& c : categories)
        config.RecordCategory(c);
    config.EndLibrarySave();
}

// The message of a failed write, with the store's text for the reason.
inline std::string StoreError(const std::string& reason) {
    return "Quorrin was unable to store the state of\nthe sample tree.\nReason: " + reason +
           "\r\n\nAll sample data is OK, but the tree items will not be expanded\n"
           "to match their current state the next time you open the library.";
}
inline const std::string kDenied = "Access is denied.";

// Each text followed by a line end, for a transcript compared with a fixture file.
inline std::string Lines(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts)
        out += t + "\n";
    return out;
}
