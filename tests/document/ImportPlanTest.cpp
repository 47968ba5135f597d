// Imports planned against a library and applied through the document: renames, samples
// there already, the fifteen places of a category, records the category file cannot hold,
// and an import run twice.
#include "DocTestSupport.h"
#include "library/ImportPlan.h"

namespace {

InterchangeRecord Record(const std::string& title, const std::string& category, const std::string& sub,
                         const std::string& text) {
    InterchangeRecord r;
    r.title = title;
    r.category = category;
    r.subcategory = sub;
    r.text = text;
    r.keywords = {"k"};
    r.file = "in.json";
    r.line = 3;
    return r;
}

class ImportPlanTest : public DocFixture {};

TEST_F(ImportPlanTest, RenamesSkipsAndARunAgain) {
    Load();
    ASSERT_TRUE(Add(MakeSample("A", "C++", "General", "k", "", "same\r\n")));
    ASSERT_TRUE(doc->OnSaveDocument());
    InterchangeResult read;
    read.records = {Record("A", "C++", "General", "same"),            // there already, as the file reads back
                    Record(" A ", "C++", "General", "other"),        // taken: renamed
                    Record("B", "Tools", "Deep", "b"),               // a new category and sub-category
                    Record("C", "C++", "", "x\n***TEXT_END***\ny")}; // a line the file cannot hold
    read.Warn("in.json", 9, "read warning");
    ImportPlan plan = PlanImport(*doc, errors, read, {});
    EXPECT_EQ(plan.Describe(),
              "2 samples to import, 1 already in the library, 2 warnings.\n"
              "  C++: 1\n"
              "  Tools: 1\n"
              "New category \"Tools\"\n"
              "New sub-category \"Deep\" in \"Tools\"\n"
              "Renamed: \"A\" to \"A (2)\" (the title is taken)\n"
              "Already there: \"A\"\n"
              "Warning: in.json:9: read warning\n"
              "Warning: in.json:3: \"C\" is not imported: A line of the text cannot be exactly \"***TEXT_END***\".\n");
    ASSERT_TRUE(ApplyImport(*doc, plan));
    Close();

    // On disk: read again, the import is all there, and planning it again adds nothing.
    Load();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"A", "A (2)", "B"}));
    EXPECT_EQ(doc->PeekSample("B")->GetSubcategory(), "Deep");
    plan = PlanImport(*doc, errors, read, {});
    EXPECT_TRUE(plan.adds.empty());
    EXPECT_EQ(plan.alreadyThere, (std::vector<std::string>{"A", "A (2)", "B"}));
}

TEST_F(ImportPlanTest, FifteenPlacesRefusedBeforeAnythingIsWritten) {
    Load();
    InterchangeResult read;
    // A default category has 12 places for sub-categories of its own.
    for (int i = 0; i < 13; ++i)
        read.records.push_back(Record("T" + std::to_string(i), "Java", "S" + std::to_string(i), "x"));
    const ImportPlan plan = PlanImport(*doc, errors, read, {});
    EXPECT_EQ(plan.refusal, "The category \"Java\" would need 13 new sub-categories but has room for 12 (a category "
                            "has 15 places); nothing has been imported.\n");
    EXPECT_FALSE(ApplyImport(*doc, plan));
    EXPECT_TRUE(ChangedCategories().empty());
    // --category and --subcategory put everything in one place.
    const ImportPlan one = PlanImport(*doc, errors, read, {"Java", "Mine"});
    EXPECT_TRUE(one.refusal.empty());
    EXPECT_EQ(one.newPlaces.size(), 1u);
}

} // namespace
