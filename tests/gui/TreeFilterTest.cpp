// The instant find above the tree: narrowing as the user types, the option to search
// the text too, and the whole tree brought back exactly as it was.
#include <QClipboard>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "config/LibraryConfig.h"
#include "ui/CodeEditor.h"

namespace {

class TreeFilterTest : public GuiTest {
protected:
    void StartWithLibrary() {
        WriteFileBytes("quorrincpp.txt",
                       SampleFileBytes("C++", "General", "Alpha", "list", "", "int a;\r\n") +
                           SampleFileBytes("C++", "GUI", "Beta", "gui", "", "void paint();\r\n") +
                           SampleFileBytes("C++", "", "Linked LIST", "", "", "node* next;\r\n"));
        WriteFileBytes("quorrinjava.txt",
                       SampleFileBytes("Java", "General", "Gamma", "", "", "class G { List<String> items; }\r\n") +
                           SampleFileBytes("Java", "GUI", "Delta", "swing", "", "JFrame f;\r\n"));
        // C++ and its General were expanded at the last exit.
        WriteConfig(std::string(kAppKey) + "\"ExpandedCats\" \"C++\"\n" + kAppKey +
                    "\"ExpandedCats\" \"C++\" \"General\"\n");
        Start();
        Frame()->activateWindow();
    }
    QLineEdit* Field() { return Child<QLineEdit>("treeFilter"); }
    // Types into the field as the user does and waits for the whole result.
    void TypeFilter(const char* text) {
        QTest::keyClicks(Field(), QString::fromUtf8(text));
        Pump();
    }
    // Every expanded category and sub-category, as "C++" and "C++/General".
    std::vector<std::string> Expanded() {
        std::vector<std::string> out;
        for (int i = 0; i < Root()->childCount(); ++i) {
            QTreeWidgetItem* cat = Root()->child(i);
            const std::string name = CSampleTree::ItemName(cat);
            if (cat->isExpanded())
                out.push_back(name);
            for (int k = 0; k < cat->childCount(); ++k)
                if (CSampleTree::ItemTag(cat->child(k)) == kTagSubcategory && cat->child(k)->isExpanded())
                    out.push_back(name + "/" + CSampleTree::ItemName(cat->child(k)));
        }
        return out;
    }
};

} // namespace

TEST_F(TreeFilterTest, NarrowsAsTheUserTypesAndEscapeBringsTheTreeBackAsItWas) {
    StartWithLibrary();
    // The user expands Java and shows Beta (which expands C++/GUI).
    CategoryItem("Java")->setExpanded(true);
    Select(SampleItem("Beta"));
    const std::vector<std::string> before = Expanded();
    ASSERT_EQ(before, (Names{"C++", "C++/General", "C++/GUI", "Java"}));
    const NameSetMap stateBefore = App().Config().g_expandedSubcats;

    Run(cmd::kFindSamples);
    EXPECT_TRUE(Field()->hasFocus());
    // Title or keywords, letter case ignored; the parents stay, with their matches. The
    // best first: a word of the title before a keyword, so the sample directly in C++
    // comes before the sub-category General whose best is a keyword.
    TypeFilter("LiSt");
    EXPECT_EQ(ShownSamples(), (Names{"Linked LIST", "Alpha"}));
    // The matched letters are marked in the rows; a keyword's match marks nothing.
    EXPECT_EQ(Tree()->MarkedCharsOf(SampleItem("Linked LIST")), (std::vector<CharRange>{{7, 4}}));
    EXPECT_TRUE(Tree()->MarkedCharsOf(SampleItem("Alpha")).empty());
    EXPECT_EQ(ChildNames(Root()), Names{"C++"});
    EXPECT_EQ(SubcategoryItem("C++", "GUI"), nullptr);
    EXPECT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Beta")); // left as it was
    // The tree state the program keeps is not the narrowed tree's.
    EXPECT_EQ(App().Config().g_expandedSubcats, stateBefore);

    // Escape: the whole tree, expanded and selected as before.
    QTest::keyClick(Field(), Qt::Key_Escape);
    Pump();
    EXPECT_TRUE(Field()->text().isEmpty());
    EXPECT_FALSE(Tree()->IsFiltered());
    EXPECT_EQ(Expanded(), before);
    EXPECT_EQ(CSampleTree::ItemName(Tree()->currentItem()), "Beta");
    EXPECT_EQ(ShownSamples().size(), 5u);
    EXPECT_EQ(App().Config().g_expandedSubcats, stateBefore);

    // With the text searched too, samples whose text holds it come in.
    Child<QCheckBox>("treeFilterInText")->setChecked(true);
    Field()->setFocus();
    TypeFilter("list");
    EXPECT_EQ(ShownSamples(), (Names{"Linked LIST", "Alpha", "Gamma"}));
    // Every word, in any order.
    TypeFilter(" link");
    EXPECT_EQ(ShownSamples(), (Names{"Linked LIST"}));
    Field()->clear();
    TypeFilter("link list");
    EXPECT_EQ(ShownSamples(), (Names{"Linked LIST"}));
    TypeFilter("x");
    EXPECT_TRUE(ShownSamples().empty());
    EXPECT_EQ(Root()->childCount(), 0);
}

TEST_F(TreeFilterTest, DownEnterAndCopyTakeTheFoundSampleToTheClipboard) {
    StartWithLibrary();
    Run(cmd::kFindSamples);
    TypeFilter("swing");
    EXPECT_EQ(ShownSamples(), Names{"Delta"});
    // Enter in the field shows the first result and gives its text the focus.
    QTest::keyClick(Field(), Qt::Key_Return);
    Pump();
    EXPECT_EQ(Selected(), "Delta");
    EXPECT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Delta"));
    EXPECT_TRUE(Child<CCodeEditor>("textEdit")->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    Pump();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("JFrame f;\n"));

    // Down from the field moves into the results.
    Field()->setFocus();
    Field()->selectAll();
    TypeFilter("a");
    Select(Root());
    Field()->setFocus();
    QTest::keyClick(Field(), Qt::Key_Down);
    Pump();
    EXPECT_TRUE(Tree()->hasFocus());
    EXPECT_EQ(Selected(), "Alpha");
    // A sample asked for that the filter hides ends it (as the Search dialog's choice).
    ASSERT_TRUE(Tree()->SelectSampleItem("Linked LIST"));
    EXPECT_FALSE(Tree()->IsFiltered());
    EXPECT_TRUE(Field()->text().isEmpty());
    EXPECT_EQ(Selected(), "Linked LIST");
}

TEST_F(TreeFilterTest, EnterOnASampleFoundInItsTextMarksTheWordsAndF3GoesOn) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Worker", "", "",
                                                     "run();\r\nqueue.push(task);\r\nqueue.pop();\r\n"));
    Start();
    Child<QCheckBox>("treeFilterInText")->setChecked(true);
    Run(cmd::kFindSamples);
    TypeFilter("POP queue");
    ASSERT_EQ(ShownSamples(), Names{"Worker"});
    QTest::keyClick(Field(), Qt::Key_Return);
    Pump();
    auto* editor = Child<CCodeEditor>("textEdit");
    EXPECT_TRUE(editor->hasFocus());
    // Every match marked, the first selected with the caret at its end.
    using Runs = std::vector<std::pair<qsizetype, qsizetype>>;
    EXPECT_EQ(editor->MarkedRuns(), (Runs{{7, 5}, {25, 5}, {31, 3}}));
    EXPECT_EQ(editor->selectedText(), QStringLiteral("queue"));
    EXPECT_EQ(editor->CaretCharPosition(), 12);
    QTest::keyClick(editor, Qt::Key_F3);
    EXPECT_EQ(editor->CaretCharPosition(), 30);
    QTest::keyClick(editor, Qt::Key_F3);
    EXPECT_EQ(editor->selectedText(), QStringLiteral("pop"));
    QTest::keyClick(editor, Qt::Key_F3); // round to the first again
    EXPECT_EQ(editor->CaretCharPosition(), 12);
    QTest::keyClick(editor, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(editor->selectedText(), QStringLiteral("pop"));
}

TEST_F(TreeFilterTest, EscapeLeavesTheFormShowingTheItemSelectedAgain) {
    StartWithLibrary();
    // Nothing but the root selected before: after Escape the form shows no sample.
    Select(Root());
    Run(cmd::kFindSamples);
    TypeFilter("swing");
    QTest::keyClick(Field(), Qt::Key_Return);
    Pump();
    ASSERT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Delta"));
    Field()->setFocus();
    QTest::keyClick(Field(), Qt::Key_Escape);
    Pump();
    EXPECT_EQ(Tree()->SelectedTag(), kTagRoot);
    EXPECT_TRUE(Child<QLineEdit>("titleEdit")->text().isEmpty());

    // A sample selected before is shown again.
    Select(SampleItem("Beta"));
    Run(cmd::kFindSamples);
    TypeFilter("swing");
    QTest::keyClick(Field(), Qt::Key_Return);
    Pump();
    Field()->setFocus();
    QTest::keyClick(Field(), Qt::Key_Escape);
    Pump();
    EXPECT_EQ(Selected(), "Beta");
    EXPECT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Beta"));
}
