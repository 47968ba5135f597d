// The in-memory key store: the registry's semantics and its fault injection.
#include <gtest/gtest.h>

#include "config/MemoryKeyStore.h"

namespace {

using Op = MemoryKeyStore::Op;
using Names = std::vector<std::string>;

KeyHandle Create(MemoryKeyStore& store, KeyHandle parent, const std::string& name, bool* created = nullptr) {
    KeyHandle key = kNoKey;
    bool c = false;
    EXPECT_EQ(store.CreateKey(parent, name, kKeyAllAccess, key, c), keyerr::kSuccess);
    if (created)
        *created = c;
    return key;
}

Names EnumAll(MemoryKeyStore& store, KeyHandle key) {
    Names names;
    std::string name;
    for (std::uint32_t i = 0; store.EnumKey(key, i, name) == keyerr::kSuccess; ++i)
        names.push_back(name);
    return names;
}

TEST(MemoryKeyStore, HandlesCreateOpenAndClose) {
    MemoryKeyStore store;
    bool created = false;
    KeyHandle a = Create(store, kCurrentUserKey, "Software", &created);
    EXPECT_TRUE(created);
    KeyHandle b = Create(store, kCurrentUserKey, "Software", &created);
    EXPECT_FALSE(created);
    KeyHandle missing = 123;
    EXPECT_EQ(store.OpenKey(kCurrentUserKey, "software", kKeyRead, missing), keyerr::kFileNotFound);
    EXPECT_EQ(missing, kNoKey);
    EXPECT_EQ(store.ErrorText(-1), "The system cannot find the file specified.\r\n"); // the last error
    EXPECT_EQ(store.OpenHandleCount(), 2u);
    for (KeyHandle h : {a, b})
        EXPECT_EQ(store.CloseKey(h), keyerr::kSuccess);
    EXPECT_EQ(store.OpenHandleCount(), 0u);
    EXPECT_EQ(store.CloseKey(a), keyerr::kInvalidHandle);
    EXPECT_EQ(store.OpenKey(0x4242, "x", kKeyRead, missing), keyerr::kInvalidHandle);
}

TEST(MemoryKeyStore, EnumerationIsInByteOrderAndStaysSoWhenKeysAreAdded) {
    MemoryKeyStore store;
    KeyHandle root = Create(store, kCurrentUserKey, "R");
    for (const char* n : {"gui", "GUI", "b", "\xC3\xA9t\xC3\xA9", "A"})
        store.CloseKey(Create(store, root, n));
    EXPECT_EQ(EnumAll(store, root), (Names{"A", "GUI", "b", "gui", "\xC3\xA9t\xC3\xA9"}));
    // A key created after an enumeration takes its place in the next one.
    store.CloseKey(Create(store, root, "a b"));
    EXPECT_EQ(EnumAll(store, root), (Names{"A", "GUI", "a b", "b", "gui", "\xC3\xA9t\xC3\xA9"}));
    std::uint32_t count = 0;
    EXPECT_EQ(store.QueryInfoKey(root, count), keyerr::kSuccess);
    EXPECT_EQ(count, 6u);
    std::string name = "stale";
    EXPECT_EQ(store.EnumKey(root, 6, name), keyerr::kNoMoreItems);
    EXPECT_EQ(name, "");

    // Names longer than 259 bytes come back cut, with "more data".
    const std::string n259(259, 'x'), n260 = std::string(259, 'y') + "z";
    store.CloseKey(Create(store, root, n259));
    store.CloseKey(Create(store, root, n260));
    EXPECT_EQ(store.EnumKey(root, 5, name), keyerr::kSuccess);
    EXPECT_EQ(name, n259);
    EXPECT_EQ(store.EnumKey(root, 6, name), keyerr::kMoreData);
    EXPECT_EQ(name, std::string(259, 'y'));
}

TEST(MemoryKeyStore, DeletionRefusesKeysWithSubKeysOnNtAndRemovesBranchesOtherwise) {
    MemoryKeyStore store;
    KeyHandle root = Create(store, kCurrentUserKey, "R");
    KeyHandle a = Create(store, root, "A");
    store.CloseKey(Create(store, a, "child"));
    EXPECT_EQ(store.DeleteKey(root, "A"), keyerr::kAccessDenied);
    EXPECT_TRUE(store.KeyExists({"R", "A", "child"}));
    EXPECT_EQ(store.DeleteKey(root, "missing"), keyerr::kFileNotFound);

    store.SetPlatformId(1);
    EXPECT_EQ(store.DeleteKey(root, "A"), keyerr::kSuccess);
    EXPECT_FALSE(store.KeyExists({"R", "A"}));
    // A handle to a deleted key refuses further work.
    std::uint32_t count = 0;
    EXPECT_EQ(store.QueryInfoKey(a, count), keyerr::kKeyDeleted);
    KeyHandle k = kNoKey;
    bool created = false;
    EXPECT_EQ(store.CreateKey(a, "again", kKeyAllAccess, k, created), keyerr::kKeyDeleted);
}

TEST(MemoryKeyStore, ValuesHaveTypesAndStringSizesCountTheTerminator) {
    MemoryKeyStore store;
    KeyHandle key = Create(store, kCurrentUserKey, "K");
    EXPECT_EQ(store.SetString(key, "FileName", "quorrinTools.txt"), keyerr::kSuccess);
    EXPECT_EQ(store.SetDword(key, "Flag", 7), keyerr::kSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(store.QueryValueSize(key, "FileName", size), keyerr::kSuccess);
    EXPECT_EQ(size, 17u);
    EXPECT_EQ(store.QueryValueSize(key, "filename", size), keyerr::kFileNotFound);
    std::string text;
    EXPECT_EQ(store.QueryString(key, "FileName", text), keyerr::kSuccess);
    EXPECT_EQ(text, "quorrinTools.txt");
    EXPECT_EQ(store.QueryString(key, "Flag", text), keyerr::kInvalidData);
    std::uint32_t number = 0;
    EXPECT_EQ(store.QueryDword(key, "Flag", number), keyerr::kSuccess);
    EXPECT_EQ(number, 7u);
    EXPECT_EQ(store.QueryDword(key, "FileName", number), keyerr::kInvalidData);
}

TEST(MemoryKeyStore, FaultsFailTheNthCallAboutANameOnceOrRepeatedly) {
    MemoryKeyStore store;
    KeyHandle root = Create(store, kCurrentUserKey, "R");
    store.FailCall(Op::Create, keyerr::kAccessDenied, 2);
    KeyHandle k = kNoKey;
    bool created = false;
    EXPECT_EQ(store.CreateKey(root, "A", kKeyAllAccess, k, created), keyerr::kSuccess);
    store.CloseKey(k);
    EXPECT_EQ(store.CreateKey(root, "B", kKeyAllAccess, k, created), keyerr::kAccessDenied);
    EXPECT_EQ(k, kNoKey);
    EXPECT_FALSE(store.KeyExists({"R", "B"}));
    EXPECT_EQ(store.LastError(), keyerr::kAccessDenied);
    EXPECT_EQ(store.CreateKey(root, "B", kKeyAllAccess, k, created), keyerr::kSuccess);
    store.CloseKey(k);
    EXPECT_EQ(store.CallCount(Op::Create), 4);

    // By sub-key name, for ever; by the name of the key a handle refers to; by value name.
    store.FailCall(Op::Open, keyerr::kRegistryIO, 1, std::string("B"), -1);
    EXPECT_EQ(store.OpenKey(root, "A", kKeyRead, k), keyerr::kSuccess);
    store.CloseKey(k);
    EXPECT_EQ(store.OpenKey(root, "B", kKeyRead, k), keyerr::kRegistryIO);
    EXPECT_EQ(store.OpenKey(root, "B", kKeyRead, k), keyerr::kRegistryIO);
    store.FailCall(Op::QueryInfo, keyerr::kAccessDenied, 1, std::string("R"));
    std::uint32_t count = 0;
    EXPECT_EQ(store.QueryInfoKey(root, count), keyerr::kAccessDenied);
    EXPECT_EQ(store.QueryInfoKey(root, count), keyerr::kSuccess);
    store.FailCall(Op::SetString, keyerr::kWriteFault, 1, std::string("FileName"), 2);
    EXPECT_EQ(store.SetString(root, "Other", "x"), keyerr::kSuccess);
    EXPECT_EQ(store.SetString(root, "FileName", "x"), keyerr::kWriteFault);
    EXPECT_EQ(store.SetString(root, "FileName", "x"), keyerr::kWriteFault);
    EXPECT_EQ(store.SetString(root, "FileName", "x"), keyerr::kSuccess);
    store.ClearFaults();
    EXPECT_EQ(store.OpenKey(root, "B", kKeyRead, k), keyerr::kSuccess);
    store.CloseKey(k);

    // A create can be made to report an existing key although it made one.
    store.ReportOpenedExisting(std::string("New"));
    EXPECT_EQ(store.CreateKey(root, "Other", kKeyAllAccess, k, created), keyerr::kSuccess);
    EXPECT_TRUE(created);
    store.CloseKey(k);
    EXPECT_EQ(store.CreateKey(root, "New", kKeyAllAccess, k, created), keyerr::kSuccess);
    EXPECT_FALSE(created);
    EXPECT_TRUE(store.KeyExists({"R", "New"}));
}

} // namespace
