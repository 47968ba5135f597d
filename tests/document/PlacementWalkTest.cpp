// The tree's placement rule, load errors from the tree build, and walks with their own
// cursors that stay correct while the library changes.
#include "DocTestSupport.h"

namespace {

class DocPlacement : public DocFixture {
protected:
    void SetUp() override {
        ConfigureCustom("Tools", "quorrinTools.txt", {"Sorting"});
        store.PutKey(AppPath({"HiddenCats", "Visual Basic"}));
        store.PutKey(AppPath({"HiddenSubcats", "Java", "COM"}));
        Load();
    }
};

TEST_F(DocPlacement, HasPlaceFollowsTheTreeRule) {
    EXPECT_TRUE(doc->HasPlace(MakeSample("t", "C++", "General")));
    EXPECT_TRUE(doc->HasPlace(MakeSample("t", "C++", ""))); // directly under its category
    EXPECT_TRUE(doc->HasPlace(MakeSample("t", "Tools", "Sorting")));
    EXPECT_FALSE(doc->HasPlace(MakeSample("t", "Tools", "sorting"))); // exact comparison
    EXPECT_FALSE(doc->HasPlace(MakeSample("t", "Java", "COM")));      // hidden sub-category
    EXPECT_TRUE(doc->HasPlace(MakeSample("t", "Java", "GUI")));
    EXPECT_FALSE(doc->HasPlace(MakeSample("t", "Visual Basic", ""))); // hidden category
    EXPECT_FALSE(doc->HasPlace(MakeSample("t", "Nowhere", "")));
    EXPECT_FALSE(doc->HasPlace(MakeSample("t", "c++", "General")));
    // A free custom slot has an empty name; an empty sub-category is placed anyway.
    EXPECT_FALSE(doc->HasPlace(MakeSample("t", "Tools", "Other")));
}

TEST_F(DocPlacement, RemoveUnplacedSamplesMakesLoadErrorsInTitleOrder) {
    const std::vector<CSample> samples = {
        MakeSample("a-ok", "C++", "GUI"),     MakeSample("b-hiddencat", "Visual Basic"),
        MakeSample("c-gone", "Removed", "X"), MakeSample("d-hiddensub", "Java", "COM"),
        MakeSample("e-ok", "Java", ""),       MakeSample("f-nosub", "Tools", "Missing"),
    };
    for (const CSample& s : samples)
        doc->AddSample(std::make_unique<CSample>(s));
    ClearChanged();

    EXPECT_EQ(doc->RemoveUnplacedSamples(), 4);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"a-ok", "e-ok"}));
    EXPECT_EQ(ErrorTitles(), (std::vector<std::string>{"b-hiddencat", "c-gone", "d-hiddensub", "f-nosub"}));
    errors.ForEach([](const CSample& s) { EXPECT_EQ(s.GetLoadErrorReason(), 0); });
    // Nothing changes on disk: the files of the categories that exist keep them.
    EXPECT_TRUE(ChangedCategories().empty());
    for (const char* category : {"Java", "Tools", "Visual Basic"})
        EXPECT_EQ(doc->KeptRecords().Of(category).size(), 1u) << category;
    // A missing category is not an internal error.
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(doc->RemoveUnplacedSamples(), 0);
}

TEST_F(DocPlacement, ReportTreeInsertFailureNowOrDeferred) {
    doc->AddSample(std::make_unique<CSample>(MakeSample("now", "C++")));
    doc->AddSample(std::make_unique<CSample>(MakeSample("later", "C++")));
    CSample copy = *doc->PeekSample("now");
    doc->ReportTreeInsertFailure(copy, 0, true);
    EXPECT_EQ(doc->PeekSample("now"), nullptr);

    doc->ReportTreeInsertFailure(*doc->PeekSample("later"), 1, false);
    ASSERT_NE(doc->PeekSample("later"), nullptr); // kept until the walk is over
    doc->RemoveDeferredSamples();
    EXPECT_EQ(doc->PeekSample("later"), nullptr);
    EXPECT_EQ(ErrorTitles(), (std::vector<std::string>{"now", "later"}));
    CLoadErrorList::Cursor cursor;
    CSample record;
    ASSERT_TRUE(errors.GetFirst(record, cursor));
    EXPECT_EQ(record.GetLoadErrorReason(), 0);
    ASSERT_TRUE(errors.GetNext(record, cursor));
    EXPECT_EQ(record.GetLoadErrorReason(), 1);
    doc->RemoveDeferredSamples(); // an empty list does nothing
}

TEST_F(DocPlacement, RemovingUnplacedSamplesIsLinear) {
    // Many samples, most without a place; the call must not search per sample.
    for (int i = 0; i < 20000; ++i)
        doc->AddSample(
            std::make_unique<CSample>(MakeSample("s" + std::to_string(i), i % 4 ? "Gone" : "C++")));
    EXPECT_EQ(doc->RemoveUnplacedSamples(), 15000);
    EXPECT_EQ(doc->GetSampleCount(), 5000);
    EXPECT_EQ(errors.GetCount(), 15000);
}

// --- Walks -------------------------------------------------------------------------------

using DocWalk = DocPlacement;

// The record walks, with the record copied out.
bool FirstSample(const CQuorrinDoc& doc, CSample& out, CQuorrinDoc::Cursor& cursor) {
    const CSample* record = doc.FirstSampleRecord(cursor);
    if (record)
        out = *record;
    return record != nullptr;
}
bool NextSample(const CQuorrinDoc& doc, CSample& out, CQuorrinDoc::Cursor& cursor) {
    const CSample* record = doc.NextSampleRecord(cursor);
    if (record)
        out = *record;
    return record != nullptr;
}

std::vector<std::string> WalkTitles(const CQuorrinDoc& doc) {
    std::vector<std::string> titles;
    CQuorrinDoc::Cursor cursor;
    CSample s;
    for (bool more = FirstSample(doc, s, cursor); more; more = NextSample(doc, s, cursor))
        titles.push_back(s.GetTitle());
    return titles;
}

TEST_F(DocWalk, CategoryWalkInByteOrder) {
    std::vector<std::string> names;
    CQuorrinDoc::Cursor cursor;
    CCategory c;
    for (bool more = doc->FirstCategory(c, cursor); more; more = doc->NextCategory(c, cursor))
        names.push_back(c.GetName());
    EXPECT_EQ(names, (std::vector<std::string>{"C++", "Java", "Tools", "Visual Basic"}));
    // Past the end it stays there, even when a category is added behind it.
    doc->AddCategory(std::make_unique<CCategory>("Zed"));
    EXPECT_FALSE(doc->NextCategory(c, cursor));
    EXPECT_TRUE(doc->FirstCategory(c, cursor));
    EXPECT_EQ(c.GetName(), "C++");
}

TEST_F(DocWalk, NextBeforeFirstYieldsTheSecond) {
    CQuorrinDoc::Cursor cursor;
    CCategory c;
    ASSERT_TRUE(doc->NextCategory(c, cursor));
    EXPECT_EQ(c.GetName(), "Java");
    doc->AddSample(std::make_unique<CSample>(MakeSample("one", "C++")));
    doc->AddSample(std::make_unique<CSample>(MakeSample("two", "C++")));
    CQuorrinDoc::Cursor samples;
    CSample s;
    ASSERT_TRUE(NextSample(*doc, s, samples));
    EXPECT_EQ(s.GetTitle(), "two");
    EXPECT_FALSE(NextSample(*doc, s, samples));
}

TEST_F(DocWalk, EmptyLibraryWalks) {
    CQuorrinDoc::Cursor cursor;
    CSample s;
    EXPECT_FALSE(FirstSample(*doc, s, cursor));
    EXPECT_FALSE(NextSample(*doc, s, cursor));
    EXPECT_TRUE(WalkTitles(*doc).empty());
}

TEST_F(DocWalk, SampleWalkSurvivesDeletionsAndInsertionsUnderIt) {
    for (const char* t : {"a", "b", "c", "d", "e"})
        doc->AddSample(std::make_unique<CSample>(MakeSample(t, "C++")));
    std::vector<std::string> seen;
    CQuorrinDoc::Cursor cursor;
    CSample s;
    for (bool more = FirstSample(*doc, s, cursor); more; more = NextSample(*doc, s, cursor)) {
        seen.push_back(s.GetTitle());
        if (s.GetTitle() == "b") {
            doc->DeleteSample("b"); // the current one
            doc->DeleteSample("c"); // the next one
            doc->AddSample(std::make_unique<CSample>(MakeSample("bb", "C++")));
            doc->AddSample(std::make_unique<CSample>(MakeSample("0", "C++"))); // behind the walk
        }
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"a", "b", "bb", "d", "e"}));
}

TEST_F(DocWalk, TheRecordUnderACursorIsTheLibrarysAsItIsNow) {
    for (const char* t : {"a", "b", "c"})
        doc->AddSample(std::make_unique<CSample>(MakeSample(t, "C++")));
    CQuorrinDoc::Cursor cursor;
    EXPECT_EQ(doc->SampleRecordAt(cursor), nullptr); // not started
    const CSample* first = doc->FirstSampleRecord(cursor);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(doc->SampleRecordAt(cursor), first);
    EXPECT_EQ(doc->SampleRecordAt(cursor), doc->PeekSample("a"));

    // Edited in place: the same title gives the edited record.
    CSample edited = *first;
    edited.SetComments("new\r\n");
    ASSERT_TRUE(doc->UpdateSample("a", edited));
    ASSERT_NE(doc->SampleRecordAt(cursor), nullptr);
    EXPECT_EQ(doc->SampleRecordAt(cursor)->GetComments(), "new\r\n");

    // Deleted: nothing under the cursor, and the walk goes on behind it.
    ASSERT_NE(doc->NextSampleRecord(cursor), nullptr);
    ASSERT_TRUE(doc->DeleteSample("b"));
    EXPECT_EQ(doc->SampleRecordAt(cursor), nullptr);
    const CSample* next = doc->NextSampleRecord(cursor);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->GetTitle(), "c");
    EXPECT_EQ(doc->NextSampleRecord(cursor), nullptr);
    EXPECT_EQ(doc->SampleRecordAt(cursor), nullptr); // past the end
}

TEST_F(DocWalk, ACursorGoesOnByTitleInAnotherDocumentAndAfterEdits) {
    for (const char* t : {"a", "b", "c"})
        doc->AddSample(std::make_unique<CSample>(MakeSample(t, "C++")));
    CQuorrinDoc::Cursor cursor;
    CSample s;
    ASSERT_TRUE(FirstSample(*doc, s, cursor));
    // An edit in place between two steps.
    CSample edited = *doc->PeekSample("b");
    edited.SetText("new\r\n");
    ASSERT_TRUE(doc->UpdateSample("b", edited));
    ASSERT_TRUE(NextSample(*doc, s, cursor));
    EXPECT_EQ(s.GetTitle(), "b");
    EXPECT_EQ(s.GetText(), "new\r\n");

    // The same cursor on another document goes on behind the last title it gave there.
    CLoadErrorList otherErrors;
    auto other = std::make_unique<CQuorrinDoc>(config, otherErrors);
    for (const char* t : {"a", "bz", "z"})
        other->AddSample(std::make_unique<CSample>(MakeSample(t, "C++")));
    ASSERT_TRUE(NextSample(*other, s, cursor));
    EXPECT_EQ(s.GetTitle(), "bz");
    ASSERT_TRUE(NextSample(*doc, s, cursor));
    EXPECT_EQ(s.GetTitle(), "c");
    EXPECT_FALSE(NextSample(*doc, s, cursor));
}

TEST_F(DocWalk, NestedWalksKeepTheirOwnPositions) {
    // A report walking the samples from inside a search no longer cuts the search short.
    for (const char* t : {"a", "b", "c"})
        doc->AddSample(std::make_unique<CSample>(MakeSample(t, "C++")));
    std::vector<std::string> outer;
    CQuorrinDoc::Cursor cursor;
    CSample s;
    for (bool more = FirstSample(*doc, s, cursor); more; more = NextSample(*doc, s, cursor)) {
        outer.push_back(s.GetTitle());
        EXPECT_EQ(WalkTitles(*doc).size(), 3u);
    }
    EXPECT_EQ(outer, (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(DocWalk, CategoryWalkSurvivesDeletingTheCurrentCategory) {
    std::vector<std::string> seen;
    CQuorrinDoc::Cursor cursor;
    CCategory c;
    for (bool more = doc->FirstCategory(c, cursor); more; more = doc->NextCategory(c, cursor)) {
        seen.push_back(c.GetName());
        if (c.GetName() == "Java")
            doc->DeleteCategory("Tools"); // the next custom category goes away
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"C++", "Java", "Visual Basic"}));
}

} // namespace
