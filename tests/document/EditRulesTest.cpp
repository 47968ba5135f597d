// The checks behind the name dialogs, Change title and page 1 of the Add Sample wizard,
// and the pieces of the wizard's summary.
#include "DocTestSupport.h"
#include "library/AddSampleRules.h"
#include "library/EditRules.h"

namespace {

class EditRulesTest : public DocFixture {
protected:
    void SetUp() override {
        Load();
        messages.Clear();
    }
    void Add(const std::string& title, const std::string& category, const std::string& sub = "General") {
        ASSERT_TRUE(doc->AddSample(std::make_unique<CSample>(MakeSample(title, category, sub))));
    }
    void AddCustom(const std::string& name, const std::vector<std::string>& subs = {}) {
        auto c = std::make_unique<CCategory>(name);
        for (size_t i = 0; i < subs.size() && i < static_cast<size_t>(kSlotCount); ++i)
            c->Slot(static_cast<int>(i)) = SubcategorySlot{subs[i], true, true};
        ASSERT_TRUE(doc->AddCategory(std::move(c)));
    }
    std::vector<std::string> Texts() const { return messages.Texts(); }
};

const std::string kNotUniqueCppGeneral = "The title you have entered is not unique.The sample in\n"
                                         "\tCategory: \"C++\",\n\tSubcategory: \"General\" \n"
                                         "already has that title.\n"
                                         "Please select another title.\n";

} // namespace

TEST(EditRules, ProposalsCountSeparatelyAndNeverRepeat) {
    const int cats = CategoryProposalCount();
    const int subs = SubcategoryProposalCount();
    EXPECT_EQ(NextCategoryProposal(), "Untitled" + std::to_string(cats + 1));
    EXPECT_EQ(NextCategoryProposal(), "Untitled" + std::to_string(cats + 2));
    // The sub-category counter did not move with the category counter.
    EXPECT_EQ(NextSubcategoryProposal(), "Untitled" + std::to_string(subs + 1));
    EXPECT_EQ(CategoryProposalCount(), cats + 2);
    EXPECT_EQ(SubcategoryProposalCount(), subs + 1);
}

TEST_F(EditRulesTest, NewCategoryNames) {
    AddCustom("Tools");
    EXPECT_TRUE(CheckNewCategoryName(*doc, "Scripts").Ok());
    // Names compare exactly: another letter case is another category (and another file
    // on this system would still be refused, see below).
    EXPECT_TRUE(CheckNewCategoryName(*doc, "java script").Ok());

    InputCheck taken = CheckNewCategoryName(*doc, "Tools");
    EXPECT_EQ(taken.text, "A category with this name already exists.\nPlease select a new name.");
    EXPECT_EQ(taken.icon, MsgIcon::None);
    EXPECT_EQ(CheckNewCategoryName(*doc, "C++").text, taken.text);

    // An empty name would give a category that the configuration cannot keep.
    InputCheck empty = CheckNewCategoryName(*doc, "");
    EXPECT_FALSE(empty.Ok());
    EXPECT_EQ(empty.text, edit_msg::kEmptyCategoryName);

    EXPECT_EQ(CheckNewCategoryName(*doc, "A\nB").text, "The category name cannot contain a line break.");
    EXPECT_EQ(CheckNewCategoryName(*doc, "A\rB").icon, MsgIcon::Exclamation);
}

TEST_F(EditRulesTest, NewCategoryNamesMustGiveTheCategoryAFileOfItsOwn) {
    // "quorrin" + name + ".txt" must be one file in the current folder.
    EXPECT_EQ(CheckNewCategoryName(*doc, "a/b").text, edit_msg::kCategorySeparator);
    EXPECT_EQ(CheckNewCategoryName(*doc, "a\\b").text, edit_msg::kCategorySeparator);
    // The default C++ category keeps its samples in quorrincpp.txt.
    InputCheck clash = CheckNewCategoryName(*doc, "cpp");
    EXPECT_EQ(clash.text,
              "The file of this category would be \"quorrincpp.txt\", which category \"C++\" uses "
              "already.\nPlease select a new name.");
    EXPECT_EQ(clash.icon, MsgIcon::Exclamation);
    EXPECT_FALSE(CheckNewCategoryName(*doc, "VB").Ok());
    // A hidden default category still owns its file.
    ASSERT_TRUE(doc->DeleteCategory("Java"));
    EXPECT_FALSE(CheckNewCategoryName(*doc, "java").Ok());
    EXPECT_TRUE(CheckNewCategoryName(*doc, std::string(244, 'x')).Ok());
    EXPECT_EQ(CheckNewCategoryName(*doc, std::string(245, 'x')).text, edit_msg::kCategoryNameTooLong);
    EXPECT_EQ(CategoryFileName("Tools"), "quorrinTools.txt");
}

TEST_F(EditRulesTest, NewSubcategoryNames) {
    EXPECT_TRUE(CheckNewSubcategoryName(*doc, "C++", "Templates").Ok());
    // The category name is trimmed, the sub-category name is taken as typed.
    EXPECT_TRUE(CheckNewSubcategoryName(*doc, "  C++ ", "  Templates").Ok());
    EXPECT_TRUE(CheckNewSubcategoryName(*doc, "C++", "general").Ok());
    EXPECT_TRUE(CheckNewSubcategoryName(*doc, "C++", " General").Ok());

    const std::string exists = "A sub-category with this name already exists.\nPlease select a new name.";
    EXPECT_EQ(CheckNewSubcategoryName(*doc, "C++", "General").text, exists);
    // A hidden default sub-category still holds its name.
    CCategory cpp;
    ASSERT_TRUE(doc->FindCategory("C++", cpp));
    ASSERT_TRUE(cpp.RemoveSubcategory("GUI"));
    ASSERT_TRUE(doc->UpdateCategory("C++", cpp));
    EXPECT_EQ(CheckNewSubcategoryName(*doc, "C++", "GUI").text, exists);

    EXPECT_EQ(CheckNewSubcategoryName(*doc, "Nowhere", "X").text, "Could not locate category!\n");
    EXPECT_EQ(CheckNewSubcategoryName(*doc, "Nowhere", "X").icon, MsgIcon::None);

    // Blank names are refused with their own message (a free slot has an empty name too).
    EXPECT_EQ(CheckNewSubcategoryName(*doc, "C++", "").text, edit_msg::kEmptySubcategoryName);
    EXPECT_EQ(CheckNewSubcategoryName(*doc, "C++", "   ").text, edit_msg::kEmptySubcategoryName);
    EXPECT_EQ(CheckNewSubcategoryName(*doc, "C++", "A\nB").text,
              "The sub-category name cannot contain a line break.");
}

TEST_F(EditRulesTest, ASixteenthSubcategoryIsRefused) {
    std::vector<std::string> fifteen;
    for (int i = 1; i <= 15; ++i)
        fifteen.push_back("S" + std::to_string(i));
    AddCustom("Full", fifteen);
    AddCustom("Roomy", std::vector<std::string>(fifteen.begin(), fifteen.begin() + 14));
    InputCheck full = CheckNewSubcategoryName(*doc, "Full", "S16");
    EXPECT_EQ(full.text, "Category \"Full\" has no room for another sub-category: all 15 places are in use.\n"
                         "Delete one of its sub-categories first.");
    EXPECT_EQ(full.icon, MsgIcon::Exclamation);
    EXPECT_TRUE(CheckNewSubcategoryName(*doc, "Roomy", "S15").Ok());
    // A name it has already is still reported as such.
    EXPECT_EQ(CheckNewSubcategoryName(*doc, "Full", "S3").text, edit_msg::kSubcategoryExists);

    // A default category: three default and twelve custom sub-categories.
    CCategory java;
    ASSERT_TRUE(doc->FindCategory("Java", java));
    for (int i = 3; i < kSlotCount; ++i)
        java.Slot(i) = SubcategorySlot{"J" + std::to_string(i), true, true};
    ASSERT_TRUE(doc->UpdateCategory("Java", java));
    EXPECT_FALSE(CheckNewSubcategoryName(*doc, "Java", "More").Ok());
}

TEST_F(EditRulesTest, NewTitles) {
    Add("Alpha", "C++", "General");
    EXPECT_TRUE(CheckNewTitle(*doc, "Beta").Ok());
    // Letter case makes another title.
    EXPECT_TRUE(CheckNewTitle(*doc, "alpha").Ok());
    InputCheck taken = CheckNewTitle(*doc, "Alpha");
    EXPECT_EQ(taken.text, kNotUniqueCppGeneral);
    EXPECT_EQ(taken.icon, MsgIcon::Exclamation);
    EXPECT_EQ(CheckNewTitle(*doc, "").text, edit_msg::kEmptyNewTitle);
    EXPECT_EQ(CheckNewTitle(*doc, "A\nB").text, "The title cannot contain a line break.");
}

TEST_F(EditRulesTest, WizardPageOneChecksInOrder) {
    Add("Alpha", "C++", "General");
    Add("Delta", "Java", "");
    AddCustom("Categories", {"Sub"});
    const std::string noCategory = "You must specify a category.";
    const std::string noTitle = "You must specify a title.";
    // The category comes first: with neither, only the category is named.
    EXPECT_EQ(CheckAddSamplePage1(*doc, "", "").text, noCategory);
    EXPECT_EQ(CheckAddSamplePage1(*doc, "", "Fresh").text, noCategory);
    // The root, and a category that is really called like the root.
    EXPECT_EQ(CheckAddSamplePage1(*doc, "Categories", "Fresh").text, noCategory);
    EXPECT_EQ(CheckAddSamplePage1(*doc, "Categories", "Fresh").icon, MsgIcon::None);
    EXPECT_EQ(CheckAddSamplePage1(*doc, "C++", "").text, noTitle);
    EXPECT_EQ(CheckAddSamplePage1(*doc, "C++", "").icon, MsgIcon::None);
    // Taken in another category: the message names where.
    InputCheck taken = CheckAddSamplePage1(*doc, "Java", "Alpha");
    EXPECT_EQ(taken.text, kNotUniqueCppGeneral);
    EXPECT_EQ(taken.icon, MsgIcon::Exclamation);
    EXPECT_EQ(CheckAddSamplePage1(*doc, "C++", "Delta").text,
              "The title you have entered is not unique.The sample in\n"
              "\tCategory: \"Java\",\n\tSubcategory: \"\" \nalready has that title.\n"
              "Please select another title.\n");
    EXPECT_TRUE(CheckAddSamplePage1(*doc, "C++", "ALPHA").Ok());
    EXPECT_EQ(CheckAddSamplePage1(*doc, "C++", "A\rB").text, "The title cannot contain a line break.");
}

TEST(AddSampleRules, SummaryChunks) {
    EXPECT_EQ(JoinPieces(HeaderChunkPieces("Quick sort", "C++", "General")),
              "Title:  Quick sort\r\n\r\nCategory:  C++\r\nSub-category:  General\r\n");
    EXPECT_EQ(JoinPieces(HeaderChunkPieces("T", "Java", "")),
              "Title:  T\r\n\r\nCategory:  Java\r\nSub-category:  \r\n");
    EXPECT_EQ(JoinPieces(NotesChunkPieces("sort , fast", "From K&R.\r\nPage 87")),
              "Keywords:\r\nsort , fast\r\n\r\nComments:\r\nFrom K&R.\r\nPage 87\r\n\r\n");
    EXPECT_EQ(JoinPieces(NotesChunkPieces("", "")), "Keywords:\r\n\r\n\r\nComments:\r\n\r\n\r\n");
    EXPECT_EQ(JoinPieces(SampleChunkPieces("int x;\r\n")), "Sample:\r\nint x;\r\n");
    EXPECT_EQ(JoinPieces(SampleChunkPieces("")), "Sample:\r\n");
}
