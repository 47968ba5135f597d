// Samples without a place in the tree become load errors; the walk over the categories.
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
};

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

TEST_F(DocPlacement, CategoriesAreWalkedInByteOrder) {
    Strings names;
    CCategory c;
    CQuorrinDoc::Cursor cursor;
    for (bool more = doc->FirstCategory(c, cursor); more && names.size() < 10;
         more = doc->NextCategory(c, cursor))
        names.push_back(c.GetName());
    EXPECT_EQ(names, (Strings{"C++", "Java", "Tools", "Visual Basic"}));
}

} // namespace
