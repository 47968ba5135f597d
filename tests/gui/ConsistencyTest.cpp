// The window says the same thing before and after: the category order through a
// rebuild, the tree state through a re-expanded root, the Search dialog's categories
// after the library's change, a pasted title's first line.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include "GuiTestSupport.h"
#include "base/TextRules.h"
#include "config/LibraryConfig.h"
#include "library/QuorrinDoc.h"
#include "tools/SearchDlg.h"
#include "ui/PasteRule.h"

namespace {

using ConsistencyTest = GuiTest;

std::vector<std::string> CategoryNames(QTreeWidgetItem* root) {
    std::vector<std::string> names;
    for (int i = 0; i < root->childCount(); ++i)
        names.push_back(CSampleTree::ItemName(root->child(i)));
    return names;
}

TEST_F(ConsistencyTest, ANewCategoryStandsWhereARebuildPutsIt) {
    Start();
    for (const char* name : {"zeta", "Alpha", "beta"})
        Tree()->AddCategoryItem(name), Doc()->AddCategory(std::make_unique<CCategory>(name));
    const std::vector<std::string> before = CategoryNames(Root());
    Tree()->RebuildTree(std::string());
    EXPECT_EQ(CategoryNames(Root()), before);
}

TEST_F(ConsistencyTest, TheStoredTreeStateFollowsARootCollapsedAndExpandedAgain) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "", "", "x"));
    Start();
    CategoryItem("C++")->setExpanded(true);
    SubcategoryItem("C++", "General")->setExpanded(true);
    Root()->setExpanded(false);
    EXPECT_TRUE(App().Config().g_expandedSubcats.empty());
    Root()->setExpanded(true); // the branches show as they were: so does the stored state
    EXPECT_EQ(App().Config().g_expandedSubcats["C++"], NameSet{"General"});
}

TEST_F(ConsistencyTest, TheSearchDialogOffersTheCategoriesTheLibraryHasNow) {
    Start();
    CSearchDlg dlg([this] { return Doc(); }, [] {}, Frame());
    dlg.Create();
    auto* limit = Find<QComboBox>(&dlg, "categoryLimitCombo");
    Doc()->AddCategory(std::make_unique<CCategory>("Scripts"));
    dlg.show();
    std::vector<std::string> entries = ComboEntries(limit);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "Scripts"), 1);
    Choose(limit, "Scripts");
    m_messages.answers = {MsgAnswer::Ok}; // its file was never written
    Doc()->DeleteCategory("Scripts");
    dlg.hide();
    dlg.show();
    entries = ComboEntries(limit);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "Scripts"), 0);
    EXPECT_EQ(ComboCurrent(limit), kNoLimit);
}

TEST_F(ConsistencyTest, APastedTitleKeepsItsFirstLine) {
    QLineEdit edit;
    CPasteFilter filter;
    filter.Watch(&edit);
    QGuiApplication::clipboard()->setText(QStringLiteral("First line\nsecond line"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("First line"));
}

} // namespace
