// The in-memory key store: registry semantics and fault injection.
#include <gtest/gtest.h>

#include "config/MemoryKeyStore.h"

namespace {

using Op = MemoryKeyStore::Op;

KeyHandle Create(MemoryKeyStore& store, KeyHandle parent, const std::string& name, bool* created = nullptr) {
    KeyHandle key = kNoKey;
    bool c = false;
    EXPECT_EQ(store.CreateKey(parent, name, kKeyAllAccess, key, c), keyerr::kSuccess);
    if (created)
        *created = c;
    return key;
}

std::vector<std::string> EnumAll(MemoryKeyStore& store, KeyHandle key) {
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; store.EnumKey(key, i, name) == keyerr::kSuccess; ++i)
        names.push_back(name);
    return names;
}

TEST(MemoryKeyStore, CreateTellsCreatedFromOpenedAndOpenFindsOnlyExistingKeys) {
    MemoryKeyStore store;
    bool created = false;
    KeyHandle a = Create(store, kCurrentUserKey, "Software", &created);
    EXPECT_TRUE(created);
    KeyHandle b = Create(store, kCurrentUserKey, "Software", &created);
    EXPECT_FALSE(created);
    KeyHandle opened = kNoKey;
    EXPECT_EQ(store.OpenKey(kCurrentUserKey, "Software", kKeyRead, opened), keyerr::kSuccess);
    EXPECT_NE(opened, kNoKey);
    KeyHandle missing = 123;
    EXPECT_EQ(store.OpenKey(kCurrentUserKey, "software", kKeyRead, missing), keyerr::kFileNotFound);
    EXPECT_EQ(missing, kNoKey);
    EXPECT_EQ(store.OpenHandleCount(), 3u);
    for (KeyHandle h : {a, b, opened})
        EXPECT_EQ(store.CloseKey(h), keyerr::kSuccess);
    EXPECT_EQ(store.OpenHandleCount(), 0u);
    EXPECT_EQ(store.CloseKey(a), keyerr::kInvalidHandle);
    EXPECT_EQ(store.CloseKey(kCurrentUserKey), keyerr::kSuccess);
    KeyHandle none = kNoKey;
    EXPECT_EQ(store.OpenKey(0x4242, "x", kKeyRead, none), keyerr::kInvalidHandle);
}

TEST(MemoryKeyStore, EnumeratesInByteOrderKeepingCaseAndEndsWithNoMoreItems) {
    MemoryKeyStore store;
    KeyHandle root = Create(store, kCurrentUserKey, "R");
    for (const char* n : {"gui", "GUI", "b", "a b", "\xC3\xA9t\xC3\xA9", "A"})
        store.CloseKey(Create(store, root, n));
    EXPECT_EQ(EnumAll(store, root),
              (std::vector<std::string>{"A", "GUI", "a b", "b", "gui", "\xC3\xA9t\xC3\xA9"}));
    std::uint32_t count = 0;
    EXPECT_EQ(store.QueryInfoKey(root, count), keyerr::kSuccess);
    EXPECT_EQ(count, 6u);
    std::string name = "stale";
    EXPECT_EQ(store.EnumKey(root, 6, name), keyerr::kNoMoreItems);
    EXPECT_EQ(name, "");
    EXPECT_EQ(store.SubKeyNames({"R"}), EnumAll(store, root));
}

TEST(MemoryKeyStore, EnumerationCutsNamesLongerThan259WithMoreData) {
    MemoryKeyStore store;
    KeyHandle root = Create(store, kCurrentUserKey, "R");
    std::string n259(259, 'x'), n260 = std::string(259, 'y') + "z";
    store.CloseKey(Create(store, root, n259));
    store.CloseKey(Create(store, root, n260));
    std::string name;
    EXPECT_EQ(store.EnumKey(root, 0, name), keyerr::kSuccess);
    EXPECT_EQ(name, n259);
    EXPECT_EQ(store.EnumKey(root, 1, name), keyerr::kMoreData);
    EXPECT_EQ(name, std::string(259, 'y'));
}

TEST(MemoryKeyStore, DeletionRefusesKeysWithSubKeysOnNtAndRemovesBranchesOtherwise) {
    MemoryKeyStore store;
    KeyHandle root = Create(store, kCurrentUserKey, "R");
    KeyHandle a = Create(store, root, "A");
    store.CloseKey(Create(store, a, "child"));
    EXPECT_EQ(store.DeleteKey(root, "A"), keyerr::kAccessDenied);
    EXPECT_EQ(store.LastError(), keyerr::kAccessDenied);
    EXPECT_TRUE(store.KeyExists({"R", "A", "child"}));
    EXPECT_EQ(store.DeleteKey(root, "missing"), keyerr::kFileNotFound);

    store.SetPlatformId(1);
    EXPECT_EQ(store.PlatformId(), 1);
    EXPECT_EQ(store.DeleteKey(root, "A"), keyerr::kSuccess);
    EXPECT_FALSE(store.KeyExists({"R", "A"}));
    // A handle to a deleted key refuses further work.
    std::uint32_t count = 0;
    EXPECT_EQ(store.QueryInfoKey(a, count), keyerr::kKeyDeleted);
    bool created = false;
    KeyHandle k = kNoKey;
    EXPECT_EQ(store.CreateKey(a, "again", kKeyAllAccess, k, created), keyerr::kKeyDeleted);
    EXPECT_EQ(store.CloseKey(a), keyerr::kSuccess);
    EXPECT_EQ(store.CloseKey(root), keyerr::kSuccess);
}

TEST(MemoryKeyStore, ValuesHaveTypesAndStringSizesCountTheTerminator) {
    MemoryKeyStore store;
    KeyHandle key = Create(store, kCurrentUserKey, "K");
    EXPECT_EQ(store.SetString(key, "FileName", "quorrinTools.txt"), keyerr::kSuccess);
    EXPECT_EQ(store.SetDword(key, "Flag", 7), keyerr::kSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(store.QueryValueSize(key, "FileName", size), keyerr::kSuccess);
    EXPECT_EQ(size, 17u);
    EXPECT_EQ(store.QueryValueSize(key, "Flag", size), keyerr::kSuccess);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(store.QueryValueSize(key, "filename", size), keyerr::kFileNotFound);
    std::string text;
    EXPECT_EQ(store.QueryString(key, "FileName", text), keyerr::kSuccess);
    EXPECT_EQ(text, "quorrinTools.txt");
    EXPECT_EQ(store.QueryString(key, "Flag", text), keyerr::kInvalidData);
    std::uint32_t number = 0;
    EXPECT_EQ(store.QueryDword(key, "Flag", number), keyerr::kSuccess);
    EXPECT_EQ(number, 7u);
    EXPECT_EQ(store.QueryDword(key, "FileName", number), keyerr::kInvalidData);
    EXPECT_EQ(store.QueryDword(key, "None", number), keyerr::kFileNotFound);
    ASSERT_TRUE(store.GetValue({"K"}, "Flag").has_value());
    EXPECT_TRUE(store.GetValue({"K"}, "Flag")->isDword);
    store.CloseKey(key);
}

TEST(MemoryKeyStore, ErrorTextsAreTheSystemTextsAndMinusOneMeansTheLastError) {
    MemoryKeyStore store;
    EXPECT_EQ(store.ErrorText(0), "The operation completed successfully.\r\n");
    EXPECT_EQ(store.ErrorText(2), "The system cannot find the file specified.\r\n");
    EXPECT_EQ(store.ErrorText(5), "Access is denied.\r\n");
    EXPECT_EQ(store.ErrorText(6), "The handle is invalid.\r\n");
    EXPECT_EQ(store.ErrorText(87), "The parameter is incorrect.\r\n");
    EXPECT_EQ(store.ErrorText(234), "More data is available.\r\n");
    EXPECT_EQ(store.ErrorText(259), "No more data is available.\r\n");
    EXPECT_EQ(store.ErrorText(1018),
              "Illegal operation attempted on a registry key that has been marked for deletion.\r\n");
    EXPECT_EQ(store.ErrorText(99999), "Unknown error 99999.\r\n");
    KeyHandle none = kNoKey;
    store.OpenKey(kCurrentUserKey, "absent", kKeyRead, none);
    EXPECT_EQ(store.ErrorText(-1), "The system cannot find the file specified.\r\n");
}

TEST(MemoryKeyStore, FaultsFailTheNthMatchingCallOnce) {
    MemoryKeyStore store;
    KeyHandle root = Create(store, kCurrentUserKey, "R");
    store.FailCall(Op::Create, keyerr::kAccessDenied, 2);
    KeyHandle k = kNoKey;
    bool created = false;
    EXPECT_EQ(store.CreateKey(root, "one", kKeyAllAccess, k, created), keyerr::kSuccess);
    store.CloseKey(k);
    EXPECT_EQ(store.CreateKey(root, "two", kKeyAllAccess, k, created), keyerr::kAccessDenied);
    EXPECT_EQ(k, kNoKey);
    EXPECT_FALSE(store.KeyExists({"R", "two"}));
    EXPECT_EQ(store.LastError(), keyerr::kAccessDenied);
    EXPECT_EQ(store.CreateKey(root, "two", kKeyAllAccess, k, created), keyerr::kSuccess);
    store.CloseKey(k);
    EXPECT_EQ(store.CallCount(Op::Create), 4);
}

TEST(MemoryKeyStore, FaultsCanBeBoundToANameAndRepeated) {
    MemoryKeyStore store;
    KeyHandle root = Create(store, kCurrentUserKey, "R");
    store.CloseKey(Create(store, root, "A"));
    store.CloseKey(Create(store, root, "B"));
    // By sub-key name, for ever.
    store.FailCall(Op::Open, keyerr::kRegistryIO, 1, std::string("B"), -1);
    KeyHandle k = kNoKey;
    EXPECT_EQ(store.OpenKey(root, "A", kKeyRead, k), keyerr::kSuccess);
    store.CloseKey(k);
    EXPECT_EQ(store.OpenKey(root, "B", kKeyRead, k), keyerr::kRegistryIO);
    EXPECT_EQ(store.OpenKey(root, "B", kKeyRead, k), keyerr::kRegistryIO);
    // By the name of the key a handle refers to, and by value name.
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
    store.CloseKey(root);
}

TEST(MemoryKeyStore, CreateCanBeMadeToReportAnExistingKey) {
    MemoryKeyStore store;
    store.ReportOpenedExisting(std::string("New"));
    KeyHandle k = kNoKey;
    bool created = true;
    EXPECT_EQ(store.CreateKey(kCurrentUserKey, "Other", kKeyAllAccess, k, created), keyerr::kSuccess);
    EXPECT_TRUE(created);
    store.CloseKey(k);
    EXPECT_EQ(store.CreateKey(kCurrentUserKey, "New", kKeyAllAccess, k, created), keyerr::kSuccess);
    EXPECT_FALSE(created);
    EXPECT_TRUE(store.KeyExists({"New"}));
    store.CloseKey(k);
}

TEST(MemoryKeyStore, DirectAccessBuildsAndVisitsTheTree) {
    MemoryKeyStore store;
    auto before = store.ChangeCount();
    store.PutKey({"A", "B", "C"});
    store.PutValue({"A"}, "v", MemoryKeyStore::Value{true, "", 3});
    EXPECT_GT(store.ChangeCount(), before);
    std::vector<std::string> seen;
    store.Visit([&](const KeyPath& path, const std::map<std::string, MemoryKeyStore::Value>& values) {
        std::string line;
        for (const auto& p : path)
            line += "/" + p;
        seen.push_back(line + "#" + std::to_string(values.size()));
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"#0", "/A#1", "/A/B#0", "/A/B/C#0"}));
    store.ClearTree();
    EXPECT_FALSE(store.KeyExists({"A"}));
}

} // namespace
