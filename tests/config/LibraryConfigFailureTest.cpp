// Every failure of reading the library configuration, through the in-memory store's fault
// injection: the messages, and what is read all the same.
#include <gtest/gtest.h>

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

} // namespace
