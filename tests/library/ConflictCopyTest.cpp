// Conflict copies are known by the names sync tools give them; near misses are not.
#include <gtest/gtest.h>

#include "library/ConflictCopy.h"

namespace {

TEST(ConflictCopy, KnownByTheNamesSyncToolsGiveThem) {
    const std::pair<const char*, const char*> rows[] = {
        {"quorrinjava.sync-conflict-20261201-101010-ABCDEFG.txt", "quorrinjava.txt"},
        {"tindrel-library.sync-conflict-20261201-101010-Z9Z9Z9Z.txt", "tindrel-library.txt"},
        {"quorrinjava (conflicted copy 2026-12-01 101010).txt", "quorrinjava.txt"},
        {"quorrinC++ (conflicted copy 2026-12-01 10-10-10).txt", "quorrinC++.txt"},
        {"quorrinjava (Jane Doe's conflicted copy 2026-12-01).txt", "quorrinjava.txt"},
        {"quorrinjava (Jane\xE2\x80\x99s conflicted copy 2026-12-01).txt", "quorrinjava.txt"},
        {"quorrin my (old) java (Jane's conflicted copy 2026-12-01).txt", "quorrin my (old) java.txt"},
        // Near misses.
        {"quorrinjava.txt", ""},
        {"quorrinjava copy.txt", ""},
        {"quorrinjava_BASE_1234.txt", ""},
        {"quorrinjava.sync-conflict.txt", ""},
        {"quorrinjava.sync-conflict-2026121-101010-ABCDEFG.txt", ""},
        {"quorrinjava.sync-conflict-20261201-101010-.txt", ""},
        {"quorrinjava.sync-conflict-20261201-101010-ABC DEF.txt", ""},
        {".sync-conflict-20261201-101010-ABCDEFG.txt", ""},
        {"quorrinjava (conflicted copy).txt", ""},
        {"quorrinjava (conflicted copy 2026-12-01 101010).txt.bak", ""},
        {"quorrinjava (conflicted copy yesterday).txt", ""},
        {"quorrinjava (Jane's copy 2026-12-01).txt", ""},
        {" (conflicted copy 2026-12-01 101010).txt", ""},
    };
    for (const auto& [copy, original] : rows)
        EXPECT_EQ(ConflictCopyOriginal(copy), original) << copy;
}

} // namespace
