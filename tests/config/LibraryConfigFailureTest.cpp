// Every failure of reading and writing the library configuration, through the in-memory
// store's fault injection: the messages, and what is read or written all the same.
#include <gtest/gtest.h>

#include <functional>

#include "ConfigTestUtil.h"

namespace {

using Op = MemoryKeyStore::Op;
using Texts = std::vector<std::string>;

const char* const kTopKeys[] = {"ExpandedCats", "CustomCats", "CustomSubcats", "HiddenCats", "HiddenSubcats"};

// What a read found, one table per line.
std::string Tables(const CLibraryConfig& c) {
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

TEST(ConfigFailure, AFailedReadIsReportedAndTheRestIsRead) {
    const std::string all =
        "expanded A: x B: y\nfiles A=a.txt B=b.txt\ncustom A: x B: y\ncustomsubs A: x B: y\n"
        "hidden A B\nhiddensubs A: x B: y\n";
    const auto without = [&all](const std::string& line, const std::string& instead) {
        std::string out = all;
        const size_t at = out.find(line);
        return out.replace(at, line.size(), instead);
    };
    const std::string query = "Error attempting to query registry!\nAccess is denied.\r\n";
    const std::string enumerate = "Error attempting to enumerate registry items!\nAccess is denied.\r\n";
    const struct {
        Op op;
        const char* name;
        int times;
        std::string message; // empty: none
        std::string tables;
    } rows[] = {
        {Op::QueryInfo, "ExpandedCats", 1, query, without("expanded A: x B: y", "expanded")},
        {Op::QueryInfo, "CustomCats", 1, query,
         without("files A=a.txt B=b.txt\ncustom A: x B: y", "files\ncustom")},
        {Op::QueryInfo, "CustomSubcats", 1,
         "Error attempting to query registry for custom subcategories!\nAccess is denied.\r\n",
         without("customsubs A: x B: y", "customsubs")},
        {Op::QueryInfo, "HiddenCats", 1, query, without("hidden A B", "hidden")},
        {Op::QueryInfo, "HiddenSubcats", 1,
         "Error attempting to query registry for hidden subcategories!\nAccess is denied.\r\n",
         without("hiddensubs A: x B: y", "hiddensubs")},
        // The first read of a category's own key (below ExpandedCats) fails.
        {Op::Open, "B", 1, enumerate, without("expanded A: x B: y", "expanded A: x")},
        {Op::Enum, "A", 1, enumerate, without("expanded A: x B: y", "expanded B: y")},
        {Op::QueryInfo, "A", 1,
         "Error attempting to query registry for subcategories!\nAccess is denied.\r\n",
         without("expanded A: x B: y", "expanded B: y")},
        {Op::QueryValueSize, "A", 1,
         "Error attempting to obtain FileName value for key A.\nReason: Access is denied.\r\n",
         without("files A=a.txt", "files A=")},
        // An application key that cannot be opened reads nothing, silently.
        {Op::Open, "Tindrel", -1, "", "expanded\nfiles\ncustom\ncustomsubs\nhidden\nhiddensubs\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.tables);
        RecordingMessenger messenger;
        MemoryKeyStore store;
        for (const char* k : kTopKeys) {
            store.PutKey(AppPath({k, "A", "x"}));
            store.PutKey(AppPath({k, "B", "y"}));
        }
        store.PutValue(AppPath({"CustomCats", "A"}), "FileName", {false, "a.txt", 0});
        store.PutValue(AppPath({"CustomCats", "B"}), "FileName", {false, "b.txt", 0});
        store.FailCall(row.op, keyerr::kAccessDenied, 1, std::string(row.name), row.times);
        CLibraryConfig config(store);
        EXPECT_TRUE(config.LoadProfile());
        EXPECT_EQ(messenger.Texts(), row.message.empty() ? Texts{} : Texts{row.message});
        EXPECT_EQ(Tables(config), row.tables);
        EXPECT_EQ(store.OpenHandleCount(), 0u);
    }
    // Names longer than the enumeration buffer are reported, not read cut.
    RecordingMessenger messenger;
    MemoryKeyStore store;
    store.PutKey(AppPath({"HiddenCats", std::string(260, 'n')}));
    store.PutKey(AppPath({"HiddenSubcats", "C++", std::string(300, 's')}));
    CLibraryConfig config(store);
    config.LoadProfile();
    const std::string more = "Error attempting to enumerate registry items!\nMore data is available.\r\n";
    EXPECT_EQ(messenger.Texts(), (Texts{more, more}));
    EXPECT_EQ(Tables(config), "expanded\nfiles\ncustom\ncustomsubs\nhidden\nhiddensubs\n");
}

// Every failing write is reported; the save goes on with the rest, and a key whose
// rebuild failed is rebuilt at the next save.
TEST(ConfigFailure, AFailedWriteIsReportedOnceAndTheRestIsWritten) {
    CCategory cppComHidden = DefaultCategory("C++");
    cppComHidden.Slot(2).inUse = false;
    CCategory javaHidden = DefaultCategory("Java");
    javaHidden.SetDisplayed(false);
    CCategory vbHidden = DefaultCategory("Visual Basic");
    vbHidden.SetDisplayed(false);
    const std::string empty = "CustomCats\nCustomSubcats\nHiddenCats\nHiddenSubcats\n";
    const struct {
        const char* what;
        std::function<void(MemoryKeyStore&)> arm;
        std::vector<CCategory> categories;
        Texts messages;
        std::string dump;
    } rows[] = {
        {"the application key cannot be made",
         [](MemoryKeyStore& s) {
             s.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("Software"), -1);
         },
         {DefaultCategory("C++"), CustomCategory("Tools")},
         Texts(4, StoreError(kDenied)),
         ""},
        {"a sub-key cannot be deleted",
         [](MemoryKeyStore& s) {
             s.PutKey(AppPath({"HiddenSubcats", "C++", "GUI"}));
             s.FailCall(Op::Delete, keyerr::kAccessDenied, 1, std::string("GUI"));
         },
         {cppComHidden},
         {"Error attempting to delete subkey GUI!\nReason: Access is denied.\r\n",
          "Error attempting to delete subkey C++!\nReason: Access is denied.\r\n", StoreError(kDenied)},
         "CustomCats\nCustomSubcats\nHiddenCats\nHiddenSubcats\nHiddenSubcats / C++\nHiddenSubcats / C++ / "
         "GUI\n"},
        {"the rebuilt key is reported as an existing one",
         [](MemoryKeyStore& s) { s.ReportOpenedExisting(std::string("HiddenCats")); },
         {javaHidden},
         {StoreError("The operation completed successfully.")},
         empty},
        {"the rebuilt key cannot be created",
         [](MemoryKeyStore& s) {
             s.FailCall(Op::Create, keyerr::kChildMustBeVolatile, 1, std::string("CustomCats"));
         },
         {CustomCategory("Tools")},
         {StoreError("Cannot create a stable subkey under a volatile parent key.")},
         "CustomSubcats\nHiddenCats\nHiddenSubcats\n"},
        {"the rebuilt key cannot be opened after its creation",
         [](MemoryKeyStore& s) { s.FailCall(Op::Open, keyerr::kAccessDenied, 2, std::string("CustomCats")); },
         {CustomCategory("Tools")},
         {StoreError(kDenied)},
         empty},
        {"the key cannot be opened for a later write",
         [](MemoryKeyStore& s) { s.FailCall(Op::Open, keyerr::kAccessDenied, 3, std::string("HiddenCats")); },
         {javaHidden, DefaultCategory("C++"), vbHidden},
         {StoreError(kDenied)},
         "CustomCats\nCustomSubcats\nHiddenCats\nHiddenCats / Java\nHiddenCats / Visual "
         "Basic\nHiddenSubcats\n"},
        {"a custom category's key cannot be created",
         [](MemoryKeyStore& s) { s.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("Tools")); },
         {CustomCategory("Tools", {"Loops"}), CustomCategory("Web")},
         {StoreError(kDenied)},
         "CustomCats\nCustomCats / Web { FileName='quorrinWeb.txt' "
         "}\nCustomSubcats\nHiddenCats\nHiddenSubcats\n"},
        {"a default category's keys cannot be created",
         [](MemoryKeyStore& s) {
             s.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("C++"), 3);
             s.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("A"));
         },
         {[] {
              CCategory cpp = DefaultCategory("C++", {"B"});
              cpp.SetDisplayed(false);
              return cpp;
          }(),
          DefaultCategory("Java", {"A", "B"})},
         {StoreError(kDenied), StoreError(kDenied), StoreError(kDenied)},
         "CustomCats\nCustomSubcats\nCustomSubcats / Java\nCustomSubcats / Java / "
         "B\nHiddenCats\nHiddenSubcats\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RecordingMessenger messenger;
        MemoryKeyStore store;
        row.arm(store);
        CLibraryConfig config(store);
        SaveLibrary(config, row.categories);
        EXPECT_EQ(messenger.Texts(), row.messages);
        EXPECT_EQ(DumpApp(store), row.dump);
        EXPECT_EQ(store.OpenHandleCount(), 0u);
        // Nothing fails any more: the next save writes everything.
        store.ClearFaults();
        messenger.Clear();
        SaveLibrary(config, row.categories);
        EXPECT_TRUE(messenger.shown.empty());
        MemoryKeyStore fresh;
        CLibraryConfig clean(fresh);
        SaveLibrary(clean, row.categories);
        EXPECT_EQ(DumpApp(store), DumpApp(fresh));
    }
}

TEST(ConfigFailure, TheExpandedStateGoesOnAfterEachFailure) {
    RecordingMessenger messenger;
    MemoryKeyStore store;
    CLibraryConfig config(store);
    store.PutKey(AppPath({"ExpandedCats", "Old"}));
    store.FailCall(Op::Delete, keyerr::kAccessDenied, 1, std::string("ExpandedCats"));
    config.g_expandedSubcats = {{"A", {"a1"}}, {"B", {"b1"}}, {"C", {"c1", "c2"}}};
    config.WriteExpandedCats();
    EXPECT_EQ(DumpApp(store), "ExpandedCats\n"); // emptied, not rewritten
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("A"));
    store.FailCall(Op::Open, keyerr::kAccessDenied, 1, std::string("B"));
    store.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("c1"));
    config.WriteExpandedCats();
    EXPECT_EQ(messenger.Texts(), Texts(4, StoreError(kDenied)));
    EXPECT_EQ(DumpApp(store), "ExpandedCats\nExpandedCats / B\nExpandedCats / C\nExpandedCats / C / c2\n");
    EXPECT_EQ(store.OpenHandleCount(), 0u);
}

} // namespace
