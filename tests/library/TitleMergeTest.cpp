// The title merge at load gives what inserting the files' samples one by one gives: the
// first sample read under a title wins, the others are duplicates in reading order, and
// each category lists its samples in title order. Small and large libraries (the large
// ones are merged in two halves at once), with titles taken twice within a file and
// across files, and samples filed under another category than their file's.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "library/SampleStore.h"

namespace {

// Who a record is: its file and place there, kept in its comments.
std::string Who(size_t f, size_t k) {
    return std::to_string(f) + ":" + std::to_string(k);
}

struct Made {
    std::vector<std::string> categories;
    std::vector<std::vector<CSample>> files; // in reading order
};

Made MakeFiles(std::mt19937& rng, size_t fileCount, size_t samples, size_t titleRange) {
    Made made;
    for (size_t f = 0; f < fileCount; ++f)
        made.categories.push_back("Cat" + std::to_string(f));
    made.files.resize(fileCount);
    for (size_t i = 0; i < samples; ++i) {
        const size_t f = rng() % fileCount;
        CSample s;
        // Titles of varied length sharing long beginnings, so that the comparisons go past
        // their first sixteen bytes.
        const unsigned t = static_cast<unsigned>(rng() % titleRange);
        s.SetTitle((t % 3 == 0 ? "a common beginning of titles " : "") + std::to_string(t * 7919 % titleRange));
        s.SetCategory(rng() % 10 == 0 ? made.categories[rng() % fileCount] : made.categories[f]);
        s.SetComments(Who(f, made.files[f].size()));
        made.files[f].push_back(std::move(s));
    }
    return made;
}

std::vector<ReadFile> AsRead(const Made& made) {
    std::vector<ReadFile> files;
    for (size_t f = 0; f < made.files.size(); ++f) {
        ReadFile file{&made.categories[f], {}, {}, {}, {}};
        for (const CSample& s : made.files[f])
            file.samples.push_back(std::make_unique<CSample>(s));
        MakeTitleOrder(file);
        files.push_back(std::move(file));
    }
    return files;
}

// What a store holds, by the records' identities: the map in order, then each category.
std::vector<std::string> Contents(const CSampleStore& store, const std::vector<std::string>& categories) {
    std::vector<std::string> out;
    for (const auto& [title, sample] : store.Map())
        out.push_back(std::string(title) + "=" + sample->GetComments());
    for (const std::string& category : categories) {
        out.push_back("[" + category + "]");
        for (const CSample* sample : store.OfCategory(category))
            out.push_back(sample->GetComments());
    }
    return out;
}

} // namespace

TEST(TitleMerge, GivesWhatInsertingFileByFileGives) {
    std::mt19937 rng(2026);
    const struct {
        size_t files, samples, titles;
    } cases[] = {{1, 50, 30}, {5, 2000, 1500}, {23, 30000, 25000}, {3, 45000, 60000}, {7, 25000, 4000}};
    for (const auto& c : cases) {
        const Made made = MakeFiles(rng, c.files, c.samples, c.titles);
        CSampleStore reference;
        std::vector<std::pair<size_t, std::uint32_t>> expectedDuplicates;
        for (size_t f = 0; f < made.files.size(); ++f)
            for (size_t k = 0; k < made.files[f].size(); ++k)
                if (!reference.Insert(std::make_unique<CSample>(made.files[f][k])))
                    expectedDuplicates.emplace_back(f, static_cast<std::uint32_t>(k));

        std::vector<ReadFile> files = AsRead(made);
        CSampleStore store;
        std::vector<std::pair<size_t, std::uint32_t>> duplicates;
        std::vector<std::string> strays;
        store.MergeFiles(files, duplicates, [&strays](const CSample& s) { strays.push_back(s.GetTitle()); });
        const std::string label = std::to_string(c.files) + " files, " + std::to_string(c.samples) + " samples";
        ASSERT_EQ(Contents(store, made.categories), Contents(reference, made.categories)) << label;
        ASSERT_EQ(duplicates, expectedDuplicates) << label;
        // The placed samples are out of the files' lists; the duplicates are still there.
        for (const auto& [f, k] : duplicates)
            ASSERT_TRUE(files[f].samples[k]) << label;
        ASSERT_EQ(store.Size() + duplicates.size(), c.samples) << label;
        // Each placed sample filed under another category is told once, in title order.
        std::vector<std::string> expectedStrays;
        for (const auto& [title, sample] : reference.Map()) {
            const std::string& who = sample->GetComments();
            if (sample->GetCategory() != made.categories[std::stoul(who.substr(0, who.find(':')))])
                expectedStrays.push_back(sample->GetTitle());
        }
        ASSERT_EQ(strays, expectedStrays) << label;
    }
}
