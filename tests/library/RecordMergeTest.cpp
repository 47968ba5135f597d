// The record merge as a table: one row per rule, each with a small base, ours and theirs.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>

#include "library/RecordMerge.h"

using namespace recordmerge;

namespace {

CSample Make(const std::string& title, const std::string& text, const std::string& category = "Java") {
    CSample s;
    s.SetTitle(title);
    s.SetCategory(category);
    s.SetText(text);
    return s;
}

// One side's view of the file of category "Java"; "Lost" is a category that does not exist.
struct Side {
    std::map<std::string, CSample> base;
    std::map<std::string, CSample> library;
    std::set<size_t> kept;

    std::vector<Decision> Run(const std::vector<CSample>& theirs, ReadEnd end) const {
        Ours ours;
        ours.category = "Java";
        ours.base = [this](const std::string& t) -> const CSample* {
            auto it = base.find(t);
            return it == base.end() ? nullptr : &it->second;
        };
        ours.sample = [this](const std::string& t) -> const CSample* {
            auto it = library.find(t);
            return it == library.end() ? nullptr : &it->second;
        };
        ours.kept = [this](size_t k) { return kept.count(k) > 0; };
        ours.place = [](const CSample& r) {
            if (r.GetCategory() == "Java")
                return Placement::Here;
            return r.GetCategory() == "C++" ? Placement::Elsewhere : Placement::Nowhere;
        };
        std::set<std::string> titles;
        for (const auto& [t, s] : base)
            titles.insert(t);
        for (const auto& [t, s] : library)
            if (s.GetCategory() == "Java")
                titles.insert(t);
        ours.titles.assign(titles.begin(), titles.end());
        std::vector<const CSample*> list;
        for (const CSample& s : theirs)
            list.push_back(&s);
        return Merge(ours, list, end);
    }
};

std::string Describe(const std::vector<Decision>& decisions) {
    static const char* names[] = {"same", "take", "twice", "unplaced", "keep", "delete"};
    std::string out;
    for (const Decision& d : decisions) {
        out += d.title + ":" + names[static_cast<int>(d.action)];
        if (d.editBeatDelete)
            out += "!";
        out += d.their == Decision::npos ? "(ours) " : " ";
    }
    return out;
}

struct Row {
    const char* rule;
    std::optional<std::string> base, ours, theirs; // texts of the sample "A"; no value: absent
    ReadEnd end;
    const char* expected;
};

} // namespace

TEST(RecordMerge, OneRowPerRule) {
    const ReadEnd complete = ReadEnd::Complete, early = ReadEnd::StoppedEarly;
    const Row rows[] = {
        {"unchanged everywhere", "r", "r", "r", complete, "A:same "},
        {"their change", "r", "r", "r2", complete, "A:take "},
        {"our change", "r", "r2", "r", complete, "A:same "},
        {"the same change on both sides", "r", "r2", "r2", complete, "A:same "},
        {"changed differently on both sides", "r", "r2", "r3", complete, "A:twice "},
        {"their addition", {}, {}, "r", complete, "A:take "},
        {"our addition", {}, "r", {}, complete, "A:keep(ours) "},
        {"the same addition on both sides", {}, "r", "r", complete, "A:same "},
        {"different additions on both sides", {}, "r", "r2", complete, "A:twice "},
        {"deleted here, unchanged there", "r", {}, "r", complete, "A:same "},
        {"deleted here, changed there", "r", {}, "r2", complete, "A:take! "},
        {"deleted there", "r", "r", {}, complete, "A:delete(ours) "},
        {"changed here, deleted there", "r", "r2", {}, complete, "A:keep!(ours) "},
        {"missing from a read that stopped early", "r", "r", {}, early, "A:keep(ours) "},
        {"changed here, missing from a cut read", "r", "r2", {}, early, "A:keep(ours) "},
    };
    for (const Row& row : rows) {
        Side side;
        if (row.base)
            side.base.emplace("A", Make("A", *row.base));
        if (row.ours)
            side.library.emplace("A", Make("A", *row.ours));
        std::vector<CSample> theirs;
        if (row.theirs)
            theirs.push_back(Make("A", *row.theirs));
        EXPECT_EQ(Describe(side.Run(theirs, row.end)), row.expected) << row.rule;
    }
}

TEST(RecordMerge, PlacementTwiceInTheirsAndKeptRecords) {
    Side side;
    side.base.emplace("A", Make("A", "r"));
    side.library.emplace("A", Make("A", "r"));
    side.library.emplace("M", Make("M", "m", "C++")); // moved away here
    side.base.emplace("M", Make("M", "m"));
    // Their A names another category that exists: the library takes the move.
    EXPECT_EQ(Describe(side.Run({Make("A", "r", "C++")}, ReadEnd::Complete)), "A:take ");
    // An unknown category: kept in the file as a load error (the library's A leaves).
    EXPECT_EQ(Describe(side.Run({Make("A", "r", "Lost")}, ReadEnd::Complete)), "A:unplaced ");
    // A new record of theirs with no place.
    EXPECT_EQ(Describe(side.Run({Make("A", "r"), Make("N", "n", "Lost")}, ReadEnd::Complete)),
              "A:same N:unplaced ");
    // A title twice in their file: both kept, the second as a duplicate.
    EXPECT_EQ(Describe(side.Run({Make("A", "r"), Make("A", "r")}, ReadEnd::Complete)), "A:same A:twice ");
    EXPECT_EQ(Describe(side.Run({Make("A", "r2"), Make("A", "r3")}, ReadEnd::Complete)), "A:take A:twice ");
    // A sample moved away here and changed there: both kept.
    EXPECT_EQ(Describe(side.Run({Make("A", "r"), Make("M", "m2")}, ReadEnd::Complete)), "A:same M:twice ");
    // Moved away here, unchanged there: nothing of it stays in this file.
    EXPECT_EQ(Describe(side.Run({Make("A", "r"), Make("M", "m")}, ReadEnd::Complete)), "A:same M:same ");
    // A record the file keeps already is passed over, whatever it holds.
    side.kept.insert(1);
    EXPECT_EQ(Describe(side.Run({Make("A", "r"), Make("A", "other")}, ReadEnd::Complete)), "A:same A:same ");
}
