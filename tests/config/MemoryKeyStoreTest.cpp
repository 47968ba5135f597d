// The in-memory key store under the file-backed one: keys enumerate in byte order.
#include <gtest/gtest.h>

#include "config/MemoryKeyStore.h"

namespace {

using Names = std::vector<std::string>;

class KeyStore : public ::testing::Test {
protected:
    KeyHandle Create(KeyHandle parent, const std::string& name) {
        KeyHandle key = kNoKey;
        bool created = false;
        EXPECT_EQ(store.CreateKey(parent, name, kKeyAllAccess, key, created), keyerr::kSuccess);
        return key;
    }
    Names EnumAll(KeyHandle key) {
        Names names;
        std::string name;
        for (std::uint32_t i = 0; store.EnumKey(key, i, name) == keyerr::kSuccess; ++i)
            names.push_back(name);
        return names;
    }
    MemoryKeyStore store;
};

TEST_F(KeyStore, EnumerationIsInByteOrderAndStaysSoWhenKeysAreAdded) {
    KeyHandle root = Create(kCurrentUserKey, "R");
    for (const char* n : {"gui", "GUI", "b", "\xC3\xA9t\xC3\xA9", "A"})
        store.CloseKey(Create(root, n));
    EXPECT_EQ(EnumAll(root), (Names{"A", "GUI", "b", "gui", "\xC3\xA9t\xC3\xA9"}));
    store.CloseKey(Create(root, "a b")); // created after an enumeration: in its place in the next
    EXPECT_EQ(EnumAll(root), (Names{"A", "GUI", "a b", "b", "gui", "\xC3\xA9t\xC3\xA9"}));
    std::uint32_t count = 0;
    EXPECT_EQ(store.QueryInfoKey(root, count), keyerr::kSuccess);
    EXPECT_EQ(count, 6u);
    std::string name = "stale";
    EXPECT_EQ(store.EnumKey(root, 6, name), keyerr::kNoMoreItems);
    EXPECT_EQ(name, "");
    // (Names longer than 259 bytes give "more data": the configuration's read tests show it.)
}

} // namespace
