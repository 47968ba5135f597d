// Helpers shared by the configuration tests.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/FileKeyStore.h"
#include "config/LibraryConfig.h"
#include "config/MemoryKeyStore.h"
#include "library/Category.h"
#include "support/TestSupport.h"

// What a read found, one table per line.
inline std::string Tables(const CLibraryConfig& c) {
    std::string out;
    auto names = [&out](const NameSet& set) {
        for (const std::string& n : set)
            out += " " + n;
    };
    auto map = [&](const char* title, const NameSetMap& m) {
        out += title;
        for (const auto& [k, v] : m) {
            out += " " + k + ":";
            names(v);
        }
        out += "\n";
    };
    map("expanded", c.g_expandedSubcats);
    out += "files";
    for (const auto& [k, v] : c.g_customCatFiles)
        out += " " + k + "=" + v;
    out += "\n";
    map("custom", c.g_customCatSubcats);
    map("customsubs", c.g_customSubcats);
    out += "hidden";
    names(c.m_hiddenCats);
    out += "\n";
    map("hiddensubs", c.m_hiddenSubcats);
    return out;
}

// Adds the keys of a configuration file under tests/data to the store.
inline void LoadKeys(MemoryKeyStore& store, const std::string& fixture) {
    EXPECT_FALSE(FileKeyStore::Parse(ReadFileBytes(DataPath(fixture)), store).Damaged()) << fixture;
}

// A configuration over an in-memory store, with a messenger that records what is shown.
class ConfigTest : public ::testing::Test {
protected:
    RecordingMessenger messenger;
    MemoryKeyStore store;
    CLibraryConfig config{store};
};

// The configuration the next run reads from the store.
inline CLibraryConfig Loaded(IKeyStore& store) {
    CLibraryConfig next(store);
    next.LoadProfile();
    return next;
}


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

// Each text followed by a line end, for a transcript compared with a fixture file.
inline std::string Lines(const std::vector<std::string>& texts) {
    std::string out;
    for (const std::string& t : texts)
        out += t + "\n";
    return out;
}
