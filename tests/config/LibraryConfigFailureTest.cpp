// Every failure of reading and writing the library configuration, through the in-memory
// store's fault injection: the messages, and what is read or written all the same.
#include <gtest/gtest.h>

#include <functional>

#include "ConfigTestUtil.h"

namespace {

using Op = MemoryKeyStore::Op;

// The messages and what was read all the same are in the fixture, row by row.
TEST(ConfigFailure, AFailedReadIsReportedAndTheRestIsRead) {
    const struct {
        Op op;
        const char* name;
        int times;
    } rows[] = {
        {Op::QueryInfo, "ExpandedCats", 1},
        {Op::QueryInfo, "CustomCats", 1},
        {Op::QueryInfo, "CustomSubcats", 1},
        {Op::QueryInfo, "HiddenCats", 1},
        {Op::QueryInfo, "HiddenSubcats", 1},
        // The first read of a category's own key (below ExpandedCats) fails.
        {Op::Open, "B", 1},
        {Op::Enum, "A", 1},
        {Op::QueryInfo, "A", 1},
        {Op::QueryValueSize, "A", 1},
        // An application key that cannot be opened reads nothing, silently.
        {Op::Open, "Tindrel", -1},
    };
    std::string transcript;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingMessenger messenger;
        MemoryKeyStore store;
        LoadKeys(store, "config/two-of-each.conf"); // A/x and B/y below each top key
        store.FailCall(row.op, keyerr::kAccessDenied, 1, std::string(row.name), row.times);
        CLibraryConfig config(store);
        EXPECT_TRUE(config.LoadProfile());
        EXPECT_LE(messenger.shown.size(), 1u);
        transcript += std::string("== ") + row.name + "\n" + Lines(messenger.Texts()) + Tables(config);
        EXPECT_EQ(store.OpenHandleCount(), 0u);
    }
    // Names longer than the enumeration buffer are reported, not read cut.
    RecordingMessenger messenger;
    MemoryKeyStore store;
    store.PutKey(AppPath({"HiddenCats", std::string(260, 'n')}));
    store.PutKey(AppPath({"HiddenSubcats", "C++", std::string(300, 's')}));
    const CLibraryConfig config = Loaded(store);
    transcript += "== long names\n" + Lines(messenger.Texts()) + Tables(config);
    ExpectFileEq(transcript, "config/read-faults.txt");
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
    CCategory cppHiddenWithB = DefaultCategory("C++", {"B"});
    cppHiddenWithB.SetDisplayed(false);
    const struct {
        const char* what;
        std::function<void(MemoryKeyStore&)> arm;
        std::vector<CCategory> categories;
    } rows[] = {
        {"the application key cannot be made",
         [](MemoryKeyStore& s) {
             s.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("Software"), -1);
         },
         {DefaultCategory("C++"), CustomCategory("Tools")}},
        {"a sub-key cannot be deleted",
         [](MemoryKeyStore& s) {
             s.PutKey(AppPath({"HiddenSubcats", "C++", "GUI"}));
             s.FailCall(Op::Delete, keyerr::kAccessDenied, 1, std::string("GUI"));
         },
         {cppComHidden}},
        {"the rebuilt key is reported as an existing one",
         [](MemoryKeyStore& s) { s.ReportOpenedExisting(std::string("HiddenCats")); },
         {javaHidden}},
        {"the rebuilt key cannot be created",
         [](MemoryKeyStore& s) {
             s.FailCall(Op::Create, keyerr::kChildMustBeVolatile, 1, std::string("CustomCats"));
         },
         {CustomCategory("Tools")}},
        {"the rebuilt key cannot be opened after its creation",
         [](MemoryKeyStore& s) { s.FailCall(Op::Open, keyerr::kAccessDenied, 2, std::string("CustomCats")); },
         {CustomCategory("Tools")}},
        {"the key cannot be opened for a later write",
         [](MemoryKeyStore& s) { s.FailCall(Op::Open, keyerr::kAccessDenied, 3, std::string("HiddenCats")); },
         {javaHidden, DefaultCategory("C++"), vbHidden}},
        {"a custom category's key cannot be created",
         [](MemoryKeyStore& s) { s.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("Tools")); },
         {CustomCategory("Tools", {"Loops"}), CustomCategory("Web")}},
        {"a default category's keys cannot be created",
         [](MemoryKeyStore& s) {
             s.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("C++"), 3);
             s.FailCall(Op::Create, keyerr::kAccessDenied, 1, std::string("A"));
         },
         {cppHiddenWithB, DefaultCategory("Java", {"A", "B"})}},
    };
    // The messages and the keys after each failing save are in the fixture.
    std::string transcript;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RecordingMessenger messenger;
        MemoryKeyStore store;
        row.arm(store);
        CLibraryConfig config(store);
        SaveLibrary(config, row.categories);
        transcript +=
            std::string("== ") + row.what + "\n" + Lines(messenger.Texts()) + "-- keys\n" + DumpApp(store);
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
    ExpectFileEq(transcript, "config/write-faults.txt");
}

} // namespace
