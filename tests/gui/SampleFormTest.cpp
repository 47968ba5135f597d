// The sample form: showing a sample, edits, switching, drop-downs, closing, encodings.
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "EditTestSupport.h"
#include "GuiTestSupport.h"
#include "ui/CodeEditor.h"
#include "app/Commands.h"
#include "config/LibraryConfig.h"

namespace {

const std::string kAlphaComments = "First line\r\nSecond line\r\n";
const std::string kAlphaText = "int main() {\r\n    return 0;\r\n}\r\n";

std::string Alpha(const std::string& category = "C++", const std::string& sub = "General",
                  const std::string& keywords = "one, two", const std::string& comments = kAlphaComments,
                  const std::string& text = kAlphaText) {
    return SampleFileBytes(category, sub, "Alpha", keywords, comments, text);
}
std::string Beta() { return SampleFileBytes("C++", "GUI", "Beta", "gui", "", "void f();\r\n"); }
std::string Gamma() { return SampleFileBytes("Java", "General", "Gamma", "", "", "class G {}\r\n"); }

class FormTest : public GuiTest {
protected:
    void WriteLibrary() {
        WriteFileBytes("quorrincpp.txt", Alpha() + Beta());
        WriteFileBytes("quorrinjava.txt", Gamma());
    }
    QLineEdit* TitleEdit() { return Child<QLineEdit>("titleEdit"); }
    QLineEdit* Keywords() { return Child<QLineEdit>("keywordsEdit"); }
    QPlainTextEdit* Comments() { return Child<QPlainTextEdit>("commentsEdit"); }
    CCodeEditor* Text() { return Child<CCodeEditor>("textEdit"); }
    QComboBox* Category() { return Child<QComboBox>("categoryCombo"); }
    QComboBox* Subcategory() { return Child<QComboBox>("subcategoryCombo"); }
    // Key presses carrying the characters, as a keyboard sends them (any character).
    static void Type(QWidget* w, const char* utf8) {
        for (QChar c : QString::fromUtf8(utf8)) {
            const int key = c.unicode() < 0x80 ? int(QChar(c).toUpper().unicode()) : int(Qt::Key_unknown);
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &press);
            QCoreApplication::sendEvent(w, &release);
        }
    }
    void TypeAtEnd(QPlainTextEdit* edit, const char* text) {
        edit->moveCursor(QTextCursor::End);
        Type(edit, text);
    }
    void TypeAtEnd(CCodeEditor* edit, const char* text) {
        edit->SetCaretCharPosition(edit->PlainText().size());
        Type(edit, text);
    }
    void TypeAtEnd(QLineEdit* edit, const char* text) {
        edit->setCursorPosition(static_cast<int>(edit->text().size()));
        Type(edit, text);
    }
};

} // namespace

TEST_F(FormTest, SelectingASampleFillsTheForm) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));
    EXPECT_EQ(TitleEdit()->text(), QStringLiteral("Alpha"));
    EXPECT_TRUE(TitleEdit()->isReadOnly());
    EXPECT_EQ(Keywords()->text(), QStringLiteral("one, two"));
    EXPECT_EQ(Comments()->toPlainText(), QStringLiteral("First line\nSecond line\n"));
    EXPECT_EQ(Text()->PlainText(), QStringLiteral("int main() {\n    return 0;\n}\n"));
    EXPECT_TRUE(Keywords()->isEnabled());
    EXPECT_TRUE(Comments()->isEnabled());
    EXPECT_TRUE(Text()->isEnabled());
    EXPECT_TRUE(Child<QPushButton>("changeTitleButton")->isEnabled());
    EXPECT_EQ(Child<QPushButton>("changeTitleButton")->text(), QStringLiteral("Change title..."));
    // Both lists sorted; the sub-category list starts with the placeholder for none.
    EXPECT_TRUE(Category()->isEnabled());
    EXPECT_EQ(ComboEntries(Category()), (std::vector<std::string>{"C++", "Java", "Visual Basic"}));
    EXPECT_EQ(ComboCurrent(Category()), "C++");
    EXPECT_EQ(ComboEntries(Subcategory()), (std::vector<std::string>{" (none assigned) ", "COM", "General", "GUI"}));
    EXPECT_EQ(ComboCurrent(Subcategory()), "General");
    EXPECT_EQ(Doc()->DisplayedSample().GetTitle(), "Alpha");
    // Loading a sample is not an edit.
    EXPECT_FALSE(Form()->IsFormModified());
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(FormTest, TheRootKeepsTheFieldsButDisablesThemACategoryEmptiesThem) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));
    Select(Root());
    EXPECT_EQ(TitleEdit()->text(), QStringLiteral("Alpha"));
    EXPECT_EQ(Text()->PlainText(), QStringLiteral("int main() {\n    return 0;\n}\n"));
    EXPECT_FALSE(Keywords()->isEnabled());
    EXPECT_FALSE(Comments()->isEnabled());
    EXPECT_FALSE(Text()->isEnabled());
    EXPECT_FALSE(Category()->isEnabled());
    EXPECT_EQ(ComboEntries(Category()), std::vector<std::string>{" (no sample selected) "});
    EXPECT_EQ(ComboEntries(Subcategory()), std::vector<std::string>{" (no sample selected) "});

    Select(SampleItem("Beta"));
    EXPECT_EQ(ComboCurrent(Subcategory()), "GUI");
    Select(SubcategoryItem("Java", "General"));
    EXPECT_TRUE(TitleEdit()->text().isEmpty());
    EXPECT_TRUE(Keywords()->text().isEmpty());
    EXPECT_TRUE(Comments()->toPlainText().isEmpty());
    EXPECT_TRUE(Text()->PlainText().isEmpty());
    EXPECT_FALSE(Text()->isEnabled());
    EXPECT_EQ(ComboCurrent(Subcategory()), " (no sample selected) ");
}

TEST_F(FormTest, ASampleWithoutSubcategoryShowsNoneAssigned) {
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "", "Loose", "", "", ""));
    Start();
    Select(SampleItem("Loose"));
    EXPECT_EQ(ComboCurrent(Subcategory()), " (none assigned) ");
    EXPECT_EQ(Comments()->toPlainText(), QString());
}

TEST_F(FormTest, TypingMarksTheFormModifiedAndSaveWritesIt) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));
    TypeAtEnd(Keywords(), ", three");
    EXPECT_TRUE(Form()->IsFormModified());
    EXPECT_TRUE(CommandEnabled(cmd::kFileSave));
    EXPECT_EQ(Doc()->PendingSample().GetKeywords(), "one, two, three");
    // Nothing is written before a save.
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha() + Beta());

    Frame()->Action(cmd::kFileSave)->trigger();
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha("C++", "General", "one, two, three") + Beta());
    EXPECT_FALSE(Form()->IsFormModified());
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
    EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")), Gamma()); // unchanged category not written
}

TEST_F(FormTest, SwitchingWithAutoSaveOnCommitsAndSaves) {
    WriteLibrary();
    Start();
    ASSERT_TRUE(App().Config().m_bAutoSaveOnSwitch);
    Select(SampleItem("Alpha"));
    TypeAtEnd(Comments(), "added");
    QTest::keyClick(Comments(), Qt::Key_Return); // Enter is a line break in the comments
    TypeAtEnd(Comments(), "more");
    Select(SampleItem("Beta"));
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")),
              Alpha("C++", "General", "one, two", "First line\r\nSecond line\r\nadded\r\nmore") + Beta());
    EXPECT_FALSE(Form()->IsFormModified());
    EXPECT_FALSE(CommandEnabled(cmd::kFileSave));
    EXPECT_EQ(TitleEdit()->text(), QStringLiteral("Beta"));
    EXPECT_EQ(Tree()->currentItem(), SampleItem("Beta"));
}

TEST_F(FormTest, EditsMadeBeforeThePostedCommitRunsAreKeptForTheNextSample) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));
    Keywords()->setText(QStringLiteral("alpha edit"));
    // Select without running the posted commit, then type into the next sample at once.
    Tree()->setCurrentItem(SampleItem("Beta"));
    TypeAtEnd(Keywords(), ", typed");
    Pump();
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha("C++", "General", "alpha edit") + Beta());
    EXPECT_TRUE(Form()->IsFormModified());
    EXPECT_TRUE(CommandEnabled(cmd::kFileSave));
    Select(SampleItem("Gamma"));
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")),
              Alpha("C++", "General", "alpha edit") + SampleFileBytes("C++", "GUI", "Beta", "gui, typed", "", "void f();\r\n"));
}

TEST_F(FormTest, SwitchingWithAutoSaveOffAsksAndNoDropsTheEditsForGood) {
    WriteLibrary();
    Start();
    App().Config().m_bAutoSaveOnSwitch = false;
    Select(SampleItem("Alpha"));
    TypeAtEnd(Text(), "// lost");
    m_messages.answers = {MsgAnswer::No};
    Select(SampleItem("Beta"));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "The current sample has been changed.\nSave changes?");
    EXPECT_EQ(m_messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Question);
    EXPECT_FALSE(Form()->IsFormModified());
    EXPECT_EQ(Doc()->PeekSample("Alpha")->GetText(), kAlphaText);

    // Neither a later save nor the exit brings them back.
    Frame()->Action(cmd::kFileSave)->trigger();
    Exit();
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha() + Beta());
}

TEST_F(FormTest, SwitchingWithAutoSaveOffAndYesSaves) {
    WriteLibrary();
    Start();
    App().Config().m_bAutoSaveOnSwitch = false;
    Select(SampleItem("Alpha"));
    Keywords()->setText(QStringLiteral("kept"));
    m_messages.answers = {MsgAnswer::Yes};
    Select(SampleItem("Gamma"));
    EXPECT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha("C++", "General", "kept") + Beta());
    EXPECT_EQ(TitleEdit()->text(), QStringLiteral("Gamma"));
}

TEST_F(FormTest, ClearingAllKeywordsIsStored) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));
    Keywords()->clear();
    Select(SampleItem("Beta"));
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha("C++", "General", "") + Beta());
}

TEST_F(FormTest, MovingASampleThroughTheDropDownsRebuildsAndKeepsItSelected) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));

    Choose(Subcategory(), "GUI");
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(SampleItem("Alpha")->parent(), SubcategoryItem("C++", "GUI"));
    EXPECT_EQ(Tree()->currentItem(), SampleItem("Alpha"));
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha("C++", "GUI") + Beta());
    EXPECT_FALSE(Form()->IsFormModified());

    // Java has a GUI sub-category too: no question.
    Choose(Category(), "Java");
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(SampleItem("Alpha")->parent(), SubcategoryItem("Java", "GUI"));
    EXPECT_EQ(Tree()->currentItem(), SampleItem("Alpha"));
    EXPECT_EQ(ComboCurrent(Category()), "Java");
    EXPECT_EQ(ComboCurrent(Subcategory()), "GUI");
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Beta());
    EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")), Alpha("Java", "GUI") + Gamma());

    Choose(Subcategory(), " (none assigned) ");
    EXPECT_EQ(SampleItem("Alpha")->parent(), CategoryItem("Java"));
    EXPECT_EQ(Tree()->currentItem(), SampleItem("Alpha"));
    EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")), Alpha("Java", "") + Gamma());
}

TEST_F(FormTest, EditsTravelWithASampleMovedThroughTheDropDowns) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));
    Keywords()->setText(QStringLiteral("moved"));
    Choose(Subcategory(), "COM");
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha("C++", "COM", "moved") + Beta());
    EXPECT_EQ(Keywords()->text(), QStringLiteral("moved"));
}

TEST_F(FormTest, AMissingSubcategoryAsksWhetherToCreateIt) {
    WriteConfig(std::string(kAppKey) + "\"CustomSubcats\" \"C++\" \"Threads\"\n");
    const std::string worker = SampleFileBytes("C++", "Threads", "Worker", "t", "", "std::thread t;\r\n");
    WriteFileBytes("quorrincpp.txt", worker);
    Start();
    ASSERT_NE(SampleItem("Worker"), nullptr);
    Select(SampleItem("Worker"));
    EXPECT_EQ(ComboEntries(Subcategory()),
              (std::vector<std::string>{" (none assigned) ", "COM", "General", "GUI", "Threads"}));

    m_messages.answers = {MsgAnswer::No};
    Choose(Category(), "Java");
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "No sub-category called \"Threads\" exists\nwithin category \"Java\".\n"
                                        "Do you want to create the sub-category?");
    EXPECT_EQ(m_messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(ComboCurrent(Category()), "C++"); // back to the category it had
    EXPECT_FALSE(Form()->IsFormModified());
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), worker);

    // Yes, then Cancel in the name dialog: no sub-category, so the sample stays.
    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Yes};
    DialogScripts dialogs;
    dialogs.Then([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    Choose(Category(), "Java");
    EXPECT_EQ(dialogs.ran, std::vector<std::string>{"newSubcategoryDlg"});
    EXPECT_EQ(ComboCurrent(Category()), "C++");
    ASSERT_NE(SampleItem("Worker"), nullptr);
    EXPECT_EQ(App().GetLoadErrorCount(), 0);

    // Yes, and another name typed: the sample moves to the sub-category made.
    m_messages.answers = {MsgAnswer::Yes};
    dialogs.Then([](QWidget* w) {
        TypeInto(Find<QLineEdit>(w, "newSubcategoryNameEdit"), QStringLiteral("Tasks"));
        Click(Find<QPushButton>(w, "okButton"));
    });
    Choose(Category(), "Java");
    Pump();
    ASSERT_NE(SubcategoryItem("Java", "Tasks"), nullptr);
    EXPECT_EQ(Doc()->PeekSample("Worker")->GetSubcategory(), "Tasks");
    EXPECT_EQ(ChildNames(SubcategoryItem("Java", "Tasks")), std::vector<std::string>{"Worker"});
    EXPECT_EQ(App().GetLoadErrorCount(), 0);
}

TEST_F(FormTest, OnlyPlacesTheTreeShowsAreOffered) {
    WriteConfig(std::string(kAppKey) + "\"HiddenCats\" \"Java\"\n" + kAppKey + "\"HiddenSubcats\" \"C++\" \"COM\"\n");
    WriteFileBytes("quorrincpp.txt", Alpha());
    Start();
    Select(SampleItem("Alpha"));
    EXPECT_EQ(ComboEntries(Category()), (std::vector<std::string>{"C++", "Visual Basic"}));
    EXPECT_EQ(ComboEntries(Subcategory()), (std::vector<std::string>{" (none assigned) ", "General", "GUI"}));
}

TEST_F(FormTest, ContentTheFileCannotHoldIsRefusedAndTheSampleStaysSelected) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));
    Keywords()->setText(QStringLiteral("broken\nkeyword"));
    ASSERT_TRUE(Keywords()->text().contains(QLatin1Char('\n')));
    m_messages.answers = {MsgAnswer::Ok};
    Select(SampleItem("Beta"));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "A keyword cannot contain a line break.");
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(Tree()->currentItem(), SampleItem("Alpha"));
    EXPECT_EQ(TitleEdit()->text(), QStringLiteral("Alpha"));
    EXPECT_TRUE(Form()->IsFormModified());
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha() + Beta());

    // Save refuses it the same way; once mended, the switch goes through.
    m_messages.Clear();
    m_messages.answers = {MsgAnswer::Ok};
    Frame()->Action(cmd::kFileSave)->trigger();
    EXPECT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha() + Beta());
    Keywords()->setText(QStringLiteral("mended"));
    Select(SampleItem("Beta"));
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha("C++", "General", "mended") + Beta());
}

TEST_F(FormTest, ClosingWithUnsavedEditsAsksOnceAndYesWritesThem) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));
    TypeAtEnd(Keywords(), ", closing");
    m_messages.answers = {MsgAnswer::Yes};
    Exit();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "Some sample data has not been saved.\nDo you wish to save it?");
    EXPECT_EQ(m_messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(m_messages.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha("C++", "General", "one, two, closing") + Beta());
}

TEST_F(FormTest, ClosingWithUnsavedEditsAndNoLeavesTheFileAlone) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));
    TypeAtEnd(Keywords(), ", dropped");
    m_messages.answers = {MsgAnswer::No};
    Exit();
    EXPECT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")), Alpha() + Beta());
}

TEST_F(FormTest, Windows1252TextKeepsItsBytesThroughTheForm) {
    const std::string title = "Caf\xE9 menu";
    const std::string comments = "caf\xE9 \x80 \x81\x8D\x8F\x90\x9D \x93quoted\x94\r\n";
    const std::string text = "Print \"na\xEFve\"\r\n\r\nEnd\r\n";
    WriteFileBytes("quorrinvb.txt", SampleFileBytes("Visual Basic", "General", title, "caf\xE9", comments, text) +
                                        SampleFileBytes("Visual Basic", "General", "Other", "", "", ""));
    Start();
    QTreeWidgetItem* item = SampleItem(title);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(0), QString::fromUtf8("Caf\xC3\xA9 menu"));
    Select(item);
    EXPECT_EQ(TitleEdit()->text(), QString::fromUtf8("Caf\xC3\xA9 menu"));
    EXPECT_TRUE(Comments()->toPlainText().startsWith(QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC ")));
    EXPECT_TRUE(Comments()->toPlainText().contains(QString::fromUtf8("\xE2\x80\x9Cquoted\xE2\x80\x9D")));

    // Only the keywords are edited: comments and text keep every byte.
    TypeAtEnd(Keywords(), ", cr\xC3\xA8me");
    Select(SampleItem("Other"));
    EXPECT_EQ(ReadFileBytes(File("quorrinvb.txt")),
              SampleFileBytes("Visual Basic", "General", title, "caf\xE9, cr\xE8me", comments, text) +
                  SampleFileBytes("Visual Basic", "General", "Other", "", "", ""));

    // Typed text in a Windows-1252 field is written in Windows-1252.
    Select(SampleItem(title));
    TypeAtEnd(Text(), "\xE2\x82\xAC" "5");
    Select(SampleItem("Other"));
    EXPECT_EQ(Doc()->PeekSample(title)->GetText(), text + "\x80" "5");
    EXPECT_EQ(Doc()->PeekSample(title)->GetComments(), comments);
}

TEST_F(FormTest, Utf8TextKeepsItsBytesThroughTheForm) {
    const std::string comments = "na\xC3\xAFve \xE2\x86\x92 \xE2\x9C\x93\r\n\xC2\xA0indented\r\n";
    const std::string text = "printf(\"\xC3\xA9t\xC3\xA9\");\r\n";
    WriteFileBytes("quorrincpp.txt", SampleFileBytes("C++", "General", "\xC3\x9C" "bersicht", "\xC3\xBC", comments, text) +
                                         Beta());
    Start();
    Select(SampleItem("\xC3\x9C" "bersicht"));
    EXPECT_EQ(TitleEdit()->text(), QString::fromUtf8("\xC3\x9C" "bersicht"));
    EXPECT_EQ(Comments()->toPlainText().left(9), QString::fromUtf8("na\xC3\xAFve \xE2\x86\x92 \xE2\x9C\x93"));
    TypeAtEnd(Text(), "// \xC3\xBC");
    Select(SampleItem("Beta"));
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")),
              Beta() + SampleFileBytes("C++", "General", "\xC3\x9C" "bersicht", "\xC3\xBC", comments,
                                       text + "// \xC3\xBC"));
}

TEST_F(FormTest, TextEditsAreTakenFromTheEditorWhenSavedOrMoved) {
    WriteLibrary();
    Start();
    Select(SampleItem("Alpha"));
    TypeAtEnd(Text(), "// x");
    TypeAtEnd(Keywords(), ", k");
    EXPECT_TRUE(Form()->IsFormModified());
    // Until it is needed the pending sample holds the library's text, never a stale edit.
    EXPECT_EQ(Doc()->PendingSample().GetKeywords(), "one, two, k");
    EXPECT_EQ(Doc()->PendingSample().GetText(), kAlphaText);
    Run(cmd::kFileSave);
    EXPECT_EQ(ReadFileBytes(File("quorrincpp.txt")),
              Alpha("C++", "General", "one, two, k", kAlphaComments, kAlphaText + "// x") + Beta());

    // A rebuild of the tree (as after an outside change) keeps the text edit pending.
    TypeAtEnd(Text(), "z");
    Tree()->RebuildTree("Beta");
    Run(cmd::kFileSave);
    EXPECT_EQ(Doc()->PeekSample("Alpha")->GetText(), kAlphaText + "// xz");
    Select(SampleItem("Alpha"));

    // Moving the sample with another drop-down commits the text as the editor has it.
    TypeAtEnd(Text(), "y");
    Choose(Category(), "Java");
    EXPECT_EQ(Doc()->PeekSample("Alpha")->GetCategory(), "Java");
    EXPECT_EQ(Doc()->PeekSample("Alpha")->GetText(), kAlphaText + "// xzy");
    EXPECT_EQ(ReadFileBytes(File("quorrinjava.txt")),
              Alpha("Java", "General", "one, two, k", kAlphaComments, kAlphaText + "// xzy") + Gamma());
}

TEST_F(FormTest, TheTextIsShownInItsCategorysLanguageWhichACustomCategoryCanChoose) {
    WriteFileBytes("quorrinShell.txt", SampleFileBytes("Shell", "", "Backup", "", "", "tar czf b.tgz .\r\n"));
    WriteConfig(std::string(kAppKey) + "\"CustomCats\" \"Shell\"\nvalue \"FileName\" string \"quorrinShell.txt\"\n");
    WriteLibrary();
    Start();
    auto* language = Child<QComboBox>("languageCombo");
    // A default category's own language, not to be changed.
    Select(SampleItem("Alpha"));
    EXPECT_EQ(Text()->Language(), SampleLanguage::Cpp);
    EXPECT_EQ(language->currentData().toString(), QStringLiteral("cpp"));
    EXPECT_FALSE(language->isEnabled());
    // A custom category's guess from its name, changed by the user and kept.
    Select(SampleItem("Backup"));
    EXPECT_EQ(Text()->Language(), SampleLanguage::Shell);
    ASSERT_TRUE(language->isEnabled());
    language->setCurrentIndex(language->findData(QStringLiteral("python")));
    emit language->activated(language->currentIndex());
    EXPECT_EQ(Text()->Language(), SampleLanguage::Python);
    EXPECT_FALSE(Form()->IsFormModified());
    EXPECT_NE(ReadConfig().find("\"CustomCats\" \"Shell\"\nvalue \"FileName\" string \"quorrinShell.txt\"\n"
                                "value \"Language\" string \"python\"\n"),
              std::string::npos);
    Exit();
    Start();
    Select(SampleItem("Backup"));
    EXPECT_EQ(Text()->Language(), SampleLanguage::Python);
}
