// The tree's placement rule, load errors from the tree build, and walks with their own
// cursors that stay correct while the library changes.
#include "DocTestSupport.h"

namespace {

using Strings = std::vector<std::string>;

class DocPlacement : public DocFixture {
protected:
    void SetUp() override {
        ConfigureCustom("Tools", "quorrinTools.txt", {"Sorting"});
        store.PutKey(AppPath({"HiddenCats", "Visual Basic"}));
        store.PutKey(AppPath({"HiddenSubcats", "Java", "COM"}));
        Load();
    }
    void AddTitles(std::initializer_list<const char*> titles) {
        for (const char* t : titles)
            Add(MakeSample(t, "C++"));
    }
};

TEST_F(DocPlacement, HasPlaceFollowsTheTreeRule) {
    const struct {
        const char* category;
        const char* sub;
        bool placed;
    } rows[] = {
        {"C++", "General", true},    {"C++", "", true},           // directly under its category
        {"Tools", "Sorting", true},  {"Tools", "sorting", false}, // exact comparison
        {"Java", "COM", false},      {"Java", "GUI", true},       // a hidden sub-category
        {"Visual Basic", "", false}, {"Nowhere", "", false},      // a hidden, a missing category
        {"c++", "General", false},   {"Tools", "Other", false},   {"Tools", "", true},
    };
    for (const auto& r : rows)
        EXPECT_EQ(doc->HasPlace(MakeSample("t", r.category, r.sub)), r.placed)
            << r.category << " / " << r.sub;
}

TEST_F(DocPlacement, SamplesWithoutAPlaceBecomeLoadErrorsInTitleOrder) {
    for (const CSample& s : {MakeSample("a-ok", "C++", "GUI"), MakeSample("b-hiddencat", "Visual Basic"),
                             MakeSample("c-gone", "Removed", "X"), MakeSample("d-hiddensub", "Java", "COM"),
                             MakeSample("e-ok", "Java", ""), MakeSample("f-nosub", "Tools", "Missing")})
        Add(s);
    ClearChanged();
    EXPECT_EQ(doc->RemoveUnplacedSamples(), 4);
    EXPECT_EQ(Titles(), (Strings{"a-ok", "e-ok"}));
    EXPECT_EQ(ErrorTitles(), (Strings{"b-hiddencat", "c-gone", "d-hiddensub", "f-nosub"}));
    errors.ForEach([](const CSample& s) { EXPECT_EQ(s.GetLoadErrorReason(), kReasonNoParent); });
    // Nothing changes on disk: the files of the categories that exist keep them.
    EXPECT_TRUE(ChangedCategories().empty());
    for (const char* category : {"Java", "Tools", "Visual Basic"})
        EXPECT_EQ(doc->KeptRecords().Of(category).size(), 1u) << category;
    EXPECT_TRUE(messages.shown.empty()); // a missing category is not an internal error
    EXPECT_EQ(doc->RemoveUnplacedSamples(), 0);
}

// --- Walks -------------------------------------------------------------------------------

using DocWalk = DocPlacement;

// The titles a walk gives, at most ten (a walk that does not end fails quickly).
Strings WalkTitles(const CQuorrinDoc& doc, CQuorrinDoc::Cursor& cursor, bool fromStart = true) {
    Strings titles;
    for (const CSample* s = fromStart ? doc.FirstSampleRecord(cursor) : doc.NextSampleRecord(cursor);
         s && titles.size() < 10; s = doc.NextSampleRecord(cursor))
        titles.push_back(s->GetTitle());
    return titles;
}

TEST_F(DocWalk, ASampleWalkSurvivesChangesUnderItAndNestedWalks) {
    CQuorrinDoc::Cursor cursor;
    EXPECT_EQ(doc->FirstSampleRecord(cursor), nullptr);
    EXPECT_EQ(doc->NextSampleRecord(cursor), nullptr);
    AddTitles({"a", "b", "c", "d", "e"});
    Strings seen;
    for (const CSample* s = doc->FirstSampleRecord(cursor); s && seen.size() < 10;
         s = doc->NextSampleRecord(cursor)) {
        seen.push_back(s->GetTitle());
        CQuorrinDoc::Cursor inner; // a report walking the samples from inside a search
        EXPECT_EQ(WalkTitles(*doc, inner).size(), 5u);
        if (seen.back() == "b") {
            doc->DeleteSample("b"); // the current one
            doc->DeleteSample("c"); // the next one
            AddTitles({"bb", "0"}); // one ahead of the walk, one behind it
        }
    }
    EXPECT_EQ(seen, (Strings{"a", "b", "bb", "d", "e"}));
    CQuorrinDoc::Cursor second; // Next before First gives the second
    EXPECT_EQ(WalkTitles(*doc, second, false), (Strings{"a", "bb", "d", "e"}));
}

} // namespace
