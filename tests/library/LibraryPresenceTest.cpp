// What makes a folder hold a library, for the window's question before it makes one.
#include <gtest/gtest.h>

#include "library/LibraryPresence.h"
#include "support/TestSupport.h"

namespace {

TEST(LibraryPresence, ACategoryFileOrTheStructureFileMakesALibrary) {
    const std::pair<const char*, bool> rows[] = {
        {"notes.txt", false},
        {"library.txt", false},
        {"quorrin.txt", false},
        {"quorrinRust.txt", true},
        {"tindrel-library.txt", true},
        {"quorrinjava.sync-conflict-20261201-101010-ABCDEFG.txt", true},
    };
    for (const auto& [name, holds] : rows) {
        TempDir dir;
        EXPECT_FALSE(HoldsLibrary(dir.Path()));
        WriteFileBytes(dir.File(name), "");
        EXPECT_EQ(HoldsLibrary(dir.Path()), holds) << name;
    }
}

} // namespace
