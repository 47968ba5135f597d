// Rebuilding the sample tree after changes: the tree shows the library as it is then,
// in the branches made at once (expanded) and in those made when first looked into.
#include <QTreeWidget>

#include "GuiTestSupport.h"

namespace {

// Every sample item below item, each branch made: its name must be its title, its tag
// the sample tag.
std::vector<std::string> SampleNames(CSampleTree* tree, QTreeWidgetItem* item) {
    std::vector<std::string> out;
    tree->BuildBranch(item);
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        if (CSampleTree::ItemTag(child) == kTagSample) {
            EXPECT_EQ(child->text(0).toStdString(), CSampleTree::ItemName(child));
            EXPECT_EQ(child->childCount(), 0);
            out.push_back(CSampleTree::ItemName(child));
        }
        for (const std::string& name : SampleNames(tree, child))
            out.push_back(name);
    }
    return out;
}

} // namespace

TEST_F(GuiTest, RebuildsShowTheLibraryAsItIsThen) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "alpha", "", "", "") +
                                         SampleFileBytes("C++", "General", "Beta", "", "", "") +
                                         SampleFileBytes("C++", "", "gamma", "", "", ""));
    WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "GUI", "delta", "", "", ""));
    Start();
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "General")), (std::vector<std::string>{"alpha", "Beta"}));

    // A sample deleted, one added, one moved to another category, one retitled.
    ASSERT_TRUE(Doc()->DeleteSample("alpha"));
    CSample added;
    added.SetTitle("Alpha2");
    added.SetCategory("C++");
    added.SetSubcategory("General");
    ASSERT_TRUE(Doc()->AddSample(std::make_unique<CSample>(added)));
    CSample moved = *Doc()->PeekSample("delta");
    moved.SetCategory("C++");
    moved.SetSubcategory("");
    ASSERT_TRUE(Doc()->UpdateSample("delta", moved));
    CSample renamed = *Doc()->PeekSample("gamma");
    renamed.SetTitle("aardvark");
    ASSERT_TRUE(Doc()->UpdateSample("gamma", renamed));
    Tree()->RebuildTree("Beta");

    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "General")), (std::vector<std::string>{"Alpha2", "Beta"}));
    EXPECT_EQ(ChildNames(CategoryItem("C++")),
              (std::vector<std::string>{"aardvark", "COM", "delta", "General", "GUI"}));
    EXPECT_TRUE(ChildNames(SubcategoryItem("Java", "GUI")).empty());
    EXPECT_EQ(SampleNames(Tree(), Root()), (std::vector<std::string>{"aardvark", "delta", "Alpha2", "Beta"}));
    ASSERT_NE(Tree()->currentItem(), nullptr);
    EXPECT_EQ(CSampleTree::ItemName(Tree()->currentItem()), "Beta");
    EXPECT_FALSE(Tree()->SelectSampleItem("alpha"));
    EXPECT_FALSE(Tree()->SelectSampleItem("gamma"));
    EXPECT_TRUE(Tree()->SelectSampleItem("delta"));
    EXPECT_EQ(Tree()->currentItem()->parent(), CategoryItem("C++"));

    // Rebuilding again with nothing changed gives the same tree.
    Tree()->RebuildTree(std::string());
    EXPECT_EQ(SampleNames(Tree(), Root()), (std::vector<std::string>{"aardvark", "delta", "Alpha2", "Beta"}));
    EXPECT_EQ(Tree()->currentItem(), Root());
    EXPECT_TRUE(Tree()->SelectSampleItem("Alpha2"));
}

TEST_F(GuiTest, SamplesInByteOrderAreSortedAlphabeticallyInTheTree) {
    // Byte order puts capitals first and "\xC3\x84pfel" (UTF-8) last; the tree ignores
    // letter case first.
    std::string file;
    for (const char* title : {"Mango", "Zebra", "apple", "banana", "\xC3\x84pfel", "zebra"})
        file += SampleFileBytes("C++", "GUI", title, "", "", "");
    for (const char* title : {"Beta", "alpha"})
        file += SampleFileBytes("C++", "General", title, "", "", "");
    WriteFileBytes("quorrincpp.txt", file);
    Start();
    const std::vector<std::string> gui = {"apple", "banana", "Mango", "Zebra", "zebra", "\xC3\x84pfel"};
    const std::vector<std::string> general = {"alpha", "Beta"};
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "GUI")), gui);
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "General")), general);
    Tree()->RebuildTree(std::string());
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "GUI")), gui);
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "General")), general);
}

TEST_F(GuiTest, ExpandedBranchesAreMadeAndExpandedAgainByARebuild) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "a", "", "", "") +
                                         SampleFileBytes("C++", "General", "b", "", "", "") +
                                         SampleFileBytes("C++", "GUI", "c", "", "", ""));
    WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "GUI", "d", "", "", ""));
    // Expanded at the start: made at once, and expanded again by a rebuild.
    WriteConfig(std::string(kAppKey) + "\"ExpandedCats\" \"C++\"\n" + kAppKey +
                "\"ExpandedCats\" \"C++\" \"General\"\n");
    Start();
    QTreeWidgetItem* general = SubcategoryItem("C++", "General");
    ASSERT_NE(general, nullptr);
    ASSERT_TRUE(general->isExpanded());
    EXPECT_EQ(general->childCount(), 2);
    // A collapsed branch is made when it is first looked into.
    EXPECT_EQ(SubcategoryItem("Java", "GUI")->childCount(), 0);
    EXPECT_EQ(SubcategoryItem("Java", "GUI")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    Tree()->RebuildTree(std::string());
    general = SubcategoryItem("C++", "General");
    EXPECT_EQ(general->parent(), CategoryItem("C++"));
    EXPECT_TRUE(general->isExpanded());
    EXPECT_EQ(ChildNames(general), (std::vector<std::string>{"a", "b"}));
    ASSERT_TRUE(Tree()->SelectSampleItem("b"));
    EXPECT_EQ(Tree()->currentItem()->parent(), general);

    // A sample moved between two sub-categories.
    CSample moved = *Doc()->PeekSample("c");
    moved.SetSubcategory("General");
    ASSERT_TRUE(Doc()->UpdateSample("c", moved));
    Tree()->RebuildTree("c");
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "General")), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(ChildNames(SubcategoryItem("C++", "GUI")).empty());
    EXPECT_TRUE(SubcategoryItem("C++", "General")->isExpanded());
    EXPECT_EQ(ChildNames(SubcategoryItem("Java", "GUI")), (std::vector<std::string>{"d"}));
    ASSERT_NE(Tree()->currentItem(), nullptr);
    EXPECT_EQ(CSampleTree::ItemName(Tree()->currentItem()), "c");
    EXPECT_EQ(SampleNames(Tree(), Root()), (std::vector<std::string>{"a", "b", "c", "d"}));

    // The last sample of a branch deleted: the branch is empty.
    ASSERT_TRUE(Doc()->DeleteSample("d"));
    Tree()->RebuildTree(std::string());
    EXPECT_TRUE(ChildNames(SubcategoryItem("Java", "GUI")).empty());
    EXPECT_EQ(SampleNames(Tree(), Root()), (std::vector<std::string>{"a", "b", "c"}));
}
