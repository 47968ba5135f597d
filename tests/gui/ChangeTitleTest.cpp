// Change title in the running program: the menu command, Ctrl+T and the form's button,
// the new place in title order, the content kept, and the save that follows.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "EditTestSupport.h"
#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "library/EditRules.h"

namespace {

std::string Alpha() {
    return SampleFileBytes("C++", "General", "Alpha", "one, two", "Note\r\n", "int a;\r\n");
}
std::string Beta() {
    return SampleFileBytes("C++", "General", "Beta", "b", "", "int b;\r\n");
}
std::string Gamma() {
    return SampleFileBytes("Java", "GUI", "Gamma", "", "", "class G {}\r\n");
}

class ChangeTitleTest : public GuiTest {
protected:
    void StartWithLibrary() {
        WriteFileBytes("quorrincpp.txt", Alpha() + Beta());
        WriteFileBytes("quorrinjava.txt", Gamma());
        Start();
    }
    static ModalScript Retitle(const char* title) {
        return [title](QWidget* w) {
            TypeInto(Find<QLineEdit>(w, "newTitleEdit"), QString::fromUtf8(title));
            Click(Find<QPushButton>(w, "okButton"));
        };
    }
    std::string Selected() { return CSampleTree::ItemName(Tree()->currentItem()); }
};

} // namespace

TEST_F(ChangeTitleTest, EnabledOnlyForASample) {
    StartWithLibrary();
    auto* button = Child<QPushButton>("changeTitleButton");
    EXPECT_FALSE(CommandEnabled(cmd::kChangeTitle));
    EXPECT_FALSE(button->isEnabled());
    Select(CategoryItem("C++"));
    EXPECT_FALSE(CommandEnabled(cmd::kChangeTitle));
    EXPECT_FALSE(button->isEnabled());
    Select(SampleItem("Alpha"));
    EXPECT_TRUE(CommandEnabled(cmd::kChangeTitle));
    EXPECT_TRUE(button->isEnabled());
    Select(SubcategoryItem("C++", "General"));
    EXPECT_FALSE(CommandEnabled(cmd::kChangeTitle));
    EXPECT_FALSE(button->isEnabled());
}

TEST_F(ChangeTitleTest, TheNewTitleTakesItsPlaceKeepsTheContentAndIsSavedAtOnce) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) {
        EXPECT_EQ(Find<QLabel>(w, "currentTitleLabel")->text(), QStringLiteral("Alpha"));
        TypeInto(Find<QLineEdit>(w, "newTitleEdit"), QStringLiteral("  Zulu  "));
        Click(Find<QPushButton>(w, "okButton"));
    });
    Frame()->UpdateCommandUI();
    Frame()->Action(cmd::kChangeTitle)->trigger();
    Pump();
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"changeTitleDlg"}));
    EXPECT_EQ(Doc()->PeekSample("Alpha"), nullptr);
    const CSample* z = Doc()->PeekSample("Zulu");
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(z->GetCategory(), "C++");
    EXPECT_EQ(z->GetSubcategory(), "General");
    EXPECT_EQ(z->GetKeywords(), "one, two");
    EXPECT_EQ(z->GetComments(), "Note\r\n");
    EXPECT_EQ(z->GetText(), "int a;\r\n");
    // Same branch, new place in title order, selected and shown.
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "General")), (std::vector<std::string>{"Beta", "Zulu"}));
    EXPECT_EQ(Selected(), "Zulu");
    EXPECT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Zulu"));
    // On disk when the command returns.
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")),
              Beta() + SampleFileBytes("C++", "General", "Zulu", "one, two", "Note\r\n", "int a;\r\n"));
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ChangeTitleTest, CtrlTAndTheFormButtonRunTheSameCommand) {
    StartWithLibrary();
    Select(SampleItem("Gamma"));
    DialogScripts dialogs;
    dialogs.Then(Retitle("gamma"));
    Frame()->UpdateCommandUI();
    QTest::keyClick(Frame(), Qt::Key_T, Qt::ControlModifier);
    Pump();
    // Letter case alone makes a new title.
    ASSERT_NE(Doc()->PeekSample("gamma"), nullptr);
    EXPECT_EQ(Doc()->PeekSample("Gamma"), nullptr);
    EXPECT_EQ(Selected(), "gamma");

    dialogs.Then(Retitle("Delta"));
    Click(Child<QPushButton>("changeTitleButton"));
    Pump();
    EXPECT_EQ(dialogs.ran, (std::vector<std::string>{"changeTitleDlg", "changeTitleDlg"}));
    ASSERT_NE(Doc()->PeekSample("Delta"), nullptr);
    EXPECT_EQ(Selected(), "Delta");
    EXPECT_EQ(Tree()->currentItem()->parent(), SubcategoryItem("Java", "GUI"));
}

TEST_F(ChangeTitleTest, TheCurrentTitleIsRefusedAsNotUnique) {
    StartWithLibrary();
    Select(SampleItem("Gamma"));
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) {
        TypeInto(Find<QLineEdit>(w, "newTitleEdit"), QStringLiteral("Gamma"));
        Click(Find<QPushButton>(w, "okButton"));
        EXPECT_TRUE(w->isVisible());
        // Another sample's title: its place is named.
        TypeInto(Find<QLineEdit>(w, "newTitleEdit"), QStringLiteral("Beta"));
        Click(Find<QPushButton>(w, "okButton"));
        EXPECT_TRUE(w->isVisible());
        TypeInto(Find<QLineEdit>(w, "newTitleEdit"), QStringLiteral(" "));
        Click(Find<QPushButton>(w, "okButton"));
        EXPECT_TRUE(w->isVisible());
        Click(Find<QPushButton>(w, "cancelButton"));
    });
    m_messages.answers = {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Ok};
    Click(Child<QPushButton>("changeTitleButton"));
    Pump();
    EXPECT_EQ(m_messages.Texts(),
              (std::vector<std::string>{
                  "The title you have entered is not unique.The sample in\n"
                  "\tCategory: \"Java\",\n\tSubcategory: \"GUI\" \nalready has that title.\n"
                  "Please select another title.\n",
                  "The title you have entered is not unique.The sample in\n"
                  "\tCategory: \"C++\",\n\tSubcategory: \"General\" \nalready has that title.\n"
                  "Please select another title.\n",
                  edit_msg::kEmptyNewTitle}));
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_NE(Doc()->PeekSample("Gamma"), nullptr);
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
}

TEST_F(ChangeTitleTest, UnsavedFormEditsMoveWithTheSample) {
    StartWithLibrary();
    Select(SampleItem("Beta"));
    auto* keywords = Child<QLineEdit>("keywordsEdit");
    keywords->setCursorPosition(static_cast<int>(keywords->text().size()));
    QTest::keyClicks(keywords, QStringLiteral(", extra"));
    ASSERT_TRUE(Form()->IsFormModified());
    DialogScripts dialogs;
    dialogs.Then(Retitle("Bravo"));
    Click(Child<QPushButton>("changeTitleButton"));
    Pump();
    const CSample* bravo = Doc()->PeekSample("Bravo");
    ASSERT_NE(bravo, nullptr);
    EXPECT_EQ(bravo->GetKeywords(), "b, extra");
    ASSERT_TRUE(View()->OnFileSave());
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")),
              Alpha() + SampleFileBytes("C++", "General", "Bravo", "b, extra", "", "int b;\r\n"));
}
