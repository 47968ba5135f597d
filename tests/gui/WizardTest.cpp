// The Add Sample wizard on its own: Back and Next keep the values, and a finished run
// builds the sample it summed up.
#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "tools/AddSampleWizard.h"
#include "ui/CodeEditor.h"

namespace {

// The wizard's widgets, found by name.
struct Wiz {
    QWidget* w;
    void Press(const char* button) { Click(Find<QAbstractButton>(w, button)); }
    void Next(int times = 1) {
        for (int i = 0; i < times; ++i)
            Press("nextButton");
    }
    QTreeWidget* Tree() { return Find<QTreeWidget>(w, "wizTree"); }
    QLineEdit* Title() { return Find<QLineEdit>(w, "wizTitleEdit"); }
    QLineEdit* Keywords() { return Find<QLineEdit>(w, "wizKeywordsEdit"); }
    QPlainTextEdit* Comments() { return Find<QPlainTextEdit>(w, "wizCommentsEdit"); }
    CCodeEditor* Text() { return Find<CCodeEditor>(w, "wizTextEdit"); }
    // The item with this path below the root ("C++", "General").
    QTreeWidgetItem* Item(const Names& path) {
        QTreeWidgetItem* item = Tree()->topLevelItem(0);
        for (const std::string& name : path) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; item && i < item->childCount() && !next; ++i)
                if (item->child(i)->text(0).toStdString() == name)
                    next = item->child(i);
            item = next;
        }
        return item;
    }
    void Choose(const Names& path) { Tree()->setCurrentItem(Item(path)); }
};

class WizardTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "Alpha", "", "", ""));
        WriteFileBytes("quorrinjava.txt", SampleFileBytes("Java", "", "Delta", "", "", ""));
        Start();
    }
    // Runs the wizard with the script acting on it; the sample of a finished run.
    std::unique_ptr<CSample> RunWizard(std::function<void(Wiz&)> script) {
        WhenModal([script](QWidget* w) {
            Wiz wiz{w};
            script(wiz);
        });
        return RunAddSampleWizard(*Doc(), preselection, WizardCarryOver{chunks, droppedPending, dropped}, nullptr,
                                  [](const std::string& category) {
                                      return category == "Java" ? SampleLanguage::Java : SampleLanguage::Plain;
                                  });
    }

    WizardPreselection preselection;
    std::string chunks[3];
    bool droppedPending = false;
    std::string dropped;
};

} // namespace

TEST_F(WizardTest, AFinishedRunBuildsTheSampleItSummedUpAndBackAndNextKeepTheValues) {
    auto s = RunWizard([&](Wiz& z) {
        // Sub-categories in the main tree's order.
        const QTreeWidgetItem* java = z.Item({"Java"});
        EXPECT_EQ(java->child(0)->text(0) + java->child(1)->text(0) + java->child(2)->text(0),
                  QStringLiteral("COMGeneralGUI"));
        z.Choose({"Java", "COM"});
        TypeInto(z.Title(), QStringLiteral("First"));
        z.Next();
        TypeInto(z.Keywords(), QStringLiteral("k1"));
        z.Next();
        // The code editor in the category's language; Tab indents and keeps the focus.
        EXPECT_EQ(z.Text()->Language(), SampleLanguage::Java);
        TypeInto(z.Text(), QStringLiteral("void qs();"));
        QTest::keyClick(z.Text(), Qt::Key_Return);
        QTest::keyClick(z.Text(), Qt::Key_Tab);
        QTest::keyClicks(z.Text(), QStringLiteral("int x;"));
        z.Next();
        // From page 4 back to page 1: everything is still there, a page left with Back too.
        z.Press("backButton");
        z.Press("backButton");
        EXPECT_EQ(z.Keywords()->text(), QStringLiteral("k1"));
        TypeInto(z.Keywords(), QStringLiteral("sort , fast,  array"));
        z.Comments()->setPlainText(QStringLiteral("From the book.\nPage 87"));
        z.Press("backButton");
        EXPECT_EQ(z.Tree()->currentItem()->text(0), QStringLiteral("COM"));
        z.Choose({"C++", "GUI"});
        TypeInto(z.Title(), QStringLiteral(" Quick sort "));
        z.Next(3);
        EXPECT_EQ(Find<QPlainTextEdit>(z.w, "wizConfirmEdit")->toPlainText().toStdString(),
                  "Title:  Quick sort\n\nCategory:  C++\nSub-category:  GUI\nKeywords:\nsort , fast,  array\n\n"
                  "Comments:\nFrom the book.\nPage 87\n\nSample:\nvoid qs();\n    int x;");
        z.Press("finishButton");
    });
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetTitle(), "Quick sort");
    EXPECT_EQ(s->GetCategory() + "/" + s->GetSubcategory(), "C++/GUI");
    EXPECT_EQ(s->Keywords(), (Names{"sort", "fast", "array"}));
    EXPECT_EQ(s->GetComments(), "From the book.\r\nPage 87");
    EXPECT_EQ(s->GetText(), "void qs();\r\n    int x;");
    // The summary's pieces stay with the application after the run.
    EXPECT_EQ(chunks[0], "Title:  Quick sort\r\n\r\nCategory:  C++\r\nSub-category:  GUI\r\n");
}
