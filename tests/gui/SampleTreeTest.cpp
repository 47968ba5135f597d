// The sample tree: building, sorting, placement and load errors, expand state.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "ui/CodeEditor.h"
#include "app/Commands.h"
#include "config/LibraryConfig.h"

TEST_F(GuiTest, SamplesAreSortedAndThoseWithoutSubcategorySitBesideTheSubcategories) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "", "Hello", "", "", "") +
                                         SampleFileBytes("C++", "General", "banana", "", "", "") +
                                         SampleFileBytes("C++", "General", "Apple", "", "", "") +
                                         SampleFileBytes("C++", "General", "cherry", "", "", "") +
                                         SampleFileBytes("C++", "GUI", "Dialog", "", "", ""));
    // The same sub-category name under two categories keeps their samples apart.
    WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "General", "Streams", "", "", ""));
    Start();
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(ChildNames(CategoryItem("C++")), (std::vector<std::string>{"COM", "General", "GUI", "Hello"}));
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "General")), (std::vector<std::string>{"Apple", "banana", "cherry"}));
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "GUI")), (std::vector<std::string>{"Dialog"}));
    EXPECT_EQ(ChildNames(SubcategoryItem("Java", "General")), (std::vector<std::string>{"Streams"}));
    QTreeWidgetItem* hello = SampleItem("Hello");
    ASSERT_NE(hello, nullptr);
    EXPECT_EQ(CSampleTree::ItemTag(hello), kTagSample);
    EXPECT_EQ(hello->parent(), CategoryItem("C++"));
    EXPECT_EQ(Root()->text(0), QStringLiteral("Samples"));
}

TEST_F(GuiTest, SamplesWithoutAPlaceBecomeLoadErrors) {
    // Java is hidden; "gui" differs from "GUI" in case only; "Nowhere" does not exist.
    WriteConfig(std::string(kAppKey) + "\"HiddenCats\" \"Java\"\n");
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Kept", "", "", "") +
                                         SampleFileBytes("C++", "gui", "Wrong case", "", "", "") +
                                         SampleFileBytes("Nowhere", "", "Lost category", "", "", ""));
    WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "General", "Hidden java", "k", "c\r\n", "t\r\n"));
    Start();
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(CategoryItem("Java"), nullptr);
    EXPECT_EQ(Root()->text(0), QStringLiteral("Samples (*Load errors exist*)"));
    EXPECT_EQ(App().GetLoadErrorCount(), 3);
    EXPECT_NE(SampleItem("Kept"), nullptr);
    EXPECT_EQ(SampleItem("Wrong case"), nullptr);
    EXPECT_EQ(Doc()->PeekSample("Hidden java"), nullptr); // left the library
    EXPECT_EQ(Doc()->GetSampleCount(), 1);
    EXPECT_TRUE(CommandEnabled(cmd::kCorrectLoadErrors));

    // When the store becomes empty the document says so and the root text goes back.
    View()->OnLoadErrorsEmptied();
    EXPECT_EQ(Root()->text(0), QStringLiteral("Samples"));
}

TEST_F(GuiTest, ExitOffersToExportLoadErrorsThroughTheSaveAsDialog) {
    WriteConfig(std::string(kAppKey) + "\"HiddenCats\" \"Java\"\n");
    WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "General", "Hidden java", "k", "c\r\n", "t\r\n"));
    Start();
    ASSERT_EQ(App().GetLoadErrorCount(), 1);
    m_messages.answers = {MsgAnswer::Yes};
    m_files.answers.push_back(File("exported.txt"));
    Exit();

    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "Load errors exist.\n\n"
                                        "All samples in error will be permanently lost\nunless saved to a text file!\n\n"
                                        "Do you want to save the samples that\ncould not be loaded?");
    EXPECT_EQ(m_messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Stop);
    ASSERT_EQ(m_files.requests.size(), 1u);
    EXPECT_EQ(m_files.requests[0].proposedName, "loaderr.txt");
    EXPECT_EQ(m_files.requests[0].defaultSuffix, QStringLiteral("txt"));
    EXPECT_TRUE(m_files.requests[0].confirmOverwrite);
    const std::string exported = ReadFileBytes(File("exported.txt"));
    EXPECT_NE(exported.find("Title: Hidden java"), std::string::npos);
    // The tree state and the options are still written.
    EXPECT_NE(ReadConfig().find("\"Settings\""), std::string::npos);
}

TEST_F(GuiTest, ACancelledExportSaysTheLoadErrorsWereNotSavedAndNoExportsNothing) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("Nowhere", "", "Lost", "", "", ""));
    Start();
    m_messages.answers = {MsgAnswer::Yes, MsgAnswer::Ok};
    m_files.answers.push_back(std::nullopt); // the file dialog is cancelled
    Exit();
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[1].text, "Load errors not saved!");
    EXPECT_EQ(m_messages.shown[1].icon, MsgIcon::None);

    m_messages.Clear();
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("Nowhere", "", "Lost", "", "", ""));
    Start();
    m_messages.answers = {MsgAnswer::No};
    Exit();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_TRUE(m_files.requests.size() == 1u); // only the first run asked for a file
    EXPECT_FALSE(fileio::FileExists(File("loaderr.txt")));
}

TEST_F(GuiTest, ExpandedBranchesAreRestoredAtTheNextStart) {
    Start();
    // The user opens C++ and its GUI branch, and Java, then closes Java again.
    CategoryItem("C++")->setExpanded(true);
    SubcategoryItem("C++", "GUI")->setExpanded(true);
    CategoryItem("Java")->setExpanded(true);
    CategoryItem("Java")->setExpanded(false);
    const NameSetMap& live = App().Config().g_expandedSubcats;
    ASSERT_EQ(live.size(), 1u);
    EXPECT_EQ(live.at("C++"), NameSet{"GUI"});
    Exit();

    Start();
    EXPECT_TRUE(CategoryItem("C++")->isExpanded());
    EXPECT_TRUE(SubcategoryItem("C++", "GUI")->isExpanded());
    EXPECT_FALSE(SubcategoryItem("C++", "General")->isExpanded());
    EXPECT_FALSE(CategoryItem("Java")->isExpanded());
    EXPECT_FALSE(CategoryItem("Visual Basic")->isExpanded());

    // With the option off the stored state stays as it was.
    App().Config().m_bSaveTreeState = false;
    CategoryItem("C++")->setExpanded(false);
    CategoryItem("Visual Basic")->setExpanded(true);
    Exit();
    Start();
    EXPECT_TRUE(CategoryItem("C++")->isExpanded());
    EXPECT_TRUE(SubcategoryItem("C++", "GUI")->isExpanded());
    EXPECT_FALSE(CategoryItem("Visual Basic")->isExpanded());
    EXPECT_FALSE(App().Config().m_bSaveTreeState);
}

TEST_F(GuiTest, ExpandTrackingFollowsTheRules) {
    Start();
    NameSetMap& live = App().Config().g_expandedSubcats;
    // A sub-category of a category without an entry is not recorded.
    SubcategoryItem("Java", "COM")->setExpanded(true);
    EXPECT_TRUE(live.empty());
    CategoryItem("Java")->setExpanded(true);
    EXPECT_EQ(live.at("Java"), NameSet{});
    SubcategoryItem("Java", "GUI")->setExpanded(true);
    EXPECT_EQ(live.at("Java"), NameSet{"GUI"});
    SubcategoryItem("Java", "GUI")->setExpanded(false);
    EXPECT_EQ(live.at("Java"), NameSet{});
    // Collapsing the root forgets everything.
    CategoryItem("C++")->setExpanded(true);
    Root()->setExpanded(false);
    EXPECT_TRUE(live.empty());
}

TEST_F(GuiTest, ARebuildReexpandsTheCategoriesOfTheStartButNotTheTrackingTables) {
    WriteConfig(std::string(kAppKey) + "\"ExpandedCats\" \"C++\"\n" + kAppKey + "\"ExpandedCats\" \"C++\" \"GUI\"\n");
    Start();
    EXPECT_TRUE(CategoryItem("C++")->isExpanded());
    EXPECT_TRUE(SubcategoryItem("C++", "GUI")->isExpanded());
    NameSetMap& live = App().Config().g_expandedSubcats;
    CategoryItem("C++")->setExpanded(false);
    EXPECT_TRUE(live.empty());
    Tree()->RebuildTree("");
    // Expanded again because it was expanded at the start; its sub-categories follow
    // the live table, which the rebuild does not change.
    EXPECT_TRUE(CategoryItem("C++")->isExpanded());
    EXPECT_FALSE(SubcategoryItem("C++", "GUI")->isExpanded());
    EXPECT_TRUE(live.empty());
}

TEST_F(GuiTest, ExpandAllAndCollapseAll) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "", "", "int a;\r\n"));
    Start();
    Frame()->Action(cmd::kExpandAll)->trigger();
    EXPECT_TRUE(CategoryItem("Java")->isExpanded());
    EXPECT_TRUE(SubcategoryItem("C++", "General")->isExpanded());
    EXPECT_EQ(App().Config().g_expandedSubcats.at("C++"), NameSet{"General"});

    Select(SampleItem("Alpha"));
    ASSERT_TRUE(Child<CCodeEditor>("textEdit")->isEnabled());
    Frame()->Action(cmd::kCollapseAll)->trigger();
    EXPECT_FALSE(Root()->isExpanded());
    EXPECT_FALSE(CategoryItem("C++")->isExpanded());
    EXPECT_FALSE(SubcategoryItem("C++", "General")->isExpanded());
    EXPECT_TRUE(App().Config().g_expandedSubcats.empty());
    EXPECT_EQ(Tree()->currentItem(), Root());
    EXPECT_TRUE(Child<QLineEdit>("titleEdit")->text().isEmpty());
    EXPECT_TRUE(Child<CCodeEditor>("textEdit")->PlainText().isEmpty());
    EXPECT_FALSE(Child<CCodeEditor>("textEdit")->isEnabled());
    EXPECT_EQ(ComboCurrent(Child<QComboBox>("categoryCombo")), " (no sample selected) ");
    EXPECT_FALSE(CommandEnabled(cmd::kCollapseAll));
}

TEST_F(GuiTest, CollapseAllCommitsUnsavedEditsFirst) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "", "", "int a;\r\n"));
    Start();
    Select(SampleItem("Alpha"));
    Child<QLineEdit>("keywordsEdit")->setText(QStringLiteral("new"));
    Frame()->Action(cmd::kCollapseAll)->trigger();
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), SampleFileBytes("C++", "General", "Alpha", "new", "", "int a;\r\n"));
}

TEST_F(GuiTest, ALargeLibraryStartsWithItsBranchesAndMakesEachWhenLookedInto) {
    // 30,000 samples over every default sub-category, in reverse title order on disk.
    const char* subs[] = {"General", "GUI", "COM", ""};
    std::string cpp, java;
    const int n = 30000;
    for (int i = n - 1; i >= 0; --i) {
        char title[32];
        std::snprintf(title, sizeof title, "Sample %05d", i);
        const std::string sub = subs[i % 4];
        std::string bytes = SampleFileBytes(i % 2 ? "Java" : "C++", sub, title, "k", "", "x\r\n");
        (i % 2 ? java : cpp) += bytes;
    }
    // One sample without a place.
    cpp += SampleFileBytes("C++", "Threads", "Sample without place", "", "", "");
    WriteFileBytes("quorrincpp.txt", cpp);
    WriteFileBytes("quorrinjava.txt", java);
    Start();
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(Doc()->GetSampleCount(), n);
    EXPECT_EQ(App().GetLoadErrorCount(), 1);
    // No sample item is made at the start; a branch with samples can be expanded.
    QTreeWidgetItem* general = SubcategoryItem("C++", "General");
    ASSERT_NE(general, nullptr);
    EXPECT_EQ(general->childCount(), 0);
    EXPECT_EQ(general->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(CategoryItem("C++")->childCount(), 3);
    EXPECT_EQ(CategoryItem("Java")->childCount(), 3);

    // Selecting by title makes the sample's branch, and only that one.
    ASSERT_TRUE(Tree()->SelectSampleItem("Sample 12345"));
    EXPECT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Sample 12345"));
    EXPECT_EQ(CSampleTree::ItemName(Tree()->currentItem()->parent()), "GUI");
    EXPECT_EQ(SubcategoryItem("Java", "GUI")->childCount(), n / 4);
    EXPECT_TRUE(SubcategoryItem("Java", "GUI")->isExpanded());
    EXPECT_EQ(general->childCount(), 0);

    // Expanded as the user does: made whole and in order.
    CategoryItem("C++")->setExpanded(true);
    general->setExpanded(true);
    EXPECT_EQ(general->childCount(), n / 4);
    EXPECT_EQ(CSampleTree::ItemName(general->child(0)), "Sample 00000");
    EXPECT_EQ(CSampleTree::ItemName(general->child(general->childCount() - 1)), "Sample 29996");
    EXPECT_EQ(CategoryItem("C++")->childCount(), 3);
    // Java: three sub-categories and the samples without one, sorted together; the
    // sub-category that was made and selected stays so.
    CategoryItem("Java")->setExpanded(true);
    EXPECT_EQ(CategoryItem("Java")->childCount(), 3 + n / 4);
    EXPECT_EQ(CSampleTree::ItemName(CategoryItem("Java")->child(2)), "GUI");
    EXPECT_EQ(CSampleTree::ItemName(CategoryItem("Java")->child(3)), "Sample 00003");
    EXPECT_EQ(CSampleTree::ItemName(Tree()->currentItem()), "Sample 12345");
    EXPECT_EQ(App().Config().g_expandedSubcats.at("Java"), NameSet{});
}
