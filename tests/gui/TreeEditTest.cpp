// The tree's editing commands in the running program: Insert and Delete at each level of
// the tree, Restore defaults, Change title, and what each leaves in the files.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

#include "GuiTestSupport.h"
#include "app/Commands.h"
#include "browser/NewSubcategoryDlg.h"
#include "config/LibraryConfig.h"
#include "library/EditRules.h"

namespace {

std::string Alpha() { return SampleFileBytes("C++", "General", "Alpha", "a", "Note\r\n", "int a;\r\n"); }
std::string Beta() { return SampleFileBytes("C++", "GUI", "Beta", "b", "", "int b;\r\n"); }
std::string Direct() { return SampleFileBytes("C++", "", "Direct", "", "", "int d;\r\n"); }
std::string Gamma() { return SampleFileBytes("Java", "General", "Gamma", "", "", "class G {}\r\n"); }

class TreeEditTest : public GuiTest {
protected:
    void StartWithLibrary() {
        WriteFileBytes("quorrincpp.txt", Alpha() + Beta() + Direct());
        WriteFileBytes("quorrinjava.txt", Gamma());
        Start();
    }
    void Key(Qt::Key key) {
        Tree()->setFocus();
        QTest::keyClick(Tree(), key);
        Pump();
    }
    int SelectedTag() { return CSampleTree::ItemTag(Tree()->currentItem()); }
    // Deletes the selection, answering the question; the question must be a deletion's.
    void Delete(MsgAnswer answer, bool withChildren) {
        m_messages.Clear();
        m_messages.answers = {answer};
        Run(cmd::kDelete);
        ASSERT_EQ(m_messages.shown.size(), 1u);
        EXPECT_EQ(m_messages.shown[0].buttons, MsgButtons::YesNoDefaultNo);
        EXPECT_EQ(m_messages.shown[0].text.find("child items") != std::string::npos, withChildren);
    }
    static ModalScript Type(const char* edit, const char* text) {
        return [=](QWidget* w) {
            TypeInto(Find<QLineEdit>(w, edit), QString::fromUtf8(text));
            Click(Find<QPushButton>(w, "okButton"));
        };
    }
};

} // namespace

TEST_F(TreeEditTest, InsertOnTheRootAddsACategoryThatIsShownAndKept) {
    StartWithLibrary();
    DialogScripts dialogs;
    dialogs.Then(Type("newCategoryNameEdit", " Algorithms "));
    Run(cmd::kInsert);
    EXPECT_EQ(ChildNames(Root()), (Names{"Algorithms", "C++", "Java", "Visual Basic"}));
    EXPECT_EQ(SelectedTag(), kTagRoot);
    Exit();
    Start();
    EXPECT_NE(CategoryItem("Algorithms"), nullptr);
}

TEST_F(TreeEditTest, InsertStartsTheWizardForThePlaceSelectedAndTheSampleIsSavedAtOnce) {
    StartWithLibrary();
    DialogScripts dialogs;
    // A category: the Insert item dialog first, Cancel there does nothing.
    Select(CategoryItem("Java"));
    const auto chooseSample = [](bool ok) {
        return [ok](QWidget* w) {
            Click(Find<QRadioButton>(w, "sampleRadio"));
            Click(Find<QPushButton>(w, ok ? "okButton" : "cancelButton"));
        };
    };
    dialogs.Then(chooseSample(false));
    Run(cmd::kInsert);
    dialogs.Then(chooseSample(true)).Then(FinishWizard("Loose", ExpectPlace("Java/")));
    Run(cmd::kInsert);
    EXPECT_EQ(SampleItem("Loose")->parent(), CategoryItem("Java"));
    EXPECT_EQ(Selected(), "Loose");

    // A sub-category, by the Insert key: shown, selected, and on disk when it returns.
    Select(SubcategoryItem("C++", "GUI"));
    dialogs.Then(FinishWizard("  Added  ", ExpectPlace("C++/GUI")));
    Key(Qt::Key_Insert);
    EXPECT_EQ(Selected(), "Added");
    EXPECT_EQ(SampleItem("Added")->parent(), SubcategoryItem("C++", "GUI"));
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")),
              SampleFileBytes("C++", "GUI", "Added", "", "", "code();") + Alpha() + Beta() + Direct());

    // A sample: asked first; Yes adds to its sub-category. A cancelled wizard adds nothing.
    Select(SampleItem("Alpha"));
    m_messages.answers = {MsgAnswer::No, MsgAnswer::Yes, MsgAnswer::Yes};
    Run(cmd::kInsert);
    dialogs.Then(FinishWizard("Alpha two", ExpectPlace("C++/General")));
    Run(cmd::kInsert);
    EXPECT_EQ(SampleItem("Alpha two")->parent(), SubcategoryItem("C++", "General"));
    dialogs.Then([](QWidget* w) { Click(Find<QAbstractButton>(w, "cancelButton")); });
    Run(cmd::kInsert);
    EXPECT_EQ(m_messages.shown.size(), 3u);
    EXPECT_EQ(Doc()->GetSampleCount(), 7);
    EXPECT_EQ(Selected(), "Alpha two");
}

TEST_F(TreeEditTest, DeletingASampleAsksWithNoAsDefaultAndSelectsItsParent) {
    StartWithLibrary();
    Select(SampleItem("Beta"));
    Delete(MsgAnswer::No, false);
    EXPECT_EQ(m_messages.shown[0].text, "Delete the sample \"Beta\"?");
    EXPECT_NE(Doc()->PeekSample("Beta"), nullptr);
    Delete(MsgAnswer::Yes, false);
    EXPECT_EQ(SampleItem("Beta"), nullptr);
    EXPECT_EQ(Selected(), "GUI");
    EXPECT_EQ(Tree()->currentItem()->parent(), CategoryItem("C++"));
    // Without a sub-category its category is selected; unsaved edits of a deleted
    // sample are forgotten.
    Select(SampleItem("Direct"));
    QTest::keyClicks(Child<QLineEdit>("keywordsEdit"), QStringLiteral("more"));
    Delete(MsgAnswer::Yes, false);
    EXPECT_EQ(SelectedTag(), kTagCategory);
    EXPECT_FALSE(Form()->IsFormModified());
    ASSERT_TRUE(View()->OnFileSave());
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha());
}

TEST_F(TreeEditTest, DeletingADefaultSubcategoryOrCategoryHidesItUntilRestoreDefaults) {
    WriteConfig(std::string(kAppKey) + "\"CustomSubcats\" \"C++\" \"Threads\"\n");
    StartWithLibrary();
    EXPECT_FALSE(CommandEnabled(cmd::kRestoreDefaults));
    Select(SubcategoryItem("C++", "COM"));
    Delete(MsgAnswer::Yes, false); // it is empty
    EXPECT_EQ(SubcategoryItem("C++", "COM"), nullptr);
    EXPECT_EQ(Selected(), "C++");
    EXPECT_NE(ReadConfig().find("\"HiddenSubcats\" \"C++\" \"COM\""), std::string::npos);
    Select(SampleItem("Gamma"));
    Run(cmd::kRestoreDefaults);
    EXPECT_NE(SubcategoryItem("C++", "COM"), nullptr);
    EXPECT_EQ(Selected(), "Gamma"); // the same sample again
    EXPECT_FALSE(CommandEnabled(cmd::kRestoreDefaults));

    Select(CategoryItem("C++"));
    Delete(MsgAnswer::No, true);
    EXPECT_NE(CategoryItem("C++"), nullptr);
    Delete(MsgAnswer::Yes, true);
    EXPECT_EQ(CategoryItem("C++"), nullptr);
    EXPECT_EQ(SelectedTag(), kTagRoot);
    for (const char* title : {"Alpha", "Beta", "Direct"})
        EXPECT_EQ(Doc()->PeekSample(title), nullptr) << title;
    // Its file is deleted, and the save that ends the command writes it anew, empty.
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), "");
    EXPECT_NE(ReadConfig().find("\"HiddenCats\" \"C++\""), std::string::npos);
    Run(cmd::kRestoreDefaults);
    EXPECT_EQ(ChildNames(CategoryItem("C++")), (Names{"COM", "General", "GUI"}));
    EXPECT_EQ(Tree()->currentItem(), nullptr); // no sample was selected
}

TEST_F(TreeEditTest, DeletingCustomItemsDeletesThemForGood) {
    WriteConfig(std::string(kAppKey) + "\"CustomSubcats\" \"C++\" \"Threads\"\n" + kAppKey +
                "\"CustomCats\" \"Tools\"\nvalue \"FileName\" string \"quorrinTools.txt\"\n");
    WriteFileBytes("quorrinTools.txt", SampleFileBytes("Tools", "", "Script", "", "", "ls\r\n"));
    WriteFileBytes("quorrincpp.txt", Alpha() + SampleFileBytes("C++", "Threads", "Worker", "", "", "run();\r\n"));
    Start();
    CategoryItem("C++")->setExpanded(true);
    SubcategoryItem("C++", "Threads")->setExpanded(true);
    ASSERT_EQ(App().Config().g_expandedSubcats["C++"], NameSet{"Threads"});
    Select(SubcategoryItem("C++", "Threads"));
    Delete(MsgAnswer::Yes, true);
    EXPECT_EQ(Doc()->PeekSample("Worker"), nullptr);
    EXPECT_EQ(Doc()->PeekCategory("C++")->FreeSlot(), 3);
    EXPECT_EQ(App().Config().g_customSubcats.count("C++"), 0u);
    EXPECT_TRUE(App().Config().g_expandedSubcats["C++"].empty());
    EXPECT_FALSE(CommandEnabled(cmd::kRestoreDefaults));
    ASSERT_TRUE(View()->OnFileSave());
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha());

    // A custom category and its file go at once.
    Select(CategoryItem("Tools"));
    Delete(MsgAnswer::Yes, true);
    EXPECT_FALSE(std::filesystem::exists(File("quorrinTools.txt")));
    EXPECT_FALSE(CommandEnabled(cmd::kRestoreDefaults));
    Exit();
    EXPECT_EQ(ReadConfig().find("\"Tools\""), std::string::npos);
    Start();
    EXPECT_EQ(CategoryItem("Tools"), nullptr);
}

TEST_F(TreeEditTest, ChangeTitleMovesTheSampleWithItsEditsToItsNewPlaceOnDisk) {
    StartWithLibrary();
    Select(SampleItem("Alpha"));
    Child<QLineEdit>("keywordsEdit")->end(false);
    QTest::keyClicks(Child<QLineEdit>("keywordsEdit"), QStringLiteral(", extra"));
    DialogScripts dialogs;
    // The current title, another sample's and a blank one are refused.
    dialogs.Then([](QWidget* w) {
        EXPECT_EQ(Find<QLabel>(w, "currentTitleLabel")->text(), QStringLiteral("Alpha"));
        for (const char* refused : {"Alpha", "Gamma", " "}) {
            TypeInto(Find<QLineEdit>(w, "newTitleEdit"), QString::fromLatin1(refused));
            Click(Find<QPushButton>(w, "okButton"));
            EXPECT_TRUE(w->isVisible());
        }
        Type("newTitleEdit", "  Zulu  ")(w);
    });
    m_messages.answers = {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Ok};
    Run(cmd::kChangeTitle);
    EXPECT_NE(m_messages.Texts().at(1).find("\"Java\""), std::string::npos); // names the other's place
    EXPECT_EQ(m_messages.Texts().at(2), edit_msg::kEmptyNewTitle);
    EXPECT_EQ(Doc()->PeekSample("Alpha"), nullptr);
    EXPECT_EQ(ChildNames(SubcategoryItem("C++", "General")), Names{"Zulu"});
    EXPECT_EQ(Selected(), "Zulu");
    EXPECT_EQ(Child<QLineEdit>("titleEdit")->text(), QStringLiteral("Zulu"));
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")),
              Beta() + Direct() + SampleFileBytes("C++", "General", "Zulu", "a, extra", "Note\r\n", "int a;\r\n"));

    // The form's button runs the same command; letter case alone makes a new title.
    dialogs.Then(Type("newTitleEdit", "zulu"));
    Click(Child<QPushButton>("changeTitleButton"));
    Pump();
    EXPECT_EQ(Selected(), "zulu");
    EXPECT_EQ(Tree()->currentItem()->parent(), SubcategoryItem("C++", "General"));
}
