// The store's map is keyed by its samples' own titles: through any sequence of changes
// each key is its sample's title, where that title lies, and the store holds what a
// plain map of copied titles holds, and its walk in memory order visits each sample once.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "library/SampleStore.h"

namespace {

CSample Make(const std::string& title, const std::string& category, const std::string& text) {
    CSample s;
    s.SetTitle(title);
    s.SetCategory(category);
    s.SetText(text);
    return s;
}

// Short titles live inside the sample, long ones on the heap.
std::string Title(std::mt19937& rng) {
    const unsigned t = static_cast<unsigned>(rng() % 60);
    return t % 2 ? "t" + std::to_string(t) : "a title long enough to leave the sample " + std::to_string(t);
}

} // namespace

TEST(SampleStore, KeysAreTheSamplesOwnTitlesThroughEveryChange) {
    std::mt19937 rng(77);
    CSampleStore store;
    std::map<std::string, std::string> expected; // title to text
    for (int step = 0; step < 4000; ++step) {
        const std::string title = Title(rng);
        const std::string text = "text " + std::to_string(step);
        const std::string category = rng() % 2 ? "A" : "B";
        switch (rng() % 5) {
        case 0:
        case 1: {
            const bool inserted = store.Insert(std::make_unique<CSample>(Make(title, category, text)));
            ASSERT_EQ(inserted, expected.emplace(title, text).second) << step;
            break;
        }
        case 2: {
            // A copy with the same title, its strings made anew: the stored one changes.
            const bool known = expected.count(title) > 0;
            ASSERT_EQ(store.Replace(title, Make(std::string(title), category, text)), known) << step;
            if (known)
                expected[title] = text;
            // Another title is refused and changes nothing.
            ASSERT_FALSE(store.Replace(title, Make(title + "x", category, "other"))) << step;
            break;
        }
        case 3:
            ASSERT_EQ(store.Erase(title), expected.erase(title) > 0) << step;
            break;
        default: {
            std::vector<ReadFile> files(1);
            const std::string fileCategory = "A";
            files[0].category = &fileCategory;
            files[0].samples.push_back(std::make_unique<CSample>(Make(title, category, text)));
            MakeTitleOrder(files[0]);
            std::vector<std::pair<size_t, std::uint32_t>> duplicates;
            store.MergeFiles(files, duplicates, [](const CSample&) {});
            ASSERT_EQ(duplicates.empty(), expected.emplace(title, text).second) << step;
            break;
        }
        }
        ASSERT_EQ(store.Size(), expected.size()) << step;
        auto want = expected.begin();
        for (const auto& [key, sample] : store.Map()) {
            ASSERT_EQ(key, want->first) << step;
            ASSERT_EQ(key.data(), sample->GetTitle().data()) << step;
            ASSERT_EQ(sample->GetText(), want->second) << step;
            ++want;
        }
        // The walk in memory order visits every sample of the title-order list once, its
        // texts' places rising.
        const auto& list = store.InTitleOrder();
        const auto& order = store.InMemoryOrder();
        ASSERT_EQ(order.size(), list.size()) << step;
        std::vector<bool> seen(list.size());
        for (size_t at = 0; at < order.size(); ++at) {
            ASSERT_LT(order[at], list.size()) << step;
            ASSERT_FALSE(seen[order[at]]) << step;
            seen[order[at]] = true;
            if (at > 0) {
                ASSERT_LE(list[order[at - 1]]->GetText().data(), list[order[at]]->GetText().data()) << step;
            }
        }
    }
}

TEST(SampleStore, AWalkGoesOnBehindItsLastTitleWhileTheStoreChanges) {
    CSampleStore store;
    for (int i = 0; i < 6; ++i)
        store.Insert(std::make_unique<CSample>(Make("t" + std::to_string(i), "A", "")));
    CSampleStore::Cursor cursor;
    std::vector<std::string> seen;
    auto step = [&](const CSample* s) {
        if (s)
            seen.push_back(s->GetTitle());
        return s != nullptr;
    };
    ASSERT_TRUE(step(store.First(cursor)));
    ASSERT_TRUE(step(store.Next(cursor)));
    // The sample the walk stands on and the next go; one comes behind it.
    store.Erase("t1");
    store.Erase("t2");
    store.Insert(std::make_unique<CSample>(Make("t15", "A", "")));
    EXPECT_EQ(store.At(cursor), nullptr);
    ASSERT_TRUE(step(store.Next(cursor)));
    EXPECT_EQ(store.At(cursor)->GetTitle(), "t15");
    // One before it is not visited.
    store.Insert(std::make_unique<CSample>(Make("t05", "A", "")));
    while (step(store.Next(cursor))) {
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"t0", "t1", "t15", "t3", "t4", "t5"}));
    // Over: it stays so until it starts again.
    EXPECT_EQ(store.Next(cursor), nullptr);
    EXPECT_EQ(store.At(cursor), nullptr);
    ASSERT_TRUE(step(store.First(cursor)));
    EXPECT_EQ(seen.back(), "t0");
}
