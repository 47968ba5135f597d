// The in-memory key store under the file-backed one: the registry's semantics.
#include <gtest/gtest.h>

#include "config/MemoryKeyStore.h"

namespace {

using Names = std::vector<std::string>;

class KeyStore : public ::testing::Test {
protected:
    KeyHandle Create(KeyHandle parent, const std::string& name, bool* created = nullptr) {
        KeyHandle key = kNoKey;
        bool c = false;
        EXPECT_EQ(store.CreateKey(parent, name, kKeyAllAccess, key, c), keyerr::kSuccess);
        if (created)
            *created = c;
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
    KeyHandle k = kNoKey;
    bool created = false;
};

// Names are exact; a string value's size counts its terminator; a value read as the
// other type is invalid data; handles are counted and closed once.
TEST_F(KeyStore, HandlesValuesAndTheLastError) {
    KeyHandle a = Create(kCurrentUserKey, "K", &created);
    EXPECT_TRUE(created);
    KeyHandle b = Create(kCurrentUserKey, "K", &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(store.OpenKey(kCurrentUserKey, "k", kKeyRead, k), keyerr::kFileNotFound);
    EXPECT_EQ(k, kNoKey);
    EXPECT_EQ(store.ErrorText(-1), "The system cannot find the file specified.\r\n"); // the last error's
    EXPECT_EQ(store.SetString(a, "FileName", "quorrinTools.txt"), keyerr::kSuccess);
    EXPECT_EQ(store.SetDword(a, "Flag", 7), keyerr::kSuccess);
    std::uint32_t size = 0, number = 0;
    EXPECT_EQ(store.QueryValueSize(b, "FileName", size), keyerr::kSuccess);
    EXPECT_EQ(size, 17u);
    std::string text;
    EXPECT_EQ(store.QueryString(b, "Flag", text), keyerr::kInvalidData);
    EXPECT_EQ(store.QueryDword(b, "FileName", number), keyerr::kInvalidData);
    EXPECT_EQ(store.QueryValueSize(b, "filename", size), keyerr::kFileNotFound);
    EXPECT_EQ(store.OpenHandleCount(), 2u);
    for (KeyHandle h : {a, b})
        EXPECT_EQ(store.CloseKey(h), keyerr::kSuccess);
    EXPECT_EQ(store.OpenHandleCount(), 0u);
    EXPECT_EQ(store.CloseKey(a), keyerr::kInvalidHandle);
    EXPECT_EQ(store.OpenKey(0x4242, "x", kKeyRead, k), keyerr::kInvalidHandle);
}

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

TEST_F(KeyStore, DeletionRefusesKeysWithSubKeysOnNtAndRemovesBranchesOtherwise) {
    KeyHandle root = Create(kCurrentUserKey, "R");
    KeyHandle a = Create(root, "A");
    store.CloseKey(Create(a, "child"));
    EXPECT_EQ(store.DeleteKey(root, "A"), keyerr::kAccessDenied);
    EXPECT_TRUE(store.KeyExists({"R", "A", "child"}));
    EXPECT_EQ(store.DeleteKey(root, "missing"), keyerr::kFileNotFound);
    store.SetPlatformId(1);
    EXPECT_EQ(store.DeleteKey(root, "A"), keyerr::kSuccess);
    EXPECT_FALSE(store.KeyExists({"R", "A"}));
    std::uint32_t count = 0; // a handle to a deleted key refuses further work
    EXPECT_EQ(store.QueryInfoKey(a, count), keyerr::kKeyDeleted);
    EXPECT_EQ(store.CreateKey(a, "again", kKeyAllAccess, k, created), keyerr::kKeyDeleted);
}

} // namespace
