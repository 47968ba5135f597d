// The checks behind the name dialogs and page 1 of the Add Sample wizard.
#include <functional>

#include "DocTestSupport.h"
#include "library/AddSampleRules.h"
#include "library/EditRules.h"

namespace {

class EditRulesTest : public DocFixture {
protected:
    void SetUp() override {
        Load();
        ASSERT_TRUE(Add(MakeSample("Alpha", "C++", "General")));
        std::vector<std::string> fifteen;
        for (int i = 1; i <= 15; ++i)
            fifteen.push_back("S" + std::to_string(i));
        AddCustom("Full", fifteen);
        AddCustom("Roomy", std::vector<std::string>(fifteen.begin(), fifteen.begin() + 14));
        CCategory cpp;
        ASSERT_TRUE(doc->FindCategory("C++", cpp));
        ASSERT_TRUE(cpp.RemoveSubcategory("GUI")); // hidden, its name still taken
        ASSERT_TRUE(doc->UpdateCategory("C++", cpp));
        messages.Clear();
    }
    void AddCustom(const std::string& name, const std::vector<std::string>& subs) {
        auto c = std::make_unique<CCategory>(name);
        for (size_t i = 0; i < subs.size(); ++i)
            c->Slot(static_cast<int>(i)) = SubcategorySlot{subs[i], true, true};
        ASSERT_TRUE(doc->AddCategory(std::move(c)));
    }
};

struct Row {
    std::string first;  // the category, or the name
    std::string second; // the name or title, when the check takes two
    std::string message;
    MsgIcon icon = MsgIcon::None;
};

void ExpectChecks(const std::vector<Row>& rows, const std::function<InputCheck(const Row&)>& check) {
    for (const Row& r : rows) {
        const InputCheck result = check(r);
        EXPECT_EQ(result.text, r.message) << r.first << " / " << r.second;
        EXPECT_EQ(result.icon, r.icon) << r.first << " / " << r.second;
    }
}

const MsgIcon kWarn = MsgIcon::Exclamation;

TEST_F(EditRulesTest, NewCategoryNames) {
    ASSERT_TRUE(doc->DeleteCategory("Java")); // hidden, its file is still taken
    AddCustom("Awk", {});
    const char* const taken = "The file of this category would be \"quorrin%s.txt\", which category \"%s\" "
                              "uses already.\nPlease select a new name.";
    ExpectChecks({{"Scripts", "", ""},
                  {"java script", "", ""}, // names compare exactly
                  {std::string(244, 'x'), "", ""},
                  {"Full", "", edit_msg::kCategoryExists},
                  {"C++", "", edit_msg::kCategoryExists},
                  {"", "", edit_msg::kEmptyCategoryName},
                  {"A\nB", "", "The category name cannot contain a line break.", kWarn},
                  {"A\rB", "", "The category name cannot contain a line break.", kWarn},
                  // "quorrin" + name + ".txt" must be a file of its own in the folder.
                  {"a/b", "", edit_msg::kCategorySeparator, kWarn},
                  {"a\\b", "", edit_msg::kCategorySeparator, kWarn},
                  {std::string(245, 'x'), "", edit_msg::kCategoryNameTooLong, kWarn},
                  {"cpp", "", StrFormat(taken, "cpp", "C++"), kWarn},
                  {"java", "", StrFormat(taken, "java", "Java"), kWarn},
                  // One file where letter case is ignored, whichever name has the capitals.
                  {"JAVA", "", StrFormat(taken, "JAVA", "Java"), kWarn},
                  {"awk", "", StrFormat(taken, "awk", "Awk"), kWarn}},
                 [this](const Row& r) { return CheckNewCategoryName(*doc, r.first); });
}

// The category is trimmed, the name taken as typed; a category has fifteen places.
TEST_F(EditRulesTest, NewSubcategoryNames) {
    const std::string exists = edit_msg::kSubcategoryExists;
    ExpectChecks(
        {{"  C++ ", "  Templates", ""},
         {"C++", "general", ""},
         {"C++", "GUI", exists},
         {"Nowhere", "X", "Could not locate category!\n"},
         {"C++", "   ", edit_msg::kEmptySubcategoryName},
         {"Roomy", "S15", ""},
         {"Full", "S16",
          "Category \"Full\" has no room for another sub-category: all 15 places are in use.\nDelete "
          "one of its sub-categories first.",
          kWarn}},
        [this](const Row& r) { return CheckNewSubcategoryName(*doc, r.first, r.second); });
}

TEST_F(EditRulesTest, ANewSampleNeedsAPlaceTheTreeShows) {
    CCategory cpp;
    ASSERT_TRUE(doc->FindCategory("C++", cpp));
    ASSERT_TRUE(cpp.RemoveSubcategory("General")); // the first place, hidden
    ASSERT_TRUE(doc->UpdateCategory("C++", cpp));
    const CLoadErrorList none;
    ExpectChecks({{"General", "", "Sub-category \"General\" of category \"C++\" is hidden; a sample added to it "
                                  "would have no place in the tree."},
                  {"Nowhere", "", "Sub-category \"Nowhere\" does not exist in category \"C++\"."}},
                 [&](const Row& r) { return CheckNewSample(*doc, none, MakeSample("New", "C++", r.first)); });
}

} // namespace
