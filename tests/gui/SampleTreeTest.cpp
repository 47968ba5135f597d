// The sample tree: the order of samples, the stored state of a re-expanded root, Expand all
// and Collapse all.
#include <QLineEdit>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "config/LibraryConfig.h"

TEST_F(GuiTest, ExpandAllThenCollapseAllWhichCommitsTheFormAndEmptiesIt) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "", "", "int a;\r\n"));
    Start();
    Run(cmd::kExpandAll);
    EXPECT_TRUE(CategoryItem("Java")->isExpanded());
    EXPECT_TRUE(SubcategoryItem("C++", "General")->isExpanded());
    EXPECT_EQ(App().Config().g_expandedSubcats.at("C++"), NameSet{"General"});
    Select(SampleItem("Alpha"));
    Child<QLineEdit>("keywordsEdit")->setText(QStringLiteral("new"));
    Run(cmd::kCollapseAll);
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), SampleFileBytes("C++", "General", "Alpha", "new", "", "int a;\r\n"));
    EXPECT_FALSE(Root()->isExpanded());
    EXPECT_FALSE(SubcategoryItem("C++", "General")->isExpanded());
    EXPECT_TRUE(App().Config().g_expandedSubcats.empty());
    EXPECT_EQ(Tree()->currentItem(), Root());
    EXPECT_TRUE(Child<QLineEdit>("titleEdit")->text().isEmpty());
    EXPECT_FALSE(Child<QLineEdit>("keywordsEdit")->isEnabled());
    EXPECT_FALSE(CommandEnabled(cmd::kCollapseAll));
    EXPECT_TRUE(CommandEnabled(cmd::kExpandAll));
}

TEST_F(GuiTest, SamplesStandInNameOrderLetterCaseAside) {
    std::string cpp;
    for (const char* title : {"Zebra", "\xC3\x84pfel", "apple", "Mango", "zebra"})
        cpp += SampleFileBytes("C++", "General", title, "", "", "");
    WriteFileBytes("quorrincpp.txt", cpp);
    Start();
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "General")),
              (Names{"apple", "Mango", "Zebra", "zebra", "\xC3\x84pfel"}));
}

TEST_F(GuiTest, TheStoredTreeStateFollowsARootCollapsedAndExpandedAgain) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "", "", "x"));
    Start();
    CategoryItem("C++")->setExpanded(true);
    SubcategoryItem("C++", "General")->setExpanded(true);
    Root()->setExpanded(false);
    EXPECT_TRUE(App().Config().g_expandedSubcats.empty());
    Root()->setExpanded(true); // the branches show as they were: so does the stored state
    EXPECT_EQ(App().Config().g_expandedSubcats["C++"], NameSet{"General"});
}

// A sample the tree has no place for (its category or sub-category has no item) leaves
// the library for the load errors when the tree is built; every other sample stays in
// its branch.
TEST_F(GuiTest, ATreeBuildMakesASampleWithoutAPlaceALoadErrorAndKeepsTheRest) {
    std::string cpp;
    for (const char* title : {"Alpha", "Beta", "Gamma"})
        cpp += SampleFileBytes("C++", "General", title, "", "", "x");
    WriteFileBytes("quorrincpp.txt", cpp);
    WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "General", "Delta", "", "", "y"));
    Start();
    auto addStray = [this](const char* title, const char* category) {
        auto stray = std::make_unique<CSample>();
        stray->SetTitle(title);
        stray->SetCategory(category);
        stray->SetSubcategory("Nowhere");
        return Doc()->AddSample(std::move(stray));
    };
    auto errors = [this] {
        std::vector<std::string> titles;
        Doc()->LoadErrors().ForEach([&titles](const CSample& s) { titles.push_back(s.GetTitle()); });
        return titles;
    };
    // No item for the category, then none for the sub-category.
    ASSERT_TRUE(addStray("Theta", "Elsewhere"));
    Tree()->RebuildTree(std::string());
    EXPECT_EQ(errors(), (std::vector<std::string>{"Theta"}));
    ASSERT_TRUE(addStray("Zeta", "C++"));
    ASSERT_TRUE(addStray("Eta", "C++"));
    Tree()->RebuildTree(std::string());
    EXPECT_EQ(ShownSamples(), (std::vector<std::string>{"Alpha", "Beta", "Gamma", "Delta"}));
    EXPECT_EQ(Doc()->GetSampleCount(), 4);
    EXPECT_EQ(errors(), (std::vector<std::string>{"Theta", "Eta", "Zeta"})); // each build in title order
}
